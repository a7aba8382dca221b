#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/burn_rate_fit.h"
#include "model/firing.h"
#include "model/firing_analysis.h"
#include "model/formats/firing_log.h"
#include "model/performance_inputs.h"

namespace thrustlet {

class MotorRun;

// A design's static firing as the program knows it: the log it names, the
// samples and figures read from it, or why it could not be read. The
// Static Firing dialog, the design sheet and thrustlet-kn's --firing and
// --fit all go through these.
struct LoadedFiring {
    PerformanceInputs::StaticFiring source;
    std::optional<Firing> firing;  // nothing when it could not be read
    std::optional<FiringFigures> figures;
    std::string problem;  // why it could not be read; "" when it was
};

// Reads and analyses a firing's log against the design the run was made
// from (the log's units, gauge or absolute, the design's ambient pressure).
LoadedFiring LoadFiring(const PerformanceInputs::StaticFiring& source, const MotorRun& run);
// The same for a log at `path` with `units` where its header does not say.
LoadedFiring LoadFiring(const std::string& path, const FiringUnits& units, bool absolute, const MotorRun& run);

// The design's prediction analysed as a firing: what the measured figures
// are compared with. Nothing for a design without figures.
std::optional<FiringFigures> PredictedFiringFigures(const MotorRun& run);

// How burn-rate points are taken from a firing: one a firing (the design's
// web over the burn time, at the average pressure) or every moment (the
// pressure-integral method).
enum class PointsMethod { kAverage, kInstant };

// A firing's burn-rate points by `method`, each named by `source`; none for
// a firing without chamber pressure or that could not be read.
std::vector<BurnRatePoint> BurnRatePointsOf(const LoadedFiring& firing, const MotorRun& run, PointsMethod method,
                                            const std::string& source);

// What a firing measured that no motor gives, each a sentence saying what
// to check: an Isp above 400 s, a burn time over three times the
// prediction's or under a third of it (a log's time unit taken wrong).
std::vector<std::string> ImplausibleFigures(const FiringFigures& measured, const std::optional<FiringFigures>& predicted);

// The mean c* efficiency of the firings that measured one; nothing when
// none did.
std::optional<double> MeanCStarEfficiency(const std::vector<const FiringFigures*>& figures);

}  // namespace thrustlet
