#include "platform/TextBoxArray.h"

#include "platform/Error.h"
#include "platform/Numbers.h"
#include "platform/PictureBox.h"
#include "platform/TextBoxElement.h"
#include "platform/TextEditWidget.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

int toPixel(float value)
{
    return static_cast<int>(std::lround(std::clamp(static_cast<double>(value), -1.0e9, 1.0e9)));
}

} // namespace

TextBoxArray::TextBoxArray(PictureBox& container)
    : m_container(container)
{
    m_elements.push_back(std::make_unique<TextBoxElement>(*this, 0));
    m_count = 1;
    connect(&m_container, &Control::GeometryChanged, this, &TextBoxArray::rebindAll);
    if (auto* parent = dynamic_cast<Control*>(&m_container.Parent()))
        connect(parent, &Control::GeometryChanged, this, &TextBoxArray::rebindAll);
}

TextBoxArray::~TextBoxArray()
{
    // Views are children of the container's widget; they go with it unless we go first.
    for (auto& element : m_elements) {
        if (element && element->m_view)
            delete element->m_view;
    }
    for (TextEditWidget* view : m_pool)
        delete view;
}

std::int16_t TextBoxArray::LBound() const
{
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        if (m_elements[i])
            return static_cast<std::int16_t>(i);
    }
    return 0;
}

std::int16_t TextBoxArray::UBound() const
{
    for (std::size_t i = m_elements.size(); i > 0; --i) {
        if (m_elements[i - 1])
            return static_cast<std::int16_t>(i - 1);
    }
    return 0;
}

bool TextBoxArray::Exists(std::int32_t index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < m_elements.size() && m_elements[index];
}

TextBoxElement& TextBoxArray::operator()(std::int32_t index)
{
    if (!Exists(index))
        throw Error(ErrorCode::NoSuchArrayElement);
    return *m_elements[index];
}

const TextBoxElement& TextBoxArray::operator()(std::int32_t index) const
{
    if (!Exists(index))
        throw Error(ErrorCode::NoSuchArrayElement);
    return *m_elements[index];
}

void TextBoxArray::Load(std::int32_t index)
{
    const std::int16_t checked = Numbers::ToInteger(index);
    if (checked < 0)
        throw Error(ErrorCode::NoSuchArrayElement);
    if (Exists(checked))
        throw Error(ErrorCode::ArrayElementExists);
    const auto slot = static_cast<std::size_t>(checked);
    if (slot >= m_elements.size())
        m_elements.resize(slot + 1);
    auto element = std::make_unique<TextBoxElement>(*this, checked);
    element->CopySettingsFrom(*m_elements[0]);
    m_elements[slot] = std::move(element);
    ++m_count;
}

void TextBoxArray::Unload(std::int32_t index)
{
    if (!Exists(index))
        throw Error(ErrorCode::NoSuchArrayElement);
    if (index == 0)
        throw Error(ErrorCode::InvalidProcedureCall);
    unbind(*m_elements[index]);
    m_elements[index].reset();
    --m_count;
    while (!m_elements.empty() && !m_elements.back())
        m_elements.pop_back();
}

void TextBoxArray::ElementChanged(TextBoxElement& element)
{
    updateBinding(element, visiblePart());
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

bool TextBoxArray::inView(const TextBoxElement& element, const Viewport& viewport) const
{
    if (!element.m_visible || element.m_width <= 0 || element.m_height <= 0)
        return false;
    return element.m_left < viewport.right && element.m_left + element.m_width > viewport.left
        && element.m_top < viewport.bottom && element.m_top + element.m_height > viewport.top;
}

void TextBoxArray::rebindAll()
{
    const Viewport viewport = visiblePart();
    // Release first, so that the views that leave can serve the ones that arrive.
    for (auto& element : m_elements) {
        if (element && element->m_view && !inView(*element, viewport))
            unbind(*element);
    }
    for (auto& element : m_elements) {
        if (element)
            updateBinding(*element, viewport);
    }
}

void TextBoxArray::updateBinding(TextBoxElement& element, const Viewport& viewport)
{
    if (inView(element, viewport)) {
        if (!element.m_view)
            bind(element);
        else
            placeView(element);
    } else if (element.m_view) {
        unbind(element);
    }
}

void TextBoxArray::bind(TextBoxElement& element)
{
    TextEditWidget* view = nullptr;
    if (!m_pool.empty()) {
        view = m_pool.back();
        m_pool.pop_back();
    } else {
        view = new TextEditWidget(m_container.ClientWidget());
    }
    element.m_view = view;
    ++m_boundViews;
    const std::int16_t index = element.m_index;
    view->onDoubleClick = [this, index] { Q_EMIT DblClick(index); };
    view->ShowText(element.m_text);
    view->ShowToolTip(element.m_toolTip);
    placeView(element);
    view->show();
}

void TextBoxArray::unbind(TextBoxElement& element)
{
    TextEditWidget* view = element.m_view;
    if (!view)
        return;
    element.m_view = nullptr;
    --m_boundViews;
    // The view may be the one whose double-click is being handled right now: it is hidden
    // and kept in the pool, never deleted here.
    view->hide();
    view->onDoubleClick = nullptr;
    view->clear();
    m_pool.push_back(view);
}

void TextBoxArray::placeView(TextBoxElement& element)
{
    element.m_view->setGeometry(
        toPixel(element.m_left), toPixel(element.m_top), toPixel(element.m_width), toPixel(element.m_height));
}

} // namespace platform
