#pragma once

#include <cstdint>

class QColor;
class QPalette;

namespace platform {

// Colours are 32-bit values: 0x00BBGGRR for a plain colour, or 0x80000000 plus an index for
// one of the desktop's system colours, which follow the current palette.
namespace SystemColor {

constexpr std::uint32_t WindowBackground = 0x80000005;
constexpr std::uint32_t WindowText = 0x80000008;
constexpr std::uint32_t ButtonFace = 0x8000000F;
constexpr std::uint32_t ButtonShadow = 0x80000010;

QColor Resolve(std::uint32_t value, const QPalette& palette);

} // namespace SystemColor
} // namespace platform
