#include "platform/controls/TextBoxElement.h"

#include "platform/controls/TextBoxArray.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Numbers.h"
#include "platform/widgets/TextEditWidget.h"

namespace platform {

TextBoxElement::TextBoxElement(TextBoxArray& array, std::int16_t index)
    : m_array(array)
    , m_index(index)
{
}

TextBoxElement::~TextBoxElement() = default;

// The program widens every box of a folder at each resize step, tens of thousands of them, so
// a width alone takes the short way: one conversion, and the array only hears of it when the
// box is shown or has a view.
void TextBoxElement::SetWidth(double width)
{
    const float newWidth = Numbers::ToSingle(width);
    if (newWidth < 0)
        throw Error(ErrorCode::InvalidPropertyValue);
    if (newWidth == m_width)
        return;
    m_width = newWidth;
    if (m_visible || m_view)
        m_array.ElementChanged(*this, ElementChange::Size);
}

void TextBoxElement::Move(
    double left, std::optional<double> top, std::optional<double> width, std::optional<double> height)
{
    const float newLeft = Numbers::ToSingle(left);
    const float newTop = top ? Numbers::ToSingle(*top) : m_top;
    const float newWidth = width ? Numbers::ToSingle(*width) : m_width;
    const float newHeight = height ? Numbers::ToSingle(*height) : m_height;
    if (newWidth < 0 || newHeight < 0)
        throw Error(ErrorCode::InvalidPropertyValue);
    if (newLeft == m_left && newTop == m_top && newWidth == m_width && newHeight == m_height)
        return;
    const bool placeChanged = newTop != m_top || newHeight != m_height;
    m_left = newLeft;
    m_top = newTop;
    m_width = newWidth;
    m_height = newHeight;
    m_array.ElementChanged(*this, placeChanged ? ElementChange::Place : ElementChange::Size);
}

void TextBoxElement::SetVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    m_array.ElementChanged(*this, ElementChange::Visibility);
}

void TextBoxElement::SetText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
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

void TextBoxElement::CopySettingsFrom(const TextBoxElement& other)
{
    // A new element is a hidden copy of the template: its geometry, text and tip.
    m_left = other.m_left;
    m_top = other.m_top;
    m_width = other.m_width;
    m_height = other.m_height;
    m_text = other.m_text;
    m_toolTip = other.m_toolTip;
    m_visible = false;
}

} // namespace platform
