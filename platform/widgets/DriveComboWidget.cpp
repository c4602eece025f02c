#include "platform/widgets/DriveComboWidget.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStyle>
#include <algorithm>

namespace platform {

DriveComboWidget::DriveComboWidget(QWidget* parent)
    : QComboBox(parent)
{
}

// The popup is as wide as the widest drive's text, which a mount point deep in /media or
// /run/media makes wider than the narrow navigation pane; cut short, the entries of two
// sticks could look alike.
void DriveComboWidget::showPopup()
{
    Q_EMIT PopupAboutToShow();
    const QFontMetrics metrics(view()->font());
    int widest = 0;
    for (int row = 0; row < count(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(itemText(row)));
    const int extras = iconSize().width() + 4 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this)
        + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 16;
    view()->setMinimumWidth(widest + extras);
    QComboBox::showPopup();
}

} // namespace platform
