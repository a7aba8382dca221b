#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>

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
double CheckedDouble(double value);

// Rounds to a whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Independent of the floating-point rounding mode.
double RoundHalfEven(double value);

// Rounds to `decimals` places: scales by 10^decimals, rounds halves to even and
// scales back. A value whose scaling overflows is returned unchanged.
double RoundDecimals(double value, int decimals);

// a / b with the classic arithmetic failures: 0 / 0 is "Overflow",
// x / 0 is "Division by zero", and an infinite or NaN quotient is "Overflow".
double CheckedDivide(double a, double b);

}  // namespace thrustlet
