#pragma once

#include <cstdint>

namespace platform {

// The numeric rules every length and count of the program follows: lengths are single
// precision, conversions to integers round half to even, integer division truncates, and
// overflow, division by zero and invalid results are errors rather than silent wrap-around.
namespace Numbers {

// Rounds to single precision; an infinite or NaN result is an overflow error.
float ToSingle(double value);

// Single (or double) to 32-bit integer, nearest with halves to even.
std::int32_t ToLong(double value);

// To 16-bit integer, nearest with halves to even.
std::int16_t ToInteger(double value);
std::int16_t ToInteger(std::int32_t value);

// Truncating integer division; division by zero and INT_MIN / -1 are errors.
std::int32_t IntDiv(std::int32_t dividend, std::int32_t divisor);

// 32-bit and 16-bit arithmetic that reports overflow instead of wrapping.
std::int32_t Add(std::int32_t a, std::int32_t b);
std::int32_t Subtract(std::int32_t a, std::int32_t b);
std::int16_t Subtract16(std::int16_t a, std::int16_t b);
std::int16_t Negate16(std::int16_t value);

} // namespace Numbers
} // namespace platform
