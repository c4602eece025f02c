#include "platform/itemviews/IndentDelegate.h"

#include "platform/itemviews/NameListModel.h"

#include <algorithm>

namespace platform {

namespace {

// How far a row at this level is moved in a row this wide. A very deep folder in a narrow
// pane stops moving right where half the row would be gone, so every name keeps its icon and
// the start of its text.
int indentFor(int level, int rowWidth)
{
    return std::clamp(level * IndentDelegate::Step, 0, std::max(0, rowWidth / 2));
}

} // namespace

IndentDelegate::IndentDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

void IndentDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem moved(option);
    moved.rect.setLeft(
        option.rect.left() + indentFor(index.data(NameListModel::LevelRole).toInt(), option.rect.width()));
    QStyledItemDelegate::paint(painter, moved, index);
}

QSize IndentDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += index.data(NameListModel::LevelRole).toInt() * Step;
    return size;
}

} // namespace platform
