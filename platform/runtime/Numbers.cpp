#include "platform/runtime/Numbers.h"

#include "platform/runtime/Error.h"

#include <cmath>
#include <limits>

namespace platform::Numbers {

namespace {

[[noreturn]] void overflow()
{
    throw Error(ErrorCode::Overflow);
}

// nearbyint under the default rounding mode is round-half-to-even, the rule we need.
double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        overflow();
    return std::nearbyint(value);
}

} // namespace

float ToSingle(double value)
{
    if (std::isnan(value))
        overflow();
    const float single = static_cast<float>(value);
    if (!std::isfinite(single))
        overflow();
    return single;
}

std::int32_t ToLong(double value)
{
    const double rounded = roundHalfEven(value);
    if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
        overflow();
    return static_cast<std::int32_t>(rounded);
}

std::int16_t ToInteger(double value)
{
    const double rounded = roundHalfEven(value);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        overflow();
    return static_cast<std::int16_t>(rounded);
}

std::int16_t ToInteger(std::int32_t value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        overflow();
    return static_cast<std::int16_t>(value);
}

std::int32_t IntDiv(std::int32_t dividend, std::int32_t divisor)
{
    if (divisor == 0)
        throw Error(ErrorCode::DivisionByZero);
    if (dividend == std::numeric_limits<std::int32_t>::min() && divisor == -1)
        overflow();
    return dividend / divisor;
}

namespace {

std::int32_t checked32(std::int64_t wide)
{
    if (wide < std::numeric_limits<std::int32_t>::min() || wide > std::numeric_limits<std::int32_t>::max())
        overflow();
    return static_cast<std::int32_t>(wide);
}

} // namespace

std::int32_t Add(std::int32_t a, std::int32_t b)
{
    return checked32(static_cast<std::int64_t>(a) + b);
}

std::int32_t Subtract(std::int32_t a, std::int32_t b)
{
    return checked32(static_cast<std::int64_t>(a) - b);
}

std::int16_t Subtract16(std::int16_t a, std::int16_t b)
{
    return ToInteger(static_cast<std::int32_t>(a) - static_cast<std::int32_t>(b));
}

std::int16_t Negate16(std::int16_t value)
{
    return ToInteger(-static_cast<std::int32_t>(value));
}

} // namespace platform::Numbers
