#pragma once

#include "platform/Control.h"

#include <QStringList>
#include <cstdint>

class QListView;
class QStringListModel;

namespace platform {

// The names of a folder's regular files that match a pattern, in natural order, at most
// 32,767 of them. The list is a snapshot taken when Path is assigned (assigning the same
// path reads the folder again); it never changes by itself, because preview boxes map to its
// entries by position.
class FileListBox : public Control {
    Q_OBJECT

public:
    explicit FileListBox(Container& parent);

    QString Path() const { return m_path; }
    void SetPath(const QString& path);
    QString Pattern() const { return m_pattern; }
    void SetPattern(const QString& pattern);

    std::int16_t ListCount() const;
    std::int16_t ListIndex() const;
    void SetListIndex(std::int32_t index);
    QString List(std::int32_t index) const;

Q_SIGNALS:
    void DblClick();

private:
    void reload(const QString& folder);

    QListView* m_view;
    QStringListModel* m_model;
    QString m_path;
    QString m_pattern {QStringLiteral("*.*")};
    QStringList m_names;
};

} // namespace platform
