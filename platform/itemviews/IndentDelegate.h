#pragma once

#include <QStyledItemDelegate>

namespace platform {

// Draws each row of a list moved right by its level (NameListModel::LevelRole), icon and all,
// so that a flat list reads like a tree. A flat list view keeps uniform row sizes, which a
// tree view would give up, and stays quick for a folder of a hundred thousand sub-folders.
class IndentDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // Pixels per level: three quarters of a small icon, like a tree's indentation.
    static constexpr int Step = 12;

    explicit IndentDelegate(QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace platform
