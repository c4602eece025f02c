#pragma once

#include "platform/Control.h"

class QComboBox;

namespace platform {

class DriveTable;

// A drop-down list of the machine's drives. Drive reads back the selected entry's text
// ("/home [本地磁盘]"); assigning a drive's text or any absolute path selects the drive that
// holds it. Change is raised synchronously when the selection changes, whether the user or
// the program changed it.
class DriveListBox : public Control {
    Q_OBJECT

public:
    DriveListBox(Container& parent, DriveTable& drives);

    QString Drive() const;
    void SetDrive(const QString& text);

    // Re-reads the mounted drives, keeping the selection where it can.
    void Refresh();

Q_SIGNALS:
    void Change();

private:
    void userSelected(int row);
    void select(int row);

    QComboBox* m_combo;
    DriveTable& m_drives;
    int m_selected {-1};
};

} // namespace platform
