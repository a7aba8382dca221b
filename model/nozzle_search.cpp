#include "model/nozzle_search.h"

#include <algorithm>
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

template <typename KnAtCurrentNozzle>
float Scan(cMotor& motor, float target, KnAtCurrentNozzle&& kn_of) {
    float d = kFirstTrial;
    while (d <= kLastTrial) {
        motor.SetNozzleDia(d);
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

}  // namespace

float LiteralSearchNozzleForInitialKn(cMotor& motor, float target) {
    return Scan(motor, target, [&] { return ToSingle(motor.KN(0.0f)); });
}

float LiteralSearchNozzleForMaxKn(cMotor& motor, float target) {
    return Scan(motor, target, [&] { return LiteralKnMaxWithDepth(motor).kn; });
}

float SearchNozzleForInitialKn(cMotor& motor, float target) {
    // The first trial raises any grain failure with the motor at 0.1, as
    // the plain scan does.
    motor.SetNozzleDia(kFirstTrial);
    const double sum = motor.BurningAreaSum(0.0f);
    return Scan(motor, target, [&] { return KnOfAreaSum(sum, motor.NozzleThroatArea()); });
}

float SearchNozzleForMaxKn(cMotor& motor, float target) {
    motor.SetNozzleDia(kFirstTrial);
    // The largest sum found from bounded quadratic pieces; within the limits
    // that path keeps to, no trial throat (0.1 to 3) takes Kn out of range.
    double largest = 0.0;
    if (LargestAreaSum(motor, &largest)) {
        return Scan(motor, target, [&] {
            return std::max(0.0f, static_cast<float>(RoundHalfEven(KnOfAreaSum(largest, motor.NozzleThroatArea()))));
        });
    }
    const float web = motor.WebThickness();
    const float step = ToSingle(static_cast<double>(web) / 1000.0);
    AreaSums sums;
    ForEachKnMaxDepth(web, step, [&](float depth) { sums.Add(motor.BurningAreaSum(depth)); });
    return Scan(motor, target, [&] {
        const float area = motor.NozzleThroatArea();
        KnOfAreaSum(sums.smallest, area);  // fails where the scan would
        return std::max(0.0f, static_cast<float>(RoundHalfEven(KnOfAreaSum(sums.largest, area))));
    });
}

}  // namespace thrustlet
