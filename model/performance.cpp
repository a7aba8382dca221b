#include "model/performance.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>
#include <limits>
#include <tuple>

#include "model/burn_rate_law.h"
#include "model/motor.h"
#include "model/number_text.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

constexpr double kStandardGravity = 9.80665;  // m/s^2, for the specific impulse
constexpr double kInfinity = std::numeric_limits<double>::infinity();
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

std::string Number(double value) { return DoubleToText(value, '.'); }
std::string Number(float value) { return SingleToText(value, '.'); }

// c + b x + a x^2.
struct Quadratic {
    double a = 0.0, b = 0.0, c = 0.0;
    double At(double x) const { return c + x * (b + x * a); }
};

// The roots of q(x) = value strictly inside (low, high).
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

// What makes a design's values unusable, or "".
std::string Problem(const cMotor& motor) {
    const std::string propellant = PropellantProblem(motor.ISPStar(), motor.Density(), motor.BallisticA(),
                                                     motor.BallisticN(), motor.Performance());
    if (!propellant.empty()) return propellant;
    const PerformanceInputs& in = motor.Performance();
    auto positive = [](double v) { return std::isfinite(v) && v > 0.0; };
    if (!positive(motor.NozzleDia())) return "the nozzle throat must be above 0";
    const float exit = in.NozzleExitDia();
    if (!(std::isfinite(exit) && exit >= 0.0f)) return "the nozzle exit must be 0 (none) or more, not " + Number(exit);
    if (exit > 0.0f && exit < motor.NozzleDia()) {
        return "the nozzle exit (" + Number(exit) + ") is narrower than the throat (" + Number(motor.NozzleDia()) + ")";
    }
    int position = 0;
    for (const auto& grain : motor.Grains()) {
        ++position;
        const std::string name = "grain " + std::to_string(position) + ": ";
        if (grain->GrainType() != cGrain::kBates) return name + "unknown grain type " + std::to_string(grain->GrainType());
        if (!(positive(grain->Length()) && positive(grain->Diameter()) && std::isfinite(grain->CoreDiameter()) &&
              grain->CoreDiameter() >= 0.0f)) {
            return name + "its length and diameter must be above 0 and its core 0 or more";
        }
    }
    return "";
}

}  // namespace

std::string PropellantProblem(float c_star, float density, float a, float n, const PerformanceInputs& in) {
    auto positive = [](double v) { return std::isfinite(v) && v > 0.0; };
    if (!positive(c_star)) return "c* (ISP*) must be above 0, not " + Number(c_star);
    if (!positive(density)) return "the density must be above 0, not " + Number(density);
    if (in.burn_rate.size() > kMaxBurnRatePieces) {
        return "a burn-rate law holds at most " + std::to_string(kMaxBurnRatePieces) + " pieces, not " +
               std::to_string(in.burn_rate.size());
    }
    if (in.burn_rate.empty()) {
        if (!positive(a)) return "the burn-rate coefficient a must be above 0, not " + Number(a);
        if (!(std::isfinite(n) && n < 1.0f)) return "the burn-rate exponent n must be below 1, not " + Number(n);
    }
    for (std::size_t i = 0; i < in.burn_rate.size(); ++i) {
        const BurnRatePiece& piece = in.burn_rate[i];
        const std::string name = "burn-rate piece " + std::to_string(i + 1) + ": ";
        if (!positive(piece.a)) return name + "a must be above 0, not " + Number(piece.a);
        if (!(std::isfinite(piece.n) && piece.n < 1.0f)) return name + "n must be below 1, not " + Number(piece.n);
        if (!(std::isfinite(piece.p_min) && piece.p_min >= 0.0f && std::isfinite(piece.p_max) &&
              piece.p_max > piece.p_min)) {
            return name + "its pressure range must rise from 0 or more";
        }
        if (i > 0 && !(piece.p_min > in.burn_rate[i - 1].p_min)) return name + "the pieces must be in ascending order";
    }
    if (in.specific_heat_ratio && !(std::isfinite(*in.specific_heat_ratio) && *in.specific_heat_ratio > 1.0f)) {
        return "the specific heat ratio k must be above 1, not " + Number(*in.specific_heat_ratio);
    }
    const float efficiency = in.NozzleEfficiency();
    if (!(efficiency > 0.0f && efficiency <= 1.0f)) return "the nozzle efficiency must be above 0 and at most 1, not " + Number(efficiency);
    if (!(std::isfinite(in.AmbientPressure()) && in.AmbientPressure() >= 0.0f)) {
        return "the ambient pressure must be 0 or more, not " + Number(in.AmbientPressure());
    }
    return "";
}

double ExitPressureRatio(double k, double area_ratio) {
    const double half = (k - 1.0) / 2.0;
    auto area = [&](double mach) {
        return std::pow((1.0 + half * mach * mach) * 2.0 / (k + 1.0), (k + 1.0) / (2.0 * (k - 1.0))) / mach;
    };
    double mach = 1.0;
    if (area_ratio > 1.0) {
        double low = 1.0, high = 2.0;
        while (area(high) < area_ratio && high < 1e6) high *= 2.0;
        for (int i = 0; i < 200 && high - low > 1e-15 * high; ++i) {
            const double middle = 0.5 * (low + high);
            (area(middle) < area_ratio ? low : high) = middle;
        }
        mach = 0.5 * (low + high);
    }
    return std::pow(1.0 + half * mach * mach, -k / (k - 1.0));
}

namespace {

// The parts of the thrust coefficient that depend on the nozzle alone: the
// momentum term and the exit pressure ratio.
struct Nozzle {
    double momentum = 0.0, exit = 0.0, area_ratio = 1.0;
    Nozzle(double k, double ratio) : exit(ExitPressureRatio(k, ratio)), area_ratio(ratio) {
        momentum = std::sqrt(2.0 * k * k / (k - 1.0) * std::pow(2.0 / (k + 1.0), (k + 1.0) / (k - 1.0)) *
                             (1.0 - std::pow(exit, (k - 1.0) / k)));
    }
    double Coefficient(double chamber, double ambient) const {
        return std::max(0.0, momentum + (exit - ambient / chamber) * area_ratio);
    }
};

// The thrust (N) of a design at a chamber pressure (Pa): its nozzle, its
// efficiency and the ambient pressure; 0 without a specific heat ratio.
struct ThrustOf {
    explicit ThrustOf(const cMotor& motor)
        : has_thrust(motor.Performance().specific_heat_ratio.has_value()),
          efficiency(motor.Performance().NozzleEfficiency()),
          ambient(motor.Performance().AmbientPressure()),
          throat_m2(kPi * std::pow(motor.NozzleDia() / 2.0, 2.0) * MetresPer(*motor.Performance().units) *
                    MetresPer(*motor.Performance().units)),
          nozzle(motor.Performance().specific_heat_ratio.value_or(1.2f),
                 motor.Performance().NozzleExitDia() > 0.0f
                     ? std::pow(motor.Performance().NozzleExitDia() / motor.NozzleDia(), 2.0)
                     : 1.0) {}
    double operator()(double pressure) const {
        return has_thrust ? efficiency * nozzle.Coefficient(pressure, ambient) * pressure * throat_m2 : 0.0;
    }
    bool has_thrust;
    double efficiency, ambient, throat_m2;
    Nozzle nozzle;
};

}  // namespace

double ThrustCoefficient(double k, double area_ratio, double chamber, double ambient) {
    return Nozzle(k, area_ratio).Coefficient(chamber, ambient);
}

namespace {

// The burn laid out for integration: each grain with propellant burns from
// depth 0 to its burnout, its area a quadratic in the depth meanwhile (the
// area rules in exact arithmetic: core c0 + 2x, length L0 - 2x, both end
// faces). Between burnouts the stack's area is one quadratic; within such a
// stretch the law changes state only where Kn crosses a switching value, so
// the stretch is cut there into segments of one state each.
class Burn {
public:
    struct Segment {
        double x0 = 0.0, x1 = 0.0;
        Quadratic area;  // in the design's unit squared
        BurnRateLaw::State state;
        int steps = 1;
    };
    // One integration step, with the time and impulse when it starts.
    struct Step {
        std::size_t segment = 0;
        double x0 = 0.0, x1 = 0.0, time = 0.0, impulse = 0.0;
    };

    explicit Burn(const cMotor& motor)
        : law_(motor.Performance().burn_rate, motor.BallisticA(), motor.BallisticN(),
               static_cast<double>(motor.ISPStar()) * motor.Density()),
          thrust_at_(motor),
          throat_(kPi * std::pow(motor.NozzleDia() / 2.0, 2.0)),
          metres_(MetresPer(*motor.Performance().units)),
          rho_cstar_(static_cast<double>(motor.ISPStar()) * motor.Density()) {
        struct Burning {
            double end;
            Quadratic area;
        };
        std::vector<Burning> grains;
        for (const auto& grain : motor.Grains()) {
            const double length = grain->Length(), diameter = grain->Diameter(), core = grain->CoreDiameter();
            if (!(core < diameter)) continue;
            volume_ += kPi / 4.0 * (diameter * diameter - core * core) * length;
            Burning burning;
            burning.end = std::min(length, diameter - core) / 2.0;
            burning.area.c = kPi * core * length + kPi / 2.0 * (diameter * diameter - core * core);
            burning.area.b = 2.0 * kPi * (length - 2.0 * core);
            burning.area.a = -6.0 * kPi;
            grains.push_back(burning);
        }
        if (grains.empty()) return;
        std::sort(grains.begin(), grains.end(), [](const Burning& x, const Burning& y) { return x.end < y.end; });
        burnout_ = grains.back().end;

        // The stretches between burnouts, each with the area of the grains
        // burning in it, summed from the last stretch back.
        struct Stretch {
            double from, to;
            Quadratic area;
        };
        std::vector<Stretch> stretches;
        Quadratic sum;
        double to = burnout_;
        for (std::size_t i = grains.size(); i-- > 0;) {
            sum.a += grains[i].area.a;
            sum.b += grains[i].area.b;
            sum.c += grains[i].area.c;
            const double from = i > 0 ? grains[i - 1].end : 0.0;
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

    bool HasPropellant() const { return !segments_.empty(); }
    double Burnout() const { return burnout_; }
    double PropellantVolume() const { return volume_; }
    const std::vector<Segment>& Segments() const { return segments_; }
    const BurnRateLaw& Law() const { return law_; }
    const ThrustOf& ThrustAt() const { return thrust_at_; }

    // Kn at depth x of a stretch's area; never below 0 (the area rules can
    // round a burnt-out grain's last area a hair below it).
    double Kn(const Quadratic& area, double x) const { return std::max(0.0, area.At(x)) / throat_; }
    double PressureAt(const Segment& segment, double x) const {
        return law_.Pressure(segment.state, Kn(segment.area, x));
    }
    double ThrustAtDepth(const Segment& segment, double x) const { return thrust_at_(PressureAt(segment, x)); }

    // The time (s) and impulse (N s) the burn takes from depth `a` of a
    // segment to a + width, summed by 5-point Gauss-Legendre. The burn rate
    // comes from the mass balance: r = P / (Kn rho c*).
    std::pair<double, double> Integrate(const Segment& segment, double a, double width) const {
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

    // The largest pressure within a segment: at its largest Kn (an end, or
    // the top of the quadratic), since the pressure never falls as Kn rises.
    double PeakPressure(const Segment& segment) const {
        const Quadratic& q = segment.area;
        double top = std::max(q.At(segment.x0), q.At(segment.x1));
        if (q.a != 0.0) {
            const double vertex = -q.b / (2.0 * q.a);
            if (vertex > segment.x0 && vertex < segment.x1) top = std::max(top, q.At(vertex));
        }
        return law_.Pressure(segment.state, std::max(0.0, top) / throat_);
    }

private:
    BurnRateLaw law_;
    ThrustOf thrust_at_;
    double throat_;  // in the design's unit squared
    double metres_;
    double rho_cstar_;
    double burnout_ = 0.0;
    double volume_ = 0.0;  // the design's unit cubed
    std::vector<Segment> segments_;
};

// The figures and the steps they were summed over.
struct Integration {
    Performance figures;
    std::vector<Burn::Step> steps;
};

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

// The time and impulse at a depth within a step.
std::pair<double, double> AtDepth(const Burn& burn, const Burn::Step& step, double x) {
    const auto [dt, di] = burn.Integrate(burn.Segments()[step.segment], step.x0, x - step.x0);
    return {step.time + dt, step.impulse + di};
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

Integration Integrate(const cMotor& motor, const Burn& burn) {
    Integration out;
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
    for (std::size_t s = 0; s < segments.size(); ++s) {
        const Burn::Segment& segment = segments[s];
        if (burn.Law().Outside(segment.state)) result.outside_burn_rate_data = true;
        result.peak_pressure = std::max(result.peak_pressure, burn.PeakPressure(segment));
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
    const double metres = MetresPer(*motor.Performance().units);
    result.propellant_mass = motor.Density() * burn.PropellantVolume() * metres * metres * metres;
    if (result.has_thrust) {
        result.total_impulse = impulse;
        result.peak_thrust = burn.ThrustAt()(result.peak_pressure);
        result.delivered_isp = impulse / (result.propellant_mass * kStandardGravity);
        CertificationAverage(burn, out.steps, result);
    }
    return out;
}

}  // namespace

std::vector<DepthFigures> FiguresAtDepths(const cMotor& motor, const std::vector<double>& depths) {
    const Burn burn(motor);
    const Integration integration = burn.HasPropellant() ? Integrate(motor, burn) : Integration{};
    const auto& steps = integration.steps;
    const double throat = kPi * std::pow(motor.NozzleDia() / 2.0, 2.0);
    std::vector<DepthFigures> figures;
    figures.reserve(depths.size());
    for (double x : depths) {
        double area = 0.0;
        for (const auto& grain : motor.Grains()) {
            const double core = grain->CoreDiameter() + 2.0 * x, length = grain->Length() - 2.0 * x;
            const double diameter = grain->Diameter();
            if (length > 0.0 && core <= diameter && grain->CoreDiameter() < diameter) {
                area += kPi * core * length + kPi / 2.0 * (diameter * diameter - core * core);
            }
        }
        const double kn = area / throat;
        DepthFigures at;
        at.pressure = kn > 0.0 ? burn.Law().Pressure(kn) : 0.0;
        at.thrust = at.pressure > 0.0 ? burn.ThrustAt()(at.pressure) : 0.0;
        // The time the burn reached this depth, by the figures' own steps.
        if (steps.empty() || x <= 0.0) {
            at.time = 0.0;
        } else if (x >= burn.Burnout()) {
            at.time = integration.figures.burn_time;
        } else {
            auto step = std::upper_bound(steps.begin(), steps.end(), x,
                                         [](double depth, const Burn::Step& s) { return depth < s.x0; });
            at.time = AtDepth(burn, *std::prev(step), x).first;
        }
        figures.push_back(at);
    }
    return figures;
}

std::string ImpulseClass(double total_impulse) {
    int index = 0;
    for (double top = 2.5; total_impulse > top && index < 702; top *= 2.0) ++index;
    std::string letters;
    for (int i = index; ; i = i / 26 - 1) {
        letters.insert(letters.begin(), static_cast<char>('A' + i % 26));
        if (i < 26) break;
    }
    return letters;
}

std::string Designation(double total_impulse, double average_thrust) {
    return ImpulseClass(total_impulse) + Number(RoundHalfEven(average_thrust));
}

PerformanceOutcome ComputePerformance(const cMotor& motor) {
    PerformanceOutcome outcome;
    const PerformanceInputs& in = motor.Performance();
    if (!in.HasPropellant()) return outcome;
    outcome.problem = Problem(motor);
    if (!outcome.problem.empty()) return outcome;

    const Burn burn(motor);
    if (!burn.HasPropellant()) {
        outcome.problem = "no grain holds propellant (each needs a core narrower than its diameter)";
        return outcome;
    }
    Performance result = Integrate(motor, burn).figures;
    const struct {
        const char* name;
        double value;
        const char* unit;
    } figures[] = {{"burn time", result.burn_time, "s"},           {"peak pressure", result.peak_pressure, "Pa"},
                   {"propellant mass", result.propellant_mass, "kg"}, {"total impulse", result.total_impulse, "N s"},
                   {"average thrust", result.average_thrust, "N"},  {"peak thrust", result.peak_thrust, "N"},
                   {"delivered Isp", result.delivered_isp, "s"},    {"thrust time", result.thrust_time, "s"}};
    for (const auto& figure : figures) {
        if (!std::isfinite(figure.value)) {
            outcome.problem = "the figures overflow: check the propellant's values and the grains' sizes";
            return outcome;
        }
    }
    // Figures past what a 32-bit float holds are no motor's: named, like
    // the ones that overflow outright.
    for (const auto& figure : figures) {
        if (std::fabs(figure.value) > static_cast<double>(FLT_MAX)) {
            outcome.problem = std::string("the ") + figure.name + " (" + Number(figure.value) + " " + figure.unit +
                              ") is beyond any motor: check the propellant's values and the grains' sizes";
            return outcome;
        }
    }
    if (result.has_thrust) result.designation = Designation(result.total_impulse, result.average_thrust);
    outcome.figures = std::move(result);
    return outcome;
}

}  // namespace thrustlet
