#include "platform/controls/textboxarray/Viewport.h"

#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBoxElement.h"

#include <algorithm>

namespace platform {

Viewport Viewport::Of(const PictureBox& box)
{
    const Container& outer = box.Parent();
    const float left = box.Left();
    const float top = box.Top();
    return Viewport(std::max(0.0f, -left), std::max(0.0f, -top), std::min(box.ScaleWidth(), outer.ClientWidth() - left),
        std::min(box.ScaleHeight(), outer.ClientHeight() - top));
}

Viewport::Viewport(float left, float top, float right, float bottom)
    : m_left(left)
    , m_top(top)
    , m_right(right)
    , m_bottom(bottom)
{
}

bool Viewport::Shows(const TextBoxElement& element) const
{
    if (!element.Visible() || element.Width() <= 0 || element.Height() <= 0)
        return false;
    return element.Left() < m_right && element.Left() + element.Width() > m_left && !OutsideRows(element);
}

bool Viewport::OutsideRows(const TextBoxElement& element) const
{
    return element.Top() + element.Height() <= m_top || element.Top() >= m_bottom;
}

} // namespace platform
