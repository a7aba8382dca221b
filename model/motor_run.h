#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/alerts.h"
#include "model/burn.h"
#include "model/firing.h"
#include "model/mass_flux.h"
#include "model/motor.h"
#include "model/performance.h"
#include "model/units.h"

namespace thrustlet {

// One moment of the burn as the pressure and thrust curves show it.
struct TracePoint {
    double time = 0.0;      // s since ignition
    double pressure = 0.0;  // chamber pressure, Pa (absolute)
    double thrust = 0.0;    // N; 0 without thrust figures
};

// One run of a motor: everything the program shows of a design's burn,
// computed once from a copy of the design. The Performance group, the
// graphs, the grains panel, the design sheet, the firing comparison, the
// engine file writers and every thrustlet-kn command read the same run, so
// a change of the design integrates its burn once.
class MotorRun {
public:
    // The design as it was when the run was made (its own copy).
    const cMotor& Design() const { return design_; }
    DisplayUnits Units() const { return DisplayUnits(design_.Performance().units); }
    // The design has a unit, so a propellant the program can use.
    bool HasPropellant() const { return design_.Performance().HasPropellant(); }

    // The performance figures, or why there are none.
    const PerformanceOutcome& Outcome() const { return outcome_; }
    const std::optional<Performance>& Figures() const { return outcome_.figures; }
    // Each grain's flow (the geometric figures for any design) and the
    // limits and alerts the design is held to.
    const MotorFlow& Flow() const { return flow_; }
    const DesignLimits& Limits() const { return limits_; }
    const std::vector<Alert>& Alerts() const { return alerts_; }

    // The mass flux of the grains with the largest peaks (up to 12) against
    // time; `most` other than 12 is worked out from the run's burn.
    const FluxCurve& FluxTrace() const { return flux_; }
    FluxCurve FluxTrace(std::size_t most) const;

    // The chamber pressure and thrust over time, from ignition to the last
    // grain's burnout: the curve the window draws (a burnout is two points
    // at one time). Empty without figures.
    std::vector<TracePoint> Trace() const;
    // The pressure, thrust and time at each burn depth (the design's unit),
    // by the figures' own law and steps; zeros without figures.
    std::vector<DepthFigures> AtDepths(const std::vector<double>& depths) const;
    // The prediction as a test stand would log it (sampled finely, with a
    // little time at rest before and after), for the firing analysis;
    // nothing without figures.
    std::optional<Firing> PredictedFiring() const;

    // The laid-out burn and the steps the figures were summed over; null
    // and empty without figures.
    const Burn* BurnLayout() const { return burn_.get(); }
    const std::vector<Burn::Step>& Steps() const { return steps_; }

private:
    friend MotorRun RunMotor(const cMotor& design);
    MotorRun() = default;

    cMotor design_;
    PerformanceOutcome outcome_;
    std::shared_ptr<const Burn> burn_;
    std::vector<Burn::Step> steps_;
    MotorFlow flow_;
    FluxCurve flux_;
    DesignLimits limits_;
    std::vector<Alert> alerts_;
};

// Runs the design: lays out and integrates its burn once, then its flow,
// flux curve and alerts from that burn.
MotorRun RunMotor(const cMotor& design);

// How many runs this process has made: what tests and benchmarks count to
// see that one change of a design makes one run.
std::uint64_t MotorRunsMade();

}  // namespace thrustlet
