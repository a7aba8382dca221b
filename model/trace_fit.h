#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/burn_rate_fit.h"
#include "model/firing.h"
#include "model/firing_analysis.h"
#include "model/motor.h"

namespace thrustlet {

// A design and what one of its firings measured: the samples (s, N, Pa
// absolute) and their figures (ignition, end of action, ...).
struct TraceFitFiring {
    cMotor design;
    Firing firing;
    FiringFigures figures;
    std::string source;  // the log, as the user named it
};

struct TraceFitOptions {
    std::vector<double> breaks;  // Pa, ascending: the law in pieces joined there
    bool erosive = false;        // fit Lenoir-Robillard's alpha and beta too
};

// The burn-rate law, the combustion efficiency and, when asked, the
// erosive coefficients that make the full model's pressure follow the
// measured traces, by least squares (Levenberg-Marquardt) over each
// firing's pressure from ignition to the end of action, weighted so each
// firing counts alike; and the nozzle efficiency from the measured thrust
// against the ideal thrust at the measured pressure.
struct TraceFit {
    FittedLaw law;   // one law (a, n) or pieces joined at the breaks
    double combustion_efficiency = 1.0;
    std::optional<double> nozzle_efficiency;  // none without a thrust column
    std::optional<double> erosive_alpha, erosive_beta;
    // Each firing's RMS pressure difference (Pa) after its first second (a
    // burn shorter than four seconds: after its first quarter),
    // its mean measured pressure there (Pa), and the fitted model's trace.
    std::vector<double> pressure_rms_pa;
    std::vector<double> mean_pressure_pa;
    std::vector<Firing> fitted;  // in each log's own time
    int evaluations = 0;  // of the model, for each firing
    int status = 0;       // the solver's ending (Eigen's LevenbergMarquardt status)
    std::string problem;  // "" when the fit holds
    bool Ok() const { return problem.empty(); }
};
TraceFit FitTraces(const std::vector<TraceFitFiring>& firings, const TraceFitOptions& options);

// The design with what a trace fit found: the law, the combustion and
// nozzle efficiencies, the erosive coefficients, figured by the full model
// (what Use This Law and thrustlet-kn --fit --save keep).
cMotor WithTraceFit(const cMotor& design, const TraceFit& fit);

// The full model's pressure and thrust of a design as a log of its firing
// would hold them, with the ignition at `ignition` (s) and samples every
// `step` (s) until `until` (s): what a trace is compared against.
Firing ModelledFiring(const cMotor& design, double ignition, double step, double until);

}  // namespace thrustlet
