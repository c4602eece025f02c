#include "platform/controls/TextBoxArray.h"

#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/controls/textboxarray/Viewport.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Numbers.h"
#include "platform/widgets/TextEditWidget.h"

#include <algorithm>

namespace platform {

TextBoxArray::TextBoxArray(PictureBox& container)
    : m_container(container)
{
    m_elements.Emplace(0, *this, std::int16_t {0});
    connect(&m_container, &Control::GeometryChanged, this, &TextBoxArray::rebindAll);
    if (auto* parent = dynamic_cast<Control*>(&m_container.Parent()))
        connect(parent, &Control::GeometryChanged, this, &TextBoxArray::rebindAll);
}

TextBoxArray::~TextBoxArray()
{
    // Views are children of the container's widget; they go with it unless we go first.
    for (TextBoxElement* element : m_bound)
        delete element->ReleaseView();
}

std::int16_t TextBoxArray::LBound() const
{
    for (std::size_t i = 0; i < m_elements.End(); ++i) {
        if (m_elements.Find(static_cast<std::int32_t>(i)))
            return static_cast<std::int16_t>(i);
    }
    return 0;
}

std::int16_t TextBoxArray::UBound() const
{
    return m_elements.End() > 0 ? static_cast<std::int16_t>(m_elements.End() - 1) : std::int16_t {0};
}

TextBoxElement& TextBoxArray::existing(std::int32_t index) const
{
    TextBoxElement* element = m_elements.Find(index);
    if (!element)
        throw Error(ErrorCode::NoSuchArrayElement);
    return *element;
}

TextBoxElement& TextBoxArray::operator()(std::int32_t index)
{
    return existing(index);
}

const TextBoxElement& TextBoxArray::operator()(std::int32_t index) const
{
    return existing(index);
}

void TextBoxArray::Load(std::int32_t index)
{
    const std::int16_t checked = Numbers::ToInteger(index);
    if (checked < 0)
        throw Error(ErrorCode::NoSuchArrayElement);
    if (m_elements.Find(checked))
        throw Error(ErrorCode::ArrayElementExists);
    m_elements.Emplace(static_cast<std::size_t>(checked), *this, checked, existing(0));
    m_index.Invalidate();
    Q_EMIT ElementLoaded(checked);
}

void TextBoxArray::Unload(std::int32_t index)
{
    TextBoxElement& element = existing(index);
    if (index == 0)
        throw Error(ErrorCode::InvalidProcedureCall);
    unbind(element);
    m_elements.Erase(static_cast<std::size_t>(index));
    m_index.Invalidate();
}

void TextBoxArray::ElementChanged(TextBoxElement& element, ElementChange change)
{
    if (change == ElementChange::Place)
        m_index.Invalidate();
    // A hidden element (every new one is) needs no look at the viewport.
    if (!element.Visible()) {
        unbind(element);
        return;
    }
    const Viewport viewport = Viewport::Of(m_container);
    // A new left or width cannot bring into view a box that lies above or below the shown
    // part, and a resize widens every box: those far off the viewport are done here.
    if (change == ElementChange::Size && !element.View() && viewport.OutsideRows(element))
        return;
    if (!viewport.Shows(element))
        unbind(element);
    else if (!element.View())
        attach(element, takeView());
    else
        element.PlaceView();
}

// The picture box or its container moved or changed size: lend views to the elements that
// came into view and take them from those that left. Views that leave serve the arrivals
// directly, without being hidden and shown again.
void TextBoxArray::rebindAll()
{
    const Viewport viewport = Viewport::Of(m_container);
    for (std::size_t i = m_bound.size(); i > 0; --i) {
        TextBoxElement& element = *m_bound[i - 1];
        if (!viewport.Shows(element))
            m_pool.Spare(detach(element));
    }
    for (const TopIndex::Entry& entry : m_index.Reaching(m_elements, viewport.Top(), viewport.Bottom())) {
        TextBoxElement& element = *entry.element;
        if (!element.View() && viewport.Shows(element))
            attach(element, takeView());
    }
    m_pool.HideSpares();
}

TextEditWidget* TextBoxArray::takeView()
{
    if (TextEditWidget* view = m_pool.Take())
        return view;
    auto* view = new TextEditWidget(m_container.ClientWidget());
    connect(view, &TextEditWidget::DoubleClicked, this, [this, view] { viewDoubleClicked(*view); });
    return view;
}

// The view tells which element it shows now; a view back in the pool shows none.
void TextBoxArray::viewDoubleClicked(const TextEditWidget& view)
{
    const auto holder = std::find_if(
        m_bound.begin(), m_bound.end(), [&](const TextBoxElement* element) { return element->View() == &view; });
    if (holder != m_bound.end())
        Q_EMIT DblClick((*holder)->Index());
}

void TextBoxArray::attach(TextBoxElement& element, TextEditWidget* view)
{
    m_bound.push_back(&element);
    element.ShowIn(*view);
}

TextEditWidget* TextBoxArray::detach(TextBoxElement& element)
{
    const auto at = std::find(m_bound.begin(), m_bound.end(), &element);
    if (at != m_bound.end()) {
        *at = m_bound.back();
        m_bound.pop_back();
    }
    return element.ReleaseView();
}

void TextBoxArray::unbind(TextBoxElement& element)
{
    if (element.View())
        m_pool.Put(detach(element));
}

} // namespace platform
