#include "platform/widgets/PictureBoxWidget.h"

#include "platform/widgets/SunkenPanel.h"

#include <QMouseEvent>

namespace platform {

PictureBoxWidget::PictureBoxWidget(QWidget* parent, int borderWidth)
    : QFrame(parent)
    , m_client(new QWidget(this))
    , m_borderWidth(borderWidth)
{
    if (borderWidth > 0)
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    else
        setFrameStyle(QFrame::NoFrame);
    setMouseTracking(true);
    setAutoFillBackground(true);
    // Mouse events over the interior belong to the box itself, not to its client widget.
    m_client->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    m_client->setMouseTracking(true);
}

void PictureBoxWidget::paintEvent(QPaintEvent* event)
{
    // The background is filled by Qt already; a borderless box (the tall preview canvas)
    // has nothing more to paint.
    if (m_borderWidth > 0 && !SunkenPanel::PaintFrame(*this))
        QFrame::paintEvent(event);
}

void PictureBoxWidget::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    PlaceClient();
}

void PictureBoxWidget::PlaceClient()
{
    m_client->setGeometry(m_borderWidth, m_borderWidth, std::max(0, width() - 2 * m_borderWidth),
        std::max(0, height() - 2 * m_borderWidth));
}

void PictureBoxWidget::mousePressEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(MouseAction::Down, event);
    event->accept();
}

void PictureBoxWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(MouseAction::Move, event);
    event->accept();
}

void PictureBoxWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(MouseAction::Up, event);
    event->accept();
}

} // namespace platform
