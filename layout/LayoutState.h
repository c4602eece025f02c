#pragma once

#include <QString>
#include <cstdint>

namespace layout {

// The geometry of the window and the numbers derived from it, in pixels (single precision)
// and counts. Everything starts at zero; start-up measures the design into it.
struct LayoutState {
    float DirTop {0};
    float SplitX {0};
    float FormWidth {0};
    float FormHeight {0};
    float SplitY {0};
    bool NavBusy {false};
    float ItemHeight {0};
    std::int32_t LinesPerItem {0};
    std::int32_t ItemCount {0};
    QString FolderPath;
    float ViewHeight {0};
    std::int32_t PageItems {0};

    // Grab offsets of the splitter drags, kept between mouse moves.
    float LastDragX {0};
    float LastDragY {0};
};

} // namespace layout
