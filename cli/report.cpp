#include "cli/report.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "cli/flow_report.h"
#include "cli/terminal.h"
#include "model/errors.h"
#include "model/formats/curve_csv.h"
#include "model/kn_curve.h"
#include "model/kn_max.h"
#include "model/kn_summary.h"
#include "model/motor_run.h"
#include "model/motor.h"
#include "model/nozzle_search.h"
#include "model/number_text.h"
#include "model/numeric.h"
#include "model/performance_inputs.h"

namespace thrustlet {

namespace {

std::string Number(float value) { return SingleToText(value, '.'); }
std::string Number(double value) { return DoubleToText(value, '.'); }

// Evaluates one figure on its own, so a failure shows in its place only.
Figure Evaluate(const std::function<std::string()>& compute) {
    try {
        return {compute(), std::string()};
    } catch (const RunTimeError& error) {
        return {std::nullopt, error.Description()};
    } catch (const std::exception& error) {
        return {std::nullopt, error.what()};
    }
}

std::string TextOf(const Figure& figure) {
    if (figure.value) return *figure.value;
    return figure.error.empty() ? "N/A" : TerminalSafe(figure.error);
}

std::string JsonOf(const Figure& figure) { return figure.value ? *figure.value : "null"; }

// A length of the report with the design's unit after it.
std::string TextOfLength(const Figure& figure, const std::string& unit) {
    std::string text = TextOf(figure);
    if (figure.value && !unit.empty()) text += " " + unit;
    return text;
}

// The performance lines of the text report, with their units.
std::string PerformanceText(const MotorReport& report) {
    if (!report.performance) return "Performance: " + TerminalSafe(report.performance_problem) + "\n";
    const Performance& p = *report.performance;
    auto thrust = [&](double value, const char* unit) {
        return p.has_thrust ? ReportNumber(value) + unit : std::string("N/A");
    };
    std::string text;
    // Said where the design chose the full model; the steady report stays as it always was.
    if (report.model == "full") text += "Model: full\n";
    text += "Peak pressure: " + PressureText(p.peak_pressure) + "\n";
    text += "Burn time: " + ReportNumber(p.burn_time) + " s\n";
    text += "Thrust time: " + thrust(p.thrust_time, " s") + "\n";
    text += "Total impulse: " + thrust(p.total_impulse, " N s") + "\n";
    text += "Average thrust: " + thrust(p.average_thrust, " N") + "\n";
    text += "Peak thrust: " + thrust(p.peak_thrust, " N") + "\n";
    text += "Propellant mass: " + ReportNumber(p.propellant_mass) + " kg\n";
    text += "Delivered Isp: " + thrust(p.delivered_isp, " s") + "\n";
    text += "Designation: " + (p.has_thrust && !p.designation.empty() ? p.designation : std::string("N/A")) + "\n";
    if (!p.has_thrust) text += "Note: no thrust figures without the exhaust's specific heat ratio\n";
    if (p.outside_burn_rate_data) text += "Note: the burn left the burn-rate data (the nearest piece was used)\n";
    return text;
}

// The performance object of the JSON report: SI, always; null without a
// propellant (or when its values give no figures).
std::string PerformanceJson(const MotorReport& report) {
    if (!report.performance) return "null";
    const Performance& p = *report.performance;
    auto thrust = [&](double value) { return p.has_thrust ? Number(value) : std::string("null"); };
    std::string json = "{\"burn_time_s\":" + Number(p.burn_time);
    json += ",\"thrust_time_s\":" + thrust(p.thrust_time);
    json += ",\"total_impulse_ns\":" + thrust(p.total_impulse);
    json += ",\"average_thrust_n\":" + thrust(p.average_thrust);
    json += ",\"peak_thrust_n\":" + thrust(p.peak_thrust);
    json += ",\"peak_pressure_pa\":" + Number(p.peak_pressure);
    json += ",\"propellant_mass_kg\":" + Number(p.propellant_mass);
    json += ",\"delivered_isp_s\":" + thrust(p.delivered_isp);
    json += ",\"designation\":" + (p.has_thrust && !p.designation.empty() ? JsonString(p.designation) : std::string("null"));
    json += ",\"outside_burn_rate_data\":" + std::string(p.outside_burn_rate_data ? "true" : "false");
    return json + "}";
}

}  // namespace

bool HasFailedFigure(const MotorReport& report) {
    for (const Figure* figure : {&report.nozzle, &report.initial_kn, &report.max_kn, &report.web,
                                 &report.area_ratio, &report.volume_loading, &report.nozzle_for_target}) {
        if (!figure->error.empty()) return true;
    }
    return !report.curve_error.empty() || !report.performance_problem.empty();
}

MotorReport ReportMotor(const std::string& file, cMotor& motor, bool with_curve, SearchKind search,
                        float target, bool with_trace) {
    MotorReport report;
    report.with_trace = with_trace;
    report.file = file;
    report.grains = motor.GrainCount();
    report.with_curve = with_curve;
    report.with_search = search != SearchKind::kNone;
    report.length_unit = DisplayUnits(motor.Performance().units).LengthWord();
    if (motor.Performance().HasPropellant()) report.model = BurnModelName(motor.Performance().Model());

    // The nozzle field shows the diameter as text; the recalculation reads it back.
    const std::string nozzle_text = Number(motor.NozzleDia());
    report.nozzle = {nozzle_text, std::string()};
    const bool applicable = motor.GrainCount() > 0 && TextToDouble(nozzle_text, '.') > 0.0;
    if (applicable) {
        Figure set_nozzle = Evaluate([&] {
            motor.SetNozzleDia(TextToSingle(nozzle_text, '.'));
            return std::string();
        });
        if (!set_nozzle.value) {
            report.initial_kn = report.max_kn = report.web = report.area_ratio = report.volume_loading = set_nozzle;
        } else {
            if (with_curve) {
                try {
                    for (const CurveRow& row : CurveRows(SampleKnCurve(motor))) report.curve.emplace_back(row.depth, row.kn);
                } catch (const RunTimeError& error) {
                    report.curve_error = error.Description();
                }
            }
            report.initial_kn = Evaluate([&] { return Number(motor.KN(0.0f)); });
            Figure max_kn_depth;
            report.max_kn = Evaluate([&] {
                const KnMaxResult result = KnMaxWithDepth(motor);
                max_kn_depth = {Number(result.depth), std::string()};
                return Number(result.kn);
            });
            report.max_kn_depth = report.max_kn.value ? max_kn_depth : report.max_kn;
            report.web = Evaluate([&] { return Number(SummaryWeb(motor)); });
            report.area_ratio = Evaluate([&] {
                const float ratio = SummaryAreaRatio(motor);
                report.area_ratio_level = AreaRatioLevelName(LevelOfAreaRatio(ratio));
                return Number(ratio);
            });
            report.volume_loading = Evaluate([&] { return Number(SummaryVolumeLoading(motor)); });
        }
    }
    report.has_propellant = motor.Performance().HasPropellant();
    const MotorRun run = RunMotor(motor);
    report.limits = run.Limits();
    report.performance = run.Figures();
    report.performance_problem = run.Outcome().problem;
    report.flow = run.Flow();
    report.alerts = run.Alerts();
    report.trace = run.Trace();
    for (const auto& grain : motor.Grains()) {
        report.grain_sizes.push_back({Number(grain->Length()), Number(grain->Diameter()), Number(grain->CoreDiameter())});
    }
    if (report.with_search) {
        report.nozzle_for_target = Evaluate([&] {
            cMotor trial = motor;
            const NozzleSizingResult sized = search == SearchKind::kInitialKn ? SizeNozzleForInitialKn(trial, target)
                                                                               : SizeNozzleForMaxKn(trial, target);
            report.target_reached = sized.Met();
            if (sized.above_narrowest) {
                report.target_note = std::string("the narrowest throat of the range, ") + Number(sized.shown) +
                                     (report.length_unit.empty() ? "" : " " + report.length_unit) + ", gives " +
                                     (search == SearchKind::kInitialKn ? "an initial" : "a maximum") + " Kn of " +
                                     Number(sized.narrowest_kn) + ", below the target of " + Number(target) +
                                     ": the target needs a narrower throat";
            }
            if (!sized.reached) {
                const NozzleSearchRange range = SearchRangeOf(motor);
                const std::string unit = report.length_unit.empty() ? "" : " " + report.length_unit;
                throw RunTimeError(err::kInvalidCall,
                                   "no throat from " + Number(range.first) + " to " + Number(range.last) + unit +
                                       " gives " + (search == SearchKind::kInitialKn ? "an initial" : "a maximum") +
                                       " Kn of " + Number(target) + " or less");
            }
            return Number(sized.shown);
        });
    }
    return report;
}

std::string ReportText(const MotorReport& report) {
    std::string text;
    text += "File: " + TerminalSafe(report.file) + "\n";
    text += "Grains: " + std::to_string(report.grains) + "\n";
    const std::string& unit = report.length_unit;
    text += "Nozzle throat: " + TextOfLength(report.nozzle, unit) + "\n";
    text += "Initial Kn: " + TextOf(report.initial_kn) + "\n";
    text += "Max Kn: " + TextOf(report.max_kn) + "\n";
    // The scan reaches a depth by adding 32-bit steps (5.300026 for 5.3):
    // shown to five figures here, whole in the JSON.
    Figure depth = report.max_kn_depth;
    if (depth.value) {
        char shown[32];
        std::snprintf(shown, sizeof shown, "%.5g", std::strtod(depth.value->c_str(), nullptr));
        depth.value = shown;
    }
    text += "Max Kn depth: " + TextOfLength(depth, unit) + "\n";
    text += "Web: " + TextOfLength(report.web, unit) + "\n";
    text += "Nozzle/core area ratio: " + TextOf(report.area_ratio);
    if (report.area_ratio.value) text += " (" + report.area_ratio_level + ")";
    text += "\n";
    text += "Volume loading: " + TextOf(report.volume_loading) + (report.volume_loading.value ? "%" : "") + "\n";
    if (report.with_search) text += "Nozzle for target: " + TextOfLength(report.nozzle_for_target, unit) + "\n";
    if (report.has_propellant) text += PerformanceText(report) + FlowText(report);
    if (report.with_curve) {
        if (!report.curve_error.empty()) {
            text += "Curve: " + TerminalSafe(report.curve_error) + "\n";
        } else {
            text += "depth,kn\n";
            for (const auto& [depth, kn] : report.curve) text += depth + "," + kn + "\n";
        }
    }
    return text + "\n";
}

std::string ReportJson(const MotorReport& report) {
    std::string json = "{\"file\":" + JsonString(report.file);
    json += ",\"grains\":" + std::to_string(report.grains);
    json += ",\"nozzle\":" + JsonOf(report.nozzle);
    json += ",\"initial_kn\":" + JsonOf(report.initial_kn);
    json += ",\"max_kn\":" + JsonOf(report.max_kn);
    json += ",\"max_kn_depth\":" + JsonOf(report.max_kn_depth);
    json += ",\"web\":" + JsonOf(report.web);
    json += ",\"area_ratio\":" + JsonOf(report.area_ratio);
    json += ",\"area_ratio_level\":" + (report.area_ratio.value ? JsonString(report.area_ratio_level) : "null");
    json += ",\"volume_loading\":" + JsonOf(report.volume_loading);
    if (report.with_curve) {
        if (report.curve_error.empty()) {
            json += ",\"curve\":[";
            for (size_t i = 0; i < report.curve.size(); ++i) {
                json += (i ? ",[" : "[") + report.curve[i].first + "," + report.curve[i].second + "]";
            }
            json += "]";
        } else {
            json += ",\"curve\":null";
        }
    }
    if (report.with_search) json += ",\"nozzle_for_target\":" + JsonOf(report.nozzle_for_target);
    json += ",\"performance\":" + PerformanceJson(report);
    json += FlowJson(report);
    // The unit of the report's lengths (null for a design without one).
    json += ",\"units\":" + (report.length_unit.empty() ? std::string("null") : JsonString(report.length_unit));
    // The model the figures came from (null for a design without a propellant).
    json += ",\"model\":" + (report.model.empty() ? std::string("null") : JsonString(report.model));
    if (report.with_search) json += std::string(",\"target_reached\":") + (report.target_reached ? "true" : "false");
    if (report.with_trace && report.performance) {
        json += ",\"trace\":[";
        for (std::size_t i = 0; i < report.trace.size(); ++i) {
            const TracePoint& point = report.trace[i];
            json += std::string(i ? ",[" : "[") + JsonNumber(point.time) + "," + JsonNumber(point.pressure) + "," +
                    JsonNumber(point.thrust) + "]";
        }
        json += "]";
    }

    // Failed figures name their failure.
    std::string errors;
    const std::pair<const char*, const Figure*> figures[] = {
        {"initial_kn", &report.initial_kn}, {"max_kn", &report.max_kn}, {"web", &report.web},
        {"area_ratio", &report.area_ratio}, {"volume_loading", &report.volume_loading},
        {"nozzle_for_target", &report.nozzle_for_target}};
    for (const auto& [name, figure] : figures) {
        if (!figure->error.empty()) errors += std::string(errors.empty() ? "" : ",") + "\"" + name + "\":" + JsonString(figure->error);
    }
    if (!report.curve_error.empty()) errors += std::string(errors.empty() ? "" : ",") + "\"curve\":" + JsonString(report.curve_error);
    if (!report.performance_problem.empty()) {
        errors += std::string(errors.empty() ? "" : ",") + "\"performance\":" + JsonString(report.performance_problem);
    }
    if (!errors.empty()) json += ",\"errors\":{" + errors + "}";
    return json + "}\n";
}

std::string ErrorJson(const std::string& file, const std::string& error) {
    return "{\"file\":" + JsonString(file) + ",\"error\":" + JsonString(error) + "}\n";
}

std::optional<std::string> ThroatWarning(const cMotor& motor) {
    if (motor.NozzleDia() > 0.0f && motor.NozzleThroatArea() == 0.0f) {
        return "the nozzle throat (" + SingleToText(motor.NozzleDia(), '.') +
               ") is so small that its area is 0, so every Kn reads 0";
    }
    return std::nullopt;
}

}  // namespace thrustlet
