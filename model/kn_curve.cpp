#include "model/kn_curve.h"

#include <cfloat>
#include <cmath>

#include "model/kn_max.h"
#include "model/motor.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

// Last column for a web sampled at `step`: web / step as a float, rounded
// halves to even, plus one. Huge counts are capped; they only mean "double
// the step again".
int ColumnsFor(float web, float step) {
    const double whole = RoundHalfEven(ToSingle(static_cast<double>(web) / step));
    if (whole >= 1e9) return 1000000000;
    return static_cast<int>(whole) + 1;
}

}  // namespace

namespace {

// Kn at each of a list of increasing depths, exactly as KN gives it. Where
// the motor allows it, bounds on the area sums settle most depths without
// summing the grains: when both ends of a depth's bound round to the same
// Kn, so does the sum between them. The others are summed as KN sums them.
class KnAtDepths {
public:
    KnAtDepths(cMotor& motor, float web, const std::vector<float>& depths) : motor_(motor), depths_(depths) {
        const float throat = motor.NozzleThroatArea();
        bounded_ = throat > 0.0f && std::isfinite(throat) && throat >= FLT_MIN && FastAreaBoundsApply(motor) &&
                   FastPathWeb(web) && BoundAreaSums(motor, depths, &bounds_) &&
                   bounds_.largest_magnitude / throat <= 1e36;
        throat_ = throat;
    }

    float At(std::size_t k) {
        if (bounded_) {
            const double low = RoundHalfEven(bounds_.low[k] / throat_);
            const double high = RoundHalfEven(bounds_.high[k] / throat_);
            if (low == high) return ToSingle(low);
        }
        return ToSingle(motor_.KN(depths_[k]));
    }

private:
    cMotor& motor_;
    const std::vector<float>& depths_;
    AreaSumBounds bounds_;
    float throat_ = 0.0f;
    bool bounded_ = false;
};

}  // namespace

namespace {

// The sampling: the depths (32-bit accumulation up to the web, at most one
// per column), Kn at each, and the end after two zero samples in a row.
// With `bounded`, most samples are settled by the area bounds; without, KN
// is evaluated at every depth.
KnCurve Sample(cMotor& motor, bool bounded) {
    KnCurve curve;
    curve.web = motor.WebThickness();
    float step = 0.001f;
    int n = ColumnsFor(curve.web, step);
    while (n >= 1000) {
        step = step + step;
        n = ColumnsFor(curve.web, step);
    }
    curve.step = step;
    curve.last_column = n;
    curve.labels.assign(static_cast<size_t>(n) + 1, std::nullopt);
    curve.kn.assign(static_cast<size_t>(n) + 1, std::nullopt);

    std::vector<float> depths;
    for (float depth = 0.0f; depth <= curve.web; depth = ToSingle(static_cast<double>(depth) + step)) {
        if (static_cast<int>(depths.size()) > n) break;
        depths.push_back(depth);
    }
    std::optional<KnAtDepths> kn_at;
    if (bounded) kn_at.emplace(motor, curve.web, depths);

    // A web over 5 units is labelled in whole units; a millimetre design's
    // labels are its true depths (a web of 9.5 mm is no 10).
    const bool whole_labels = curve.web > 5.0f && motor.Performance().units != LengthUnit::kMillimetre;
    bool previous_zero = false;
    int i = 0;
    for (std::size_t k = 0; k < depths.size(); ++k) {
        const float kn = kn_at ? kn_at->At(k) : ToSingle(motor.KN(depths[k]));
        curve.labels[static_cast<size_t>(i)] = RoundDecimals(depths[k], whole_labels ? 0 : 4);
        curve.kn[static_cast<size_t>(i)] = kn;
        curve.depths.push_back(depths[k]);
        ++i;
        if (kn == 0.0f && previous_zero) {
            curve.last_column = i;
            curve.labels.resize(static_cast<size_t>(i) + 1);
            curve.kn.resize(static_cast<size_t>(i) + 1);
            break;
        }
        previous_zero = kn == 0.0f;
    }
    curve.samples = i;
    return curve;
}

}  // namespace

KnCurve SampleKnCurve(cMotor& motor) { return Sample(motor, true); }

KnCurve LiteralSampleKnCurve(cMotor& motor) { return Sample(motor, false); }

int VerticalStepFor(float kn_max) {
    if (kn_max > 100000.0f) return 50000;
    if (kn_max > 40000.0f) return 10000;
    if (kn_max > 500.0f) return 250;
    return 50;
}

float LabelStepFor(float web, float step) {
    if (web > 5.0f) return ToSingle(static_cast<double>(web) / step / 5.0);
    return 125.0f;
}

}  // namespace thrustlet
