#include "model/numeric.h"

#include <cfloat>
#include <cmath>

#include "model/errors.h"

namespace thrustlet {

float ToSingleOutOfRange(double value) {
    if (std::isnan(value)) ThrowOverflow();
    const double magnitude = std::fabs(value);
    {
        // Values within half an ulp of FLT_MAX still round to it; the exact
        // halfway point rounds to even, which is infinity.
        constexpr double kHalfUlpAtMax = 0x1p103;
        if (magnitude >= static_cast<double>(FLT_MAX) + kHalfUlpAtMax) ThrowOverflow();
        return value > 0 ? FLT_MAX : -FLT_MAX;
    }
    return static_cast<float>(value);
}

double RoundDecimals(double value, int decimals) {
    if (decimals <= 0) return RoundHalfEven(value);
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (!std::isfinite(scaled)) return value;
    return RoundHalfEven(scaled) / scale;
}

void ThrowZeroDivision(double numerator) {
    if (numerator == 0.0 || std::isnan(numerator)) ThrowOverflow();
    ThrowDivisionByZero();
}

}  // namespace thrustlet
