#include "model/performance.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

// The burn-rate law as pieces of r = a P^n, each with the pressure range it
// holds for; without pieces, one that holds everywhere.
class BurnRateLaw {
public:
    struct Piece {
        double p_min, p_max, a, n;
        double exponent;  // 1 / (1 - n)
        double factor;    // a rho c*: P^(1-n) = Kn factor
    };

    BurnRateLaw(const cMotor& motor, double rho_cstar) {
        const auto& pieces = motor.Performance().burn_rate;
        if (pieces.empty()) {
            Add(0.0, kInfinity, motor.BallisticA(), motor.BallisticN(), rho_cstar);
        } else {
            for (const BurnRatePiece& piece : pieces) Add(piece.p_min, piece.p_max, piece.a, piece.n, rho_cstar);
        }
    }

    double Pressure(std::size_t piece, double kn) const {
        return std::pow(kn * pieces_[piece].factor, pieces_[piece].exponent);
    }

    // The first piece (ascending) whose range holds its own pressure at this
    // Kn; else the piece whose range is nearest in log P, and `outside`.
    std::size_t Select(double kn, bool* outside) const {
        std::size_t nearest = 0;
        double distance = kInfinity;
        for (std::size_t i = 0; i < pieces_.size(); ++i) {
            const double pressure = Pressure(i, kn);
            if (pressure >= pieces_[i].p_min && pressure <= pieces_[i].p_max) return i;
            const double d = pressure < pieces_[i].p_min ? std::log(pieces_[i].p_min / pressure)
                                                         : std::log(pressure / pieces_[i].p_max);
            if (d < distance) {
                distance = d;
                nearest = i;
            }
        }
        *outside = true;
        return nearest;
    }

    // The Kn values where the selection can change: where a piece's
    // pressure meets an end of its range, and where two pieces' distances
    // (in log P, outside their ranges) are equal. Some may not be changes;
    // every change is among them.
    std::vector<double> SwitchingKn() const {
        std::vector<double> kn;
        if (pieces_.size() < 2 && std::isinf(pieces_[0].p_max) && pieces_[0].p_min <= 0.0) return kn;
        // log P = alpha log Kn + beta for each piece.
        for (const Piece& piece : pieces_) {
            for (double end : {piece.p_min, piece.p_max}) {
                if (end > 0.0 && std::isfinite(end)) kn.push_back(std::pow(end, 1.0 - piece.n) / piece.factor);
            }
        }
        for (std::size_t i = 0; i < pieces_.size(); ++i) {
            for (std::size_t j = i + 1; j < pieces_.size(); ++j) {
                for (int side_i : {-1, 1}) {
                    for (int side_j : {-1, 1}) {
                        // d = side (alpha u + beta - log end), end by side.
                        auto line = [](const Piece& p, int side, double* slope, double* offset) {
                            const double end = side < 0 ? p.p_min : p.p_max;
                            *slope = side * p.exponent;
                            *offset = side * (p.exponent * std::log(p.factor) - std::log(end));
                        };
                        double si = 0, oi = 0, sj = 0, oj = 0;
                        line(pieces_[i], side_i, &si, &oi);
                        line(pieces_[j], side_j, &sj, &oj);
                        if (!std::isfinite(oi) || !std::isfinite(oj) || si == sj) continue;
                        const double u = (oj - oi) / (si - sj);
                        const double value = std::exp(u);
                        if (std::isfinite(value) && value > 0.0) kn.push_back(value);
                    }
                }
            }
        }
        return kn;
    }

private:
    void Add(double p_min, double p_max, double a, double n, double rho_cstar) {
        pieces_.push_back({p_min, p_max, a, n, 1.0 / (1.0 - n), a * rho_cstar});
    }
    std::vector<Piece> pieces_;
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

std::vector<DepthFigures> FiguresAtDepths(const cMotor& motor, const std::vector<double>& depths) {
    const BurnRateLaw law(motor, static_cast<double>(motor.ISPStar()) * motor.Density());
    const ThrustOf thrust_at(motor);
    const double throat = kPi * std::pow(motor.NozzleDia() / 2.0, 2.0);
    std::vector<DepthFigures> figures;
    figures.reserve(depths.size());
    bool outside = false;
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
        const double pressure = kn > 0.0 ? law.Pressure(law.Select(kn, &outside), kn) : 0.0;
        figures.push_back({pressure, pressure > 0.0 ? thrust_at(pressure) : 0.0});
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

    const double metres = MetresPer(*in.units);
    const double rho = motor.Density(), cstar = motor.ISPStar();
    const BurnRateLaw law(motor, rho * cstar);
    const double throat = kPi * std::pow(motor.NozzleDia() / 2.0, 2.0);  // in the design's unit
    const ThrustOf thrust_at(motor);
    const bool has_thrust = thrust_at.has_thrust;

    // Each grain with propellant burns from depth 0 to its burnout, its area
    // a quadratic in the depth meanwhile (the area rules in exact
    // arithmetic: core c0 + 2x, length L0 - 2x, both end faces).
    struct Burning {
        double end;
        Quadratic area;
    };
    std::vector<Burning> grains;
    double propellant_volume = 0.0;  // the design's unit cubed
    for (const auto& grain : motor.Grains()) {
        const double length = grain->Length(), diameter = grain->Diameter(), core = grain->CoreDiameter();
        if (!(core < diameter)) continue;
        propellant_volume += kPi / 4.0 * (diameter * diameter - core * core) * length;
        Burning burning;
        burning.end = std::min(length, diameter - core) / 2.0;
        burning.area.c = kPi * core * length + kPi / 2.0 * (diameter * diameter - core * core);
        burning.area.b = 2.0 * kPi * (length - 2.0 * core);
        burning.area.a = -6.0 * kPi;
        grains.push_back(burning);
    }
    if (grains.empty()) {
        outcome.problem = "no grain holds propellant (each needs a core narrower than its diameter)";
        return outcome;
    }
    std::sort(grains.begin(), grains.end(), [](const Burning& x, const Burning& y) { return x.end < y.end; });
    const double burnout = grains.back().end;

    // The stretches between burnouts, with the area of the grains burning
    // in each, summed from the last stretch back.
    struct Stretch {
        double from, to;
        Quadratic area;
    };
    std::vector<Stretch> stretches;
    Quadratic sum;
    double to = burnout;
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

    const std::vector<double> switching = law.SwitchingKn();
    const double c_star_rho = cstar * rho;
    Performance result;
    result.has_thrust = has_thrust;
    double time = 0.0, impulse = 0.0;
    auto point = [&](const Quadratic& area, std::size_t piece, double depth) {
        PerformancePoint p;
        p.depth = depth;
        p.time = time;
        p.kn = area.At(depth) / throat;
        p.pressure = law.Pressure(piece, p.kn);
        p.thrust = thrust_at(p.pressure);
        return p;
    };
    for (const Stretch& stretch : stretches) {
        // Within a stretch the law changes pieces only where Kn crosses one
        // of the switching values: those depths bound the steps too.
        std::vector<double> bounds = {stretch.from, stretch.to};
        for (double kn : switching) CrossingsInside(stretch.area, kn * throat, stretch.from, stretch.to, &bounds);
        std::sort(bounds.begin(), bounds.end());
        for (std::size_t b = 0; b + 1 < bounds.size(); ++b) {
            const double x0 = bounds[b], x1 = bounds[b + 1];
            if (!(x1 > x0)) continue;
            const std::size_t piece = law.Select(stretch.area.At(0.5 * (x0 + x1)) / throat, &result.outside_burn_rate_data);
            // The largest Kn of the step (an end, or the top of the quadratic)
            // has the step's largest pressure and thrust.
            double top = std::max(stretch.area.At(x0), stretch.area.At(x1));
            if (stretch.area.a != 0.0) {
                const double vertex = -stretch.area.b / (2.0 * stretch.area.a);
                if (vertex > x0 && vertex < x1) top = std::max(top, stretch.area.At(vertex));
            }
            result.peak_pressure = std::max(result.peak_pressure, law.Pressure(piece, top / throat));

            const PerformancePoint first = point(stretch.area, piece, x0);
            if (result.curve.empty() || result.curve.back().pressure != first.pressure) result.curve.push_back(first);
            const int steps = std::max(1, static_cast<int>(std::ceil(kStepsPerBurn * (x1 - x0) / burnout)));
            const double width = (x1 - x0) / steps;
            for (int s = 0; s < steps; ++s) {
                const double left = x0 + s * width;
                double dt = 0.0, di = 0.0;
                for (int g = 0; g < 5; ++g) {
                    const double x = left + 0.5 * width * (1.0 + kGaussNodes[g]);
                    const double kn = stretch.area.At(x) / throat;
                    const double pressure = law.Pressure(piece, kn);
                    // The burn rate from the mass balance: r = P / (Kn rho c*).
                    const double seconds_per_unit = metres * kn * c_star_rho / pressure;
                    dt += kGaussWeights[g] * seconds_per_unit;
                    di += kGaussWeights[g] * seconds_per_unit * thrust_at(pressure);
                }
                time += 0.5 * width * dt;
                impulse += 0.5 * width * di;
                result.curve.push_back(point(stretch.area, piece, left + width));
            }
        }
    }
    // The last grain's burnout ends the burn.
    PerformancePoint end;
    end.depth = burnout;
    end.time = time;
    result.curve.push_back(end);

    result.burn_time = time;
    result.propellant_mass = rho * propellant_volume * metres * metres * metres;
    if (has_thrust) {
        result.total_impulse = impulse;
        result.average_thrust = impulse / time;
        result.peak_thrust = thrust_at(result.peak_pressure);
        result.delivered_isp = impulse / (result.propellant_mass * kStandardGravity);
    }
    for (double value : {result.burn_time, result.peak_pressure, result.propellant_mass, result.total_impulse,
                         result.average_thrust, result.peak_thrust, result.delivered_isp}) {
        if (!std::isfinite(value)) {
            outcome.problem = "the figures overflow: check the propellant's values and the grains' sizes";
            return outcome;
        }
    }
    if (has_thrust) result.designation = Designation(result.total_impulse, result.average_thrust);
    outcome.figures = std::move(result);
    return outcome;
}

}  // namespace thrustlet
