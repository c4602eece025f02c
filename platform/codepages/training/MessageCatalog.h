#pragma once

#include <QString>
#include <QStringList>

namespace platform::codepages {

// The translations of a gettext message catalog (a compiled .mo file): real text in a language,
// written and kept by that language's translators, which is what the language models learn
// from and what the accuracy bench cuts its notes from. Only translations that are valid UTF-8
// are taken; the header entry and the original English texts are left out. A plural form is a
// translation of its own.
class MessageCatalog {
public:
    // Nothing when the file cannot be read or is no catalog.
    static QStringList Translations(const QString& path);
};

} // namespace platform::codepages
