#include "model/kn_max.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

#include "model/errors.h"
#include "model/kn_scan.h"
#include "model/motor.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

// Limits of the fast path (docs/kn_max.md): within them no area rule can
// overflow, and every rounding is bounded as the document derives.
constexpr double kLargestDimension = 1e15;
constexpr float kSmallestWeb = 1e-12f;
constexpr std::size_t kMostDepths = 4096;

constexpr double kFloatUnit = 0x1p-24;   // float unit roundoff
constexpr double kDoubleUnit = 0x1p-53;  // double unit roundoff
// Per grain: a float rounding that underflows errs by up to 2^-150 in
// absolute terms, and later products scale that by at most about 2^57.
constexpr double kUnderflowSlack = 0x1p-80;

// Burning area summed in the motor's own order, exactly as KN sums it.
double AreaSumAt(const cMotor& motor, float depth) {
    double sum = 0.0;
    for (const auto& grain : motor.Grains()) sum = grain->SurfaceArea(depth) + sum;
    return sum;
}

// Kn of an area sum, as KN rounds it and the scan stores it.
float KnOf(double sum, float throat_area) {
    return ToSingle(RoundHalfEven(CheckedDivide(sum, throat_area)));
}

bool Ordinary(float value) {
    const double magnitude = std::fabs(static_cast<double>(value));
    return std::isfinite(value) && magnitude <= kLargestDimension;
}

// The scan's depths, each one 32-bit addition past the last.
bool ScanDepths(float web, std::vector<float>* depths) {
    const float step = ToSingle(static_cast<double>(web) / 1000.0);
    bool fits = true;
    ForEachKnMaxDepth(web, step, [&](float depth) {
        if (depths->size() < kMostDepths) {
            depths->push_back(depth);
        } else {
            fits = false;
        }
    });
    return fits;
}

// A grain burns at a depth unless its length is gone or its core has reached
// the outside: the same float tests as the area rules. Both only turn false
// as the depth grows, so a grain burns over a prefix of the scan's depths.
bool Burning(const cGrain& grain, float depth) {
    const double d = depth;
    const float core = ToSingle((d + d) + grain.CoreDiameter());
    const float length = ToSingle(grain.Length() - (d + d));
    return !(length <= 0.0f || core > grain.Diameter());
}

// Number of leading depths at which the grain burns.
std::size_t BurningDepths(const cGrain& grain, const std::vector<float>& depths) {
    std::size_t low = 0, high = depths.size();  // burns before `low`, not at `high` and after
    if (high == 0 || !Burning(grain, depths[0])) return 0;
    low = 1;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (Burning(grain, depths[middle])) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

// Coefficients of a quadratic in the depth: c + b d + a d².
struct Quadratic {
    double a = 0, b = 0, c = 0;
    void Add(const Quadratic& other) {
        a += other.a;
        b += other.b;
        c += other.c;
    }
    double At(double d) const { return c + d * (b + d * a); }
};

}  // namespace

bool FastAreaBoundsApply(const cMotor& motor) {
    for (const auto& grain : motor.Grains()) {
        if (grain->GrainType() != cGrain::kBates || !Ordinary(grain->Length()) ||
            !Ordinary(grain->Diameter()) || !Ordinary(grain->CoreDiameter())) {
            return false;
        }
    }
    return true;
}

bool BoundAreaSums(const cMotor& motor, const std::vector<float>& depths, AreaSumBounds* bounds) {
    // Each grain's exact area while it burns, and an upper bound on the
    // magnitudes the rounding errors scale with, as quadratics; summed over
    // the grains that burn at each depth (bucketed by burnout, then summed
    // from the last depth back so only burning grains are added).
    const std::size_t count = depths.size();
    std::vector<Quadratic> area(count + 1), magnitude(count + 1);
    for (const auto& grain : motor.Grains()) {
        const std::size_t burning = BurningDepths(*grain, depths);
        if (burning == 0) continue;
        const double c0 = grain->CoreDiameter();
        const double l0 = grain->Length();
        const double outer_end = ToSingle(kPi * std::pow(grain->Diameter() / 2.0, 2.0));
        Quadratic exact;
        exact.a = -6.0 * kPi;
        exact.b = 2.0 * kPi * (l0 - 2.0 * c0);
        exact.c = kPi * c0 * l0 + 2.0 * outer_end - kPi / 2.0 * (c0 * c0);
        Quadratic size;
        size.a = 6.0 * kPi;
        size.b = 2.0 * kPi * (std::fabs(l0) + 2.0 * std::fabs(c0));
        size.c = kPi * std::fabs(c0) * std::fabs(l0) + 2.0 * std::fabs(outer_end) + kPi / 2.0 * (c0 * c0);
        area[burning - 1].Add(exact);
        magnitude[burning - 1].Add(size);
    }
    const double grains = static_cast<double>(motor.Grains().size());
    const double relative =
        8.0 * kFloatUnit + (2.0 * grains + static_cast<double>(count) + 32.0) * 2.0 * kDoubleUnit;
    const double absolute = (grains + 1.0) * kUnderflowSlack;
    bounds->low.assign(count, 0.0);
    bounds->high.assign(count, 0.0);
    bounds->largest_magnitude = 0.0;
    Quadratic area_sum, magnitude_sum;
    for (std::size_t k = count; k-- > 0;) {
        area_sum.Add(area[k]);
        magnitude_sum.Add(magnitude[k]);
        const double d = depths[k];
        const double centre = area_sum.At(d);
        const double error = magnitude_sum.At(d) * relative + absolute + 4.0 * kDoubleUnit * std::fabs(centre);
        if (!std::isfinite(centre) || !std::isfinite(error)) return false;
        bounds->low[k] = centre - error;
        bounds->high[k] = centre + error;
        bounds->largest_magnitude = std::max(bounds->largest_magnitude, std::fabs(centre) + error);
    }
    return true;
}

namespace {

// The scan's depths and the bounds on the area sum at each; false when the
// motor is outside the fast path's assumptions.
bool BoundScan(cMotor& motor, std::vector<float>* depths, AreaSumBounds* bounds) {
    if (!FastAreaBoundsApply(motor)) return false;
    const float web = motor.WebThickness();
    if (web != 0.0f && web < kSmallestWeb) return false;
    return ScanDepths(web, depths) && BoundAreaSums(motor, *depths, bounds);
}

// The exact area sums at the depths that could hold the largest one: every
// depth whose upper bound reaches the largest lower bound.
double LargestSum(cMotor& motor, const std::vector<float>& depths, const AreaSumBounds& bounds,
                  std::vector<double>* exact, std::vector<char>* known) {
    const double floor = *std::max_element(bounds.low.begin(), bounds.low.end());
    double largest = -INFINITY;
    for (std::size_t k = 0; k < depths.size(); ++k) {
        if (bounds.high[k] < floor) continue;
        (*exact)[k] = AreaSumAt(motor, depths[k]);
        (*known)[k] = 1;
        largest = std::max(largest, (*exact)[k]);
    }
    return largest;
}

}  // namespace

KnMaxResult LiteralKnMaxWithDepth(cMotor& motor) {
    const float web = motor.WebThickness();
    const float step = ToSingle(static_cast<double>(motor.WebThickness()) / 1000.0);
    KnMaxResult result;
    ForEachKnMaxDepth(web, step, [&](float depth) {
        const float kn = ToSingle(motor.KN(depth));
        if (kn > result.kn) {
            result.kn = kn;
            result.depth = depth;
        }
    });
    result.kn = static_cast<float>(RoundHalfEven(result.kn));
    return result;
}

KnMaxResult KnMaxWithDepth(cMotor& motor) {
    // A throat area is a square: zero, or a positive float, normal here.
    const float throat = motor.NozzleThroatArea();
    if (!(throat == 0.0f || (std::isfinite(throat) && throat >= FLT_MIN))) return LiteralKnMaxWithDepth(motor);
    std::vector<float> depths;
    AreaSumBounds bounds;
    if (!BoundScan(motor, &depths, &bounds)) return LiteralKnMaxWithDepth(motor);
    if (throat == 0.0f) return {};  // Kn is 0 at every depth
    // Kn beyond the float range fails in the scan; let it fail there.
    if (bounds.largest_magnitude / throat > 1e36) return LiteralKnMaxWithDepth(motor);

    std::vector<double> exact(depths.size(), 0.0);
    std::vector<char> known(depths.size(), 0);
    // Kn never decreases as the sum grows, so the largest sum has the
    // largest Kn.
    const double largest = LargestSum(motor, depths, bounds, &exact, &known);
    KnMaxResult result;
    const float kn = KnOf(largest, throat);
    if (!(kn > 0.0f)) return result;
    result.kn = static_cast<float>(RoundHalfEven(kn));
    // The first depth with that Kn: only depths whose upper bound reaches it.
    for (std::size_t k = 0; k < depths.size(); ++k) {
        if (KnOf(bounds.high[k], throat) < kn) continue;
        if (!known[k]) exact[k] = AreaSumAt(motor, depths[k]);
        if (KnOf(exact[k], throat) == kn) {
            result.depth = depths[k];
            break;
        }
    }
    return result;
}

bool LargestAreaSum(cMotor& motor, double* largest) {
    std::vector<float> depths;
    AreaSumBounds bounds;
    if (!BoundScan(motor, &depths, &bounds)) return false;
    std::vector<double> exact(depths.size(), 0.0);
    std::vector<char> known(depths.size(), 0);
    *largest = LargestSum(motor, depths, bounds, &exact, &known);
    return true;
}

float KnMaxOnce::Value() {
    if (!done_) {
        done_ = true;
        try {
            value_ = motor_.KNMax();
        } catch (const RunTimeError& error) {
            failed_ = true;
            error_number_ = error.Number();
            error_description_ = error.Description();
        }
    }
    if (failed_) throw RunTimeError(error_number_, error_description_);
    return value_;
}

}  // namespace thrustlet
