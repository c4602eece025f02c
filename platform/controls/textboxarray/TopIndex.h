#pragma once

#include <span>
#include <vector>

namespace platform {

class ElementBlocks;
class TextBoxElement;

// The elements of a text box array in the order of their Tops, so that the ones a viewport
// shows are found by binary search and a scroll step costs the boxes in view, not the whole
// array. The index is rebuilt only after elements were loaded, unloaded or moved vertically,
// and is correct for any order of Tops.
class TopIndex {
public:
    // `reach` is the lowest bottom edge that this element and every element before it reach
    // down to, so that the first element that can touch a row is found by binary search even
    // when heights differ.
    struct Entry {
        float top;
        float reach;
        TextBoxElement* element;
    };

    // Called when an element came, went or changed its Top or Height.
    void Invalidate() { m_stale = true; }

    // The entries that may reach into the rows from top to bottom, rebuilding the index first
    // when it is stale.
    std::span<const Entry> Reaching(const ElementBlocks& elements, float top, float bottom);

private:
    void rebuild(const ElementBlocks& elements);

    std::vector<Entry> m_entries;
    bool m_stale {true};
};

} // namespace platform
