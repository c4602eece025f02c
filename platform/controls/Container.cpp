#include "platform/controls/Container.h"

#include "platform/controls/PictureBox.h"

#include <algorithm>

namespace platform {

void Container::AddDocked(PictureBox& box)
{
    if (std::find(m_docked.begin(), m_docked.end(), &box) == m_docked.end())
        m_docked.push_back(&box);
}

void Container::RemoveDocked(PictureBox& box)
{
    m_docked.erase(std::remove(m_docked.begin(), m_docked.end(), &box), m_docked.end());
}

void Container::LayoutDocked()
{
    // A docked box's Resize handler may dock or undock boxes; walk a copy.
    const auto docked = m_docked;
    for (PictureBox* box : docked)
        box->FollowDock();
}

} // namespace platform
