#include "platform/itemviews/IndentDelegate.h"

#include "platform/itemviews/NameListModel.h"

#include <algorithm>

namespace platform {

IndentDelegate::IndentDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

int IndentDelegate::IndentFor(int level, int rowWidth)
{
    return std::clamp(level * Step, 0, std::max(0, rowWidth / 2));
}

void IndentDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem moved(option);
    moved.rect.setLeft(
        option.rect.left() + IndentFor(index.data(NameListModel::LevelRole).toInt(), option.rect.width()));
    QStyledItemDelegate::paint(painter, moved, index);
}

QSize IndentDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += index.data(NameListModel::LevelRole).toInt() * Step;
    return size;
}

} // namespace platform
