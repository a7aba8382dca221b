#include "cli/flow_report.h"

#include <cfloat>
#include <cmath>

#include "cli/report.h"
#include "cli/terminal.h"
#include "model/number_text.h"
#include "model/propellant_library.h"

namespace thrustlet {

namespace {

std::string MassFlux(double si) {
    return ReportNumber(si) + " kg/(m\u00b2\u00b7s) (" + ReportNumber(si / kMassFluxPerLbPerSquareInchSecond) +
           " lb/(in\u00b2\u00b7s))";
}

}  // namespace

std::string PressureText(double pascals) {
    return ReportNumber(pascals / kPascalsPerMegapascal) + " MPa (" + ReportNumber(pascals / kPascalsPerPsi) + " psi)";
}

std::string FlowText(const MotorReport& report) {
    const std::string unit = report.length_unit.empty() ? "" : " " + report.length_unit;
    const MotorFlow& flow = report.flow;
    std::string text = "Limits: pressure " + (report.limits.max_pressure ? PressureText(*report.limits.max_pressure) : "none") +
                       ", mass flux " + MassFlux(report.limits.max_mass_flux) + ", port-to-throat " +
                       ReportNumber(report.limits.min_port_throat) + "\n";
    if (flow.peak_mass_flux) {
        text += "Peak mass flux: " + MassFlux(*flow.peak_mass_flux) + ", grain " +
                std::to_string(flow.peak_mass_flux_grain) + " at " + ReportNumber(flow.peak_mass_flux_time) +
                " s (depth " + ReportNumber(flow.peak_mass_flux_depth) + unit + ")\n";
    }
    if (flow.min_port_throat) {
        text += "Min port-to-throat: " + ReportNumber(*flow.min_port_throat) + ", grain " +
                std::to_string(flow.min_port_throat_grain) + "\n";
    }
    for (const GrainFlow& grain : flow.grains) {
        text += "Grain " + std::to_string(grain.position) + ": mass " +
                (grain.mass ? ReportNumber(*grain.mass) + " kg" : "N/A") + ", port-to-throat " +
                (grain.port_throat ? ReportNumber(*grain.port_throat) : "N/A") + ", peak mass flux " +
                (grain.peak_mass_flux ? ReportNumber(*grain.peak_mass_flux) + " kg/(m\u00b2\u00b7s)" : "N/A") +
                ", neutral length " + ReportNumber(grain.neutral_length) + unit + " (length " +
                ReportNumber(grain.length) + unit + ")\n";
    }
    for (const Alert& alert : report.alerts) text += "Alert: " + TerminalSafe(alert.message) + "\n";
    return text;
}

std::string FlowJson(const MotorReport& report) {
    const MotorFlow& flow = report.flow;
    std::string json = ",\"limits\":{\"max_pressure_pa\":" + JsonNumber(report.limits.max_pressure) +
                       ",\"max_mass_flux_kg_m2s\":" + JsonNumber(report.limits.max_mass_flux) +
                       ",\"min_port_throat\":" + JsonNumber(report.limits.min_port_throat) + "}";
    json += ",\"peak_mass_flux_kg_m2s\":" + JsonNumber(flow.peak_mass_flux);
    json += ",\"peak_mass_flux_grain\":" + (flow.peak_mass_flux ? std::to_string(flow.peak_mass_flux_grain) : "null");
    json += ",\"peak_mass_flux_time_s\":" + (flow.peak_mass_flux ? JsonNumber(flow.peak_mass_flux_time) : "null");
    json += ",\"min_port_throat\":" + JsonNumber(flow.min_port_throat);
    json += ",\"grains\":[";
    for (std::size_t i = 0; i < flow.grains.size(); ++i) {
        const GrainFlow& grain = flow.grains[i];
        json += std::string(i ? "," : "") + "{\"mass_kg\":" + JsonNumber(grain.mass) + ",\"port_throat\":" +
                JsonNumber(grain.port_throat) + ",\"peak_mass_flux_kg_m2s\":" + JsonNumber(grain.peak_mass_flux) +
                ",\"neutral_length\":" + JsonNumber(grain.neutral_length);
        if (i < report.grain_sizes.size()) {
            const MotorReport::GrainSize& size = report.grain_sizes[i];
            json += ",\"length\":" + size.length + ",\"diameter\":" + size.diameter + ",\"core_diameter\":" + size.core;
        }
        json += "}";
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
