#include "platform/itemviews/NameListView.h"

#include "platform/itemviews/NameListModel.h"

#include <algorithm>

namespace platform {

NameListView::NameListView(QWidget* parent)
    : QListView(parent)
{
    m_learn.setSingleShot(true);
    connect(&m_learn, &QTimer::timeout, this, [this] {
        if (const auto* names = qobject_cast<const NameListModel*>(model()))
            m_finder.Learn(names->Names());
    });
}

void NameListView::keyboardSearch(const QString& search)
{
    // Keys such as Backspace and Escape bring their control characters here; they find nothing.
    const auto* names = qobject_cast<const NameListModel*>(model());
    if (!names || search.isEmpty() || !std::all_of(search.begin(), search.end(), [](QChar c) { return c.isPrint(); }))
        return;
    const int row = m_finder.Type(search, names->Names(), currentIndex().row());
    if (row >= 0)
        setCurrentIndex(names->index(row));
}

// A new folder's names: what was typed in the last one is no start in this one. The finder
// learns the names once the window is idle, as the user reads the new list, since learning
// them looks at each name once, a few milliseconds for a large folder, and the first key
// would otherwise wait for it.
void NameListView::reset()
{
    QListView::reset();
    m_finder.Forget();
    m_learn.start(0);
}

} // namespace platform
