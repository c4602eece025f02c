#include "platform/controls/DirListBox.h"

#include "platform/controls/Container.h"
#include "platform/desktop/BusyPointer.h"
#include "platform/drives/DriveTable.h"
#include "platform/files/FolderPath.h"
#include "platform/files/GuardedListing.h"
#include "platform/hang/GuardedCall.h"
#include "platform/itemviews/IndentDelegate.h"
#include "platform/itemviews/ListIcons.h"
#include "platform/itemviews/NameListModel.h"
#include "platform/itemviews/NameListView.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/ResumeNext.h"

#include <QDir>
#include <QKeyEvent>
#include <QListView>

namespace platform {

namespace {

const QString Root = QStringLiteral("/");

// The folders from the drive's root down to the folder itself.
QStringList chainOf(const QString& folder, const QString& driveRoot)
{
    QStringList chain;
    for (QString step = folder;; step = FolderPath::Split(step).folder) {
        chain.prepend(step);
        if (step == driveRoot || step == Root)
            break;
    }
    return chain;
}

} // namespace

DirListBox::DirListBox(Container& parent, DriveTable& drives)
    : Control(parent, new NameListView(parent.ClientWidget()))
    , m_view(static_cast<QListView*>(widget()))
    , m_model(NameListModel::InstallIn(*m_view, ListIcons::OpenFolder(), ListIcons::ClosedFolder()))
    , m_drives(drives)
    , m_path(QDir::cleanPath(drives.ProcessFolder()))
{
    m_view->setItemDelegate(new IndentDelegate(m_view));
    connect(m_view, &QListView::doubleClicked, this, [this](const QModelIndex& index) { open(index.row()); });
    m_view->installEventFilter(this);
    // The sub-folders are read when Path is first assigned, which start-up does at once.
    show({});
}

void DirListBox::SetPath(const QString& path)
{
    const QString folder = folderFor(path);
    // Reading first, so that a folder that is missing or unreadable changes nothing.
    // A folder on a drive that stopped answering fails with 68 after the deadline.
    const QStringList subfolders = GuardedListing::Subfolders(folder);
    Step([&] { m_drives.SetCurrentFolder(m_drives.DriveForPath(folder), folder); });
    const bool changed = folder != m_path;
    m_path = folder;
    show(subfolders);
    if (changed)
        Q_EMIT Change();
}

// A drive's text means its current folder; should that folder have gone since, the nearest
// folder above it on the same drive stands in, so that the drive can still be chosen.
QString DirListBox::folderFor(const QString& pathOrDrive) const
{
    for (const DriveEntry& drive : m_drives.Drives()) {
        if (drive.text != pathOrDrive)
            continue;
        if (!m_drives.IsReady(drive))
            throw Error(ErrorCode::DeviceUnavailable);
        const QString remembered = m_drives.CurrentFolder(drive);
        return GuardedCall(Charge::To(remembered))
            .Run<QString>([folder = remembered, root = drive.mountPoint]() mutable {
                while (!FolderPath::IsFolder(folder) && folder != root && folder != Root)
                    folder = FolderPath::Split(folder).folder;
                return folder;
            });
    }
    if (!DriveTable::IsAbsolute(pathOrDrive))
        throw Error(ErrorCode::PathNotFound);
    const QString folder = QDir::cleanPath(pathOrDrive);
    if (!m_drives.IsReady(m_drives.DriveForPath(folder)))
        throw Error(ErrorCode::DeviceUnavailable);
    return folder;
}

int DirListBox::EntryCount() const
{
    return m_model->rowCount();
}

QString DirListBox::EntryPath(int row) const
{
    if (row < 0 || row >= EntryCount())
        return {};
    if (row < m_chain.size())
        return m_chain[row];
    const QString prefix = m_path == Root ? m_path : m_path + u'/';
    return prefix + m_model->Names()[row];
}

bool DirListBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_view || event->type() != QEvent::KeyPress)
        return Control::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_view->currentIndex().isValid())
            return false;
        open(m_view->currentIndex().row());
        return true;
    case Qt::Key_Backspace:
        if (m_chain.size() < 2)
            return false;
        open(static_cast<int>(m_chain.size()) - 2);
        return true;
    default:
        return false;
    }
}

void DirListBox::show(const QStringList& subfolders)
{
    QString driveRoot = Root;
    Step([&] { driveRoot = m_drives.DriveForPath(m_path).mountPoint; });
    m_chain = chainOf(m_path, driveRoot);
    QStringList names;
    names.reserve(m_chain.size() + subfolders.size());
    // The drive's root shows its whole mount point, every other folder its own name.
    names.append(m_chain.front());
    for (qsizetype level = 1; level < m_chain.size(); ++level)
        names.append(FolderPath::Split(m_chain[level]).name);
    names.append(subfolders);
    m_model->SetRows(std::move(names), m_chain.size());
    const QModelIndex current = m_model->index(static_cast<int>(m_chain.size()) - 1);
    m_view->setCurrentIndex(current);
    // From the top, so that the whole chain down to the current folder shows when it fits.
    m_view->scrollToTop();
    m_view->scrollTo(current, QAbstractItemView::EnsureVisible);
}

// A folder that cannot be opened any more (removed since the list was read) does not open;
// the current folder is read again instead, so that it disappears from the list. A folder that
// does not answer has not gone, and reading the current folder again would only wait on the
// same drive a second time.
// The folder is read before any handler of the window runs, and a folder that does not answer
// keeps the window waiting for the deadline, so the wait shows the busy pointer itself.
void DirListBox::open(int row)
{
    const QString target = EntryPath(row);
    if (target.isEmpty())
        return;
    const BusyPointer busy;
    try {
        SetPath(target);
    } catch (const Error& error) {
        if (error.code() != ErrorCode::DeviceUnavailable)
            Step([&] { SetPath(m_path); });
    }
}

} // namespace platform
