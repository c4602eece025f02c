#include "platform/controls/DriveListBox.h"

#include "platform/controls/Container.h"
#include "platform/drives/DriveTable.h"
#include "platform/itemviews/ListIcons.h"
#include "platform/names/NativePath.h"
#include "platform/runtime/Error.h"
#include "platform/widgets/DriveComboWidget.h"

#include <QKeyEvent>
#include <QSignalBlocker>

#include <utility>

namespace platform {

DriveListBox::DriveListBox(Container& parent, DriveTable& drives)
    : Control(parent, new DriveComboWidget(parent.ClientWidget()))
    , m_combo(static_cast<DriveComboWidget*>(widget()))
    , m_drives(drives)
{
    try {
        m_selected = m_drives.DriveForPath(m_drives.ProcessFolder());
    } catch (const Error&) {
        if (!m_drives.Drives().isEmpty())
            m_selected = m_drives.Drives().front();
    }
    fill();
    // activated is the user's choice only: a click in the popup, the arrow keys, the wheel.
    connect(m_combo, &QComboBox::activated, this, &DriveListBox::userSelected);
    connect(m_combo, &DriveComboWidget::PopupAboutToShow, this, &DriveListBox::Refresh);
    m_combo->installEventFilter(this);
}

void DriveListBox::SetDrive(const QString& text)
{
    const DriveEntry drive = m_drives.Resolve(text);
    // Going back, while the user's choice is handled, to the drive the list came from asks that
    // drive nothing: the other lists still show its folder, and a drive that stopped answering
    // meanwhile would cost the choice a second deadline.
    if (drive.text != m_cameFrom.text && !m_drives.IsReady(drive))
        throw Error(ErrorCode::DeviceUnavailable);
    if (drive.text == m_selected.text)
        return;
    m_selected = drive;
    if (!m_shown.contains(drive))
        fill();
    showSelected();
    Q_EMIT Change();
}

void DriveListBox::Refresh()
{
    m_drives.Refresh();
    fill();
}

void DriveListBox::fill()
{
    m_shown = m_drives.Drives();
    if (!m_selected.text.isEmpty() && !m_shown.contains(m_selected))
        m_shown.append(m_selected);
    const QSignalBlocker blocker(m_combo);
    m_combo->clear();
    for (const DriveEntry& drive : m_shown)
        m_combo->addItem(ListIcons::Drive(drive.kind), NativePath::ForDisplay(drive.text));
    showSelected();
}

void DriveListBox::userSelected(int row)
{
    if (row < 0 || row >= m_shown.size() || m_shown[row].text == m_selected.text)
        return;
    const DriveEntry chosen = m_shown[row];
    m_cameFrom = std::exchange(m_selected, chosen);
    Q_EMIT Change();
    m_cameFrom = {};
    m_refused = m_selected.text == chosen.text ? DriveEntry {} : chosen;
    m_wentBackTo = m_selected;
}

// The row the arrow keys move from: the refused choice while the list still stands where it
// went back to then, else the row shown.
int DriveListBox::keyRow() const
{
    const qsizetype refused
        = m_refused.text.isEmpty() || m_selected.text != m_wentBackTo.text ? -1 : m_shown.indexOf(m_refused);
    return refused >= 0 ? static_cast<int>(refused) : m_combo->currentIndex();
}

// Up and Down move one drive from keyRow; everything else, Alt+Down opening the popup
// included, is the combo box's own.
bool DriveListBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_combo || event->type() != QEvent::KeyPress)
        return Control::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const int step = key->key() == Qt::Key_Down ? 1 : key->key() == Qt::Key_Up ? -1 : 0;
    if (step == 0 || key->modifiers() != Qt::NoModifier)
        return Control::eventFilter(watched, event);
    const int row = keyRow() + step;
    if (row < 0 || row >= m_shown.size())
        return true;
    {
        const QSignalBlocker blocker(m_combo);
        m_combo->setCurrentIndex(row);
    }
    userSelected(row);
    return true;
}

void DriveListBox::showSelected()
{
    const QSignalBlocker blocker(m_combo);
    m_combo->setCurrentIndex(static_cast<int>(m_shown.indexOf(m_selected)));
}

} // namespace platform
