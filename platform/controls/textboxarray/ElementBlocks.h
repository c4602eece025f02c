#pragma once

#include "platform/controls/TextBoxElement.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace platform {

// Where the elements of a text box array live, by index. Elements are made in place in blocks
// of a fixed size, so an element never moves once made (the program holds references to
// elements across steps) and loading thousands of them costs a handful of allocations
// instead of one each.
class ElementBlocks {
public:
    ElementBlocks();
    ~ElementBlocks();
    ElementBlocks(const ElementBlocks&) = delete;
    ElementBlocks& operator=(const ElementBlocks&) = delete;

    TextBoxElement* Find(std::int32_t index) const;
    // One past the highest index in use, and the number of elements.
    std::size_t End() const { return m_end; }
    std::size_t Count() const { return m_count; }

    // Makes an element at a free index from the element's constructor arguments.
    template<typename... Arguments> TextBoxElement& Emplace(std::size_t index, Arguments&&... arguments)
    {
        TextBoxElement& element = slot(index).emplace(std::forward<Arguments>(arguments)...);
        m_end = std::max(m_end, index + 1);
        ++m_count;
        return element;
    }
    void Erase(std::size_t index);

    // Every element, in the order of the indexes.
    template<typename Visit> void ForEach(Visit visit) const
    {
        for (const std::unique_ptr<Block>& block : m_blocks) {
            if (!block)
                continue;
            for (std::optional<TextBoxElement>& element : block->elements) {
                if (element)
                    visit(*element);
            }
        }
    }

private:
    static constexpr std::size_t BlockBits = 8;
    static constexpr std::size_t BlockSize = std::size_t {1} << BlockBits;
    static constexpr std::size_t BlockMask = BlockSize - 1;

    struct Block {
        std::array<std::optional<TextBoxElement>, BlockSize> elements;
    };

    std::optional<TextBoxElement>& slot(std::size_t index);

    std::vector<std::unique_ptr<Block>> m_blocks;
    std::size_t m_end {0};
    std::size_t m_count {0};
};

} // namespace platform
