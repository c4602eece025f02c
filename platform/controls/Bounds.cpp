#include "platform/controls/Bounds.h"

#include "platform/runtime/Error.h"
#include "platform/runtime/Numbers.h"

#include <algorithm>
#include <cmath>

namespace platform {

Bounds Bounds::ForMove(const Bounds& current, double left, std::optional<double> top, std::optional<double> width,
    std::optional<double> height)
{
    Bounds next;
    next.left = Numbers::ToSingle(left);
    next.top = top ? Numbers::ToSingle(*top) : current.top;
    next.width = width ? Numbers::ToSingle(*width) : current.width;
    next.height = height ? Numbers::ToSingle(*height) : current.height;
    if (next.width < 0 || next.height < 0)
        throw Error(ErrorCode::InvalidPropertyValue);
    return next;
}

float Bounds::Length(double value)
{
    const float length = Numbers::ToSingle(value);
    if (length < 0)
        throw Error(ErrorCode::InvalidPropertyValue);
    return length;
}

int Bounds::WholePixels(float value)
{
    return static_cast<int>(std::lround(std::clamp(static_cast<double>(value), -1.0e9, 1.0e9)));
}

QRect Bounds::ToPixels() const
{
    return {WholePixels(left), WholePixels(top), WholePixels(width), WholePixels(height)};
}

} // namespace platform
