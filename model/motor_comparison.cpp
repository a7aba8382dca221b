#include "model/motor_comparison.h"

#include <algorithm>

#include "model/mass_flux.h"
#include "model/motor_run.h"
#include "model/performance.h"

namespace thrustlet {

namespace {

// The member of the curve's points at `time`, linear between the two points
// around it. A burnout is two points at one time; the later one (after the
// step) holds from that time on.
double CurveAt(const Performance& figures, double time, double PerformancePoint::*member) {
    const std::vector<PerformancePoint>& curve = figures.curve;
    if (curve.empty() || time < curve.front().time || time > curve.back().time) return 0.0;
    const auto after = std::upper_bound(curve.begin(), curve.end(), time,
                                        [](double t, const PerformancePoint& p) { return t < p.time; });
    if (after == curve.end()) return curve.back().*member;
    if (after == curve.begin()) return curve.front().*member;
    const PerformancePoint& a = *(after - 1);
    const PerformancePoint& b = *after;
    const double span = b.time - a.time;
    if (!(span > 0.0)) return a.*member;
    return a.*member + (time - a.time) / span * (b.*member - a.*member);
}

}  // namespace

double MeanPressure(const Performance& figures) {
    if (!(figures.burn_time > 0.0)) return 0.0;
    double integral = 0.0;
    for (std::size_t i = 1; i < figures.curve.size(); ++i) {
        const PerformancePoint& a = figures.curve[i - 1];
        const PerformancePoint& b = figures.curve[i];
        integral += 0.5 * (a.pressure + b.pressure) * (b.time - a.time);
    }
    return integral / figures.burn_time;
}

double ThrustAt(const Performance& figures, double time) { return CurveAt(figures, time, &PerformancePoint::thrust); }

double PressureAt(const Performance& figures, double time) {
    return CurveAt(figures, time, &PerformancePoint::pressure);
}

std::optional<double> HighestFluxAt(const FluxCurve& curve, double time) {
    const std::vector<double>& times = curve.times;
    if (times.size() < 2 || time < times.front() || time > times.back()) return std::nullopt;
    std::size_t at = static_cast<std::size_t>(std::upper_bound(times.begin(), times.end(), time) - times.begin());
    at = std::clamp<std::size_t>(at, 1, times.size() - 1) - 1;
    const double t0 = times[at], t1 = times[at + 1];
    const double along = t1 > t0 ? std::clamp((time - t0) / (t1 - t0), 0.0, 1.0) : 0.0;
    std::optional<double> highest;
    for (const std::vector<double>& flux : curve.flux) {
        const double a = flux[at], b = flux[at + 1];
        if (a < 0.0) continue;  // spent
        const double value = b < 0.0 ? a : a + along * (b - a);
        highest = std::max(highest.value_or(value), value);
    }
    return highest;
}

KeyFigures KeyFiguresOf(const MotorRun& run) {
    KeyFigures key;
    if (const std::optional<Performance>& figures = run.Figures()) {
        key.peak_pressure = figures->peak_pressure;
        key.average_pressure = MeanPressure(*figures);
        key.burn_time = figures->burn_time;
        if (figures->has_thrust) {
            key.total_impulse = figures->total_impulse;
            key.designation = figures->designation;
        }
    }
    key.peak_mass_flux = run.Flow().peak_mass_flux;
    return key;
}

}  // namespace thrustlet
