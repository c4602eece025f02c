#include "platform/controls/TextBoxElement.h"

#include "platform/controls/TextBoxArray.h"
#include "platform/runtime/Error.h"
#include "platform/widgets/TextEditWidget.h"

#include <utility>

namespace platform {

TextBoxElement::TextBoxElement(TextBoxArray& array, std::int16_t index)
    : m_array(array)
    , m_index(index)
{
}

TextBoxElement::TextBoxElement(TextBoxArray& array, std::int16_t index, const TextBoxElement& model)
    : m_array(array)
    , m_text(model.m_text)
    , m_toolTip(model.m_toolTip)
    , m_bounds(model.m_bounds)
    , m_index(index)
{
}

TextBoxElement::~TextBoxElement() = default;

// The program widens every box of a folder at each resize step, tens of thousands of them, so
// a width alone takes the short way: one conversion, and the array only hears of it when the
// box is shown or has a view.
void TextBoxElement::SetWidth(double width)
{
    const float newWidth = Bounds::Length(width);
    if (newWidth == m_bounds.width)
        return;
    m_bounds.width = newWidth;
    if (m_visible || m_view)
        m_array.ElementChanged(*this, ElementChange::Size);
}

void TextBoxElement::Move(
    double left, std::optional<double> top, std::optional<double> width, std::optional<double> height)
{
    const Bounds next = Bounds::ForMove(m_bounds, left, top, width, height);
    if (next == m_bounds)
        return;
    const bool placeChanged = next.top != m_bounds.top || next.height != m_bounds.height;
    m_bounds = next;
    m_array.ElementChanged(*this, placeChanged ? ElementChange::Place : ElementChange::Size);
}

void TextBoxElement::SetVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    m_array.ElementChanged(*this, ElementChange::Visibility);
}

void TextBoxElement::SetText(QString text)
{
    if (text == m_text)
        return;
    m_text = std::move(text);
    if (m_view)
        m_view->ShowText(m_text);
}

void TextBoxElement::SetToolTipText(const QString& text)
{
    m_toolTip = text;
    if (m_view)
        m_view->ShowToolTip(m_toolTip);
}

int TextBoxElement::SelLength() const
{
    return m_view ? m_view->SelectionLength() : 0;
}

void TextBoxElement::SetSelLength(int length)
{
    if (length < 0)
        throw Error(ErrorCode::InvalidPropertyValue);
    if (m_view)
        m_view->SetSelectionLength(length);
}

void TextBoxElement::ShowIn(TextEditWidget& view)
{
    m_view = &view;
    PlaceView();
    view.Reset(m_text, m_toolTip);
    if (view.isHidden())
        view.show();
}

TextEditWidget* TextBoxElement::ReleaseView()
{
    return std::exchange(m_view, nullptr);
}

void TextBoxElement::PlaceView()
{
    m_view->setGeometry(m_bounds.ToPixels());
}

} // namespace platform
