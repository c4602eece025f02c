#include "platform/controls/textboxarray/ElementBlocks.h"

namespace platform {

ElementBlocks::ElementBlocks() = default;

ElementBlocks::~ElementBlocks() = default;

TextBoxElement* ElementBlocks::Find(std::int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_end)
        return nullptr;
    const auto at = static_cast<std::size_t>(index);
    Block* block = m_blocks[at >> BlockBits].get();
    if (!block)
        return nullptr;
    std::optional<TextBoxElement>& element = block->elements[at & BlockMask];
    return element ? &*element : nullptr;
}

std::optional<TextBoxElement>& ElementBlocks::slot(std::size_t index)
{
    const std::size_t blockIndex = index >> BlockBits;
    if (blockIndex >= m_blocks.size())
        m_blocks.resize(blockIndex + 1);
    if (!m_blocks[blockIndex])
        m_blocks[blockIndex] = std::make_unique<Block>();
    return m_blocks[blockIndex]->elements[index & BlockMask];
}

void ElementBlocks::Erase(std::size_t index)
{
    m_blocks[index >> BlockBits]->elements[index & BlockMask].reset();
    --m_count;
    while (m_end > 0 && !Find(static_cast<std::int32_t>(m_end - 1)))
        --m_end;
    // Blocks past the highest element go, so a small folder after a huge one holds little.
    m_blocks.resize((m_end + BlockMask) >> BlockBits);
}

} // namespace platform
