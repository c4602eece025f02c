#include "platform/widgets/FormWidget.h"

#include <QResizeEvent>

namespace platform {

FormWidget::FormWidget()
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void FormWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (onResized)
        onResized(event->size());
}

void FormWidget::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!m_painted) {
        m_painted = true;
        if (onFirstPaint)
            onFirstPaint();
    }
}

} // namespace platform
