#pragma once

#include <QString>
#include <QStringList>

namespace platform::codepages {

// Which gettext catalogs the language models learn from: the C library's and the core
// utilities' translations, on every Debian machine (libc-l10n, coreutils). The accuracy bench
// leaves them out of what it measures on, and every message they hold, since other catalogs
// share messages with them.
class TrainingCatalogs {
public:
    // The paths of those catalogs for one language's folder ("zh_CN") under the catalogs'
    // folder (/usr/share/locale), those that exist.
    static QStringList Of(const QString& catalogs, const QString& language);

    // Whether a catalog of that name ("libc.mo") is one of them.
    static bool Holds(const QString& fileName);
};

} // namespace platform::codepages
