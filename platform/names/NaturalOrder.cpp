#include "platform/names/NaturalOrder.h"

#include "platform/names/FoldedName.h"
#include "platform/names/NativePath.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace {

bool isDigit(QChar character)
{
    auto code = character.unicode();
    if (code < 0x80)
        return code >= u'0' && code <= u'9';
    return character.isDigit();
}

int sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// Where a digit run meets another character it sorts as the digit zero would. No other
// character of a key can equal this slot, since every digit belongs to a run.
constexpr char16_t DigitRunSlot = u'0';

// Keys are strings of 16-bit units written high byte first, so that comparing their bytes, as
// memcmp does, compares the units by value. A whole folder's keys live in two strings.
void put(std::string& key, char16_t unit)
{
    key.push_back(static_cast<char>(unit >> 8));
    key.push_back(static_cast<char>(unit & 0xFF));
}

// The primary key holds each character folded to lower case, except that a run of digits
// becomes the slot, the count of its significant digits, then those digits' values: equal
// slots and counts leave the digits aligned, so comparing units compares the values. The
// count of each run's leading zeros goes to the second key, used only on a tie.
void appendKeys(const QString& name, std::string& primary, std::string& leadingZeros)
{
    const FoldedName folded(name);
    qsizetype at = 0;
    while (at < folded.size()) {
        const QChar character = folded[at];
        if (character == NativePath::LegacyMarker) {
            // The tag that may follow it names a code page: neither is shown.
            at += at + 1 < folded.size() && NativePath::IsPageTag(folded[at + 1]) ? 2 : 1;
            continue;
        }
        if (!isDigit(character)) {
            put(primary, character.unicode());
            ++at;
            continue;
        }
        const qsizetype start = at;
        while (at < folded.size() && isDigit(folded[at]) && folded[at].digitValue() == 0)
            ++at;
        qsizetype significant = at;
        while (at < folded.size() && isDigit(folded[at]))
            ++at;
        // A run of zeros only is the number zero: one zero stays significant.
        if (significant == at)
            --significant;
        put(primary, DigitRunSlot);
        put(primary, static_cast<char16_t>(at - significant));
        for (qsizetype digit = significant; digit < at; ++digit)
            put(primary, static_cast<char16_t>(folded[digit].digitValue()));
        put(leadingZeros, static_cast<char16_t>(significant - start));
    }
}

// Where a name's keys lie in the folder's two key strings.
struct Entry {
    std::uint32_t primaryAt;
    std::uint32_t primarySize;
    std::uint32_t zerosAt;
    std::uint32_t zerosSize;
    qsizetype index;
};

int compareKeys(std::string_view a, std::string_view b)
{
    return sign(a.compare(b));
}

int compareNames(std::string_view primaryA, std::string_view zerosA, const QString& a, std::string_view primaryB,
    std::string_view zerosB, const QString& b)
{
    if (int byText = compareKeys(primaryA, primaryB); byText != 0)
        return byText;
    if (int byZeros = compareKeys(zerosA, zerosB); byZeros != 0)
        return byZeros;
    return sign(a.compare(b, Qt::CaseSensitive));
}

} // namespace

int NaturalOrder::Compare(const QString& a, const QString& b)
{
    std::string primaryA;
    std::string zerosA;
    std::string primaryB;
    std::string zerosB;
    appendKeys(a, primaryA, zerosA);
    appendKeys(b, primaryB, zerosB);
    return compareNames(primaryA, zerosA, a, primaryB, zerosB, b);
}

// Each name is turned into its keys once, all of them into two strings, so that a folder of
// tens of thousands of names sorts with byte comparisons: no comparison folds case or parses
// a number again, and the keys cost two allocations rather than two a name.
void NaturalOrder::Sort(QStringList& names)
{
    std::string primary;
    std::string zeros;
    primary.reserve(static_cast<std::size_t>(names.size()) * 40);
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(names.size()));
    for (qsizetype index = 0; index < names.size(); ++index) {
        Entry entry {};
        entry.primaryAt = static_cast<std::uint32_t>(primary.size());
        entry.zerosAt = static_cast<std::uint32_t>(zeros.size());
        appendKeys(names[index], primary, zeros);
        entry.primarySize = static_cast<std::uint32_t>(primary.size()) - entry.primaryAt;
        entry.zerosSize = static_cast<std::uint32_t>(zeros.size()) - entry.zerosAt;
        entry.index = index;
        entries.push_back(entry);
    }
    const std::string_view primaryKeys(primary);
    const std::string_view zerosKeys(zeros);
    const QStringList& original = names;
    std::sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
        return compareNames(primaryKeys.substr(x.primaryAt, x.primarySize), zerosKeys.substr(x.zerosAt, x.zerosSize),
                   original[x.index], primaryKeys.substr(y.primaryAt, y.primarySize),
                   zerosKeys.substr(y.zerosAt, y.zerosSize), original[y.index])
            < 0;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Entry& entry : entries)
        sorted.append(std::move(names[entry.index]));
    names = std::move(sorted);
}

} // namespace platform
