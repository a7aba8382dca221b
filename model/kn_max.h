#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace thrustlet {

class cMotor;

// The maximum Kn of a motor over the 1001-depth scan (depths 0, step,
// 2 step, ... while the depth does not pass the web; step = web / 1000) and
// the depth of its first occurrence: the first depth whose Kn equals the
// maximum, or 0 when no depth has a Kn above 0.
struct KnMaxResult {
    float kn = 0.0f;
    float depth = 0.0f;
};

// Exactly the scan's result, with its failures, in a few dozen depth
// evaluations instead of 1001: between grain burnouts the stack's burning
// area is a quadratic in the depth, and a proven bound on the rounding of the
// area rules leaves only the depths whose area could reach the largest one
// to be evaluated by the rules themselves. Motors outside the bound's
// assumptions (unknown grain types, inhibited ends, non-finite or huge dimensions, a throat
// area that is not a normal float, a tiny web) take the plain scan.
// docs/kn_max.md gives the derivation.
KnMaxResult KnMaxWithDepth(cMotor& motor);

// The plain scan: Kn evaluated at every depth. The reference for the above.
KnMaxResult LiteralKnMaxWithDepth(cMotor& motor);

// Kn of a burning-area sum at a throat area, as KN rounds it and the scans
// store it (a float); 0 for a zero throat area, with KN's failures.
float KnOfAreaSum(double sum, float throat_area);

// The largest burning-area sum over the scan's depths, summed in the motor's
// order exactly as KN sums it. Kn at any throat is a non-decreasing function
// of the sum, so this gives the scan's maximum Kn for every throat (the
// nozzle search uses it). False, leaving `largest` untouched, when the motor
// is outside the fast path's assumptions. The throat is not looked at.
bool LargestAreaSum(cMotor& motor, double* largest);

// Bounds on the burning-area sum at each of a list of increasing depths, as
// KN sums it: low[k] <= sum <= high[k]. Valid only for a motor the fast path
// takes (FastAreaBoundsApply); false when a bound is not finite.
struct AreaSumBounds {
    std::vector<double> low, high;
    double largest_magnitude = 0;  // of any sum at these depths
    double largest_low = 0;        // the largest of `low`
};
bool FastAreaBoundsApply(const cMotor& motor);
// Whether a motor web is within the fast paths' limits (0, or at least
// 10^-12): the maximum and the curve both ask it.
bool FastPathWeb(float web);
bool BoundAreaSums(const cMotor& motor, const std::vector<float>& depths, AreaSumBounds* bounds);

// KNMax computed at most once and kept, with its failure: a recalculation
// asks for it in the graph and in the summary.
class KnMaxOnce {
public:
    explicit KnMaxOnce(cMotor& motor) : motor_(motor) {}
    // The maximum Kn; raises the same failure on every call when it failed.
    float Value();

private:
    cMotor& motor_;
    bool done_ = false;
    bool failed_ = false;
    float value_ = 0.0f;
    int32_t error_number_ = 0;
    std::string error_description_;
};

}  // namespace thrustlet
