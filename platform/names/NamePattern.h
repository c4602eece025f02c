#pragma once

#include <QString>
#include <QStringList>

namespace platform {

class FoldedName;

// A file list pattern such as "*.txt": '*' stands for any run of characters, '?' for exactly
// one, every other character for itself compared case-insensitively. Several patterns can be
// given separated by ';' ("*.txt;*.md"); a name matches when any of them does. "*.*" matches
// every name, with or without a dot. A name is matched by what the lists show of it
// (NativePath::ForDisplay): the invisible marker in front of a name read in a legacy code page
// is not part of what the user sees, so it is not matched either.
class NamePattern {
public:
    explicit NamePattern(const QString& pattern);

    bool Matches(const QString& name) const;

private:
    static bool matchOne(QStringView pattern, const FoldedName& name);

    QStringList m_alternatives;
};

} // namespace platform
