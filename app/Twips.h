#pragma once

namespace app {

// Design sizes are given in twips (1/1440 inch). Qt's high-DPI scaling works in logical
// pixels of 1/96 inch on every screen, so a design keeps its proportions with a fixed 15
// twips a pixel.
namespace Twips {

constexpr float PerPixel = 15.0f;

constexpr float ToPixels(int twips)
{
    return static_cast<float>(twips) / PerPixel;
}

} // namespace Twips
} // namespace app
