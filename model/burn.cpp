#include "model/burn.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "model/motor.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

// Steps of the integration over a whole burn (a stretch between burnouts
// gets its share, at least one); each step is summed by 5-point
// Gauss-Legendre, exact for polynomials to degree 9. The integrands are
// powers of a quadratic that stays above 0 within a stretch, so the error
// is far below 10^-8 of the result.
constexpr int kStepsPerBurn = 128;
constexpr double kGaussNodes[5] = {-0.9061798459386640, -0.5384693101056831, 0.0, 0.5384693101056831,
                                   0.9061798459386640};
constexpr double kGaussWeights[5] = {0.2369268850561891, 0.4786286704993665, 0.5688888888888889,
                                     0.4786286704993665, 0.2369268850561891};

}  // namespace

void CrossingsInside(const Quadratic& q, double value, double low, double high, std::vector<double>* out) {
    const double a = q.a, b = q.b, c = q.c - value;
    auto keep = [&](double x) {
        if (x > low && x < high && std::isfinite(x)) out->push_back(x);
    };
    if (a == 0.0) {
        if (b != 0.0) keep(-c / b);
        return;
    }
    const double discriminant = b * b - 4.0 * a * c;
    if (discriminant < 0.0) return;
    // The form without cancellation.
    const double root = std::sqrt(discriminant);
    const double t = -0.5 * (b + (b >= 0.0 ? root : -root));
    keep(t / a);
    if (t != 0.0) keep(c / t);
}

Nozzle::Nozzle(double k, double ratio) : exit(ExitPressureRatio(k, ratio)), area_ratio(ratio) {
    momentum = std::sqrt(2.0 * k * k / (k - 1.0) * std::pow(2.0 / (k + 1.0), (k + 1.0) / (k - 1.0)) *
                         (1.0 - std::pow(exit, (k - 1.0) / k)));
}

double Nozzle::Coefficient(double chamber, double ambient) const {
    return std::max(0.0, momentum + (exit - ambient / chamber) * area_ratio);
}

double DeliveredCStar(const cMotor& motor) {
    const std::optional<float>& efficiency = motor.Performance().combustion_efficiency;
    return efficiency ? static_cast<double>(motor.ISPStar()) * *efficiency : static_cast<double>(motor.ISPStar());
}

double DeliveredRhoCStar(const cMotor& motor) {
    // Without an efficiency exactly the product the figures always had.
    if (!motor.Performance().combustion_efficiency) return static_cast<double>(motor.ISPStar()) * motor.Density();
    return DeliveredCStar(motor) * motor.Density();
}

ThrustOf::ThrustOf(const cMotor& motor)
    : has_thrust(motor.Performance().specific_heat_ratio.has_value()),
      efficiency(motor.Performance().NozzleEfficiency()),
      ambient(motor.Performance().AmbientPressure()),
      throat_m2(kPi * std::pow(motor.NozzleDia() / 2.0, 2.0) * MetresPer(*motor.Performance().units) *
                MetresPer(*motor.Performance().units)),
      nozzle(motor.Performance().specific_heat_ratio.value_or(1.2f),
             motor.Performance().NozzleExitDia() > 0.0f
                 ? std::pow(motor.Performance().NozzleExitDia() / motor.NozzleDia(), 2.0)
                 : 1.0) {
    const PerformanceInputs& in = motor.Performance();
    if (in.HasNozzleLosses()) {
        shape_losses = true;
        shape = DivergenceLoss(in.nozzle_divergence.value_or(0.0f)) *
                ThroatLengthLoss(in.nozzle_throat_length.value_or(0.0f), motor.NozzleDia());
    }
}

double DivergenceLoss(double degrees) { return (1.0 + std::cos(degrees * kPi / 180.0)) / 2.0; }

double ThroatLengthLoss(double length, double diameter) {
    const double aspect = diameter > 0.0 ? length / diameter : 0.0;
    return aspect > 0.45 ? 0.95 : 0.99 - 0.0333 * aspect;
}

Burn::Burn(const cMotor& motor)
    : law_(motor.Performance().burn_rate, motor.BallisticA(), motor.BallisticN(), DeliveredRhoCStar(motor)),
      thrust_at_(motor),
      throat_(kPi * std::pow(motor.NozzleDia() / 2.0, 2.0)),
      metres_(MetresPer(*motor.Performance().units)),
      rho_cstar_(DeliveredRhoCStar(motor)) {
    std::size_t position = 0;
    for (const auto& grain : motor.Grains()) {
        const double length = grain->Length(), diameter = grain->Diameter(), core = grain->CoreDiameter();
        ++position;
        if (!(core < diameter)) continue;
        volume_ += kPi / 4.0 * (diameter * diameter - core * core) * length;
        Grain burning;
        burning.position = position - 1;
        burning.core = core;
        burning.length = length;
        burning.diameter = diameter;
        burning.faces = grain->BurningFaces();
        burning.forward_face = grain->ForwardFaceBurns();
        if (burning.faces == 2) {
            burning.end = std::min(length, diameter - core) / 2.0;
            burning.area.c = kPi * core * length + kPi / 2.0 * (diameter * diameter - core * core);
            burning.area.b = 2.0 * kPi * (length - 2.0 * core);
            burning.area.a = -6.0 * kPi;
        } else {
            // Core c + 2x, length L - f x and f faces of pi/4 (D^2 - (c + 2x)^2),
            // f the faces that burn (1 or 0).
            const double f = burning.faces;
            burning.end = f > 0.0 ? std::min(length / f, (diameter - core) / 2.0) : (diameter - core) / 2.0;
            burning.area.c = kPi * core * length + f * kPi / 4.0 * (diameter * diameter - core * core);
            burning.area.b = 2.0 * kPi * (length - f * core);
            burning.area.a = -3.0 * f * kPi;
        }
        // A grain with less web left than the design's threshold is spent.
        if (const std::optional<float>& threshold = motor.Performance().web_burnout) {
            burning.end = std::max(0.0, burning.end - *threshold);
            if (!(burning.end > 0.0)) continue;
        }
        grains_.push_back(burning);
    }
    if (grains_.empty()) return;
    std::vector<const Grain*> by_end;
    for (const Grain& grain : grains_) by_end.push_back(&grain);
    std::stable_sort(by_end.begin(), by_end.end(), [](const Grain* x, const Grain* y) { return x->end < y->end; });
    burnout_ = by_end.back()->end;

    // The stretches between burnouts, each with the area of the grains
    // burning in it, summed from the last stretch back.
    struct Stretch {
        double from, to;
        Quadratic area;
    };
    std::vector<Stretch> stretches;
    Quadratic sum;
    double to = burnout_;
    for (std::size_t i = by_end.size(); i-- > 0;) {
        sum.a += by_end[i]->area.a;
        sum.b += by_end[i]->area.b;
        sum.c += by_end[i]->area.c;
        const double from = i > 0 ? by_end[i - 1]->end : 0.0;
        if (from < to) {
            stretches.push_back({from, to, sum});
            to = from;
        }
    }
    std::reverse(stretches.begin(), stretches.end());

    const std::vector<double> switching = law_.SwitchingKn();
    for (const Stretch& stretch : stretches) {
        std::vector<double> bounds = {stretch.from, stretch.to};
        for (double kn : switching) CrossingsInside(stretch.area, kn * throat_, stretch.from, stretch.to, &bounds);
        std::sort(bounds.begin(), bounds.end());
        for (std::size_t b = 0; b + 1 < bounds.size(); ++b) {
            const double x0 = bounds[b], x1 = bounds[b + 1];
            if (!(x1 > x0)) continue;
            Segment segment;
            segment.x0 = x0;
            segment.x1 = x1;
            segment.area = stretch.area;
            segment.state = law_.Select(Kn(stretch.area, 0.5 * (x0 + x1)));
            segment.steps = std::max(1, static_cast<int>(std::ceil(kStepsPerBurn * (x1 - x0) / burnout_)));
            segments_.push_back(segment);
        }
    }
}

std::pair<double, double> Burn::Integrate(const Segment& segment, double a, double width) const {
    double dt = 0.0, di = 0.0;
    for (int g = 0; g < 5; ++g) {
        const double x = a + 0.5 * width * (1.0 + kGaussNodes[g]);
        const double kn = Kn(segment.area, x);
        const double pressure = law_.Pressure(segment.state, kn);
        const double seconds_per_unit = metres_ * kn * rho_cstar_ / pressure;
        dt += kGaussWeights[g] * seconds_per_unit;
        di += kGaussWeights[g] * seconds_per_unit * thrust_at_(pressure);
    }
    return {0.5 * width * dt, 0.5 * width * di};
}

std::pair<double, double> Burn::PeakPressure(const Segment& segment) const {
    const Quadratic& q = segment.area;
    double depth = q.At(segment.x1) > q.At(segment.x0) ? segment.x1 : segment.x0;
    double top = q.At(depth);
    if (q.a != 0.0) {
        const double vertex = -q.b / (2.0 * q.a);
        if (vertex > segment.x0 && vertex < segment.x1 && q.At(vertex) > top) {
            depth = vertex;
            top = q.At(vertex);
        }
    }
    return {law_.Pressure(segment.state, std::max(0.0, top) / throat_), depth};
}

std::pair<double, double> AtDepth(const Burn& burn, const Burn::Step& step, double x) {
    const auto [dt, di] = burn.Integrate(burn.Segments()[step.segment], step.x0, x - step.x0);
    return {step.time + dt, step.impulse + di};
}

const Burn::Step* StepAt(const std::vector<Burn::Step>& steps, double x) {
    if (steps.empty()) return nullptr;
    auto after = std::upper_bound(steps.begin(), steps.end(), x, [](double depth, const Burn::Step& s) { return depth < s.x0; });
    return after == steps.begin() ? &steps.front() : &*std::prev(after);
}

namespace {

// The depth in [x0, x1] of a segment where the thrust crosses `limit`
// (thrust(x0) and thrust(x1) on either side of it), by bisection.
double ThrustCrossing(const Burn& burn, const Burn::Segment& segment, double x0, double x1, double limit) {
    const bool rising = burn.ThrustAtDepth(segment, x0) < limit;
    for (int i = 0; i < 100 && x1 - x0 > 1e-15 * std::max(1.0, std::fabs(x1)); ++i) {
        const double middle = 0.5 * (x0 + x1);
        ((burn.ThrustAtDepth(segment, middle) < limit) == rising ? x0 : x1) = middle;
    }
    return 0.5 * (x0 + x1);
}

// The average thrust as the certification rule takes it: the impulse from
// where the thrust first reaches 5 % of its peak to where it last falls
// below it, over that time. Sets `thrust_time` and `average_thrust`.
void CertificationAverage(const Burn& burn, const std::vector<Burn::Step>& steps, Performance& p) {
    const double limit = 0.05 * p.peak_thrust;
    const auto& segments = burn.Segments();
    auto thrust_at = [&](const Burn::Step& step, double x) { return burn.ThrustAtDepth(segments[step.segment], x); };
    double start_time = 0.0, start_impulse = 0.0, end_time = p.burn_time, end_impulse = p.total_impulse;
    bool found = false;
    for (const Burn::Step& step : steps) {
        if (thrust_at(step, step.x0) >= limit) {
            start_time = step.time, start_impulse = step.impulse;
        } else if (thrust_at(step, step.x1) >= limit) {
            std::tie(start_time, start_impulse) =
                AtDepth(burn, step, ThrustCrossing(burn, segments[step.segment], step.x0, step.x1, limit));
        } else {
            continue;
        }
        found = true;
        break;
    }
    for (std::size_t i = steps.size(); found && i-- > 0;) {
        const Burn::Step& step = steps[i];
        if (thrust_at(step, step.x1) >= limit) {
            if (i + 1 < steps.size()) {
                end_time = steps[i + 1].time, end_impulse = steps[i + 1].impulse;
            }
        } else if (thrust_at(step, step.x0) >= limit) {
            std::tie(end_time, end_impulse) =
                AtDepth(burn, step, ThrustCrossing(burn, segments[step.segment], step.x0, step.x1, limit));
        } else {
            continue;
        }
        break;
    }
    p.thrust_time = found ? std::max(0.0, end_time - start_time) : 0.0;
    p.average_thrust = p.thrust_time > 0.0 ? (end_impulse - start_impulse) / p.thrust_time : 0.0;
}

}  // namespace

BurnIntegration IntegrateBurn(const cMotor& motor, const Burn& burn) {
    BurnIntegration out;
    Performance& result = out.figures;
    result.has_thrust = burn.ThrustAt().has_thrust;
    double time = 0.0, impulse = 0.0;
    auto point = [&](const Burn::Segment& segment, double depth) {
        PerformancePoint p;
        p.depth = depth;
        p.time = time;
        p.kn = burn.Kn(segment.area, depth);
        p.pressure = burn.Law().Pressure(segment.state, p.kn);
        p.thrust = burn.ThrustAt()(p.pressure);
        return p;
    };
    const auto& segments = burn.Segments();
    std::size_t peak_segment = 0;
    for (std::size_t s = 0; s < segments.size(); ++s) {
        const Burn::Segment& segment = segments[s];
        if (burn.Law().Outside(segment.state)) result.outside_burn_rate_data = true;
        const auto [peak, depth] = burn.PeakPressure(segment);
        if (peak > result.peak_pressure) {
            result.peak_pressure = peak;
            result.peak_pressure_depth = depth;
            peak_segment = s;
        }
        const PerformancePoint first = point(segment, segment.x0);
        if (result.curve.empty() || result.curve.back().pressure != first.pressure) result.curve.push_back(first);
        const double width = (segment.x1 - segment.x0) / segment.steps;
        for (int k = 0; k < segment.steps; ++k) {
            const double left = segment.x0 + k * width;
            out.steps.push_back({s, left, left + width, time, impulse});
            const auto [dt, di] = burn.Integrate(segment, left, width);
            time += dt;
            impulse += di;
            result.curve.push_back(point(segment, left + width));
        }
    }
    // The last grain's burnout ends the burn.
    PerformancePoint end;
    end.depth = burn.Burnout();
    end.time = time;
    result.curve.push_back(end);

    result.burn_time = time;
    for (const Burn::Step& step : out.steps) {
        if (step.segment == peak_segment && result.peak_pressure_depth <= step.x1) {
            result.peak_pressure_time = AtDepth(burn, step, result.peak_pressure_depth).first;
            break;
        }
    }
    const double metres = burn.Metres();
    result.propellant_mass = motor.Density() * burn.PropellantVolume() * metres * metres * metres;
    if (result.has_thrust) {
        result.total_impulse = impulse;
        result.peak_thrust = burn.ThrustAt()(result.peak_pressure);
        result.delivered_isp = impulse / (result.propellant_mass * kStandardGravity);
        CertificationAverage(burn, out.steps, result);
    }
    return out;
}

}  // namespace thrustlet
