#include "platform/FileListBox.h"

#include "platform/Container.h"
#include "platform/Error.h"
#include "platform/FolderScanner.h"
#include "platform/Numbers.h"

#include <QDir>
#include <QListView>
#include <QStringListModel>

namespace platform {

FileListBox::FileListBox(Container& parent)
    : Control(parent, new QListView(parent.ClientWidget()))
    , m_view(static_cast<QListView*>(widget()))
    , m_model(new QStringListModel(m_view))
{
    m_view->setModel(m_model);
    m_view->setUniformItemSizes(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_view, &QListView::doubleClicked, this, [this] { Q_EMIT DblClick(); });
    m_path = QDir::currentPath();
}

void FileListBox::SetPath(const QString& path)
{
    reload(path);
}

void FileListBox::SetPattern(const QString& pattern)
{
    m_pattern = pattern;
    reload(m_path);
}

std::int16_t FileListBox::ListCount() const
{
    return static_cast<std::int16_t>(m_names.size());
}

std::int16_t FileListBox::ListIndex() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? static_cast<std::int16_t>(current.row()) : std::int16_t {-1};
}

void FileListBox::SetListIndex(std::int32_t index)
{
    const std::int16_t checked = Numbers::ToInteger(index);
    if (checked < -1 || checked >= ListCount())
        throw Error(ErrorCode::InvalidPropertyValue);
    if (checked == -1) {
        m_view->setCurrentIndex(QModelIndex());
        m_view->clearSelection();
        return;
    }
    m_view->setCurrentIndex(m_model->index(checked));
}

QString FileListBox::List(std::int32_t index) const
{
    if (index < 0 || index >= m_names.size())
        throw Error(ErrorCode::InvalidProcedureCall);
    return m_names[index];
}

void FileListBox::reload(const QString& folder)
{
    QStringList names = FolderScanner::ListFiles(folder, m_pattern);
    m_path = folder;
    m_names = std::move(names);
    m_model->setStringList(m_names);
}

} // namespace platform
