#include "platform/controls/Control.h"

#include "platform/controls/Container.h"

#include <QWidget>

namespace platform {

Control::Control(Container& container, QWidget* widget)
    : m_container(container)
    , m_widget(widget)
    , m_guard(widget)
{
    if (widget) {
        const QRect rect = widget->geometry();
        m_bounds = {static_cast<float>(rect.x()), static_cast<float>(rect.y()), static_cast<float>(rect.width()),
            static_cast<float>(rect.height())};
    }
}

Control::~Control()
{
    delete widget();
}

void Control::SetLeft(float left)
{
    Move(left);
}

void Control::SetTop(float top)
{
    Move(Left(), top);
}

void Control::SetWidth(float width)
{
    Move(Left(), Top(), width);
}

void Control::SetHeight(float height)
{
    Move(Left(), Top(), Width(), height);
}

void Control::Move(double left, std::optional<double> top, std::optional<double> width, std::optional<double> height)
{
    Bounds next = Bounds::ForMove(m_bounds, left, top, width, height);
    AdjustBounds(next);
    SetBoundsUnchecked(next);
}

void Control::AdjustBounds(Bounds&)
{
}

void Control::SetBoundsUnchecked(const Bounds& bounds)
{
    if (bounds == m_bounds)
        return;
    const bool sizeChanged = bounds.width != m_bounds.width || bounds.height != m_bounds.height;
    m_bounds = bounds;
    if (widget())
        widget()->setGeometry(m_bounds.ToPixels());
    if (sizeChanged)
        SizeChanged();
    Q_EMIT GeometryChanged();
}

void Control::SetVisible(bool visible)
{
    m_visible = visible;
    if (widget())
        widget()->setVisible(visible);
}

bool Control::Enabled() const
{
    return widget() ? widget()->isEnabled() : true;
}

void Control::SetEnabled(bool enabled)
{
    if (widget())
        widget()->setEnabled(enabled);
}

void Control::SetTabStop(TabStop tabStop)
{
    if (widget())
        widget()->setFocusPolicy(tabStop == TabStop::Yes ? Qt::StrongFocus : Qt::NoFocus);
}

void Control::SetAccessibleName(const QString& name)
{
    if (widget())
        widget()->setAccessibleName(name);
}

void Control::BringToFront()
{
    if (widget())
        widget()->raise();
}

void Control::SendToBack()
{
    if (widget())
        widget()->lower();
}

} // namespace platform
