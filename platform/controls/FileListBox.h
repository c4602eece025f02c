#pragma once

#include "platform/controls/Control.h"

#include <QStringList>
#include <cstdint>

class QListView;

namespace platform {

class NameListModel;

// The names of a folder's regular files that match a pattern (case-insensitively; hidden
// files left out), in the order of the user's locale, at most 32,767 of them. The list is a
// snapshot taken when Path is assigned (assigning the same path reads the folder again); it
// never changes by itself, because preview boxes map to its entries by position. Typing finds
// a name (NameListView).
//
// ListIndex is the selected entry, -1 for none; assigning one outside -1 ... ListCount - 1 is
// error 380. List(i) is entry i's name without its folder; any i outside the list, -1
// included, is error 5. DblClick is raised by a double-click on an entry and by Enter while
// an entry is selected.
class FileListBox : public Control {
    Q_OBJECT

public:
    explicit FileListBox(Container& parent);

    QString Path() const { return m_path; }
    void SetPath(const QString& path);
    void SetPattern(const QString& pattern);

    std::int16_t ListCount() const;
    std::int16_t ListIndex() const { return m_listIndex; }
    void SetListIndex(std::int32_t index);
    const QString& List(std::int32_t index) const;

    // The whole snapshot, so that two readings of one folder can be compared.
    const QStringList& Names() const;

Q_SIGNALS:
    void DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void read(const QString& folder);
    void selectionChanged();

    QListView* m_view;
    NameListModel* m_model;
    QString m_path;
    QString m_pattern {QStringLiteral("*.*")};
    bool m_read {false};
    std::int16_t m_listIndex {-1};
};

} // namespace platform
