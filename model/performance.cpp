#include "model/performance.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>
#include <limits>
#include <tuple>

#include "model/burn.h"
#include "model/full_burn.h"
#include "model/burn_rate_law.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "model/number_text.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

std::string Number(double value) { return DoubleToText(value, '.'); }
std::string Number(float value) { return SingleToText(value, '.'); }

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
    const float combustion = in.CombustionEfficiency();
    if (!(combustion > 0.0f && combustion <= 1.0f)) {
        return "the combustion efficiency must be above 0 and at most 1, not " + Number(combustion);
    }
    for (const auto& [angle, what] : {std::pair{in.nozzle_divergence, "divergence"}, std::pair{in.nozzle_convergence, "convergence"}}) {
        if (angle && !(*angle >= 0.0f && *angle < 90.0f)) {
            return std::string("the nozzle's ") + what + " half angle must be from 0 to below 90 degrees, not " + Number(*angle);
        }
    }
    for (const auto& [length, what] : {std::pair{in.nozzle_throat_length, "the throat's length"},
                                       std::pair{in.nozzle_erosion, "the throat's erosion coefficient"},
                                       std::pair{in.nozzle_slag, "the throat's slag coefficient"},
                                       std::pair{in.web_burnout, "the web burnout threshold"},
                                       std::pair{in.erosive_alpha, "the erosive coefficient alpha"},
                                       std::pair{in.erosive_beta, "the erosive coefficient beta"},
                                       std::pair{in.erosive_threshold, "the erosive threshold"},
                                       std::pair{in.erosive_velocity_coefficient, "the erosive velocity coefficient"}}) {
        if (length && !(std::isfinite(*length) && *length >= 0.0f)) return std::string(what) + " must be 0 or more, not " + Number(*length);
    }
    if (in.thrust_burnout && !(*in.thrust_burnout >= 0.0f && *in.thrust_burnout < 100.0f)) {
        return "the thrust burnout threshold must be from 0 to below 100 %, not " + Number(*in.thrust_burnout);
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

double ThrustCoefficient(double k, double area_ratio, double chamber, double ambient) {
    return Nozzle(k, area_ratio).Coefficient(chamber, ambient);
}

const char* BurnModelName(BurnModel model) { return model == BurnModel::kFull ? "full" : "steady"; }

std::string ImpulseClass(double total_impulse) {
    // Below A the classes halve: 1/2A up to 1.25 N s, 1/4A, then 1/8A.
    if (!(total_impulse > 0.0)) return "";
    if (total_impulse <= 0.3125) return "1/8A";
    if (total_impulse <= 0.625) return "1/4A";
    if (total_impulse <= 1.25) return "1/2A";
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
    if (!(total_impulse > 0.0)) return "";  // no motor class for no impulse
    return ImpulseClass(total_impulse) + Number(RoundHalfEven(average_thrust));
}

PerformanceOutcome ComputePerformance(const cMotor& motor) { return RunMotor(motor).Outcome(); }

PerformanceOutcome IntegratedPerformance(const cMotor& motor, std::shared_ptr<const Burn>* burn_out,
                                         std::vector<Burn::Step>* steps_out, MarchResolution resolution) {
    PerformanceOutcome outcome;
    const PerformanceInputs& in = motor.Performance();
    if (!in.HasPropellant()) return outcome;
    outcome.problem = Problem(motor);
    if (!outcome.problem.empty()) return outcome;

    auto made = std::make_shared<const Burn>(motor);
    const Burn& burn = *made;
    if (!burn.HasPropellant()) {
        outcome.problem = "no grain holds propellant (each needs a core narrower than its diameter)";
        return outcome;
    }
    BurnIntegration integration = IntegrateBurn(motor, burn);
    Performance result = std::move(integration.figures);
    // The full model marches the burn in time, with the steady burn's time
    // setting its step.
    if (in.Model() == BurnModel::kFull && result.burn_time > 0.0 && std::isfinite(result.burn_time)) {
        result = MarchBurn(motor, burn, result.burn_time, resolution);
    }
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
    if (burn_out) *burn_out = std::move(made);
    if (steps_out) *steps_out = std::move(integration.steps);
    return outcome;
}

}  // namespace thrustlet
