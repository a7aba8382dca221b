#include "model/firing_analysis.h"

#include <algorithm>
#include <cmath>

#include "model/burn.h"
#include "model/errors.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "model/performance.h"

namespace thrustlet {

namespace {

constexpr double kThreshold = 0.1;  // of the peak: ignition and the end of action

// Slopes of a noisy trace: the least-squares line over a window of
// `half` seconds either side of each sample, by running sums.
std::vector<double> Slopes(const std::vector<double>& time, const std::vector<double>& signal, double half) {
    const std::size_t n = time.size();
    std::vector<double> st(n + 1, 0.0), ss(n + 1, 0.0), stt(n + 1, 0.0), sts(n + 1, 0.0);
    const double origin = time.front();
    for (std::size_t i = 0; i < n; ++i) {
        const double t = time[i] - origin;
        st[i + 1] = st[i] + t;
        ss[i + 1] = ss[i] + signal[i];
        stt[i + 1] = stt[i] + t * t;
        sts[i + 1] = sts[i] + t * signal[i];
    }
    std::vector<double> slopes(n, 0.0);
    std::size_t lo = 0, hi = 0;
    for (std::size_t i = 0; i < n; ++i) {
        while (time[lo] < time[i] - half) ++lo;
        while (hi + 1 < n && time[hi + 1] <= time[i] + half) ++hi;
        std::size_t a = lo, b = hi;
        if (b - a < 2) {  // at least three samples
            a = i > 0 ? i - 1 : 0;
            b = std::min(n - 1, a + 2);
        }
        const double m = static_cast<double>(b - a + 1);
        const double t = st[b + 1] - st[a], s = ss[b + 1] - ss[a], tt = stt[b + 1] - stt[a], ts = sts[b + 1] - sts[a];
        const double denominator = m * tt - t * t;
        slopes[i] = denominator > 0.0 ? (m * ts - t * s) / denominator : 0.0;
    }
    return slopes;
}

// Where the signal crosses `level` between samples i - 1 and i.
double Crossing(const std::vector<double>& time, const std::vector<double>& signal, std::size_t i, double level) {
    if (i == 0) return time.front();
    const double a = signal[i - 1], b = signal[i];
    const double along = b != a ? std::clamp((level - a) / (b - a), 0.0, 1.0) : 1.0;
    return time[i - 1] + along * (time[i] - time[i - 1]);
}

}  // namespace

std::optional<double> TangentBisectorBurnout(const std::vector<double>& time, const std::vector<double>& signal,
                                             std::size_t from, std::size_t to) {
    if (to <= from + 3 || to >= time.size()) return std::nullopt;
    const double peak = *std::max_element(signal.begin() + static_cast<std::ptrdiff_t>(from),
                                          signal.begin() + static_cast<std::ptrdiff_t>(to) + 1);
    const double span = time[to] - time[from];
    if (!(peak > 0.0) || !(span > 0.0)) return std::nullopt;
    // Slopes over a window of 1 % of the span either side: steady enough
    // for a noisy log, sharp enough for the knee.
    const std::vector<double> slopes = Slopes(time, signal, 0.01 * span);
    // The last descent, back from the end of action for as long as the
    // trace falls at least a quarter as steeply as the steepest fall met so
    // far: a design whose grains burn out at different webs steps down at
    // each burnout, and the web's burnout is the last knee, not the
    // steepest step.
    std::size_t tail = to;
    while (tail > from && !(slopes[tail] < 0.0)) --tail;  // a flat end after the fall
    double steepest_seen = slopes[tail];
    while (tail > from && slopes[tail - 1] < 0.25 * steepest_seen) {
        steepest_seen = std::min(steepest_seen, slopes[--tail]);
    }
    std::size_t steepest = tail;
    for (std::size_t i = tail; i <= to; ++i) {
        if (slopes[i] < slopes[steepest]) steepest = i;
    }
    if (!(slopes[steepest] < 0.0)) return std::nullopt;
    // The tangent before the knee: at the last sample before the steepest
    // one where the trace falls at less than a quarter of that slope, less
    // two windows (clear of the corner the slopes' window rounds off).
    std::size_t knee = from;
    for (std::size_t i = steepest; i-- > from;) {
        if (slopes[i] > 0.25 * slopes[steepest]) {
            knee = i;
            break;
        }
    }
    while (knee > from && time[knee] > time[steepest] - 0.04 * span && time[knee] > time[from] + 0.02 * span) --knee;
    // In a frame where the span and the peak are both 1, so the angle means
    // what it means on the plotted trace.
    const auto x = [&](double t) { return (t - time[from]) / span; };
    const auto y = [&](double s) { return s / peak; };
    const double scale = span / peak;
    const double x1 = x(time[knee]), y1 = y(signal[knee]), m1 = slopes[knee] * scale;
    const double x2 = x(time[steepest]), y2 = y(signal[steepest]), m2 = slopes[steepest] * scale;
    if (!(m1 > m2)) return std::nullopt;
    const double xi = (y2 - y1 + m1 * x1 - m2 * x2) / (m1 - m2);
    const double yi = y1 + m1 * (xi - x1);
    // The bisector of the angle between the tangent back to the burn and the
    // tangent down the tail-off, from where they meet.
    const double n1 = std::hypot(1.0, m1), n2 = std::hypot(1.0, m2);
    double bx = -1.0 / n1 + 1.0 / n2, by = -m1 / n1 + m2 / n2;
    const double length = std::hypot(bx, by);
    if (!(length > 0.0)) return std::nullopt;
    bx /= length;
    by /= length;
    const auto gap = [&](double u) {
        const double t = time[from] + (xi + u * bx) * span;
        return yi + u * by - y(InterpolateAt(time, signal, t));
    };
    // Along the bisector from where the tangents meet to the first point on
    // the trace: into the knee when they meet above it, out of it when the
    // trace bends the other way; a sharp corner is the meeting itself.
    const double start = gap(0.0);
    if (std::fabs(start) <= 1e-9) return time[from] + xi * span;
    const double direction = start > 0.0 ? 1.0 : -1.0;
    double low = 0.0, high = 0.0;
    for (double u = 0.001; u < 2.0; u += 0.001) {
        if ((gap(direction * u) > 0.0) != (start > 0.0)) {
            high = u;
            break;
        }
        low = u;
    }
    if (!(high > 0.0)) return std::nullopt;
    for (int i = 0; i < 60; ++i) {
        const double middle = 0.5 * (low + high);
        ((gap(direction * middle) > 0.0) == (start > 0.0) ? low : high) = middle;
    }
    bx *= direction;
    const double t = time[from] + (xi + 0.5 * (low + high) * bx) * span;
    if (!(t > time[from] && t < time[to])) return std::nullopt;
    return t;
}

FiringFigures AnalyseFiring(const Firing& firing, const MotorRun& run) {
    const cMotor& design = run.Design();
    FiringFigures f;
    f.samples = firing.Samples();
    f.skipped_lines = firing.skipped_lines;
    const PerformanceInputs& in = design.Performance();
    const double ambient = in.AmbientPressure();
    const std::vector<double>& time = firing.time;
    std::vector<double> signal = firing.HasPressure() ? firing.pressure : firing.force;
    if (firing.HasPressure()) {
        for (double& p : signal) p -= ambient;
    }
    const auto peak_at = static_cast<std::size_t>(std::max_element(signal.begin(), signal.end()) - signal.begin());
    const double peak = signal[peak_at];
    if (!(peak > 0.0)) {
        throw RunTimeError(err::kInvalidCall, std::string("the ") + (firing.HasPressure() ? "pressure" : "force") +
                                                  " never rises: no burn in the log");
    }
    const double level = kThreshold * peak;
    std::size_t first = 0, last = signal.size() - 1;
    while (signal[first] < level) ++first;
    while (signal[last] < level) --last;
    f.ignition = Crossing(time, signal, first, level);
    f.end_of_action = last + 1 < signal.size() ? Crossing(time, signal, last + 1, level) : time.back();
    f.action_time = f.end_of_action - f.ignition;
    f.burnout = TangentBisectorBurnout(time, signal, peak_at, std::min(last + 1, signal.size() - 1)).value_or(f.end_of_action);
    f.burn_time = f.burnout - f.ignition;

    // The design's propellant, throat and nozzle, where it has them.
    const PerformanceOutcome& predicted = run.Outcome();
    const double metres = in.units ? MetresPer(*in.units) : 0.0;
    const double throat = kPi * std::pow(design.NozzleDia() / 2.0, 2.0) * metres * metres;  // m^2
    // The propellant's mass (kg), 0 where the design gives none.
    const double propellant_mass = predicted.figures ? predicted.figures->propellant_mass : 0.0;

    if (firing.HasForce()) {
        f.total_impulse = firing.Integral(firing.force, f.ignition, f.end_of_action);
        f.average_thrust = f.action_time > 0.0 ? *f.total_impulse / f.action_time : 0.0;
        f.peak_thrust = *std::max_element(firing.force.begin(), firing.force.end());
        if (propellant_mass > 0.0) f.delivered_isp = *f.total_impulse / (propellant_mass * kStandardGravity);
    }
    if (firing.HasPressure()) {
        f.peak_pressure = *std::max_element(firing.pressure.begin(), firing.pressure.end());
        f.average_pressure = f.burn_time > 0.0 ? firing.Integral(firing.pressure, f.ignition, f.burnout) / f.burn_time
                                               : *f.peak_pressure;
        const double pressure_integral = firing.Integral(firing.pressure, f.ignition, f.end_of_action);
        if (propellant_mass > 0.0 && throat > 0.0) {
            f.cstar = throat * pressure_integral / propellant_mass;
            f.cstar_efficiency = *f.cstar / design.ISPStar();
        }
        if (f.total_impulse && throat > 0.0 && pressure_integral > 0.0) {
            f.thrust_coefficient = *f.total_impulse / (throat * pressure_integral);
            if (in.specific_heat_ratio && design.NozzleDia() > 0.0f) {
                const double ratio = in.NozzleExitDia() > 0.0f ? std::pow(in.NozzleExitDia() / design.NozzleDia(), 2.0) : 1.0;
                const double ideal = ThrustCoefficient(*in.specific_heat_ratio, ratio, *f.average_pressure, ambient);
                if (ideal > 0.0) f.cf_efficiency = *f.thrust_coefficient / ideal;
            }
        }
    }
    return f;
}

}  // namespace thrustlet
