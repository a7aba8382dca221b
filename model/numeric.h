#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>

// Every rounding point of the figures assumes that float and double
// arithmetic is carried out in its own type, not in a wider one (as x87
// code may): the published figures depend on it.
static_assert(FLT_EVAL_METHOD == 0, "float and double expressions must be evaluated in their own types");

namespace thrustlet {

// Every area in the program uses this value of pi, not a more precise one:
// published Kn figures were made with it and must match to the bit.
inline constexpr double kPi = 3.141592;

// Rounds a double-precision intermediate to the 32-bit float it is stored as.
// A NaN, an infinity or a value beyond the float range fails with "Overflow"
// instead of silently storing inf or NaN.
// Inline because every area evaluation stores several values.
[[noreturn]] void ThrowOverflow();
float ToSingleOutOfRange(double value);
inline float ToSingle(double value) {
    if (std::fabs(value) <= static_cast<double>(FLT_MAX)) return static_cast<float>(value);
    return ToSingleOutOfRange(value);  // NaN, infinity or beyond the float range
}

// Fails with "Overflow" when a double intermediate is infinite or NaN.
inline double CheckedDouble(double value) {
    if (!std::isfinite(value)) ThrowOverflow();
    return value;
}

// Rounds to a whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Independent of the floating-point rounding mode.
inline double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double below = std::floor(value);
    const double fraction = value - below;  // exact for every finite double
    if (fraction > 0.5) return below + 1.0;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

// Rounds to `decimals` places: scales by 10^decimals, rounds halves to even and
// scales back. A value whose scaling overflows is returned unchanged.
double RoundDecimals(double value, int decimals);

// a / b with the classic arithmetic failures: 0 / 0 is "Overflow",
// x / 0 is "Division by zero", and an infinite or NaN quotient is "Overflow".
[[noreturn]] void ThrowZeroDivision(double numerator);
inline double CheckedDivide(double a, double b) {
    if (b == 0.0) ThrowZeroDivision(a);
    return CheckedDouble(a / b);
}

}  // namespace thrustlet
