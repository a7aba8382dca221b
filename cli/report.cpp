#include "cli/report.h"

#include <cmath>
#include <functional>

#include "model/errors.h"
#include "model/kn_curve.h"
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
    return figure.error.empty() ? "N/A" : figure.error;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            static const char* hex = "0123456789abcdef";
            out += "\\u00";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string JsonOf(const Figure& figure) { return figure.value ? *figure.value : "null"; }

}  // namespace

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
                    const KnCurve curve = SampleKnCurve(motor);
                    for (size_t i = 0; i < curve.kn.size(); ++i) {
                        if (curve.kn[i] && curve.labels[i]) report.curve.emplace_back(Number(*curve.labels[i]), Number(*curve.kn[i]));
                    }
                } catch (const RunTimeError& error) {
                    report.curve_error = error.Description();
                }
            }
            report.initial_kn = Evaluate([&] { return Number(motor.KN(0.0f)); });
            report.max_kn = Evaluate([&] { return Number(motor.KNMax()); });
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
    text += "File: " + report.file + "\n";
    text += "Grains: " + std::to_string(report.grains) + "\n";
    text += "Nozzle throat: " + TextOf(report.nozzle) + "\n";
    text += "Initial Kn: " + TextOf(report.initial_kn) + "\n";
    text += "Max Kn: " + TextOf(report.max_kn) + "\n";
    text += "Web: " + TextOf(report.web) + "\n";
    text += "Nozzle/core area ratio: " + TextOf(report.area_ratio);
    if (report.area_ratio.value) text += " (" + report.area_ratio_level + ")";
    text += "\n";
    text += "Volume loading: " + TextOf(report.volume_loading) + (report.volume_loading.value ? "%" : "") + "\n";
    if (report.with_search) text += "Nozzle for target: " + TextOf(report.nozzle_for_target) + "\n";
    if (report.with_curve) {
        if (!report.curve_error.empty()) {
            text += "Curve: " + report.curve_error + "\n";
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
    if (!errors.empty()) json += ",\"errors\":{" + errors + "}";
    return json + "}\n";
}

std::string ErrorJson(const std::string& file, const std::string& error) {
    return "{\"file\":" + JsonString(file) + ",\"error\":" + JsonString(error) + "}\n";
}

}  // namespace thrustlet
