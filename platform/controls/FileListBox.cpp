#include "platform/controls/FileListBox.h"

#include "platform/controls/Container.h"
#include "platform/files/FolderPath.h"
#include "platform/files/GuardedListing.h"
#include "platform/itemviews/ListIcons.h"
#include "platform/itemviews/NameListModel.h"
#include "platform/itemviews/NameListView.h"
#include "platform/runtime/Error.h"

#include <QDir>
#include <QKeyEvent>
#include <QListView>

namespace platform {

FileListBox::FileListBox(Container& parent)
    : Control(parent, new NameListView(parent.ClientWidget()))
    , m_view(static_cast<QListView*>(widget()))
    , m_model(NameListModel::InstallIn(*m_view, {}, ListIcons::TextFile()))
    , m_path(FolderPath::Current())
{
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &FileListBox::selectionChanged);
    connect(m_view, &QListView::doubleClicked, this, [this] { Q_EMIT DblClick(); });
    m_view->installEventFilter(this);
}

void FileListBox::SetPath(const QString& path)
{
    read(path.isEmpty() ? path : FolderPath::Absolute(path));
}

// The folder is read only once a path has been assigned: start-up assigns one straight after
// the design has set the pattern, and reading the starting folder twice would be wasted.
void FileListBox::SetPattern(const QString& pattern)
{
    m_pattern = pattern;
    if (!m_read)
        return;
    try {
        read(m_path);
    } catch (const Error&) {
        // The folder has gone or cannot be read any more: it lists nothing.
        m_model->SetRows({});
        m_listIndex = -1;
    }
}

std::int16_t FileListBox::ListCount() const
{
    return static_cast<std::int16_t>(m_model->rowCount());
}

void FileListBox::SetListIndex(std::int32_t index)
{
    if (index < -1 || index >= ListCount())
        throw Error(ErrorCode::InvalidPropertyValue);
    if (index == -1) {
        m_view->selectionModel()->clear();
    } else {
        const QModelIndex entry = m_model->index(index);
        m_view->setCurrentIndex(entry);
        m_view->scrollTo(entry);
    }
    m_listIndex = static_cast<std::int16_t>(index);
}

const QString& FileListBox::List(std::int32_t index) const
{
    if (index < 0 || index >= ListCount())
        throw Error(ErrorCode::InvalidProcedureCall);
    return m_model->Names()[index];
}

const QStringList& FileListBox::Names() const
{
    return m_model->Names();
}

// Enter opens the selected file, as a double-click does; with nothing selected there is
// nothing to open, and the key is left to the view.
bool FileListBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress && m_listIndex >= 0) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Q_EMIT DblClick();
            return true;
        }
    }
    return Control::eventFilter(watched, event);
}

void FileListBox::read(const QString& folder)
{
    // A folder on a drive that stopped answering fails with 68 after the deadline.
    QStringList names = GuardedListing::Files(folder, m_pattern);
    m_path = folder.isEmpty() ? folder : QDir::cleanPath(folder);
    m_read = true;
    m_model->SetRows(std::move(names));
    m_listIndex = -1;
    m_view->scrollToTop();
}

void FileListBox::selectionChanged()
{
    const QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    m_listIndex = selected.isEmpty() ? std::int16_t {-1} : static_cast<std::int16_t>(selected.front().row());
}

} // namespace platform
