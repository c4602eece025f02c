#include "platform/names/NameOrder.h"

#include "platform/names/NativePath.h"

#include <unicode/ucol.h>
#include <unicode/uscript.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace {

int sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

const UChar* unitsOf(const QString& text)
{
    return reinterpret_cast<const UChar*>(text.utf16());
}

int32_t lengthOf(const QString& text)
{
    return static_cast<int32_t>(text.size());
}

// A collator of the locale with case ignored and numbers by value; null where ICU has no
// collation data at all, and the names then keep the order of their code units.
UCollator* collatorFor(const NameLocale& locale, UColAttributeValue strength)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(locale.collation.constData(), &status);
    if (U_FAILURE(status))
        return nullptr;
    ucol_setAttribute(collator, UCOL_STRENGTH, strength, &status);
    ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
    if (locale.chinese) {
        constexpr std::array<int32_t, 2> LatinThenHan {USCRIPT_LATIN, USCRIPT_HAN};
        ucol_setReorderCodes(collator, LatinThenHan.data(), static_cast<int32_t>(LatinThenHan.size()), &status);
    }
    if (U_FAILURE(status)) {
        ucol_close(collator);
        return nullptr;
    }
    return collator;
}

// Appends the name's sort key to the folder's keys and returns its length.
std::uint32_t appendKey(const UCollator* collator, const QString& shown, std::string& keys)
{
    const std::size_t at = keys.size();
    auto room = static_cast<int32_t>(shown.size() * 4 + 16);
    for (;;) {
        keys.resize(at + static_cast<std::size_t>(room));
        const int32_t length = ucol_getSortKey(
            collator, unitsOf(shown), lengthOf(shown), reinterpret_cast<uint8_t*>(keys.data() + at), room);
        if (length <= room) {
            keys.resize(at + static_cast<std::size_t>(length));
            return static_cast<std::uint32_t>(length);
        }
        room = length;
    }
}

// Where a name's sort key lies in the folder's keys.
struct Entry {
    std::uint32_t keyAt;
    std::uint32_t keySize;
    qsizetype index;
};

} // namespace

NameOrder::NameOrder(const NameLocale& locale)
    : m_keys(collatorFor(locale, UCOL_PRIMARY))
    , m_ties(collatorFor(locale, UCOL_SECONDARY))
{
}

NameOrder::~NameOrder()
{
    if (m_keys)
        ucol_close(m_keys);
    if (m_ties)
        ucol_close(m_ties);
}

int NameOrder::Compare(const QString& a, const QString& b) const
{
    if (m_ties) {
        const QString shownA = NativePath::ForDisplay(a);
        const QString shownB = NativePath::ForDisplay(b);
        if (const UCollationResult byText
            = ucol_strcoll(m_ties, unitsOf(shownA), lengthOf(shownA), unitsOf(shownB), lengthOf(shownB));
            byText != UCOL_EQUAL)
            return byText;
    }
    return sign(a.compare(b, Qt::CaseSensitive));
}

// Each name is turned into its sort key once, all of them into one string, so that a folder
// of tens of thousands of names sorts with byte comparisons; only names whose keys tie are
// compared again, by their accents and then by their code units.
void NameOrder::Sort(QStringList& names) const
{
    if (!m_keys) {
        std::sort(names.begin(), names.end(), [this](const QString& a, const QString& b) { return Less(a, b); });
        return;
    }
    std::string keys;
    keys.reserve(static_cast<std::size_t>(names.size()) * 24);
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(names.size()));
    for (qsizetype index = 0; index < names.size(); ++index) {
        const auto keyAt = static_cast<std::uint32_t>(keys.size());
        entries.push_back({keyAt, appendKey(m_keys, NativePath::ForDisplay(names[index]), keys), index});
    }
    const std::string_view allKeys(keys);
    const QStringList& original = names;
    std::sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
        if (const int byKey = allKeys.substr(x.keyAt, x.keySize).compare(allKeys.substr(y.keyAt, y.keySize)))
            return byKey < 0;
        return Compare(original[x.index], original[y.index]) < 0;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Entry& entry : entries)
        sorted.append(std::move(names[entry.index]));
    names = std::move(sorted);
}

} // namespace platform
