#pragma once

#include "platform/names/TypeToFind.h"

#include <QListView>
#include <QTimer>

namespace platform {

// The view of the directory and file lists (over a NameListModel): a list view that finds a
// name by what is typed into it (TypeToFind), a Chinese name also by its pinyin. Finding only
// moves the selection, as the arrow keys do: it opens nothing, so the directory list changes
// folder only where a key that opens would.
class NameListView : public QListView {
    Q_OBJECT

public:
    explicit NameListView(QWidget* parent);

    void keyboardSearch(const QString& search) override;
    void reset() override;

private:
    TypeToFind m_finder;
    QTimer m_learn;
};

} // namespace platform
