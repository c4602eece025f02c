#include "platform/controls/Control.h"

#include "platform/controls/Container.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Numbers.h"

#include <QWidget>
#include <cmath>

namespace platform {

namespace {

int toPixel(float value)
{
    // The widget needs whole pixels; the model keeps the exact value. Coordinates far beyond
    // what a widget can show are clamped for the view only.
    const double clamped = std::clamp(static_cast<double>(value), -1.0e9, 1.0e9);
    return static_cast<int>(std::lround(clamped));
}

} // namespace

Control::Control(Container& container, QWidget* widget)
    : m_container(container)
    , m_widget(widget)
    , m_guard(widget)
{
    if (widget) {
        const QRect rect = widget->geometry();
        m_left = static_cast<float>(rect.x());
        m_top = static_cast<float>(rect.y());
        m_width = static_cast<float>(rect.width());
        m_height = static_cast<float>(rect.height());
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
    Move(m_left, top);
}

void Control::SetWidth(float width)
{
    Move(m_left, m_top, width);
}

void Control::SetHeight(float height)
{
    Move(m_left, m_top, m_width, height);
}

void Control::Move(double left, std::optional<double> top, std::optional<double> width, std::optional<double> height)
{
    // Every argument is converted (and may fail) before anything changes.
    float newLeft = Numbers::ToSingle(left);
    float newTop = top ? Numbers::ToSingle(*top) : m_top;
    float newWidth = width ? Numbers::ToSingle(*width) : m_width;
    float newHeight = height ? Numbers::ToSingle(*height) : m_height;
    if (newWidth < 0 || newHeight < 0)
        throw Error(ErrorCode::InvalidPropertyValue);
    AdjustGeometry(newLeft, newTop, newWidth, newHeight);
    SetGeometryUnchecked(newLeft, newTop, newWidth, newHeight);
}

void Control::AdjustGeometry(float&, float&, float&, float&)
{
}

void Control::SetGeometryUnchecked(float left, float top, float width, float height)
{
    const bool sizeChanged = width != m_width || height != m_height;
    const bool placeChanged = left != m_left || top != m_top;
    if (!sizeChanged && !placeChanged)
        return;
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    ApplyGeometryToWidget();
    if (sizeChanged)
        SizeChanged();
    Q_EMIT GeometryChanged();
}

void Control::ApplyGeometryToWidget()
{
    if (!widget())
        return;
    widget()->setGeometry(toPixel(m_left), toPixel(m_top), toPixel(m_width), toPixel(m_height));
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
