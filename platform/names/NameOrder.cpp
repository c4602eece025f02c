#include "platform/names/NameOrder.h"

#include "platform/names/NativePath.h"

#include <unicode/ucol.h>
#include <unicode/uscript.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
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

// A folder's sort keys, one after the other in one buffer.
class Keys {
public:
    explicit Keys(qsizetype names)
        : m_bytes(static_cast<std::size_t>(names) * 32, '\0')
    {
    }

    // Appends the key of the name as shown and returns where it lies.
    std::pair<std::uint32_t, std::uint32_t> Append(const UCollator* collator, const QString& shown)
    {
        const std::size_t at = m_used;
        auto room = static_cast<int32_t>(shown.size() * 4 + 16);
        for (;;) {
            if (m_bytes.size() - at < static_cast<std::size_t>(room))
                m_bytes.resize(std::max(m_bytes.size() * 2, at + static_cast<std::size_t>(room)));
            const int32_t length = ucol_getSortKey(
                collator, unitsOf(shown), lengthOf(shown), reinterpret_cast<uint8_t*>(m_bytes.data() + at), room);
            if (length <= room) {
                m_used += static_cast<std::size_t>(length);
                return {static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(length)};
            }
            room = length;
        }
    }

    std::string_view At(std::uint32_t at, std::uint32_t size) const { return {m_bytes.data() + at, size}; }

private:
    std::string m_bytes;
    std::size_t m_used {0};
};

// A name's key in the folder's keys, with its first sixteen bytes as two numbers, high byte
// first, so that most comparisons of two keys are comparisons of numbers held in the entries
// being sorted: names of a folder often begin alike ("会议纪要 2026-…", "note 00…"), and with
// eight bytes, comparing the rest byte by byte took 6 % of the listing's processor time (3 %
// with sixteen). A key shorter than that ends in a zero byte, which the padding repeats.
struct Entry {
    std::uint64_t head;
    std::uint64_t next;
    std::uint32_t keyAt;
    std::uint32_t keySize;
    std::uint32_t index;
};

std::uint64_t bytesAt(std::string_view key, std::size_t from)
{
    std::uint64_t value = 0;
    for (std::size_t at = from; at < from + 8; ++at)
        value = value << 8 | (at < key.size() ? static_cast<unsigned char>(key[at]) : 0U);
    return value;
}

} // namespace

NameOrder::NameOrder(const NameLocale& locale)
    : m_keys(collatorFor(locale, UCOL_PRIMARY))
    , m_ties(collatorFor(locale, UCOL_SECONDARY))
{
}

NameOrder::~NameOrder()
{
    m_pending.reset();
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

// The names added so far, their keys one after the other in one string and an entry for each.
struct NameOrder::Pending {
    QStringList names;
    Keys keys {0};
    std::vector<Entry> entries;
};

void NameOrder::Add(QString name)
{
    if (!m_pending)
        m_pending = std::make_unique<Pending>();
    Pending& pending = *m_pending;
    const auto index = static_cast<qsizetype>(pending.names.size());
    if (m_keys) {
        const auto [at, size] = pending.keys.Append(m_keys, NativePath::ForDisplay(name));
        const std::string_view key = pending.keys.At(at, size);
        pending.entries.push_back({bytesAt(key, 0), bytesAt(key, 8), at, size, static_cast<std::uint32_t>(index)});
    }
    pending.names.append(std::move(name));
}

// A folder of tens of thousands of names sorts with comparisons of numbers and bytes, its keys
// made once; only names whose keys tie are compared again, by their accents and then by their
// code units.
QStringList NameOrder::Sorted()
{
    if (!m_pending)
        return {};
    const std::unique_ptr<Pending> pending = std::move(m_pending);
    QStringList& names = pending->names;
    if (!m_keys) {
        std::sort(names.begin(), names.end(), [this](const QString& a, const QString& b) { return Less(a, b); });
        return std::move(names);
    }
    const Keys& keys = pending->keys;
    std::vector<Entry>& entries = pending->entries;
    std::sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
        if (x.head != y.head)
            return x.head < y.head;
        if (x.next != y.next)
            return x.next < y.next;
        if (const int byKey = keys.At(x.keyAt, x.keySize).compare(keys.At(y.keyAt, y.keySize)))
            return byKey < 0;
        return Compare(names[x.index], names[y.index]) < 0;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Entry& entry : entries)
        sorted.append(std::move(names[entry.index]));
    return sorted;
}

} // namespace platform
