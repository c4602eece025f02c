#pragma once

#include <QString>
#include <QStringList>

namespace platform {

class FoldedName;

// A file list pattern such as "*.txt": '*' stands for any run of characters, '?' for exactly
// one, every other character for itself compared case-insensitively. Several patterns can be
// given separated by ';' ("*.txt;*.md"); a name matches when any of them does. "*.*" matches
// every name, with or without a dot. The invisible
// marker in front of names decoded from GB18030 is not part of what the user sees, so it is
// not matched either.
class NamePattern {
public:
    explicit NamePattern(const QString& pattern);

    bool Matches(const QString& name) const;

private:
    // Matches name from the code unit at from on.
    static bool matchOne(QStringView pattern, const FoldedName& name, qsizetype from);

    QStringList m_alternatives;
};

} // namespace platform
