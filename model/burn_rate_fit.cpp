#include "model/burn_rate_fit.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "model/burn.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "model/number_text.h"

namespace thrustlet {

namespace {

// The propellant volume burnt by depth x (the design's unit cubed).
double BurntVolume(const std::vector<Burn::Grain>& grains, double x) {
    double burnt = 0.0;
    for (const Burn::Grain& g : grains) {
        const double whole = kPi / 4.0 * (g.diameter * g.diameter - g.core * g.core) * g.length;
        double left = 0.0;
        if (x < g.end) {
            const double core = g.core + 2.0 * x, length = g.LengthAt(x);
            left = kPi / 4.0 * (g.diameter * g.diameter - core * core) * length;
        }
        burnt += whole - std::max(0.0, left);
    }
    return burnt;
}

}  // namespace

BurnRatePoint AverageBurnRatePoint(const FiringFigures& figures, const MotorRun& run, const std::string& source) {
    const Burn* burn = run.BurnLayout();
    const double web = burn ? burn->Burnout() * burn->Metres() : 0.0;
    return {figures.average_pressure.value_or(0.0), figures.burn_time > 0.0 ? web / figures.burn_time : 0.0,
            source + ", average"};
}

std::vector<BurnRatePoint> InstantBurnRatePoints(const Firing& firing, const FiringFigures& figures,
                                                 const MotorRun& run, const std::string& source) {
    std::vector<BurnRatePoint> points;
    if (!firing.HasPressure() || !(figures.burn_time > 0.0) || !run.BurnLayout()) return points;
    const Burn& burn = *run.BurnLayout();
    const auto& time = firing.time;
    const auto& pressure = firing.pressure;
    // The pressure integral from ignition to the web's burnout, sample by
    // sample: what the tail-off passes after it is burnt already.
    const std::size_t n = time.size();
    std::vector<double> integral(n, 0.0);
    for (std::size_t i = 1; i < n; ++i) {
        const double t0 = std::max(time[i - 1], figures.ignition), t1 = std::min(time[i], figures.burnout);
        double add = 0.0;
        if (t1 > t0) add = 0.5 * (pressure[i - 1] + pressure[i]) * (t1 - t0);
        integral[i] = integral[i - 1] + add;
    }
    const double whole = integral.back();
    if (!(whole > 0.0)) return points;
    const auto integral_at = [&](double t) { return InterpolateAt(time, integral, t); };
    const double total_volume = BurntVolume(burn.Grains(), burn.Burnout());
    const auto depth_at = [&](double t) {
        const double wanted = integral_at(t) / whole * total_volume;
        double low = 0.0, high = burn.Burnout();
        for (int i = 0; i < 60; ++i) {
            const double middle = 0.5 * (low + high);
            (BurntVolume(burn.Grains(), middle) < wanted ? low : high) = middle;
        }
        return 0.5 * (low + high);
    };
    // The window: 5 % of the burn time; points every half window, from the
    // end of the rise to the start of the tail-off.
    const double half = 0.025 * figures.burn_time;
    const double from = figures.ignition + 0.1 * figures.burn_time, to = figures.burnout - 0.1 * figures.burn_time;
    for (double t = from; t <= to; t += half) {
        const double rate = (depth_at(t + half) - depth_at(t - half)) / (2.0 * half) * burn.Metres();
        const double average = (integral_at(t + half) - integral_at(t - half)) / (2.0 * half);
        if (rate > 0.0 && average > 0.0) points.push_back({average, rate, source + ", instant"});
    }
    return points;
}

BurnRateFit FitBurnRate(const std::vector<BurnRatePoint>& points, const std::vector<double>& breaks) {
    BurnRateFit fit;
    std::vector<double> bounds = breaks;
    std::sort(bounds.begin(), bounds.end());
    bounds.insert(bounds.begin(), 0.0);
    bounds.push_back(INFINITY);
    const auto piece_of = [&](double pressure) {
        std::size_t k = 0;
        while (k + 2 < bounds.size() && pressure >= bounds[k + 1]) ++k;
        return k;
    };
    for (const BurnRatePoint& point : points) {
        if (!(point.pressure > 0.0 && point.rate > 0.0 && std::isfinite(point.pressure) && std::isfinite(point.rate))) {
            fit.problem = "a point of " + point.source + " has no positive pressure and rate";
            return fit;
        }
    }
    for (std::size_t k = 0; k + 1 < bounds.size(); ++k) {
        double sx = 0, sy = 0, sxx = 0, sxy = 0, low = INFINITY, high = 0;
        std::size_t count = 0;
        std::vector<double> distinct;
        for (const BurnRatePoint& point : points) {
            if (piece_of(point.pressure) != k) continue;
            const double x = std::log(point.pressure), y = std::log(point.rate);
            sx += x, sy += y, sxx += x * x, sxy += x * y;
            ++count;
            low = std::min(low, point.pressure);
            high = std::max(high, point.pressure);
            if (std::find(distinct.begin(), distinct.end(), point.pressure) == distinct.end()) distinct.push_back(point.pressure);
        }
        const std::string range = "from " + DoubleToText(bounds[k], '.') + " Pa" +
                                  (std::isinf(bounds[k + 1]) ? std::string(" up") : " to " + DoubleToText(bounds[k + 1], '.') + " Pa");
        if (distinct.size() < 2) {
            fit.problem = "the piece " + range + " has " +
                          (distinct.empty() ? std::string("no points") : std::string("points at only one pressure")) +
                          ": a law needs two pressures at least";
            fit.pieces.clear();
            return fit;
        }
        const double m = static_cast<double>(count);
        const double n = (m * sxy - sx * sy) / (m * sxx - sx * sx);
        const double log_a = (sy - n * sx) / m;
        const double a = std::exp(log_a);
        // Points too close in pressure for the spread of their rates give
        // a law no propellant has (n of 1 or more, or an a past what a
        // design keeps): no law then, and why.
        // Pressures within 0.01 % of each other cannot tell an exponent
        // either: the logarithms' differences are rounding there.
        const bool spread = std::log(high) - std::log(low) > 1e-4;
        if (!(spread && std::isfinite(n) && n < 1.0 && std::isfinite(a) && a > 0.0 && static_cast<float>(a) > 0.0f &&
              std::isfinite(static_cast<float>(a)))) {
            fit.problem = "the points of the piece " + range +
                          " are too close in pressure for the spread of their rates: they give no law a propellant "
                          "has (n = " + DoubleToText(n, '.') + "); add points at other pressures";
            fit.pieces.clear();
            return fit;
        }
        fit.pieces.push_back({low, high, a, n, count});
    }
    // R^2 and the residuals against the piece each point belongs to.
    double mean = 0.0;
    for (const BurnRatePoint& point : points) mean += std::log(point.rate);
    mean /= static_cast<double>(points.size());
    double residual = 0.0, total = 0.0;
    for (const BurnRatePoint& point : points) {
        const FitPiece& piece = fit.pieces[piece_of(point.pressure)];
        const double fitted = piece.a * std::pow(point.pressure, piece.n);
        const double e = std::log(point.rate) - std::log(fitted);
        residual += e * e;
        total += (std::log(point.rate) - mean) * (std::log(point.rate) - mean);
        fit.residuals.push_back((point.rate - fitted) / fitted);
    }
    fit.r2 = total > 0.0 ? 1.0 - residual / total : 1.0;
    if (!std::isfinite(fit.r2)) {
        fit.problem = "the fit's residuals are not numbers: the points give no law";
        fit.pieces.clear();
    }
    return fit;
}

FittedLaw LawOfFit(const BurnRateFit& fit) {
    // Pieces over the pressures the points cover, one law too: a burn that
    // runs outside them is carried on by the nearest and said to be outside
    // the data, never taken for measured.
    FittedLaw law;
    for (std::size_t k = 0; k < fit.pieces.size(); ++k) {
        const FitPiece& piece = fit.pieces[k];
        BurnRatePiece kept;
        kept.p_min = static_cast<float>(piece.p_min);
        kept.p_max = static_cast<float>(piece.p_max);
        kept.a = static_cast<float>(piece.a);
        kept.n = static_cast<float>(piece.n);
        law.pieces.push_back(kept);
    }
    return law;
}

}  // namespace thrustlet
