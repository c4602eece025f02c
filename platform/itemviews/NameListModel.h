#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QStringList>

class QListView;

namespace platform {

// The rows of the directory and file lists: a plain list of names, so that a folder of tens
// of thousands of entries costs one string each and the view asks only for the rows it
// shows. The first TreeRows names are a chain of folders, each one level deeper than the one
// before and drawn with the tree icon; the names after them sit one level below the chain
// and are drawn with the plain icon. Names are kept as NativePath decoded them (so that they
// lead back to their files) and shown as NativePath::ForDisplay makes them readable.
class NameListModel : public QAbstractListModel {
    Q_OBJECT

public:
    // The indentation level of a row, for the delegate that draws the tree.
    static constexpr int LevelRole = Qt::UserRole + 1;

    // Sets the view up as the directory and file lists show their names (small icons, single
    // selection, nothing to edit, no horizontal scroll bar) with a new model of these icons,
    // which the view owns.
    static NameListModel* InstallIn(QListView& view, const QIcon& treeIcon, const QIcon& icon);

    void SetRows(QStringList names, qsizetype treeRows = 0);

    const QStringList& Names() const { return m_names; }
    int Level(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    NameListModel(QObject* parent, const QIcon& treeIcon, const QIcon& icon);

    QStringList m_names;
    qsizetype m_treeRows {0};
    QIcon m_treeIcon;
    QIcon m_icon;
};

} // namespace platform
