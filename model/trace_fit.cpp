#include "model/trace_fit.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>

#include <Eigen/Core>
#include <unsupported/Eigen/NonLinearOptimization>
#include <unsupported/Eigen/NumericalDiff>

#include "model/burn.h"
#include "model/design_parts.h"
#include "model/performance.h"

namespace thrustlet {

namespace {

// Samples of each measured trace the fit compares, from ignition to the
// end of action.
constexpr int kSamplesPerFiring = 120;
// Lenoir-Robillard's coefficients where the fit starts (SI): a moderate
// erosive effect in a hobby motor's port.
constexpr double kStartAlpha = 1e-5, kStartBeta = 50.0;

double Sigmoid(double u) { return 1.0 / (1.0 + std::exp(-u)); }

// The law, the efficiency and the erosive coefficients a parameter vector
// stands for: ln r of the first piece at a reference pressure within the
// firings' (so that it and n move the trace apart: ln a alone moves nearly
// as n does), each piece's n (the later pieces' a follow from joining the
// earlier one at their break), the combustion efficiency through a
// logistic (0 to 1), then ln alpha and ln beta.
struct Parameters {
    FittedLaw law;
    double efficiency = 1.0;
    std::optional<double> alpha, beta;
};

Parameters Decode(const Eigen::VectorXd& x, const std::vector<double>& breaks, double reference, bool erosive) {
    Parameters p;
    const std::size_t pieces = breaks.size() + 1;
    double a = std::exp(x[0]) * std::pow(reference, -x[1]);
    if (pieces == 1) {
        p.law.a = static_cast<float>(a);
        p.law.n = static_cast<float>(x[1]);
    } else {
        for (std::size_t k = 0; k < pieces; ++k) {
            const double n = x[static_cast<Eigen::Index>(1 + k)];
            if (k > 0) {
                // Joined at the break: a_k b^n_k = a_(k-1) b^n_(k-1).
                const double previous_n = x[static_cast<Eigen::Index>(k)];
                a *= std::pow(breaks[k - 1], previous_n - n);
            }
            BurnRatePiece piece;
            piece.p_min = k == 0 ? 0.0f : static_cast<float>(breaks[k - 1]);
            piece.p_max = k + 1 == pieces ? FLT_MAX : static_cast<float>(breaks[k]);
            piece.a = static_cast<float>(a);
            piece.n = static_cast<float>(n);
            p.law.pieces.push_back(piece);
        }
    }
    const Eigen::Index at = static_cast<Eigen::Index>(1 + pieces);
    p.efficiency = Sigmoid(x[at]);
    if (erosive) {
        p.alpha = std::exp(x[at + 1]);
        p.beta = std::exp(x[at + 2]);
    }
    return p;
}

cMotor Applied(const cMotor& design, const Parameters& p, std::optional<double> nozzle_efficiency) {
    cMotor motor = design.DetachedCopy();
    PropellantPart propellant = motor.Propellant();
    propellant.pieces = p.law.pieces;
    propellant.a = p.law.pieces.empty() ? p.law.a : 0.0f;
    propellant.n = p.law.pieces.empty() ? p.law.n : 0.0f;
    motor.SetPropellant(propellant);
    PerformanceInputs in = motor.Performance();
    in.model = BurnModel::kFull;
    in.combustion_efficiency = static_cast<float>(std::clamp(p.efficiency, 1e-3, 1.0));
    if (p.alpha) in.erosive_alpha = static_cast<float>(*p.alpha);
    if (p.beta) in.erosive_beta = static_cast<float>(*p.beta);
    if (nozzle_efficiency) in.nozzle_efficiency = static_cast<float>(std::clamp(*nozzle_efficiency, 1e-3, 1.0));
    motor.SetPerformance(in);
    return motor;
}

// The full model's curve as a firing in the model's own time, its times
// kept apart (a burnout's drop a moment after), and where its pressure first
// reaches 10 % of its peak above ambient (the ignition a log's analysis
// finds).
struct ModelCurve {
    Firing curve;
    double ignition = 0.0;
    double end = 0.0;
    bool ok = false;
};

// The fit's runs march at the default resolution: a coarser one would fit
// the erosive coefficients to its own slicing rather than the motor's.
constexpr MarchResolution kFitting{1.0, 1.0};

ModelCurve CurveOf(const cMotor& design, MarchResolution resolution = {}) {
    ModelCurve out;
    cMotor motor = design.DetachedCopy();
    PerformanceInputs in = motor.Performance();
    in.model = BurnModel::kFull;
    motor.SetPerformance(in);
    const PerformanceOutcome outcome = IntegratedPerformance(motor, nullptr, nullptr, resolution);
    if (!outcome.figures || outcome.figures->curve.size() < 2) return out;
    const Performance& p = *outcome.figures;
    const double ambient = in.AmbientPressure();
    for (const PerformancePoint& point : p.curve) {
        double t = point.time;
        if (!out.curve.time.empty() && t <= out.curve.time.back()) t = out.curve.time.back() + 1e-9 * std::max(1e-3, p.burn_time);
        out.curve.time.push_back(t);
        out.curve.pressure.push_back(std::max(ambient, point.pressure));
        out.curve.force.push_back(point.thrust);
    }
    const double limit = ambient + 0.1 * (p.peak_pressure - ambient);
    for (std::size_t i = 0; i < out.curve.time.size(); ++i) {
        if (out.curve.pressure[i] >= limit) {
            if (i > 0) {
                const double p0 = out.curve.pressure[i - 1], p1 = out.curve.pressure[i];
                const double share = p1 > p0 ? (limit - p0) / (p1 - p0) : 1.0;
                out.ignition = out.curve.time[i - 1] + share * (out.curve.time[i] - out.curve.time[i - 1]);
            } else {
                out.ignition = out.curve.time[0];
            }
            break;
        }
    }
    out.end = out.curve.time.back();
    out.ok = true;
    return out;
}

// The model's pressure at a log's time `t`, the model's ignition put at the
// log's.
double ModelPressure(const ModelCurve& model, double ambient, double log_ignition, double t) {
    const double at = t - log_ignition + model.ignition;
    if (at < model.curve.time.front() || at > model.end) return ambient;
    return model.curve.At(model.curve.pressure, at);
}

// What the least squares sees: each firing's samples, the model's pressure
// less the measured, over the firing's mean pressure and the square root of
// its samples (so each firing weighs alike).
struct Residuals {
    using Scalar = double;
    using InputType = Eigen::VectorXd;
    using ValueType = Eigen::VectorXd;
    using JacobianType = Eigen::MatrixXd;
    enum { InputsAtCompileTime = Eigen::Dynamic, ValuesAtCompileTime = Eigen::Dynamic };

    const std::vector<TraceFitFiring>* firings;
    std::vector<std::vector<double>> times, measured;
    std::vector<double> scale;
    std::vector<double> breaks;
    double reference = 1e6;  // Pa
    bool erosive = false;
    int parameters = 0;
    mutable int evaluations = 0;

    int inputs() const { return parameters; }
    int values() const {
        int n = 0;
        for (const auto& t : times) n += static_cast<int>(t.size());
        return n;
    }
    int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& out) const {
        ++evaluations;
        const Parameters p = Decode(x, breaks, reference, erosive);
        Eigen::Index k = 0;
        for (std::size_t f = 0; f < firings->size(); ++f) {
            const TraceFitFiring& firing = (*firings)[f];
            const double ambient = firing.design.Performance().AmbientPressure();
            const ModelCurve model = CurveOf(Applied(firing.design, p, std::nullopt), kFitting);
            for (std::size_t s = 0; s < times[f].size(); ++s) {
                // A law that gives no figures is as far off as a motor that
                // never lights.
                const double modelled = model.ok ? ModelPressure(model, ambient, firing.figures.ignition, times[f][s]) : ambient;
                const double r = (modelled - measured[f][s]) * scale[f];
                out[k++] = std::isfinite(r) ? r : 1e3;
            }
        }
        return 0;
    }
};

}  // namespace

Firing ModelledFiring(const cMotor& design, double ignition, double step, double until) {
    Firing firing;
    const ModelCurve model = CurveOf(design);
    if (!model.ok || !(step > 0.0)) return firing;
    const double ambient = design.Performance().AmbientPressure();
    const bool thrust = design.Performance().specific_heat_ratio.has_value();
    for (double t = std::min(0.0, ignition - model.ignition); t <= until + 0.5 * step; t += step) {
        firing.time.push_back(t);
        firing.pressure.push_back(ModelPressure(model, ambient, ignition, t));
        if (thrust) {
            const double at = t - ignition + model.ignition;
            firing.force.push_back(at < model.curve.time.front() || at > model.end ? 0.0 : model.curve.At(model.curve.force, at));
        }
    }
    return firing;
}

TraceFit FitTraces(const std::vector<TraceFitFiring>& firings, const TraceFitOptions& options) {
    TraceFit fit;
    if (firings.empty()) {
        fit.problem = "there is no firing to fit";
        return fit;
    }
    Residuals residuals;
    residuals.firings = &firings;
    residuals.breaks = options.breaks;
    residuals.erosive = options.erosive;
    double pressure_sum = 0.0, rate_sum = 0.0;
    int counted = 0;
    for (const TraceFitFiring& firing : firings) {
        if (!firing.firing.HasPressure()) {
            fit.problem = firing.source + " has no chamber pressure to fit the trace to";
            return fit;
        }
        if (!firing.design.Performance().HasPropellant()) {
            fit.problem = "a trace fit needs the design's unit of lengths and propellant (Units)";
            return fit;
        }
        const FiringFigures& f = firing.figures;
        if (!(f.end_of_action > f.ignition)) {
            fit.problem = firing.source + " has no burn to fit (its pressure never rises)";
            return fit;
        }
        std::vector<double> t, p;
        double sum = 0.0;
        for (int s = 0; s < kSamplesPerFiring; ++s) {
            const double at = f.ignition + (f.end_of_action - f.ignition) * (s + 0.5) / kSamplesPerFiring;
            t.push_back(at);
            p.push_back(firing.firing.At(firing.firing.pressure, at));
            sum += p.back();
        }
        const double mean = sum / kSamplesPerFiring;
        residuals.times.push_back(t);
        residuals.measured.push_back(p);
        residuals.scale.push_back(1.0 / (mean * std::sqrt(static_cast<double>(kSamplesPerFiring))));
        // The start: the law through the firing's average point, as the
        // standard motor method gives it.
        if (f.average_pressure && f.burn_time > 0.0) {
            const double web = [&] {
                double w = 0.0;
                for (const auto& grain : firing.design.Grains()) w = std::max(w, static_cast<double>(grain->WebThickness()));
                return w * MetresPer(*firing.design.Performance().units);
            }();
            pressure_sum += std::log(*f.average_pressure);
            rate_sum += std::log(web / f.burn_time);
            ++counted;
        }
    }
    const std::size_t pieces = options.breaks.size() + 1;
    residuals.parameters = static_cast<int>(1 + pieces + 1 + (options.erosive ? 2 : 0));
    Eigen::VectorXd x(residuals.parameters);
    // n from the design's own law where it has one, a through the mean point.
    const cMotor& first = firings.front().design;
    const double n0 = first.BallisticN() > 0.0f && first.BallisticN() < 0.9f ? first.BallisticN() : 0.35;
    residuals.reference = counted > 0 ? std::exp(pressure_sum / counted) : 3e6;
    if (!options.breaks.empty()) residuals.reference = std::min(residuals.reference, options.breaks.front());
    x[0] = counted > 0 ? rate_sum / counted + n0 * (std::log(residuals.reference) - pressure_sum / counted)
                       : std::log(5e-5 * std::pow(residuals.reference, n0));
    for (std::size_t k = 0; k < pieces; ++k) x[static_cast<Eigen::Index>(1 + k)] = n0;
    const Eigen::Index at = static_cast<Eigen::Index>(1 + pieces);
    x[at] = std::log(0.9 / 0.1);
    if (options.erosive) {
        x[at + 1] = std::log(kStartAlpha);
        x[at + 2] = std::log(kStartBeta);
    }
    if (residuals.values() < residuals.parameters) {
        fit.problem = "too few samples for the law's pieces";
        return fit;
    }

    Eigen::NumericalDiff<Residuals> differences(residuals, 1e-6);
    Eigen::LevenbergMarquardt<Eigen::NumericalDiff<Residuals>> solver(differences);
    solver.parameters.maxfev = 60 * residuals.parameters;
    solver.parameters.xtol = 1e-10;
    solver.parameters.ftol = 1e-12;
    const int info = solver.minimize(x);
    fit.evaluations = static_cast<int>(solver.nfev);
    fit.status = info;
    if (!x.allFinite()) {
        fit.problem = "the trace fit did not converge";
        return fit;
    }
    const Parameters found = Decode(x, options.breaks, residuals.reference, options.erosive);
    for (std::size_t k = 0; k < pieces; ++k) {
        const double n = x[static_cast<Eigen::Index>(1 + k)];
        if (!(n < 1.0) || !std::isfinite(n)) {
            fit.problem = "the fitted exponent n is 1 or more: the traces give no stable burn";
            return fit;
        }
    }
    fit.law = found.law;
    fit.combustion_efficiency = found.efficiency;
    fit.erosive_alpha = found.alpha;
    fit.erosive_beta = found.beta;

    // The nozzle efficiency: the measured thrust against the thrust the
    // nozzle would give at the measured pressure, by least squares over
    // every firing with a thrust column.
    double cross = 0.0, square = 0.0;
    for (const TraceFitFiring& firing : firings) {
        if (!firing.firing.HasForce() || !firing.design.Performance().specific_heat_ratio) continue;
        cMotor ideal = firing.design.DetachedCopy();
        PerformanceInputs in = ideal.Performance();
        in.nozzle_efficiency = 1.0f;
        ideal.SetPerformance(in);
        const ThrustOf thrust(ideal);
        for (std::size_t s = 0; s < firing.firing.time.size(); ++s) {
            const double t = firing.firing.time[s];
            if (t < firing.figures.ignition || t > firing.figures.end_of_action) continue;
            const double modelled = thrust(firing.firing.pressure[s]);
            cross += modelled * firing.firing.force[s];
            square += modelled * modelled;
        }
    }
    if (square > 0.0) fit.nozzle_efficiency = cross / square;

    // How close each fitted trace comes after its first second.
    for (const TraceFitFiring& firing : firings) {
        const cMotor fitted = WithTraceFit(firing.design, fit);
        const FiringFigures& f = firing.figures;
        const double step = std::max(1e-4, (f.end_of_action - f.ignition) / 2000.0);
        fit.fitted.push_back(ModelledFiring(fitted, f.ignition, step, firing.firing.time.empty() ? f.end_of_action : firing.firing.time.back()));
        const ModelCurve model = CurveOf(fitted);
        const double ambient = firing.design.Performance().AmbientPressure();
        // After the first second, where the logged pressure has caught up
        // with the chamber's; a burn shorter than four seconds after its
        // first quarter.
        const double settle = std::min(1.0, 0.25 * (f.end_of_action - f.ignition));
        double sum = 0.0, measured = 0.0;
        int n = 0;
        for (std::size_t s = 0; s < firing.firing.time.size(); ++s) {
            const double t = firing.firing.time[s];
            if (t < f.ignition + settle || t > f.end_of_action) continue;
            const double d = ModelPressure(model, ambient, f.ignition, t) - firing.firing.pressure[s];
            sum += d * d;
            measured += firing.firing.pressure[s];
            ++n;
        }
        fit.pressure_rms_pa.push_back(n > 0 ? std::sqrt(sum / n) : 0.0);
        fit.mean_pressure_pa.push_back(n > 0 ? measured / n : 0.0);
    }
    return fit;
}

cMotor WithTraceFit(const cMotor& design, const TraceFit& fit) {
    Parameters p;
    p.law = fit.law;
    p.efficiency = fit.combustion_efficiency;
    p.alpha = fit.erosive_alpha;
    p.beta = fit.erosive_beta;
    return Applied(design, p, fit.nozzle_efficiency);
}

}  // namespace thrustlet
