#pragma once

#include <QRect>
#include <optional>

namespace platform {

// Where a control or a text box array element sits, in single-precision pixels of its
// container's client area. The program works with these exact values; the widget that shows
// them gets whole pixels.
struct Bounds {
    float left {0};
    float top {0};
    float width {0};
    float height {0};

    bool operator==(const Bounds&) const = default;

    // The bounds a Move asks for. Every argument is converted (and may fail) before anything
    // changes; omitted arguments keep the current values; a negative width or height is
    // error 380. So a Move is applied whole or not at all.
    static Bounds ForMove(const Bounds& current, double left, std::optional<double> top, std::optional<double> width,
        std::optional<double> height);

    // A width or height as the program assigns it: converted, and error 380 when negative.
    static float Length(double value);

    // A length or coordinate in whole pixels, the nearest one. Values far beyond what a widget
    // can show are clamped for the widget only.
    static int WholePixels(float value);
    QRect ToPixels() const;
};

} // namespace platform
