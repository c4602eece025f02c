#pragma once

#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

#include <cstdint>

class QMouseEvent;

namespace platform {

class PictureBoxWidget;
enum class MouseAction;

enum class BorderStyle { None, FixedSingle };
enum class Dock { None, Right };

// Pointer shapes by their classic codes.
enum class MousePointer { Default = 0, SizeAll = 5, SizeNorthSouth = 7, SizeWestEast = 9 };

// The masks that mouse events carry: the buttons, and the modifier keys held.
namespace MouseButton {
constexpr std::int16_t Left = 1;
constexpr std::int16_t Right = 2;
constexpr std::int16_t Middle = 4;
} // namespace MouseButton

namespace ShiftKey {
constexpr std::int16_t Shift = 1;
constexpr std::int16_t Ctrl = 2;
constexpr std::int16_t Alt = 4;
} // namespace ShiftKey

// A rectangle with its own pixel coordinate space that can hold other controls. With a
// single border its interior (ScaleWidth, ScaleHeight) is 2 pixels smaller on each side.
// Resize is raised synchronously whenever the outer size changes; mouse events carry the
// button mask (MouseButton), the modifier mask (ShiftKey) and the position in the box's
// interior coordinates, negative when the grabbed pointer is above or left of it.
class PictureBox : public Control, public Container {
    Q_OBJECT

public:
    PictureBox(Container& parent, BorderStyle border);
    ~PictureBox() override;

    float ScaleWidth() const;
    float ScaleHeight() const;

    void SetBackColor(std::uint32_t color);
    void SetForeColor(std::uint32_t color);

    // Height of the text's lines in the box's font, in pixels (not rounded).
    float TextHeight(const QString& text) const;

    void SetMousePointer(MousePointer pointer);

    void SetDock(Dock dock);
    // Brings a docked box back against its container's edge; called by the container.
    void FollowDock();

    QWidget* ClientWidget() const override;
    float ClientWidth() const override { return ScaleWidth(); }
    float ClientHeight() const override { return ScaleHeight(); }

Q_SIGNALS:
    void Resize();
    void MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);

protected:
    void AdjustBounds(Bounds& bounds) override;
    void SizeChanged() override;

private:
    void dispatchMouse(MouseAction action, QMouseEvent* event);
    void applyColors();

    PictureBoxWidget* m_box;
    int m_border;
    std::uint32_t m_backColor;
    std::uint32_t m_foreColor;
    Dock m_dock {Dock::None};
};

} // namespace platform
