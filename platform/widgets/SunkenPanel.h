#pragma once

class QFrame;

namespace platform {

// The classic sunken 3-D edge, two pixels wide (the look of QFrame::WinPanel | QFrame::Sunken:
// dark and black above and left, white and light grey below and right), drawn as solid
// one-pixel rectangles. Qt draws the same edge as four polylines, which its raster engine
// strokes one pixel at a time; on a box a few hundred pixels wide that cost more than the
// text inside it, on every repaint of every preview box in view.
class SunkenPanel {
public:
    // Paints the edge along the inside of the frame's rectangle in its palette. Returns false,
    // having painted nothing, on a scaled device (a high-DPI screen), where the style draws
    // the lines one device pixel thin and is left to do so.
    static bool PaintFrame(QFrame& frame);
};

} // namespace platform
