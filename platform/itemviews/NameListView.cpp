#include "platform/itemviews/NameListView.h"

#include "platform/itemviews/NameListModel.h"

#include <algorithm>

namespace platform {

NameListView::NameListView(QWidget* parent)
    : QListView(parent)
{
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

// A new folder's names: what was typed in the last one is no start for this one.
void NameListView::reset()
{
    QListView::reset();
    m_finder.Forget();
}

} // namespace platform
