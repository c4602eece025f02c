#pragma once

class QPaintDevice;
class QPainter;
class QPalette;
class QRect;

namespace platform {

// The classic sunken 3-D edge, two pixels wide (the look of QFrame::WinPanel | QFrame::Sunken:
// dark and black above and left, white and light grey below and right), drawn as solid
// one-pixel rectangles. Qt draws the same edge as four polylines, which its raster engine
// strokes one pixel at a time; on a box a few hundred pixels wide that cost more than the
// text inside it, on every repaint of every preview box in view.
class SunkenPanel {
public:
    // Whether Paint draws what the style would on this device: on a scaled one (a high-DPI
    // screen) the style draws the lines one device pixel thin, and is left to do so.
    static bool Suits(const QPaintDevice& device);
    // Paints the edge along the inside of rect in the palette's current colour group.
    static void Paint(QPainter& painter, const QRect& rect, const QPalette& palette);
};

} // namespace platform
