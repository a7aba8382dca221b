#include "cli/report.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>

#include "model/errors.h"
#include "model/curve_csv.h"
#include "model/kn_curve.h"
#include "model/kn_max.h"
#include "model/motor.h"
#include "model/nozzle_search.h"
#include "model/number_text.h"
#include "model/numeric.h"

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

// The window's colour rule, in words.
std::string RatioLevel(float ratio) {
    if (ratio > 1.0f) return "danger";
    if (ratio >= 0.65f) return "warning";
    return "ok";
}

std::string TextOf(const Figure& figure) {
    if (figure.value) return *figure.value;
    return figure.error.empty() ? "N/A" : TerminalSafe(figure.error);
}

// One UTF-8 sequence at `at`: its length and code point, or 0 when the
// bytes there are not valid UTF-8 (overlong forms and surrogates included).
std::size_t Utf8Sequence(const std::string& text, std::size_t at, uint32_t* code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    uint32_t value = 0, minimum = 0;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *code = value;
    return length;
}

bool IsControl(uint32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

std::string Hex2(unsigned value) {
    static const char* hex = "0123456789abcdef";
    return {hex[(value >> 4) & 0xF], hex[value & 0xF]};
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        const std::size_t length = Utf8Sequence(text, at, &code);
        if (length == 0) {
            out += "\\ufffd";  // a byte that is not UTF-8: the replacement character
            ++at;
            continue;
        }
        if (code == '"' || code == '\\') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (IsControl(code)) {
            out += "\\u00" + Hex2(code);
        } else {
            out.append(text, at, length);
        }
        at += length;
    }
    return out + "\"";
}

std::string JsonOf(const Figure& figure) { return figure.value ? *figure.value : "null"; }

constexpr double kPascalsPerPsi = 6894.757293168;

// Seven significant digits, as every figure of the report.
std::string Shown(double value) { return SingleToText(ToSingle(value), '.'); }

// The performance lines of the text report, with their units.
std::string PerformanceText(const MotorReport& report) {
    if (!report.performance) return "Performance: " + TerminalSafe(report.performance_problem) + "\n";
    const Performance& p = *report.performance;
    auto thrust = [&](double value, const char* unit) { return p.has_thrust ? Shown(value) + unit : std::string("N/A"); };
    std::string text;
    text += "Peak pressure: " + Shown(p.peak_pressure / 1e6) + " MPa (" + Shown(p.peak_pressure / kPascalsPerPsi) + " psi)\n";
    text += "Burn time: " + Shown(p.burn_time) + " s\n";
    text += "Total impulse: " + thrust(p.total_impulse, " N s") + "\n";
    text += "Average thrust: " + thrust(p.average_thrust, " N") + "\n";
    text += "Peak thrust: " + thrust(p.peak_thrust, " N") + "\n";
    text += "Propellant mass: " + Shown(p.propellant_mass) + " kg\n";
    text += "Delivered Isp: " + thrust(p.delivered_isp, " s") + "\n";
    text += "Designation: " + (p.has_thrust ? p.designation : std::string("N/A")) + "\n";
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
    json += ",\"total_impulse_ns\":" + thrust(p.total_impulse);
    json += ",\"average_thrust_n\":" + thrust(p.average_thrust);
    json += ",\"peak_thrust_n\":" + thrust(p.peak_thrust);
    json += ",\"peak_pressure_pa\":" + Number(p.peak_pressure);
    json += ",\"propellant_mass_kg\":" + Number(p.propellant_mass);
    json += ",\"delivered_isp_s\":" + thrust(p.delivered_isp);
    json += ",\"designation\":" + (p.has_thrust ? JsonString(p.designation) : std::string("null"));
    json += ",\"outside_burn_rate_data\":" + std::string(p.outside_burn_rate_data ? "true" : "false");
    return json + "}";
}

}  // namespace

std::string TerminalSafe(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        const std::size_t length = Utf8Sequence(text, at, &code);
        if (length == 0 || IsControl(code)) {
            // Shown as \xNN per byte, so nothing in a file can steer the terminal.
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
                out += "\\x" + Hex2(static_cast<unsigned char>(text[at + i]));
            }
            at += std::max<std::size_t>(length, 1);
            continue;
        }
        out.append(text, at, length);
        at += length;
    }
    return out;
}

bool HasFailedFigure(const MotorReport& report) {
    for (const Figure* figure : {&report.nozzle, &report.initial_kn, &report.max_kn, &report.web,
                                 &report.area_ratio, &report.volume_loading, &report.nozzle_for_target}) {
        if (!figure->error.empty()) return true;
    }
    return !report.curve_error.empty() || !report.performance_problem.empty();
}

std::vector<std::string> GrainWarnings(const cMotor& motor) {
    std::vector<std::string> warnings;
    int position = 0;
    for (const auto& grain : motor.Grains()) {
        ++position;
        const std::string name = "grain " + std::to_string(position) + ": ";
        if (!(grain->Length() > 0.0f) || !(grain->Diameter() > 0.0f) || !(grain->CoreDiameter() > 0.0f)) {
            warnings.push_back(name + "a dimension is not above zero (the window's editor refuses such a grain)");
        } else if (!(grain->CoreDiameter() < grain->Diameter())) {
            warnings.push_back(name + "the core is not below the diameter, so the grain holds no propellant");
        }
    }
    return warnings;
}

MotorReport ReportMotor(const std::string& file, cMotor& motor, bool with_curve, SearchKind search,
                        float target) {
    MotorReport report;
    report.file = file;
    report.grains = motor.GrainCount();
    report.with_curve = with_curve;
    report.with_search = search != SearchKind::kNone;

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
            report.web = Evaluate([&] { return Number(RoundDecimals(motor.WebThickness(), 2)); });
            report.area_ratio = Evaluate([&] {
                const float core = motor.Grain(motor.GrainCount())->CoreDiameter();
                const double core_area = kPi * std::pow(core / 2.0, 2.0);
                const float ratio =
                    ToSingle(RoundDecimals(CheckedDivide(motor.NozzleThroatArea(), core_area), 2));
                report.area_ratio_level = RatioLevel(ratio);
                return Number(ratio);
            });
            report.volume_loading = Evaluate([&] { return Number(RoundDecimals(motor.VolumeLoadingPercent(), 1)); });
        }
    }
    report.has_propellant = motor.Performance().HasPropellant();
    if (report.has_propellant) {
        PerformanceOutcome outcome = ComputePerformance(motor);
        report.performance = std::move(outcome.figures);
        report.performance_problem = outcome.problem;
    }
    if (report.with_search) {
        report.nozzle_for_target = Evaluate([&] {
            cMotor trial = motor;
            const float diameter = search == SearchKind::kInitialKn ? SearchNozzleForInitialKn(trial, target)
                                                                    : SearchNozzleForMaxKn(trial, target);
            return Number(RoundDecimals(diameter, 3));
        });
    }
    return report;
}

std::string ReportText(const MotorReport& report) {
    std::string text;
    text += "File: " + TerminalSafe(report.file) + "\n";
    text += "Grains: " + std::to_string(report.grains) + "\n";
    text += "Nozzle throat: " + TextOf(report.nozzle) + "\n";
    text += "Initial Kn: " + TextOf(report.initial_kn) + "\n";
    text += "Max Kn: " + TextOf(report.max_kn) + "\n";
    text += "Max Kn depth: " + TextOf(report.max_kn_depth) + "\n";
    text += "Web: " + TextOf(report.web) + "\n";
    text += "Nozzle/core area ratio: " + TextOf(report.area_ratio);
    if (report.area_ratio.value) text += " (" + report.area_ratio_level + ")";
    text += "\n";
    text += "Volume loading: " + TextOf(report.volume_loading) + (report.volume_loading.value ? "%" : "") + "\n";
    if (report.with_search) text += "Nozzle for target: " + TextOf(report.nozzle_for_target) + "\n";
    if (report.has_propellant) text += PerformanceText(report);
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

namespace {

struct CurvePoint {
    double time, thrust;
};

// At most `most` of the points, the first and the last always: each next
// point kept is the one farthest (in thrust) from the line through the
// kept points around it.
std::vector<CurvePoint> Simplified(const std::vector<CurvePoint>& points, std::size_t most) {
    std::vector<bool> kept(points.size(), false);
    kept.front() = kept.back() = true;
    for (std::size_t count = 2; count < most && count < points.size(); ++count) {
        double farthest = -1.0;
        std::size_t pick = 0;
        std::size_t left = 0;
        for (std::size_t i = 1; i < points.size(); ++i) {
            if (kept[i]) {
                left = i;
                continue;
            }
            std::size_t right = i + 1;
            while (!kept[right]) ++right;
            const CurvePoint& a = points[left];
            const CurvePoint& b = points[right];
            const double along = b.time > a.time ? (points[i].time - a.time) / (b.time - a.time) : 0.5;
            const double distance = std::fabs(points[i].thrust - (a.thrust + along * (b.thrust - a.thrust)));
            if (distance > farthest) {
                farthest = distance;
                pick = i;
            }
        }
        if (farthest <= 0.0) break;
        kept[pick] = true;
    }
    std::vector<CurvePoint> result;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (kept[i]) result.push_back(points[i]);
    }
    return result;
}

std::string Rasp(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

}  // namespace

std::string EngineFile(const cMotor& motor, const Performance& performance, const std::string& source) {
    const double to_mm = MetresPer(*motor.Performance().units) * 1000.0;
    double diameter = 0.0, length = 0.0;
    for (const auto& grain : motor.Grains()) {
        diameter = std::max(diameter, static_cast<double>(grain->Diameter()));
        length += grain->Length();
    }
    // The curve with strictly increasing times: the two points of a burnout
    // are a moment apart. The burn starts at full thrust; simulators take the
    // curve as rising from 0 at time 0, so it starts a moment later.
    const double end = performance.burn_time;
    const double moment = 1e-4 * end;
    std::vector<CurvePoint> points;
    for (const PerformancePoint& p : performance.curve) {
        double time = std::max(p.time, points.empty() ? moment : points.back().time + moment);
        if (&p == &performance.curve.back()) time = std::max(time, end);
        points.push_back({time, p.thrust});
    }
    points.back().thrust = 0.0;
    const std::vector<CurvePoint> kept = Simplified(points, 32);

    std::string text;
    text += "; Thrust curve of " + TerminalSafe(source) + ", made by Thrustlet";
    if (motor.Performance().propellant_name) text += " (propellant: " + TerminalSafe(*motor.Performance().propellant_name) + ")";
    text += "\n; The total mass is the propellant's alone: add the motor's hardware.\n";
    text += performance.designation + " " + Rasp(diameter * to_mm) + " " + Rasp(length * to_mm) + " P " +
            Rasp(performance.propellant_mass) + " " + Rasp(performance.propellant_mass) + " Thrustlet\n";
    for (const CurvePoint& point : kept) text += "   " + Rasp(point.time) + " " + Rasp(point.thrust) + "\n";
    return text;
}

}  // namespace thrustlet
