#include "platform/controls/TextBoxArray.h"

#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Numbers.h"
#include "platform/widgets/TextEditWidget.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace platform {

namespace {

constexpr std::size_t BlockBits = 8;
constexpr std::size_t BlockSize = std::size_t {1} << BlockBits;
constexpr std::size_t BlockMask = BlockSize - 1;

int toPixel(float value)
{
    return static_cast<int>(std::lround(std::clamp(static_cast<double>(value), -1.0e9, 1.0e9)));
}

} // namespace

// Elements are made in place in blocks of a fixed size, so an element never moves once made
// (the program holds references to elements across steps) and loading thousands of them
// costs a handful of allocations instead of one each.
struct TextBoxArray::Block {
    std::array<std::optional<TextBoxElement>, BlockSize> slots;
};

TextBoxArray::TextBoxArray(PictureBox& container)
    : m_container(container)
{
    m_blocks.push_back(std::make_unique<Block>());
    m_blocks[0]->slots[0].emplace(*this, 0);
    m_end = 1;
    m_count = 1;
    connect(&m_container, &Control::GeometryChanged, this, &TextBoxArray::rebindAll);
    if (auto* parent = dynamic_cast<Control*>(&m_container.Parent()))
        connect(parent, &Control::GeometryChanged, this, &TextBoxArray::rebindAll);
}

TextBoxArray::~TextBoxArray()
{
    // Views are children of the container's widget; they go with it unless we go first.
    for (TextBoxElement* element : m_bound)
        delete element->m_view;
    for (TextEditWidget* view : m_pool)
        delete view;
}

TextBoxElement* TextBoxArray::find(std::int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_end)
        return nullptr;
    const auto slot = static_cast<std::size_t>(index);
    Block* block = m_blocks[slot >> BlockBits].get();
    if (!block)
        return nullptr;
    auto& element = block->slots[slot & BlockMask];
    return element ? &*element : nullptr;
}

std::int16_t TextBoxArray::LBound() const
{
    for (std::size_t i = 0; i < m_end; ++i) {
        if (find(static_cast<std::int32_t>(i)))
            return static_cast<std::int16_t>(i);
    }
    return 0;
}

std::int16_t TextBoxArray::UBound() const
{
    return m_end > 0 ? static_cast<std::int16_t>(m_end - 1) : std::int16_t {0};
}

bool TextBoxArray::Exists(std::int32_t index) const
{
    return find(index) != nullptr;
}

TextBoxElement& TextBoxArray::operator()(std::int32_t index)
{
    TextBoxElement* element = find(index);
    if (!element)
        throw Error(ErrorCode::NoSuchArrayElement);
    return *element;
}

const TextBoxElement& TextBoxArray::operator()(std::int32_t index) const
{
    const TextBoxElement* element = find(index);
    if (!element)
        throw Error(ErrorCode::NoSuchArrayElement);
    return *element;
}

void TextBoxArray::Load(std::int32_t index)
{
    const std::int16_t checked = Numbers::ToInteger(index);
    if (checked < 0)
        throw Error(ErrorCode::NoSuchArrayElement);
    if (Exists(checked))
        throw Error(ErrorCode::ArrayElementExists);
    const auto slot = static_cast<std::size_t>(checked);
    const std::size_t blockIndex = slot >> BlockBits;
    if (blockIndex >= m_blocks.size())
        m_blocks.resize(blockIndex + 1);
    if (!m_blocks[blockIndex])
        m_blocks[blockIndex] = std::make_unique<Block>();
    TextBoxElement& element = m_blocks[blockIndex]->slots[slot & BlockMask].emplace(*this, checked);
    element.CopySettingsFrom(*find(0));
    m_end = std::max(m_end, slot + 1);
    ++m_count;
    m_indexStale = true;
    Q_EMIT ElementLoaded(checked);
}

void TextBoxArray::Unload(std::int32_t index)
{
    TextBoxElement* element = find(index);
    if (!element)
        throw Error(ErrorCode::NoSuchArrayElement);
    if (index == 0)
        throw Error(ErrorCode::InvalidProcedureCall);
    unbind(*element);
    const auto slot = static_cast<std::size_t>(index);
    m_blocks[slot >> BlockBits]->slots[slot & BlockMask].reset();
    --m_count;
    m_indexStale = true;
    while (m_end > 0 && !find(static_cast<std::int32_t>(m_end - 1)))
        --m_end;
    // Blocks past the highest element go, so a small folder after a huge one holds little.
    m_blocks.resize((m_end + BlockMask) >> BlockBits);
    Q_EMIT ElementUnloaded(static_cast<std::int16_t>(index));
}

void TextBoxArray::ElementChanged(TextBoxElement& element, ElementChange change)
{
    if (change == ElementChange::Place)
        m_indexStale = true;
    // A new left or width cannot bring into view a box that lies above or below the shown
    // part, and a resize widens every box: those far off the viewport are done here.
    if (change == ElementChange::Size && !element.m_view && outsideShownRows(element))
        return;
    updateBinding(element);
}

bool TextBoxArray::outsideShownRows(const TextBoxElement& element) const
{
    const float top = m_container.Top();
    const float shownTop = std::max(0.0f, -top);
    if (element.m_top + element.m_height <= shownTop)
        return true;
    return element.m_top >= std::min(m_container.ScaleHeight(), m_container.Parent().ClientHeight() - top);
}

TextBoxArray::Viewport TextBoxArray::visiblePart() const
{
    const Container& outer = m_container.Parent();
    const float left = m_container.Left();
    const float top = m_container.Top();
    return {
        std::max(0.0f, -left),
        std::max(0.0f, -top),
        std::min(m_container.ScaleWidth(), outer.ClientWidth() - left),
        std::min(m_container.ScaleHeight(), outer.ClientHeight() - top),
    };
}

bool TextBoxArray::inView(const TextBoxElement& element, const Viewport& viewport)
{
    if (!element.m_visible || element.m_width <= 0 || element.m_height <= 0)
        return false;
    return element.m_left < viewport.right && element.m_left + element.m_width > viewport.left
        && element.m_top < viewport.bottom && element.m_top + element.m_height > viewport.top;
}

// Elements are almost always loaded in the order of their Tops, so the index is usually a
// plain copy; any other order is sorted, never assumed.
void TextBoxArray::rebuildIndex()
{
    m_index.clear();
    m_index.reserve(m_count);
    bool sorted = true;
    for (std::size_t blockIndex = 0; blockIndex < m_blocks.size(); ++blockIndex) {
        if (!m_blocks[blockIndex])
            continue;
        for (auto& slot : m_blocks[blockIndex]->slots) {
            if (!slot)
                continue;
            if (!m_index.empty() && slot->m_top < m_index.back().top)
                sorted = false;
            m_index.push_back({slot->m_top, 0, &*slot});
        }
    }
    if (!sorted)
        std::stable_sort(
            m_index.begin(), m_index.end(), [](const Placed& a, const Placed& b) { return a.top < b.top; });
    float reach = -std::numeric_limits<float>::infinity();
    for (Placed& placed : m_index) {
        reach = std::max(reach, placed.element->m_top + placed.element->m_height);
        placed.reach = reach;
    }
    m_indexStale = false;
}

// The picture box or its container moved or changed size: lend views to the elements that
// came into view and take them from those that left. Views that leave serve the arrivals
// directly, without being hidden and shown again.
void TextBoxArray::rebindAll()
{
    if (m_indexStale)
        rebuildIndex();
    const Viewport viewport = visiblePart();
    for (std::size_t i = m_bound.size(); i > 0; --i) {
        TextBoxElement& element = *m_bound[i - 1];
        if (!inView(element, viewport))
            m_spare.push_back(detach(element));
    }
    const auto first = std::partition_point(
        m_index.begin(), m_index.end(), [&](const Placed& placed) { return placed.reach <= viewport.top; });
    for (auto it = first; it != m_index.end() && it->top < viewport.bottom; ++it) {
        TextBoxElement& element = *it->element;
        if (element.m_view || !inView(element, viewport))
            continue;
        TextEditWidget* view = nullptr;
        if (!m_spare.empty()) {
            view = m_spare.back();
            m_spare.pop_back();
        } else {
            view = takeView();
        }
        attach(element, view);
    }
    for (TextEditWidget* view : m_spare) {
        view->hide();
        m_pool.push_back(view);
    }
    m_spare.clear();
}

void TextBoxArray::updateBinding(TextBoxElement& element)
{
    // A hidden element (every new one is) needs no look at the viewport.
    if (element.m_visible && inView(element, visiblePart())) {
        if (!element.m_view)
            attach(element, takeView());
        else
            placeView(element);
    } else if (element.m_view) {
        unbind(element);
    }
}

TextEditWidget* TextBoxArray::takeView()
{
    if (m_pool.empty())
        return new TextEditWidget(m_container.ClientWidget());
    TextEditWidget* view = m_pool.back();
    m_pool.pop_back();
    return view;
}

void TextBoxArray::attach(TextBoxElement& element, TextEditWidget* view)
{
    element.m_view = view;
    m_bound.push_back(&element);
    const std::int16_t index = element.m_index;
    view->onDoubleClick = [this, index] { Q_EMIT DblClick(index); };
    // Placed before it is filled, so that the text is laid out once, at its final width.
    placeView(element);
    view->Reset(element.m_text, element.m_toolTip);
    if (view->isHidden())
        view->show();
}

TextEditWidget* TextBoxArray::detach(TextBoxElement& element)
{
    TextEditWidget* view = element.m_view;
    element.m_view = nullptr;
    const auto at = std::find(m_bound.begin(), m_bound.end(), &element);
    if (at != m_bound.end()) {
        *at = m_bound.back();
        m_bound.pop_back();
    }
    view->onDoubleClick = nullptr;
    return view;
}

void TextBoxArray::unbind(TextBoxElement& element)
{
    if (!element.m_view)
        return;
    // The view may be the one whose double-click is being handled right now: it is hidden
    // and kept in the pool, never deleted here. It keeps its text, so that lending it to an
    // element with the same text costs nothing.
    TextEditWidget* view = detach(element);
    view->hide();
    m_pool.push_back(view);
}

void TextBoxArray::placeView(TextBoxElement& element)
{
    element.m_view->setGeometry(
        toPixel(element.m_left), toPixel(element.m_top), toPixel(element.m_width), toPixel(element.m_height));
}

} // namespace platform
