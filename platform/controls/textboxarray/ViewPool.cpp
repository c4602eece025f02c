#include "platform/controls/textboxarray/ViewPool.h"

#include "platform/widgets/TextEditWidget.h"

namespace platform {

ViewPool::~ViewPool()
{
    // Views are children of the picture box's widget; they go with it unless the array goes
    // first.
    for (TextEditWidget* view : m_spare)
        delete view;
    for (TextEditWidget* view : m_hidden)
        delete view;
}

TextEditWidget* ViewPool::Take()
{
    std::vector<TextEditWidget*>& from = m_spare.empty() ? m_hidden : m_spare;
    if (from.empty())
        return nullptr;
    TextEditWidget* view = from.back();
    from.pop_back();
    return view;
}

void ViewPool::Spare(TextEditWidget* view)
{
    m_spare.push_back(view);
}

void ViewPool::HideSpares()
{
    for (TextEditWidget* view : m_spare)
        Put(view);
    m_spare.clear();
}

void ViewPool::Put(TextEditWidget* view)
{
    view->hide();
    m_hidden.push_back(view);
}

} // namespace platform
