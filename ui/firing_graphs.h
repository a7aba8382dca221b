#pragma once

#include <optional>
#include <vector>

#include "model/burn_rate_fit.h"
#include "model/firing.h"

namespace thrustlet {

class cMotor;
class MotorRun;
class GraphLite;

// The graphs of static firings, drawn by the program's own graph for the
// Static Firing dialog and the design sheet alike.

// A firing over the design's prediction against time: the predicted thrust
// (N) and chamber pressure (MPa, psi for an inch design, on the right) as
// lines, the measured ones dashed over them, the firing's ignition at the
// prediction's start; the prediction alone without a firing. A trace fitted
// to the firing (in the log's time) is drawn over them in red.
void DrawFiringOverPrediction(GraphLite& graph, const MotorRun& run, const Firing* measured, double ignition,
                              const Firing* fitted = nullptr);

// Burn-rate points (r against P, logarithmic both ways) with the design's
// law and, when there is one, the fitted law: mm/s and MPa, or in/s and psi
// for an inch design.
void DrawBurnRatePoints(GraphLite& graph, const cMotor& design, const std::vector<BurnRatePoint>& points,
                        const std::optional<FittedLaw>& fitted);

}  // namespace thrustlet
