#pragma once

#include "platform/Control.h"

#include <QStringList>

class QListWidget;
class QListWidgetItem;

namespace platform {

class DriveTable;

// The folders of the current path as an indented list: the chain from the drive's root down
// to the current folder, then the current folder's sub-folders. A double-click or Enter on an
// entry opens it. Path accepts a folder, or a bare drive meaning that drive's current folder;
// a folder that does not exist is an error. Change is raised synchronously when Path changes.
class DirListBox : public Control {
    Q_OBJECT

public:
    DirListBox(Container& parent, DriveTable& drives);

    QString Path() const { return m_path; }
    void SetPath(const QString& path);

    // Entries as shown, for tests and accessibility checks.
    int EntryCount() const;
    QString EntryPath(int row) const;

Q_SIGNALS:
    void Change();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuild();
    void openEntry(QListWidgetItem* item);

    QListWidget* m_list;
    DriveTable& m_drives;
    QString m_path;
    QStringList m_entryPaths;
};

} // namespace platform
