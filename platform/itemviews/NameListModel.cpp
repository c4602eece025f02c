#include "platform/itemviews/NameListModel.h"

#include "platform/names/NativePath.h"

namespace platform {

NameListModel::NameListModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

void NameListModel::SetIcons(const QIcon& treeIcon, const QIcon& icon)
{
    m_treeIcon = treeIcon;
    m_icon = icon;
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
