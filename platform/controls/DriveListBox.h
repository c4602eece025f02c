#pragma once

#include "platform/controls/Control.h"
#include "platform/drives/DriveEntry.h"

#include <QList>

namespace platform {

class DriveComboWidget;
class DriveTable;

// A drop-down list of the machine's drives, each with an icon for its kind (hard disk,
// removable medium, network share). Drive reads back the selected entry's text
// ("/home [本地磁盘]"); assigning a drive's text or any absolute path selects the drive that
// holds it, and a drive that is not ready is error 68. Change is raised synchronously when
// the selection changes, whether the user chose another drive (with the mouse, the arrow
// keys or the wheel) or the program assigned one; choosing the selected drive again raises
// nothing. The mount table is read again whenever the popup opens.
//
// A drive the user chose that is refused (not ready: the handler puts the list back on the
// drive the other lists show) is where the arrow keys go on from: Down past a drive that does
// not answer reaches the next drive, instead of the same one again.
class DriveListBox : public Control {
    Q_OBJECT

public:
    DriveListBox(Container& parent, DriveTable& drives);

    QString Drive() const { return m_selected.text; }
    void SetDrive(const QString& text);

    // Reads the mount table again and shows its drives, keeping the selection. A selected
    // drive that has gone stays listed until another is chosen, since the other lists still
    // show its folder.
    void Refresh();

Q_SIGNALS:
    void Change();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void userSelected(int row);
    void showSelected();
    int keyRow() const;

    DriveComboWidget* m_combo;
    DriveTable& m_drives;
    QList<DriveEntry> m_shown;
    DriveEntry m_selected;
    // While the user's choice is handled, the drive selected before it.
    DriveEntry m_cameFrom;
    // The user's last choice if it was refused, and the drive the list went back to then.
    DriveEntry m_refused;
    DriveEntry m_wentBackTo;
};

} // namespace platform
