#include "platform/DirListBox.h"

#include "platform/Container.h"
#include "platform/DriveTable.h"
#include "platform/Error.h"
#include "platform/FolderScanner.h"
#include "platform/ResumeNext.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QStyle>

namespace platform {

namespace {

QString parentOf(const QString& folder)
{
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : folder.left(slash);
}

} // namespace

DirListBox::DirListBox(Container& parent, DriveTable& drives)
    : Control(parent, new QListWidget(parent.ClientWidget()))
    , m_list(static_cast<QListWidget*>(widget()))
    , m_drives(drives)
    , m_path(QDir::cleanPath(QDir::currentPath()))
{
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &DirListBox::openEntry);
    m_list->installEventFilter(this);
    rebuild();
}

void DirListBox::SetPath(const QString& path)
{
    QString folder;
    std::optional<DriveEntry> drive;
    try {
        drive = m_drives.FindByText(path);
    } catch (const Error&) {
    }
    if (drive) {
        if (!m_drives.IsReady(*drive))
            throw Error(ErrorCode::DeviceUnavailable);
        folder = m_drives.CurrentFolder(*drive);
    } else {
        if (!DriveTable::IsAbsolute(path))
            throw Error(ErrorCode::PathNotFound);
        folder = QDir::cleanPath(path);
        drive = m_drives.DriveForPath(folder);
        if (!m_drives.IsReady(*drive))
            throw Error(ErrorCode::DeviceUnavailable);
    }
    if (!QFileInfo(folder).isDir())
        throw Error(ErrorCode::PathNotFound);
    m_drives.SetCurrentFolder(m_drives.DriveForPath(folder), folder);
    if (folder == m_path)
        return;
    m_path = folder;
    rebuild();
    Q_EMIT Change();
}

int DirListBox::EntryCount() const
{
    return static_cast<int>(m_entryPaths.size());
}

QString DirListBox::EntryPath(int row) const
{
    return m_entryPaths.value(row);
}

bool DirListBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_list->currentItem()) {
            openEntry(m_list->currentItem());
            return true;
        }
    }
    return Control::eventFilter(watched, event);
}

void DirListBox::rebuild()
{
    // The chain from the drive's root down to the current folder, then its sub-folders.
    QStringList chain;
    QString root = QStringLiteral("/");
    Step([&] { root = m_drives.DriveForPath(m_path).mountPoint; });
    for (QString folder = m_path;; folder = parentOf(folder)) {
        chain.prepend(folder);
        if (folder == root || folder == QStringLiteral("/"))
            break;
    }
    QStringList children;
    Step([&] { children = FolderScanner::ListSubfolders(m_path); });

    m_list->clear();
    m_entryPaths.clear();
    const QIcon open = m_list->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = m_list->style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [&](const QString& path, const QString& name, const QIcon& icon, int level) {
        auto* item = new QListWidgetItem(icon, name);
        item->setData(Qt::UserRole, level);
        item->setData(Qt::AccessibleTextRole, path);
        item->setToolTip(path);
        m_list->addItem(item);
        m_entryPaths.append(path);
        // Indentation shows the tree: an icon's worth of space per level.
        item->setText(QString(level * 2, QLatin1Char(' ')) + name);
    };
    for (int level = 0; level < chain.size(); ++level) {
        const QString& folder = chain[level];
        add(folder, level == 0 ? folder : folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1), open, level);
    }
    const QString prefix = m_path == QStringLiteral("/") ? m_path : m_path + QLatin1Char('/');
    for (const QString& child : children)
        add(prefix + child, child, closed, static_cast<int>(chain.size()));
    m_list->setCurrentRow(static_cast<int>(chain.size()) - 1);
}

void DirListBox::openEntry(QListWidgetItem* item)
{
    const QString target = m_entryPaths.value(m_list->row(item));
    if (target.isEmpty())
        return;
    // A folder removed since the list was read simply does not open.
    Step([&] { SetPath(target); });
}

} // namespace platform
