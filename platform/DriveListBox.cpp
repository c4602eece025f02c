#include "platform/DriveListBox.h"

#include "platform/Container.h"
#include "platform/DriveTable.h"
#include "platform/Error.h"

#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>
#include <QStyle>

namespace platform {

DriveListBox::DriveListBox(Container& parent, DriveTable& drives)
    : Control(parent, new QComboBox(parent.ClientWidget()))
    , m_combo(static_cast<QComboBox*>(widget()))
    , m_drives(drives)
{
    Refresh();
    try {
        const DriveEntry current = m_drives.DriveForPath(QDir::currentPath());
        select(m_combo->findText(current.text));
    } catch (const Error&) {
        select(m_combo->count() > 0 ? 0 : -1);
    }
    connect(m_combo, &QComboBox::activated, this, &DriveListBox::userSelected);
}

QString DriveListBox::Drive() const
{
    return m_selected >= 0 ? m_combo->itemText(m_selected) : QString();
}

void DriveListBox::SetDrive(const QString& text)
{
    const DriveEntry drive = m_drives.Resolve(text);
    if (!m_drives.IsReady(drive))
        throw Error(ErrorCode::DeviceUnavailable);
    int row = m_combo->findText(drive.text);
    if (row < 0) {
        // A drive mounted since the list was filled.
        Refresh();
        row = m_combo->findText(drive.text);
    }
    if (row < 0)
        throw Error(ErrorCode::DeviceUnavailable);
    if (row == m_selected)
        return;
    select(row);
    Q_EMIT Change();
}

void DriveListBox::Refresh()
{
    const QString selected = Drive();
    const QSignalBlocker blocker(m_combo);
    m_combo->clear();
    const QIcon icon = m_combo->style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const DriveEntry& drive : m_drives.Drives())
        m_combo->addItem(icon, drive.text);
    m_selected = selected.isEmpty() ? -1 : m_combo->findText(selected);
    m_combo->setCurrentIndex(m_selected);
}

void DriveListBox::userSelected(int row)
{
    if (row == m_selected)
        return;
    select(row);
    Q_EMIT Change();
}

void DriveListBox::select(int row)
{
    m_selected = row;
    if (m_combo->currentIndex() != row) {
        const QSignalBlocker blocker(m_combo);
        m_combo->setCurrentIndex(row);
    }
}

} // namespace platform
