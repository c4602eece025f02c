#include "platform/names/NamePattern.h"

#include "platform/names/FoldedName.h"
#include "platform/names/NativePath.h"

namespace platform {

NamePattern::NamePattern(const QString& pattern)
{
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        QString alternative = part.trimmed().toCaseFolded();
        // As on the desktop the old file lists ran on, "*.*" means every file, also one
        // whose name has no dot.
        if (alternative == u"*.*")
            alternative = QStringLiteral("*");
        m_alternatives.append(alternative);
    }
}

bool NamePattern::Matches(const QString& name) const
{
    const QString shown = NativePath::ForDisplay(name);
    const FoldedName folded(shown);
    for (const QString& alternative : m_alternatives) {
        if (matchOne(alternative, folded))
            return true;
    }
    return false;
}

// Iterative wildcard matching: on a mismatch after a '*', the star takes one more character
// and matching resumes. Linear in practice and never recursive, so no pattern can exhaust
// the stack.
bool NamePattern::matchOne(QStringView pattern, const FoldedName& name)
{
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starAt = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            starName = n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace platform
