#pragma once

#include <optional>
#include <vector>

namespace thrustlet {

class cMotor;

// The Kn-versus-burn-depth table and axis settings handed to the graph.
// Row 0 holds each sample's depth label, row 1 its Kn; a column the sampling
// does not reach stays empty.
struct KnCurve {
    float web = 0.0f;   // the motor's web thickness: the sampling's end
    float step = 0.0f;  // depth between samples: 0.001 * 2^k
    int last_column = 0;  // columns 0..last_column
    std::vector<std::optional<double>> labels;
    std::vector<std::optional<float>> kn;
    int samples = 0;  // filled columns
    std::vector<float> depths;  // the depth of each filled column, as sampled
};

struct KnAxis {
    double vertical_maximum = 0.0;  // KNMax + 50
    int vertical_step = 50;
    float label_step = 125.0f;  // horizontal label step, in samples
};

// Samples KN from depth 0 to the web (32-bit depth accumulation, at most
// 1000 columns). Two zero samples in a row end the curve. Model failures
// pass to the caller. Labels are the depths rounded to 4 decimals, or to
// whole units for a web over 5; a millimetre design keeps 4 decimals (its
// graph places its ticks at true depths).
// Most depths are settled by bounds on the area sums (model/kn_max.h)
// without summing the grains; the result is that of the plain sampling.
KnCurve SampleKnCurve(cMotor& motor);
// The plain sampling, KN evaluated at every depth: the reference.
KnCurve LiteralSampleKnCurve(cMotor& motor);

// Vertical step from the maximum Kn: 50, 250, 10000 or 50000.
int VerticalStepFor(float kn_max);
// Horizontal label step for a web sampled at `step`.
float LabelStepFor(float web, float step);

}  // namespace thrustlet
