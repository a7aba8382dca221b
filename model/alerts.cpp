#include "model/alerts.h"

#include <algorithm>
#include <cmath>

#include "model/motor.h"
#include "model/number_text.h"
#include "model/propellant_library.h"

namespace thrustlet {

namespace {

// Three significant digits, shortest form; whole numbers from 100 up (a
// limit of 1406 reads as itself).
std::string Short(double value) {
    if (value == 0.0 || !std::isfinite(value)) return DoubleToText(value, '.');
    if (std::fabs(value) >= 100.0) return DoubleToText(std::round(value), '.');
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const double scale = std::pow(10.0, 2 - magnitude);
    return DoubleToText(std::round(value * scale) / scale, '.');
}

struct Units {
    bool inch = false;
    bool known = false;
    std::string Pressure(double pascals) const {
        return inch ? Short(pascals / kPascalsPerPsi) + " psi" : Short(pascals / kPascalsPerMegapascal) + " MPa";
    }
    std::string MassFlux(double si) const {
        return inch ? Short(si / kMassFluxPerLbPerSquareInchSecond) + " lb/(in\u00b2\u00b7s)"
                    : Short(si) + " kg/(m\u00b2\u00b7s)";
    }
    std::string Length(double value) const {
        return Short(value) + (!known ? "" : inch ? " in" : " mm");
    }
};

// The share of the burn's time during which the exit pressure (the chamber
// pressure times `exit_ratio`) is below `limit` (Pa), along the figures'
// curve (linear between its points).
double SeparatedShare(const Performance& p, double exit_ratio, double limit) {
    if (!(p.burn_time > 0.0)) return 0.0;
    double below = 0.0;
    for (std::size_t i = 1; i < p.curve.size(); ++i) {
        const PerformancePoint &a = p.curve[i - 1], &b = p.curve[i];
        const double dt = b.time - a.time;
        if (!(dt > 0.0)) continue;
        const double ea = a.pressure * exit_ratio - limit, eb = b.pressure * exit_ratio - limit;
        if (ea < 0.0 && eb < 0.0) {
            below += dt;
        } else if ((ea < 0.0) != (eb < 0.0)) {
            below += dt * (ea < 0.0 ? ea : eb) / (ea - eb) * (ea < 0.0 ? 1.0 : -1.0);
        }
    }
    return below / p.burn_time;
}

}  // namespace

const char* AlertKindName(AlertKind kind) {
    switch (kind) {
        case AlertKind::kPressure:
            return "pressure";
        case AlertKind::kMassFlux:
            return "mass_flux";
        case AlertKind::kPortThroat:
            return "port_throat";
        case AlertKind::kBurnRateRange:
            return "burn_rate_range";
        case AlertKind::kFlowSeparation:
            return "flow_separation";
        case AlertKind::kUnevenWeb:
            return "uneven_web";
    }
    return "";
}

DesignLimits LimitsOf(const PerformanceInputs& inputs) {
    DesignLimits limits;
    if (inputs.max_pressure) limits.max_pressure = *inputs.max_pressure;
    limits.max_mass_flux = inputs.max_mass_flux.value_or(static_cast<float>(kDefaultMaxMassFlux));
    limits.min_port_throat = inputs.min_port_throat.value_or(static_cast<float>(kDefaultMinPortThroat));
    return limits;
}

std::vector<Alert> DesignAlerts(const cMotor& motor, const std::optional<Performance>& performance,
                                const MotorFlow& flow) {
    const PerformanceInputs& in = motor.Performance();
    const DesignLimits limits = LimitsOf(in);
    Units units;
    units.known = in.units.has_value();
    units.inch = in.units == LengthUnit::kInch;
    std::vector<Alert> alerts;
    const auto add = [&](AlertKind kind, int grain, std::string message) {
        alerts.push_back({kind, grain, std::move(message)});
    };
    if (performance && limits.max_pressure && performance->peak_pressure > *limits.max_pressure) {
        add(AlertKind::kPressure, 0,
            "The peak chamber pressure, " + units.Pressure(performance->peak_pressure) +
                ", is above the casing's rating of " + units.Pressure(*limits.max_pressure) + ".");
    }
    for (const GrainFlow& grain : flow.grains) {
        if (performance && grain.peak_mass_flux && *grain.peak_mass_flux > limits.max_mass_flux) {
            add(AlertKind::kMassFlux, grain.position,
                "Grain " + std::to_string(grain.position) + "'s peak mass flux, " + units.MassFlux(*grain.peak_mass_flux) +
                    ", is above the limit of " + units.MassFlux(limits.max_mass_flux) +
                    (motor.Performance().ErosionModelled()
                         ? ": erosive burning is likely there, and the full model's erosive coefficients figure it."
                         : motor.Performance().Model() == BurnModel::kFull
                               ? ": erosive burning is likely there, and the design gives no erosive coefficients to figure it."
                               : ": erosive burning is likely there, and Thrustlet does not model it."));
        }
    }
    for (const GrainFlow& grain : flow.grains) {
        if (grain.port_throat && *grain.port_throat < limits.min_port_throat) {
            add(AlertKind::kPortThroat, grain.position,
                "Grain " + std::to_string(grain.position) + "'s port-to-throat area ratio, " + Short(*grain.port_throat) +
                    ", is below the limit of " + Short(limits.min_port_throat) +
                    ": its port may choke the flow to the nozzle.");
        }
    }
    if (performance && in.specific_heat_ratio) {
        // Summerfield's criterion: the flow leaves the wall of a nozzle whose
        // exit pressure is below 0.4 of the ambient. Counted when it is so
        // for more than 5 % of the burn.
        const double exit_ratio = in.NozzleExitDia() > 0.0f
                                      ? ExitPressureRatio(*in.specific_heat_ratio,
                                                          std::pow(in.NozzleExitDia() / motor.NozzleDia(), 2.0))
                                      : ExitPressureRatio(*in.specific_heat_ratio, 1.0);
        const double below = SeparatedShare(*performance, exit_ratio, kSeparationPressureRatio * in.AmbientPressure());
        if (below > kSeparationBurnShare) {
            add(AlertKind::kFlowSeparation, 0,
                "The nozzle's exit pressure is below " + Short(kSeparationPressureRatio) + " of the ambient for " +
                    Short(100.0 * below) + " % of the burn: the flow may leave the nozzle's wall there, and the thrust "
                    "is less than figured (a smaller exit would keep it attached).");
        }
    }
    if (performance && performance->outside_burn_rate_data) {
        add(AlertKind::kBurnRateRange, 0,
            "The burn leaves the pressures the burn-rate data cover: the nearest piece's law is carried on there.");
    }
    // A grain whose web is thinner than the thickest other web by more than
    // 5 % burns out first, and the motor tails off early. The thickest other
    // web of each grain from the two thickest of all, in one pass.
    const GrainFlow* thickest = nullptr;
    double second = 0.0;
    for (const GrainFlow& grain : flow.grains) {
        if (!thickest || grain.web > thickest->web) {
            if (thickest) second = std::max(second, thickest->web);
            thickest = &grain;
        } else {
            second = std::max(second, grain.web);
        }
    }
    for (const GrainFlow& grain : flow.grains) {
        const double others = &grain == thickest ? std::max(0.0, second) : thickest->web;
        if (flow.grains.size() > 1 && grain.web > 0.0 && grain.web < 0.95 * others) {
            add(AlertKind::kUnevenWeb, grain.position,
                "Grain " + std::to_string(grain.position) + "'s web, " + units.Length(grain.web) +
                    ", is thinner than the others' " + units.Length(others) + " by " +
                    Short(100.0 * (1.0 - grain.web / others)) +
                    " %: it burns out first and the motor tails off early.");
        }
    }
    return alerts;
}

}  // namespace thrustlet
