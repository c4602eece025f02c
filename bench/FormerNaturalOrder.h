#pragma once

// The order the lists kept before they followed the user's locale, kept here only as the floor
// that the locale's order is measured against: case folded, digit runs by value, ties by leading
// zeros and then by code units, each name turned into a key once and the keys compared bytewise.
#include "platform/names/FoldedName.h"
#include "platform/names/NativePath.h"

#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bench::FormerNaturalOrder {

inline bool isDigit(QChar character)
{
    const auto code = character.unicode();
    return code < 0x80 ? code >= u'0' && code <= u'9' : character.isDigit();
}

inline void put(std::string& key, char16_t unit)
{
    key.push_back(static_cast<char>(unit >> 8));
    key.push_back(static_cast<char>(unit & 0xFF));
}

inline void appendKeys(const QString& name, std::string& primary, std::string& leadingZeros)
{
    const platform::FoldedName folded(name);
    qsizetype at = 0;
    while (at < folded.size()) {
        const QChar character = folded[at];
        if (character == platform::NativePath::LegacyMarker) {
            at += at + 1 < folded.size() && platform::NativePath::IsPageTag(folded[at + 1]) ? 2 : 1;
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
        if (significant == at)
            --significant;
        put(primary, u'0');
        put(primary, static_cast<char16_t>(at - significant));
        for (qsizetype digit = significant; digit < at; ++digit)
            put(primary, static_cast<char16_t>(folded[digit].digitValue()));
        put(leadingZeros, static_cast<char16_t>(significant - start));
    }
}

inline void Sort(QStringList& names)
{
    struct Entry {
        std::uint32_t primaryAt, primarySize, zerosAt, zerosSize;
        qsizetype index;
    };
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
    const std::string_view p(primary);
    const std::string_view z(zeros);
    std::sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
        if (const int c = p.substr(x.primaryAt, x.primarySize).compare(p.substr(y.primaryAt, y.primarySize)))
            return c < 0;
        if (const int c = z.substr(x.zerosAt, x.zerosSize).compare(z.substr(y.zerosAt, y.zerosSize)))
            return c < 0;
        return names[x.index].compare(names[y.index], Qt::CaseSensitive) < 0;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Entry& entry : entries)
        sorted.append(std::move(names[entry.index]));
    names = std::move(sorted);
}

} // namespace bench::FormerNaturalOrder
