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

double CheckedDouble(double value) {
    if (!std::isfinite(value)) ThrowOverflow();
    return value;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double below = std::floor(value);
    const double fraction = value - below;  // exact for every finite double
    if (fraction > 0.5) return below + 1.0;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

double RoundDecimals(double value, int decimals) {
    if (decimals <= 0) return RoundHalfEven(value);
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (!std::isfinite(scaled)) return value;
    return RoundHalfEven(scaled) / scale;
}

double CheckedDivide(double a, double b) {
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a)) ThrowOverflow();
        ThrowDivisionByZero();
    }
    return CheckedDouble(a / b);
}

}  // namespace thrustlet
