#pragma once

#include <vector>

namespace platform {

class TextEditWidget;

// The editor widgets of a text box array that no element holds at the moment. A view keeps
// its text when it comes back, so that lending it to an element with the same text costs
// nothing. While the array rebinds after a scroll, views set free stay shown as spares and
// serve the elements that arrive directly, without being hidden and shown again.
class ViewPool {
public:
    ViewPool() = default;
    ~ViewPool();
    ViewPool(const ViewPool&) = delete;
    ViewPool& operator=(const ViewPool&) = delete;

    // A spare view first, then a hidden one; null when there is none.
    TextEditWidget* Take();
    // A view set free during a rebind, still shown.
    void Spare(TextEditWidget* view);
    // Hides the spares that no element took.
    void HideSpares();
    // A view set free outside a rebind: hidden at once. It may be the one whose double-click
    // is being handled right now, so it is kept, never deleted here.
    void Put(TextEditWidget* view);

private:
    std::vector<TextEditWidget*> m_hidden;
    std::vector<TextEditWidget*> m_spare;
};

} // namespace platform
