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

constexpr double kFloatUnit = 0x1p-24;   // float unit roundoff u
constexpr double kDoubleUnit = 0x1p-53;  // double unit roundoff v
// How far the area rules' roundings can move one grain's area, relative to
// its magnitude quadratic Mag (docs/kn_max.md, section 3): 5.05 u derived
// from the rules, 2^-44 for pow's allowance of 2^-45 on each of the two core
// end areas, and the rest a margin for evaluating Mag itself.
constexpr double kAreaRuleRelative = 8.0 * kFloatUnit;
static_assert(5.05 * kFloatUnit + 0x1p-44 < kAreaRuleRelative);
// Double roundings counted per grain, per depth and once (section 4); each
// count m stands for m v, doubled for a strict bound while m v <= 1/2.
constexpr double kRoundingsPerGrain = 2.0, kRoundingsPerDepth = 1.0, kFixedRoundings = 32.0;
// Per grain: a float rounding that underflows errs by up to 2^-150 in
// absolute terms, and later products scale that by at most about 2^57.
constexpr double kUnderflowSlack = 0x1p-80;

bool Ordinary(float value) {
    const double magnitude = std::fabs(static_cast<double>(value));
    return std::isfinite(value) && magnitude <= kLargestDimension;
}

// The scan's depths, each one 32-bit addition past the last, as
// ForEachKnMaxDepth makes them. The scan adds in double and rounds to float;
// a float addition gives the same bits, because the double sum of two floats
// whose magnitudes are within 2^29 of each other is exact (and here the
// depth never exceeds a few thousand steps), so the only rounding is the one
// to float either way.
bool ScanDepths(float web, std::vector<float>* depths) {
    const float step = ToSingle(static_cast<double>(web) / 1000.0);
    depths->resize(kMostDepths);
    float* out = depths->data();
    std::size_t count = 0;
    float depth = 0.0f;
    while (depth <= web) {
        if (count == kMostDepths) return false;
        out[count++] = depth;
        const float next = step + depth;
        if (!(next > depth)) break;
        depth = next;
    }
    depths->resize(count);
    return true;
}

// Number of leading depths at which the grain burns. The burnout is near
// where the exact length or web runs out; the search starts there and
// gallops, so it costs a few tests, not a binary search of all depths.
std::size_t BurningDepths(const cGrain& grain, const std::vector<float>& depths, float step) {
    const std::size_t count = depths.size();
    if (count == 0 || !grain.Burning(depths[0])) return 0;
    if (grain.Burning(depths[count - 1])) return count;
    // Invariant: burns at `low`, not at `high`.
    std::size_t low = 0, high = count - 1;
    const double end = std::min(static_cast<double>(grain.Length()),
                                static_cast<double>(grain.Diameter()) - grain.CoreDiameter()) / 2.0;
    if (step > 0.0f && end > 0.0) {
        const double guess = std::floor(end / step);
        if (guess < static_cast<double>(count)) {
            const auto g = static_cast<std::size_t>(guess);
            std::size_t reach = 1;
            if (grain.Burning(depths[g])) {
                low = g;
                while (low + reach < high && grain.Burning(depths[low + reach])) {
                    low += reach;
                    reach *= 2;
                }
                high = std::min(high, low + reach);
            } else {
                high = g;
                while (high > low + reach && !grain.Burning(depths[high - reach])) {
                    high -= reach;
                    reach *= 2;
                }
                low = std::max(low, high > reach ? high - reach : 0);
            }
        }
    }
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        if (grain.Burning(depths[middle])) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return high;
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

bool FastPathWeb(float web) { return web == 0.0f || web >= kSmallestWeb; }

bool FastAreaBoundsApply(const cMotor& motor) {
    for (const auto& grain : motor.Grains()) {
        if (grain->GrainType() != cGrain::kBates || grain->Inhibited() != cGrain::Ends::kNone || !Ordinary(grain->Length()) ||
            !Ordinary(grain->Diameter()) || !Ordinary(grain->CoreDiameter())) {
            return false;
        }
    }
    return true;
}

bool BoundAreaSums(const cMotor& motor, const std::vector<float>& depths, AreaSumBounds* bounds) {
    // Each grain's exact area while it burns, and an upper bound on the
    // magnitudes the rounding errors scale with, as quadratics; summed over
    // the grains that burn at each depth: grains are listed by their last
    // burning depth, and the sums are built from the last depth back, so
    // only burning grains are ever added.
    const std::size_t count = depths.size();
    const float step = count > 1 ? depths[1] - depths[0] : 0.0f;
    struct Piece {
        Quadratic exact, size;
        std::size_t next;
    };
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    thread_local std::vector<Piece> pieces;
    thread_local std::vector<std::size_t> first_at;  // by last burning depth
    pieces.clear();
    first_at.assign(count, kNone);
    for (const auto& grain : motor.Grains()) {
        const std::size_t burning = BurningDepths(*grain, depths, step);
        if (burning == 0) continue;
        const double c0 = grain->CoreDiameter();
        const double l0 = grain->Length();
        const double outer_end = grain->OuterEndArea();
        Piece piece;
        piece.exact.a = -6.0 * kPi;
        piece.exact.b = 2.0 * kPi * (l0 - 2.0 * c0);
        piece.exact.c = kPi * c0 * l0 + 2.0 * outer_end - kPi / 2.0 * (c0 * c0);
        piece.size.a = 6.0 * kPi;
        piece.size.b = 2.0 * kPi * (std::fabs(l0) + 2.0 * std::fabs(c0));
        piece.size.c = kPi * std::fabs(c0) * std::fabs(l0) + 2.0 * std::fabs(outer_end) + kPi / 2.0 * (c0 * c0);
        piece.next = first_at[burning - 1];
        first_at[burning - 1] = pieces.size();
        pieces.push_back(piece);
    }
    const double grains = static_cast<double>(motor.Grains().size());
    const double roundings =
        kRoundingsPerGrain * grains + kRoundingsPerDepth * static_cast<double>(count) + kFixedRoundings;
    const double relative = kAreaRuleRelative + roundings * 2.0 * kDoubleUnit;
    const double absolute = (grains + 1.0) * kUnderflowSlack;
    bounds->low.resize(count);
    bounds->high.resize(count);
    double largest_magnitude = 0.0;
    double largest_low = -INFINITY;
    Quadratic area_sum, magnitude_sum;
    for (std::size_t k = count; k-- > 0;) {
        for (std::size_t i = first_at[k]; i != kNone; i = pieces[i].next) {
            area_sum.Add(pieces[i].exact);
            magnitude_sum.Add(pieces[i].size);
        }
        const double d = depths[k];
        const double centre = area_sum.At(d);
        const double error = magnitude_sum.At(d) * relative + absolute + 4.0 * kDoubleUnit * std::fabs(centre);
        const double low = centre - error;
        bounds->low[k] = low;
        bounds->high[k] = centre + error;
        largest_magnitude = std::max(largest_magnitude, std::fabs(centre) + error);
        largest_low = std::max(largest_low, low);
    }
    bounds->largest_magnitude = largest_magnitude;
    bounds->largest_low = largest_low;
    return std::isfinite(largest_magnitude);
}

namespace {

// The scan's depths and the bounds on the area sum at each; false when the
// motor is outside the fast path's assumptions.
bool BoundScan(cMotor& motor, std::vector<float>* depths, AreaSumBounds* bounds) {
    if (!FastAreaBoundsApply(motor)) return false;
    const float web = motor.WebThickness();
    if (!FastPathWeb(web)) return false;
    return ScanDepths(web, depths) && BoundAreaSums(motor, *depths, bounds);
}

// The largest exact area sum: only depths whose upper bound reaches the
// largest lower bound are summed. `exact` keeps those sums (NaN elsewhere).
// False when a sum is not a finite number: the bounds assume finite sums,
// so such a motor is left to the plain scan (within the fast path's limits
// it cannot happen).
bool LargestSum(const cMotor& motor, const std::vector<float>& depths, const AreaSumBounds& bounds,
                std::vector<double>* exact, double* largest) {
    const double floor = bounds.largest_low;
    exact->assign(depths.size(), NAN);
    *largest = -INFINITY;
    for (std::size_t k = 0; k < depths.size(); ++k) {
        if (bounds.high[k] < floor) continue;
        const double sum = motor.BurningAreaSum(depths[k]);
        if (!std::isfinite(sum)) return false;
        (*exact)[k] = sum;
        if (sum > *largest) *largest = sum;
    }
    return true;
}

}  // namespace

float KnOfAreaSum(double sum, float throat_area) {
    if (throat_area == 0.0f) return 0.0f;
    return ToSingle(RoundHalfEven(CheckedDivide(sum, throat_area)));
}

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
    thread_local std::vector<float> depths;
    thread_local AreaSumBounds bounds;
    thread_local std::vector<double> exact;
    depths.clear();
    if (!BoundScan(motor, &depths, &bounds)) return LiteralKnMaxWithDepth(motor);
    if (throat == 0.0f) return {};  // Kn is 0 at every depth
    // Kn beyond the float range fails in the scan; let it fail there.
    if (bounds.largest_magnitude / throat > 1e36) return LiteralKnMaxWithDepth(motor);

    // Kn never decreases as the sum grows, so the largest sum has the
    // largest Kn.
    double largest = 0.0;
    if (!LargestSum(motor, depths, bounds, &exact, &largest)) return LiteralKnMaxWithDepth(motor);
    KnMaxResult result;
    const float kn = KnOfAreaSum(largest, throat);
    if (!(kn > 0.0f)) return result;
    result.kn = static_cast<float>(RoundHalfEven(kn));
    // The first depth with that Kn. A sum below `below` has a Kn under it
    // (docs/kn_max.md, section 5: the float rounding of the Kn, the rounding
    // to a whole number and the division together move a sum's Kn by less
    // than 2^-20 of it plus 1), so only depths whose upper bound reaches it
    // are looked at.
    const double below = static_cast<double>(kn) * throat * (1.0 - 0x1p-20) - throat;
    for (std::size_t k = 0; k < depths.size(); ++k) {
        if (bounds.high[k] < below || KnOfAreaSum(bounds.high[k], throat) < kn) continue;
        if (std::isnan(exact[k])) exact[k] = motor.BurningAreaSum(depths[k]);
        if (KnOfAreaSum(exact[k], throat) == kn) {
            result.depth = depths[k];
            break;
        }
    }
    return result;
}

bool LargestAreaSum(cMotor& motor, double* largest) {
    thread_local std::vector<float> depths;
    thread_local AreaSumBounds bounds;
    thread_local std::vector<double> exact;
    depths.clear();
    if (!BoundScan(motor, &depths, &bounds)) return false;
    return LargestSum(motor, depths, bounds, &exact, largest);
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
