#include "model/motor_run.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "model/numeric.h"

namespace thrustlet {

namespace {

std::atomic<std::uint64_t> runs_made{0};

// The most grains the flux curve shows.
constexpr std::size_t kFluxCurveGrains = 12;

}  // namespace

std::uint64_t MotorRunsMade() { return runs_made.load(); }

MotorRun RunMotor(const cMotor& design) {
    ++runs_made;
    MotorRun run;
    run.design_ = design.DetachedCopy();
    const cMotor& motor = run.design_;
    if (motor.Performance().HasPropellant()) run.outcome_ = IntegratedPerformance(motor, &run.burn_, &run.steps_);
    run.flow_ = FlowOf(motor, run.burn_.get(), run.steps_);
    if (run.burn_) run.flux_ = FluxCurveOf(*run.burn_, run.steps_, DeliveredCStar(motor), run.flow_, kFluxCurveGrains);
    run.limits_ = LimitsOf(motor.Performance());
    run.alerts_ = DesignAlerts(motor, run.outcome_.figures, run.flow_);
    return run;
}

FluxCurve MotorRun::FluxTrace(std::size_t most) const {
    if (most == kFluxCurveGrains || !burn_) return most == kFluxCurveGrains ? flux_ : FluxCurve{};
    return FluxCurveOf(*burn_, steps_, DeliveredCStar(design_), flow_, most);
}

std::vector<TracePoint> MotorRun::Trace() const {
    std::vector<TracePoint> trace;
    if (!outcome_.figures) return trace;
    trace.reserve(outcome_.figures->curve.size());
    for (const PerformancePoint& point : outcome_.figures->curve) trace.push_back({point.time, point.pressure, point.thrust});
    return trace;
}

std::vector<DepthFigures> MotorRun::AtDepths(const std::vector<double>& depths) const {
    std::vector<DepthFigures> figures(depths.size());
    if (!burn_ || !outcome_.figures) return figures;
    if (design_.Performance().Model() == BurnModel::kFull) {
        // The march's own curve, by the depth its faces have burnt (the
        // law's rate, so never back): straight lines between its points,
        // the later point where a burnout puts two at one depth.
        const std::vector<PerformancePoint>& curve = outcome_.figures->curve;
        for (std::size_t k = 0; k < depths.size(); ++k) {
            const double x = depths[k];
            auto after = std::upper_bound(curve.begin(), curve.end(), x,
                                          [](double depth, const PerformancePoint& p) { return depth < p.depth; });
            DepthFigures& at = figures[k];
            if (after == curve.end()) {
                at.time = outcome_.figures->burn_time;
                continue;  // past the burn: nothing burns
            }
            if (after == curve.begin()) {
                at.pressure = after->pressure;
                at.thrust = after->thrust;
                continue;
            }
            const PerformancePoint& a = *std::prev(after);
            const PerformancePoint& b = *after;
            const double share = b.depth > a.depth ? (x - a.depth) / (b.depth - a.depth) : 1.0;
            at.pressure = a.pressure + share * (b.pressure - a.pressure);
            at.thrust = a.thrust + share * (b.thrust - a.thrust);
            at.time = a.time + share * (b.time - a.time);
        }
        return figures;
    }
    const Burn& burn = *burn_;
    const double throat = kPi * std::pow(design_.NozzleDia() / 2.0, 2.0);
    for (std::size_t k = 0; k < depths.size(); ++k) {
        const double x = depths[k];
        double area = 0.0;
        for (const auto& grain : design_.Grains()) {
            const int faces = grain->BurningFaces();
            const double core = grain->CoreDiameter() + 2.0 * x;
            const double length = faces == 2 ? grain->Length() - 2.0 * x : grain->Length() - faces * x;
            const double diameter = grain->Diameter();
            if (length > 0.0 && core <= diameter && grain->CoreDiameter() < diameter) {
                area += kPi * core * length + (faces == 2 ? kPi / 2.0 * (diameter * diameter - core * core)
                                                          : faces * kPi / 4.0 * (diameter * diameter - core * core));
            }
        }
        const double kn = area / throat;
        DepthFigures& at = figures[k];
        at.pressure = kn > 0.0 ? burn.Law().Pressure(kn) : 0.0;
        at.thrust = at.pressure > 0.0 ? burn.ThrustAt()(at.pressure) : 0.0;
        // The time the burn reached this depth, by the figures' own steps.
        if (steps_.empty() || x <= 0.0) {
            at.time = 0.0;
        } else if (x >= burn.Burnout()) {
            at.time = outcome_.figures->burn_time;
        } else {
            at.time = AtDepth(burn, *StepAt(steps_, x), x).first;
        }
    }
    return figures;
}

std::optional<Firing> MotorRun::PredictedFiring() const {
    if (!outcome_.figures) return std::nullopt;
    const Performance& p = *outcome_.figures;
    const double ambient = design_.Performance().AmbientPressure();
    // The curve's points with one value a time (a burnout's drop is the
    // value after it, a moment later), sampled every 1/2000 of the burn,
    // with 5 % of the burn's time before and after at rest.
    Firing curve;
    for (const PerformancePoint& point : p.curve) {
        double t = point.time;
        if (!curve.time.empty() && t <= curve.time.back()) t = curve.time.back() + 1e-9 * p.burn_time;
        curve.time.push_back(t);
        curve.pressure.push_back(point.pressure);
        curve.force.push_back(point.thrust);
    }
    Firing firing;
    const double dt = p.burn_time / 2000.0;
    for (int k = -100; k <= 2100; ++k) {
        // At rest until a moment before ignition, which is at 0.
        const double t = k == 0 ? 0.0 : k == -1 ? -1e-9 * p.burn_time : k * dt;
        const bool burning = t >= 0.0 && t < p.burn_time;
        firing.time.push_back(t);
        firing.pressure.push_back(burning ? std::max(ambient, curve.At(curve.pressure, t)) : ambient);
        firing.force.push_back(burning && p.has_thrust ? curve.At(curve.force, t) : 0.0);
    }
    if (!p.has_thrust) firing.force.clear();
    return firing;
}

}  // namespace thrustlet
