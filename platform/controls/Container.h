#pragma once

#include <vector>

class QWidget;

namespace platform {

class PictureBox;

// Something that holds controls: the window's client area or a picture box's interior.
// Children are placed in its client coordinates and clipped to them; a child docked to the
// right edge is kept flush with it whenever the client size changes.
class Container {
public:
    virtual ~Container() = default;

    virtual QWidget* ClientWidget() const = 0;
    virtual float ClientWidth() const = 0;
    virtual float ClientHeight() const = 0;

    void AddDocked(PictureBox& box);
    void RemoveDocked(PictureBox& box);

protected:
    // Called by the container after its client size changed, before it raises its own Resize.
    void LayoutDocked();

private:
    std::vector<PictureBox*> m_docked;
};

} // namespace platform
