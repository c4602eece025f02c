#include "platform/NaturalOrder.h"

#include "platform/NativePath.h"

#include <algorithm>
#include <numeric>
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

int compare(const std::u32string& a, const std::u32string& b)
{
    return sign(a.compare(b));
}

// Where a digit run meets another character it sorts as the digit zero would. No other
// character of a key can equal this slot, since every digit belongs to a run.
constexpr char32_t DigitRunSlot = U'0';

} // namespace

// The primary key holds each character folded to lower case, except that a run of digits
// becomes the slot, the count of its significant digits, then those digits' values: equal
// slots and counts leave the digits aligned, so comparing code units compares the values.
// The count of each run's leading zeros goes to the second key, used only on a tie.
NaturalOrder::Key NaturalOrder::KeyOf(const QString& name)
{
    const QString folded = name.toCaseFolded();
    Key key;
    key.primary.reserve(static_cast<std::size_t>(folded.size()) + 4);
    qsizetype at = 0;
    while (at < folded.size()) {
        QChar character = folded[at];
        if (character == NativePath::LegacyMarker) {
            ++at;
            continue;
        }
        if (!isDigit(character)) {
            key.primary.push_back(character.unicode());
            ++at;
            continue;
        }
        qsizetype start = at;
        while (at < folded.size() && isDigit(folded[at]) && folded[at].digitValue() == 0)
            ++at;
        qsizetype significant = at;
        while (at < folded.size() && isDigit(folded[at]))
            ++at;
        // A run of zeros only is the number zero: one zero stays significant.
        if (significant == at)
            --significant;
        key.primary.push_back(DigitRunSlot);
        key.primary.push_back(static_cast<char32_t>(at - significant));
        for (qsizetype digit = significant; digit < at; ++digit)
            key.primary.push_back(static_cast<char32_t>(folded[digit].digitValue()));
        key.leadingZeros.push_back(static_cast<char32_t>(significant - start));
    }
    return key;
}

int NaturalOrder::Compare(const Key& keyA, const QString& a, const Key& keyB, const QString& b)
{
    if (int byText = compare(keyA.primary, keyB.primary); byText != 0)
        return byText;
    if (int byZeros = compare(keyA.leadingZeros, keyB.leadingZeros); byZeros != 0)
        return byZeros;
    return sign(a.compare(b, Qt::CaseSensitive));
}

int NaturalOrder::Compare(const QString& a, const QString& b)
{
    return Compare(KeyOf(a), a, KeyOf(b), b);
}

void NaturalOrder::Sort(QStringList& names)
{
    std::vector<Key> keys;
    keys.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names)
        keys.push_back(KeyOf(name));
    std::vector<qsizetype> order(static_cast<std::size_t>(names.size()));
    std::iota(order.begin(), order.end(), qsizetype {0});
    std::sort(order.begin(), order.end(), [&](qsizetype x, qsizetype y) {
        return Compare(keys[std::size_t(x)], names[x], keys[std::size_t(y)], names[y]) < 0;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (qsizetype index : order)
        sorted.append(names[index]);
    names = std::move(sorted);
}

} // namespace platform
