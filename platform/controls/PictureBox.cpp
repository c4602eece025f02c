#include "platform/controls/PictureBox.h"

#include "platform/desktop/SystemColor.h"
#include "platform/widgets/PictureBoxWidget.h"

#include <QFontMetricsF>
#include <QMouseEvent>

namespace platform {

namespace {

constexpr int SingleBorderWidth = 2;

int borderWidth(BorderStyle border)
{
    return border == BorderStyle::FixedSingle ? SingleBorderWidth : 0;
}

std::int16_t buttonMask(Qt::MouseButtons buttons)
{
    std::int16_t mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= MouseButton::Left;
    if (buttons & Qt::RightButton)
        mask |= MouseButton::Right;
    if (buttons & Qt::MiddleButton)
        mask |= MouseButton::Middle;
    return mask;
}

std::int16_t shiftMask(Qt::KeyboardModifiers modifiers)
{
    std::int16_t mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= ShiftKey::Shift;
    if (modifiers & Qt::ControlModifier)
        mask |= ShiftKey::Ctrl;
    if (modifiers & Qt::AltModifier)
        mask |= ShiftKey::Alt;
    return mask;
}

Qt::CursorShape cursorShape(MousePointer pointer)
{
    switch (pointer) {
    case MousePointer::SizeAll:
        return Qt::SizeAllCursor;
    case MousePointer::SizeNorthSouth:
        return Qt::SizeVerCursor;
    case MousePointer::SizeWestEast:
        return Qt::SizeHorCursor;
    case MousePointer::Default:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace

PictureBox::PictureBox(Container& parent, BorderStyle border)
    : Control(parent, new PictureBoxWidget(parent.ClientWidget(), borderWidth(border)))
    , m_box(static_cast<PictureBoxWidget*>(widget()))
    , m_border(borderWidth(border))
    , m_backColor(SystemColor::ButtonFace)
    , m_foreColor(SystemColor::WindowText)
{
    m_box->onMouse = [this](MouseAction action, QMouseEvent* event) { dispatchMouse(action, event); };
    applyColors();
}

PictureBox::~PictureBox()
{
    Parent().RemoveDocked(*this);
}

float PictureBox::ScaleWidth() const
{
    return std::max(0.0f, Width() - static_cast<float>(2 * m_border));
}

float PictureBox::ScaleHeight() const
{
    return std::max(0.0f, Height() - static_cast<float>(2 * m_border));
}

void PictureBox::SetBackColor(std::uint32_t color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    applyColors();
}

void PictureBox::SetForeColor(std::uint32_t color)
{
    m_foreColor = color;
    applyColors();
}

float PictureBox::TextHeight(const QString& text) const
{
    const QFontMetricsF metrics(m_box->font());
    const auto lines = text.count(QLatin1Char('\n')) + 1;
    return static_cast<float>(metrics.height() * static_cast<double>(lines));
}

void PictureBox::SetMousePointer(MousePointer pointer)
{
    if (pointer == MousePointer::Default)
        m_box->unsetCursor();
    else
        m_box->setCursor(cursorShape(pointer));
}

void PictureBox::SetDock(Dock dock)
{
    m_dock = dock;
    if (dock == Dock::Right) {
        Parent().AddDocked(*this);
        FollowDock();
    } else {
        Parent().RemoveDocked(*this);
    }
}

void PictureBox::FollowDock()
{
    if (m_dock != Dock::Right)
        return;
    const float width = Width();
    SetBoundsUnchecked({Parent().ClientWidth() - width, 0, width, Parent().ClientHeight()});
}

void PictureBox::AdjustBounds(Bounds& bounds)
{
    // A docked box only takes a new width from the program; its place and height belong
    // to the container's edge.
    if (m_dock != Dock::Right)
        return;
    bounds.left = Parent().ClientWidth() - bounds.width;
    bounds.top = 0;
    bounds.height = Parent().ClientHeight();
}

void PictureBox::SizeChanged()
{
    // The interior follows at once, so that children see the new client size in the handler.
    m_box->PlaceClient();
    LayoutDocked();
    Q_EMIT Resize();
}

QWidget* PictureBox::ClientWidget() const
{
    return m_box->client();
}

void PictureBox::dispatchMouse(MouseAction action, QMouseEvent* event)
{
    const QPointF position = event->position() - QPointF(m_border, m_border);
    const auto x = static_cast<float>(position.x());
    const auto y = static_cast<float>(position.y());
    const std::int16_t shift = shiftMask(event->modifiers());
    switch (action) {
    case MouseAction::Down:
        Q_EMIT MouseDown(buttonMask(event->button()), shift, x, y);
        break;
    case MouseAction::Move:
        Q_EMIT MouseMove(buttonMask(event->buttons()), shift, x, y);
        break;
    case MouseAction::Up:
        Q_EMIT MouseUp(buttonMask(event->button()), shift, x, y);
        break;
    }
}

void PictureBox::applyColors()
{
    QPalette palette = m_box->palette();
    palette.setColor(QPalette::Window, SystemColor::Resolve(m_backColor, m_box->palette()));
    palette.setColor(QPalette::WindowText, SystemColor::Resolve(m_foreColor, m_box->palette()));
    m_box->setPalette(palette);
}

} // namespace platform
