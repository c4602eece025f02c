#include "platform/desktop/SystemColor.h"

#include <QColor>
#include <QPalette>

namespace platform::SystemColor {

QColor Resolve(std::uint32_t value, const QPalette& palette)
{
    switch (value) {
    case WindowBackground:
        return palette.color(QPalette::Base);
    case WindowText:
        return palette.color(QPalette::Text);
    case ButtonFace:
        return palette.color(QPalette::Button);
    case ButtonShadow:
        return palette.color(QPalette::Dark);
    default:
        break;
    }
    if (value & 0x80000000u)
        return palette.color(QPalette::Window);
    return QColor(
        static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF), static_cast<int>((value >> 16) & 0xFF));
}

} // namespace platform::SystemColor
