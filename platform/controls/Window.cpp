#include "platform/controls/Window.h"

#include "platform/controls/Bounds.h"
#include "platform/controls/Control.h"
#include "platform/widgets/FormWidget.h"

namespace platform {

Window::Window(float clientWidth, float clientHeight)
    : m_widget(new FormWidget)
    , m_scaleWidth(clientWidth)
    , m_scaleHeight(clientHeight)
{
    m_widget->resize(Bounds::WholePixels(clientWidth), Bounds::WholePixels(clientHeight));
    m_widget->onResized = [this](QSize size) {
        // The widget reports whole pixels; a size the program set with a fraction arrives
        // rounded and is no change.
        if (size.width() == Bounds::WholePixels(m_scaleWidth) && size.height() == Bounds::WholePixels(m_scaleHeight))
            return;
        clientResized(static_cast<float>(size.width()), static_cast<float>(size.height()));
    };
    m_widget->onFirstPaint = [this] { Q_EMIT FirstPaint(); };
}

Window::~Window()
{
    // Controls are members of the owner and delete their own widgets; whatever is left
    // (the form itself) goes here.
    delete m_widget;
}

void Window::SetCaption(const QString& caption)
{
    m_widget->setWindowTitle(caption);
}

QString Window::Caption() const
{
    return m_widget->windowTitle();
}

void Window::SetAccessibleName(const QString& name)
{
    m_widget->setAccessibleName(name);
}

void Window::Refresh()
{
    if (m_widget->isVisible())
        m_widget->repaint();
}

void Window::Show()
{
    if (!m_loaded) {
        m_loaded = true;
        Q_EMIT Load();
    }
    m_widget->show();
}

void Window::ResizeClient(float width, float height)
{
    // The model goes first: a hidden widget gets its resize event only when shown, and a
    // shown one reports the size rounded to whole pixels.
    clientResized(width, height);
    m_widget->resize(Bounds::WholePixels(width), Bounds::WholePixels(height));
}

void Window::SetTabOrder(std::initializer_list<Control*> order)
{
    QWidget* previous = nullptr;
    for (Control* control : order) {
        QWidget* current = control->widget();
        if (previous && current)
            QWidget::setTabOrder(previous, current);
        if (current)
            previous = current;
    }
}

QWidget* Window::ClientWidget() const
{
    return m_widget;
}

QWidget* Window::widget() const
{
    return m_widget;
}

void Window::clientResized(float width, float height)
{
    if (width == m_scaleWidth && height == m_scaleHeight)
        return;
    m_scaleWidth = width;
    m_scaleHeight = height;
    LayoutDocked();
    Q_EMIT Resize();
}

} // namespace platform
