#include "cli/flow_report.h"

#include <cfloat>
#include <cmath>

#include "cli/report.h"
#include "cli/terminal.h"
#include "model/number_text.h"
#include "model/propellant_library.h"

namespace thrustlet {

namespace {

std::string Json(double value) { return DoubleToText(value, '.'); }
std::string Json(const std::optional<double>& value) { return value ? Json(*value) : "null"; }

// Seven significant digits, as every figure of the report.
std::string Shown(double value) {
    if (std::fabs(value) > static_cast<double>(FLT_MAX)) return DoubleToText(value, '.');
    return SingleToText(static_cast<float>(value), '.');
}

std::string MassFlux(double si) {
    return Shown(si) + " kg/(m\u00b2\u00b7s) (" + Shown(si / kMassFluxPerLbPerSquareInchSecond) + " lb/(in\u00b2\u00b7s))";
}

std::string Pressure(double pascals) {
    return Shown(pascals / kPascalsPerMegapascal) + " MPa (" + Shown(pascals / kPascalsPerPsi) + " psi)";
}

}  // namespace

std::string FlowText(const MotorReport& report) {
    const std::string unit = report.length_unit.empty() ? "" : " " + report.length_unit;
    const MotorFlow& flow = report.flow;
    std::string text = "Limits: pressure " + (report.limits.max_pressure ? Pressure(*report.limits.max_pressure) : "none") +
                       ", mass flux " + MassFlux(report.limits.max_mass_flux) + ", port-to-throat " +
                       Shown(report.limits.min_port_throat) + "\n";
    if (flow.peak_mass_flux) {
        text += "Peak mass flux: " + MassFlux(*flow.peak_mass_flux) + ", grain " +
                std::to_string(flow.peak_mass_flux_grain) + " at " + Shown(flow.peak_mass_flux_time) + " s (depth " +
                Shown(flow.peak_mass_flux_depth) + unit + ")\n";
    }
    if (flow.min_port_throat) {
        text += "Min port-to-throat: " + Shown(*flow.min_port_throat) + ", grain " +
                std::to_string(flow.min_port_throat_grain) + "\n";
    }
    for (const GrainFlow& grain : flow.grains) {
        text += "Grain " + std::to_string(grain.position) + ": mass " + (grain.mass ? Shown(*grain.mass) + " kg" : "N/A") +
                ", port-to-throat " + (grain.port_throat ? Shown(*grain.port_throat) : "N/A") + ", peak mass flux " +
                (grain.peak_mass_flux ? Shown(*grain.peak_mass_flux) + " kg/(m\u00b2\u00b7s)" : "N/A") +
                ", neutral length " + Shown(grain.neutral_length) + unit + " (length " + Shown(grain.length) + unit +
                ")\n";
    }
    for (const Alert& alert : report.alerts) text += "Alert: " + TerminalSafe(alert.message) + "\n";
    return text;
}

std::string FlowJson(const MotorReport& report) {
    const MotorFlow& flow = report.flow;
    std::string json = ",\"limits\":{\"max_pressure_pa\":" + Json(report.limits.max_pressure) +
                       ",\"max_mass_flux_kg_m2s\":" + Json(report.limits.max_mass_flux) +
                       ",\"min_port_throat\":" + Json(report.limits.min_port_throat) + "}";
    json += ",\"peak_mass_flux_kg_m2s\":" + Json(flow.peak_mass_flux);
    json += ",\"peak_mass_flux_grain\":" + (flow.peak_mass_flux ? std::to_string(flow.peak_mass_flux_grain) : "null");
    json += ",\"peak_mass_flux_time_s\":" + (flow.peak_mass_flux ? Json(flow.peak_mass_flux_time) : "null");
    json += ",\"min_port_throat\":" + Json(flow.min_port_throat);
    json += ",\"grains\":[";
    for (std::size_t i = 0; i < flow.grains.size(); ++i) {
        const GrainFlow& grain = flow.grains[i];
        json += std::string(i ? "," : "") + "{\"mass_kg\":" + Json(grain.mass) + ",\"port_throat\":" +
                Json(grain.port_throat) + ",\"peak_mass_flux_kg_m2s\":" + Json(grain.peak_mass_flux) +
                ",\"neutral_length\":" + Json(grain.neutral_length) + "}";
    }
    json += "],\"alerts\":[";
    for (std::size_t i = 0; i < report.alerts.size(); ++i) {
        const Alert& alert = report.alerts[i];
        json += std::string(i ? "," : "") + "{\"kind\":\"" + AlertKindName(alert.kind) + "\",\"grain\":" +
                (alert.grain ? std::to_string(alert.grain) : "null") + ",\"message\":" + JsonString(alert.message) + "}";
    }
    return json + "]";
}

}  // namespace thrustlet
