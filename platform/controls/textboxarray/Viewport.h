#pragma once

namespace platform {

class PictureBox;
class TextBoxElement;

// The part of a picture box that its container shows, in the box's own coordinates: the
// boxes of a text box array that it touches are the ones that need an editor widget.
class Viewport {
public:
    static Viewport Of(const PictureBox& box);

    float Top() const { return m_top; }
    float Bottom() const { return m_bottom; }

    // Whether the element can be seen: shown, not empty, and touching the viewport.
    bool Shows(const TextBoxElement& element) const;
    // Whether the element lies wholly above or below the shown rows, whatever its left or width.
    bool OutsideRows(const TextBoxElement& element) const;

private:
    Viewport(float left, float top, float right, float bottom);

    float m_left;
    float m_top;
    float m_right;
    float m_bottom;
};

} // namespace platform
