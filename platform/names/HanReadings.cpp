#include "platform/names/HanReadings.h"

#include <cstdint>
#include <iterator>
#include <string_view>

namespace platform {

namespace {

#include "vellumry/HanReadingsTable.inc"

} // namespace

std::string_view HanReadings::List::operator[](std::size_t at) const
{
    return Syllables[m_ids[at]];
}

HanReadings::List HanReadings::Of(char32_t character)
{
    if (character < FirstCode)
        return {nullptr, 0};
    const char32_t page = (character - FirstCode) / PageSize;
    if (page >= std::size(PageOf))
        return {nullptr, 0};
    const std::uint16_t set = Pages[PageOf[page]][(character - FirstCode) % PageSize];
    return {ReadingSets + set + 1, ReadingSets[set]};
}

} // namespace platform
