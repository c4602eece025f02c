#include "platform/names/NameOrder.h"

#include "platform/names/NativePath.h"

#include <unicode/ucol.h>
#include <unicode/uscript.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
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

    // Appends another's keys after these and returns how far they moved.
    std::uint32_t Take(const Keys& other)
    {
        const std::size_t at = m_used;
        m_bytes.resize(std::max(m_bytes.size(), at + other.m_used));
        std::copy_n(other.m_bytes.data(), other.m_used, m_bytes.data() + at);
        m_used += other.m_used;
        return static_cast<std::uint32_t>(at);
    }

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

// The keys of names[from, to), each name as the lists show it, with their entries.
void appendKeys(const UCollator* collator, const QStringList& names, qsizetype from, qsizetype to, Keys& keys,
    std::vector<Entry>& entries)
{
    for (qsizetype index = from; index < to; ++index) {
        const auto [at, size] = keys.Append(collator, NativePath::ForDisplay(names[index]));
        const std::string_view key = keys.At(at, size);
        entries.push_back({bytesAt(key, 0), bytesAt(key, 8), at, size, static_cast<std::uint32_t>(index)});
    }
}

// From this many names on, a second thread makes the keys of half of them. Making the keys is
// most of what the order costs a large folder (about 0.3 microseconds a name, where the sort
// that follows takes a tenth of that), and the folder is listed while the user waits.
constexpr qsizetype TwoThreadsFrom = 4096;

// The keys of every name into keys, and an entry for each in the names' order. A second
// thread, on a collator of its own, takes the second half of a large folder; where none can
// be had (a process limit), this thread makes every key.
std::vector<Entry> keysOf(const UCollator* collator, const QStringList& names, Keys& keys)
{
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(names.size()));
    const qsizetype half = names.size() >= TwoThreadsFrom ? names.size() / 2 : names.size();
    Keys otherKeys(names.size() - half);
    std::vector<Entry> otherEntries;
    UErrorCode status = U_ZERO_ERROR;
    UCollator* const clone = half < names.size() ? ucol_clone(collator, &status) : nullptr;
    std::thread other;
    if (clone && U_SUCCESS(status)) {
        try {
            other = std::thread([&] { appendKeys(clone, names, half, names.size(), otherKeys, otherEntries); });
        } catch (const std::system_error&) {
        }
    }
    appendKeys(collator, names, 0, other.joinable() ? half : names.size(), keys, entries);
    if (other.joinable()) {
        other.join();
        const std::uint32_t moved = keys.Take(otherKeys);
        for (Entry entry : otherEntries) {
            entry.keyAt += moved;
            entries.push_back(entry);
        }
    }
    if (clone)
        ucol_close(clone);
    return entries;
}

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

void NameOrder::Add(QString name)
{
    m_pending.append(std::move(name));
}

// A folder of tens of thousands of names sorts with comparisons of numbers and bytes, its keys
// made once; only names whose keys tie are compared again, by their accents and then by their
// code units.
QStringList NameOrder::Sorted()
{
    QStringList names = std::exchange(m_pending, {});
    if (!m_keys) {
        std::sort(names.begin(), names.end(), [this](const QString& a, const QString& b) { return Less(a, b); });
        return names;
    }
    Keys keys(names.size());
    std::vector<Entry> entries = keysOf(m_keys, names, keys);
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
