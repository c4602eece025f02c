#pragma once

#include "platform/controls/Control.h"

#include <QStringList>

class QListView;

namespace platform {

class DriveTable;
class NameListModel;

// The folders of the current path as a list indented like a tree: the chain from the drive's
// root down to the current folder (open-folder icons), then the current folder's sub-folders
// (closed-folder icons), hidden ones left out, in the order of the user's locale. A
// double-click or Enter on an entry opens it, Backspace opens the parent; a single click or
// typing the start of a name (NameListView) only selects.
//
// Path accepts a folder, or a drive's text meaning that drive's current folder. A drive that
// is not ready is error 68, a folder that does not exist error 76, one that cannot be read
// error 75; nothing changes then. Assigning the folder shown reads its sub-folders again
// without raising anything; Change is raised synchronously when Path changes.
class DirListBox : public Control {
    Q_OBJECT

public:
    DirListBox(Container& parent, DriveTable& drives);

    QString Path() const { return m_path; }
    void SetPath(const QString& path);

    // Entries as shown, top to bottom, and the folder each one opens.
    int EntryCount() const;
    QString EntryPath(int row) const;

Q_SIGNALS:
    void Change();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString folderFor(const QString& pathOrDrive) const;
    void show(const QStringList& subfolders);
    void open(int row);

    QListView* m_view;
    NameListModel* m_model;
    DriveTable& m_drives;
    QString m_path;
    QStringList m_chain;
};

} // namespace platform
