#pragma once

#include <cstdint>

namespace layout {

// Placement rules of the navigation pane, the splitters and the viewport. Every result is a
// single-precision length; conversions round half to even and failures are the program's
// error (division by zero, overflow).
class PaneRules {
public:
    // Splitter and gap thickness between the panes, and the drag limits.
    static constexpr float Gap = 8;
    static constexpr float MinPane = 10;
    static constexpr float MinViewport = 20;
    static constexpr float MinFileList = 50;
    static constexpr float BoxBorders = 4;

    // How many lines of text fit in one preview box: the box height less its borders,
    // rounded, divided (truncating) by the rounded text height.
    static std::int32_t LinesPerItem(float itemHeight, float textHeight);

    static float FileListTop(float splitY);
    static float FileListHeight(float formHeight, float splitY);
    static float ViewportWidth(float formWidth, float splitX);

    // The drag bounds, lower bound first, so that the upper one wins when they cross.
    static float ClampSplitX(float splitX, float formWidth);
    static float ClampSplitY(float splitY, float dirTop, float formHeight);

    // A bar's new position from its position, the pointer and the grab offset.
    static float Dragged(float position, float pointer, float grabOffset);
};

} // namespace layout
