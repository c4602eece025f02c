#include "platform/widgets/LineEditWidget.h"

namespace platform {

LineEditWidget::LineEditWidget(QWidget* parent)
    : QLineEdit(parent)
{
}

void LineEditWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    // The handler may rebind this widget (and reset the callback); call a copy.
    const auto callback = onDoubleClick;
    if (callback)
        callback();
}

} // namespace platform
