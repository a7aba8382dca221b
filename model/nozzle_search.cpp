#include "model/nozzle_search.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "model/kn_max.h"
#include "model/kn_scan.h"
#include "model/motor.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

constexpr float kFirstTrial = 0.1f;
constexpr float kLastTrial = 3.0f;
constexpr float kIncrement = 0.005f;

// Length units of the design per inch of the grid.
double ScaleOf(const cMotor& motor) {
    return motor.Performance().units == LengthUnit::kMillimetre ? kMillimetresPerInch : 1.0;
}

// The throat of grid value `d` in the design's unit.
float Trial(float d, double scale) { return scale == 1.0 ? d : ToSingle(static_cast<double>(d) * scale); }

// Walks the grid; `d` accumulates in 32-bit floats as the search always
// did, and each trial throat is d in the design's unit.
template <typename KnAtCurrentNozzle>
float Scan(cMotor& motor, float target, double scale, KnAtCurrentNozzle&& kn_of) {
    float d = kFirstTrial;
    while (d <= kLastTrial) {
        motor.SetNozzleDia(Trial(d, scale));
        const float k = kn_of();
        if (k <= target) break;
        d = kIncrement + d;  // one float addition
    }
    return d;
}

// The largest and smallest summed burning area over a set of depths. Kn at
// any throat is round(sum / area) stored as a float, which never decreases
// as the sum grows, so the largest Kn comes from the largest sum and the
// most negative (an overflow risk) from the smallest.
struct AreaSums {
    double largest = -std::numeric_limits<double>::infinity();
    double smallest = std::numeric_limits<double>::infinity();
    void Add(double sum) {
        largest = std::max(largest, sum);
        smallest = std::min(smallest, sum);
    }
};

float InitialKnSearch(cMotor& motor, float target, double scale) {
    // The first trial raises any grain failure with the motor at the first
    // throat, as the plain scan does.
    motor.SetNozzleDia(Trial(kFirstTrial, scale));
    const double sum = motor.BurningAreaSum(0.0f);
    return Scan(motor, target, scale, [&] { return KnOfAreaSum(sum, motor.NozzleThroatArea()); });
}

float MaxKnSearch(cMotor& motor, float target, double scale) {
    motor.SetNozzleDia(Trial(kFirstTrial, scale));
    // The largest sum found from bounded quadratic pieces; within the limits
    // that path keeps to, no trial throat (0.1 to 3 inches, or their
    // millimetres, wider still) takes Kn out of range.
    double largest = 0.0;
    if (LargestAreaSum(motor, &largest)) {
        return Scan(motor, target, scale, [&] {
            return std::max(0.0f, static_cast<float>(RoundHalfEven(KnOfAreaSum(largest, motor.NozzleThroatArea()))));
        });
    }
    const float web = motor.WebThickness();
    const float step = ToSingle(static_cast<double>(web) / 1000.0);
    AreaSums sums;
    ForEachKnMaxDepth(web, step, [&](float depth) { sums.Add(motor.BurningAreaSum(depth)); });
    return Scan(motor, target, scale, [&] {
        const float area = motor.NozzleThroatArea();
        KnOfAreaSum(sums.smallest, area);  // fails where the scan would
        return std::max(0.0f, static_cast<float>(RoundHalfEven(KnOfAreaSum(sums.largest, area))));
    });
}

NozzleSizingResult Sized(float d, double scale, float diameter) {
    NozzleSizingResult result;
    result.diameter = diameter;
    result.reached = d <= kLastTrial;
    // The grid value: 3 decimals of an inch, and that value's exact
    // millimetres (0.127 mm steps), so the shown throat never drifts with
    // the float additions.
    const double inches = RoundDecimals(d, 3);
    result.shown = scale == 1.0 ? inches : RoundDecimals(inches * scale, 3);
    return result;
}

}  // namespace

float LiteralSearchNozzleForInitialKn(cMotor& motor, float target) {
    return Scan(motor, target, 1.0, [&] { return ToSingle(motor.KN(0.0f)); });
}

float LiteralSearchNozzleForMaxKn(cMotor& motor, float target) {
    return Scan(motor, target, 1.0, [&] { return LiteralKnMaxWithDepth(motor).kn; });
}

float SearchNozzleForInitialKn(cMotor& motor, float target) { return InitialKnSearch(motor, target, 1.0); }

float SearchNozzleForMaxKn(cMotor& motor, float target) { return MaxKnSearch(motor, target, 1.0); }

namespace {

// A search that stopped at the range's first (narrowest) throat: whether that
// throat's Kn is below the target, which then no throat of the range meets.
void CheckNarrowest(NozzleSizingResult& result, float d, float target, const std::function<float()>& kn) {
    if (d != kFirstTrial) return;
    const float first = kn();
    if (first < target) {
        result.above_narrowest = true;
        result.narrowest_kn = first;
    }
}

}  // namespace

NozzleSizingResult SizeNozzleForInitialKn(cMotor& motor, float target) {
    const double scale = ScaleOf(motor);
    const float d = InitialKnSearch(motor, target, scale);
    NozzleSizingResult result = Sized(d, scale, motor.NozzleDia());
    CheckNarrowest(result, d, target, [&] { return ToSingle(motor.KN(0.0f)); });
    return result;
}

NozzleSizingResult SizeNozzleForMaxKn(cMotor& motor, float target) {
    const double scale = ScaleOf(motor);
    const float d = MaxKnSearch(motor, target, scale);
    NozzleSizingResult result = Sized(d, scale, motor.NozzleDia());
    CheckNarrowest(result, d, target, [&] { return KnMaxWithDepth(motor).kn; });
    return result;
}

NozzleSearchRange SearchRangeOf(const cMotor& motor) {
    const double scale = ScaleOf(motor);
    return {RoundDecimals(RoundDecimals(kFirstTrial, 3) * scale, 3), RoundDecimals(RoundDecimals(kLastTrial, 3) * scale, 3)};
}

}  // namespace thrustlet
