#include "platform/itemviews/NameListModel.h"

#include "platform/names/NativePath.h"

#include <QListView>

namespace platform {

NameListModel::NameListModel(QObject* parent, const QIcon& treeIcon, const QIcon& icon)
    : QAbstractListModel(parent)
    , m_treeIcon(treeIcon)
    , m_icon(icon)
{
}

NameListModel* NameListModel::InstallIn(QListView& view, const QIcon& treeIcon, const QIcon& icon)
{
    auto* model = new NameListModel(&view, treeIcon, icon);
    view.setModel(model);
    view.setUniformItemSizes(true);
    // Small icons, as a desktop's list views have; the style's default size makes the rows
    // taller and shows fewer names in the narrow pane.
    view.setIconSize(QSize(16, 16));
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return model;
}

void NameListModel::SetRows(QStringList names, qsizetype treeRows)
{
    beginResetModel();
    m_names = std::move(names);
    m_treeRows = std::min(treeRows, m_names.size());
    endResetModel();
}

int NameListModel::Level(int row) const
{
    return static_cast<int>(std::min<qsizetype>(row, m_treeRows));
}

int NameListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_names.size());
}

QVariant NameListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_names.size())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return NativePath::ForDisplay(m_names[row]);
    case Qt::DecorationRole:
        return row < m_treeRows ? m_treeIcon : m_icon;
    case LevelRole:
        return Level(row);
    default:
        return {};
    }
}

} // namespace platform
