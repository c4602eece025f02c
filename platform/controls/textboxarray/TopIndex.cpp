#include "platform/controls/textboxarray/TopIndex.h"

#include "platform/controls/textboxarray/ElementBlocks.h"

#include <algorithm>
#include <limits>

namespace platform {

std::span<const TopIndex::Entry> TopIndex::Reaching(const ElementBlocks& elements, float top, float bottom)
{
    if (m_stale)
        rebuild(elements);
    const auto first = std::partition_point(
        m_entries.begin(), m_entries.end(), [&](const Entry& entry) { return entry.reach <= top; });
    const auto last
        = std::partition_point(first, m_entries.end(), [&](const Entry& entry) { return entry.top < bottom; });
    return {first, last};
}

// Elements are almost always loaded in the order of their Tops, so the index is usually a
// plain copy; any other order is sorted, never assumed.
void TopIndex::rebuild(const ElementBlocks& elements)
{
    m_entries.clear();
    m_entries.reserve(elements.Count());
    bool sorted = true;
    elements.ForEach([&](TextBoxElement& element) {
        if (!m_entries.empty() && element.Top() < m_entries.back().top)
            sorted = false;
        m_entries.push_back({element.Top(), 0, &element});
    });
    if (!sorted)
        std::stable_sort(
            m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) { return a.top < b.top; });
    float reach = -std::numeric_limits<float>::infinity();
    for (Entry& entry : m_entries) {
        reach = std::max(reach, entry.element->Top() + entry.element->Height());
        entry.reach = reach;
    }
    m_stale = false;
}

} // namespace platform
