#pragma once

#include <cstdint>

namespace layout {

// How the viewport scrolls the canvas of preview boxes: by whole boxes, one viewport of
// whole boxes per page.
class ScrollRules {
public:
    // Whole boxes that fit in the viewport (both heights rounded half to even first).
    static std::int32_t PageItems(float viewHeight, float itemHeight);
    static float CanvasHeight(float itemHeight, std::int32_t itemCount);
    static float CanvasTop(std::int16_t scrollValue, float itemHeight);
    static float BoxTop(std::int32_t index, float itemHeight);
};

} // namespace layout
