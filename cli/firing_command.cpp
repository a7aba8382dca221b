#include <cmath>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "model/burn_rate_fit.h"
#include "model/errors.h"
#include "model/firing_analysis.h"
#include "model/formats/motor_formats.h"
#include "model/motor_run.h"
#include "model/static_firing.h"
#include "model/number_text.h"
#include "model/propellant_library.h"

namespace thrustlet {

namespace {

// The figures of a firing as the JSON object's members, in SI.
std::string FiguresJson(const FiringFigures& f) {
    std::string json = "{\"samples\":" + std::to_string(f.samples);
    json += ",\"skipped_lines\":" + std::to_string(f.skipped_lines);
    json += ",\"ignition_s\":" + JsonNumber(f.ignition);
    json += ",\"burn_time_s\":" + JsonNumber(f.burn_time);
    json += ",\"action_time_s\":" + JsonNumber(f.action_time);
    json += ",\"total_impulse_ns\":" + JsonNumber(f.total_impulse);
    json += ",\"average_thrust_n\":" + JsonNumber(f.average_thrust);
    json += ",\"peak_thrust_n\":" + JsonNumber(f.peak_thrust);
    json += ",\"peak_pressure_pa\":" + JsonNumber(f.peak_pressure);
    json += ",\"average_pressure_pa\":" + JsonNumber(f.average_pressure);
    json += ",\"delivered_isp_s\":" + JsonNumber(f.delivered_isp);
    json += ",\"cstar_m_s\":" + JsonNumber(f.cstar);
    json += ",\"cstar_efficiency\":" + JsonNumber(f.cstar_efficiency);
    json += ",\"thrust_coefficient\":" + JsonNumber(f.thrust_coefficient);
    json += ",\"cf_efficiency\":" + JsonNumber(f.cf_efficiency);
    return json + "}";
}

// Seven significant digits, or "N/A".
std::string Text(const std::optional<double>& value) {
    return value ? SingleToText(static_cast<float>(*value), '.') : std::string("N/A");
}

// "Burn time: 0.95 s (predicted 0.91 s, +4.2 %)".
std::string Row(const char* caption, const std::optional<double>& measured, const std::optional<double>& predicted,
                const char* unit, double scale = 1.0) {
    const auto scaled = [&](const std::optional<double>& v) { return v ? std::optional<double>(*v / scale) : std::nullopt; };
    std::string line = std::string(caption) + ": " + Text(scaled(measured)) + (measured ? unit : "");
    if (predicted) {
        line += " (predicted " + Text(scaled(predicted)) + unit;
        if (measured && *predicted != 0.0) {
            const double difference = 100.0 * (*measured - *predicted) / *predicted;
            line += std::string(difference >= 0 ? ", +" : ", ") + SingleToText(static_cast<float>(std::round(difference * 10) / 10), '.') + " %";
        }
        line += ")";
    }
    return line + "\n";
}

std::string FiguresText(const FiringFigures& m, const std::optional<FiringFigures>& p) {
    const auto pick = [&](auto member) { return p ? std::optional<double>((*p).*member) : std::nullopt; };
    const auto pick_optional = [&](auto member) { return p ? (*p).*member : std::nullopt; };
    std::string text = "Samples: " + std::to_string(m.samples) + " (" + std::to_string(m.skipped_lines) +
                       (m.skipped_lines == 1 ? " line skipped)\n" : " lines skipped)\n");
    text += "Ignition: " + Text(m.ignition) + " s\n";
    text += Row("Burn time", m.burn_time, pick(&FiringFigures::burn_time), " s");
    text += Row("Action time", m.action_time, pick(&FiringFigures::action_time), " s");
    text += Row("Total impulse", m.total_impulse, pick_optional(&FiringFigures::total_impulse), " N s");
    text += Row("Average thrust", m.average_thrust, pick_optional(&FiringFigures::average_thrust), " N");
    text += Row("Peak thrust", m.peak_thrust, pick_optional(&FiringFigures::peak_thrust), " N");
    text += Row("Peak pressure", m.peak_pressure, pick_optional(&FiringFigures::peak_pressure), " MPa", kPascalsPerMegapascal);
    text += Row("Average pressure", m.average_pressure, pick_optional(&FiringFigures::average_pressure), " MPa", kPascalsPerMegapascal);
    text += Row("Delivered Isp", m.delivered_isp, pick_optional(&FiringFigures::delivered_isp), " s");
    text += Row("c*", m.cstar, pick_optional(&FiringFigures::cstar), " m/s");
    text += "c* efficiency: " + Text(m.cstar_efficiency) + "\n";
    text += Row("Thrust coefficient", m.thrust_coefficient, pick_optional(&FiringFigures::thrust_coefficient), "");
    text += "Thrust coefficient efficiency: " + Text(m.cf_efficiency) +
            (m.cf_efficiency && *m.cf_efficiency > 1.0
                 ? " (above 1, more than an ideal nozzle gives: the pressure reading is low or lags the chamber's)"
                 : "") +
            "\n";
    return text;
}

// Reads a design and a firing beside it; a failure named as the command
// reports it.
struct Analysed {
    cMotor design;
    std::optional<MotorRun> run;
    LoadedFiring loaded;
};
// `where` gets the file a failure comes from: the design or the log.
std::optional<Analysed> Analyse(const std::string& design_path, const std::string& data, const FiringOptions& options,
                                std::string* error, std::string* where) {
    Analysed a;
    *where = design_path;
    try {
        // Any format the program opens; what it could not carry is said.
        const ReadOutcome outcome = ReadAnyMotorFile(design_path, a.design);
        for (const std::string& note : outcome.not_carried) {
            Complain(design_path, std::string("from ") + ProgramOf(outcome.format) + ": " + note);
        }
    } catch (const RunTimeError& failure) {
        *error = failure.Description();
        return std::nullopt;
    }
    *where = data;
    a.run = RunMotor(a.design);
    a.loaded = LoadFiring(data, options.units, options.absolute, *a.run);
    if (!a.loaded.problem.empty()) {
        *error = a.loaded.problem;
        return std::nullopt;
    }
    return a;
}

int Fail(bool json, const std::string& where, const std::string& error) {
    if (json) {
        Write(stdout, "{\"error\":" + JsonString(where + ": " + error) + "}\n");
    } else {
        Complain(where, error);
    }
    return 1;
}

}  // namespace

// The first measured figure that is no finite number (a log of values too
// large to sum), named; "" when there is none.
static std::string UnfiguredFigure(const FiringFigures& f) {
    const std::pair<const char*, std::optional<double>> figures[] = {
        {"burn time", f.burn_time},          {"total impulse", f.total_impulse}, {"average thrust", f.average_thrust},
        {"peak thrust", f.peak_thrust},      {"peak pressure", f.peak_pressure}, {"average pressure", f.average_pressure},
        {"delivered Isp", f.delivered_isp}, {"c*", f.cstar},                    {"thrust coefficient", f.thrust_coefficient}};
    for (const auto& [name, value] : figures) {
        if (value && !std::isfinite(*value)) return name;
    }
    return "";
}

int RunFiringCommand(const std::string& design_path, const std::string& data, const FiringOptions& options, bool json) {
    std::string error, where;
    const std::optional<Analysed> a = Analyse(design_path, data, options, &error, &where);
    if (!a) return Fail(json, where, error);
    if (const std::string figure = UnfiguredFigure(*a->loaded.figures); !figure.empty()) {
        return Fail(json, data, "the log's " + figure + " is past any number: its values are too large to sum");
    }
    const std::optional<FiringFigures> predicted = PredictedFiringFigures(*a->run);
    for (const std::string& warning : ImplausibleFigures(*a->loaded.figures, predicted)) Complain(data, "warning: " + warning);
    if (json) {
        Write(stdout, "{\"file\":" + JsonString(design_path) + ",\"data\":" + JsonString(data) +
                          ",\"firing\":" + FiguresJson(*a->loaded.figures) +
                          ",\"prediction\":" + (predicted ? FiguresJson(*predicted) : "null") + "}\n");
    } else {
        Write(stdout, "File: " + TerminalSafe(design_path) + "\nData: " + TerminalSafe(data) + "\n" +
                          FiguresText(*a->loaded.figures, predicted) + "\n");
    }
    return 0;
}

int RunFitCommand(const std::vector<std::string>& pairs, const FiringOptions& options, bool instant,
                  const std::vector<double>& breaks, bool json) {
    if (pairs.empty() || pairs.size() % 2 != 0) {
        return Fail(json, "--fit", "give designs and their firings in pairs: DESIGN.tlt DATA ...");
    }
    std::vector<BurnRatePoint> points;
    std::vector<FiringFigures> measured;
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        std::string error, where;
        const std::optional<Analysed> a = Analyse(pairs[i], pairs[i + 1], options, &error, &where);
        if (!a) return Fail(json, where, error);
        if (!a->loaded.firing->HasPressure()) return Fail(json, pairs[i + 1], "a burn rate needs the firing's chamber pressure");
        if (!a->design.Performance().HasPropellant()) {
            return Fail(json, pairs[i], "a burn rate needs the design's unit of lengths and propellant (Units)");
        }
        for (const BurnRatePoint& point : BurnRatePointsOf(a->loaded, *a->run, instant ? PointsMethod::kInstant : PointsMethod::kAverage,
                                                           pairs[i + 1])) {
            points.push_back(point);
        }
        measured.push_back(*a->loaded.figures);
    }
    const BurnRateFit fit = FitBurnRate(points, breaks);
    if (!fit.Ok()) return Fail(json, "--fit", fit.problem);
    std::vector<const FiringFigures*> each;
    for (const FiringFigures& figures : measured) each.push_back(&figures);
    const std::optional<double> efficiency = MeanCStarEfficiency(each);
    if (json) {
        std::string out = "{\"pieces\":[";
        for (std::size_t k = 0; k < fit.pieces.size(); ++k) {
            const FitPiece& piece = fit.pieces[k];
            out += std::string(k ? "," : "") + "{\"p_min_pa\":" + JsonNumber(piece.p_min) +
                   ",\"p_max_pa\":" + JsonNumber(piece.p_max) + ",\"a\":" + JsonNumber(piece.a) +
                   ",\"n\":" + JsonNumber(piece.n) + "}";
        }
        out += "],\"r2\":" + JsonNumber(fit.r2) + ",\"cstar_efficiency\":" + JsonNumber(efficiency) + ",\"points\":[";
        for (std::size_t k = 0; k < points.size(); ++k) {
            out += std::string(k ? "," : "") + "{\"pressure_pa\":" + JsonNumber(points[k].pressure) + ",\"rate_m_s\":" +
                   JsonNumber(points[k].rate) + ",\"source\":" + JsonString(points[k].source) + "}";
        }
        Write(stdout, out + "]}\n");
        return 0;
    }
    std::string text;
    for (const FitPiece& piece : fit.pieces) {
        text += "Piece " + Text(piece.p_min / kPascalsPerMegapascal) + " to " + Text(piece.p_max / kPascalsPerMegapascal) + " MPa (" +
                std::to_string(piece.points) + " points): a = " + Text(piece.a) + " m/s/Pa^n (" +
                Text(CoefficientInMmPerSecond(static_cast<float>(piece.a), piece.n)) + " mm/s at MPa, " +
                Text(CoefficientInInchesPerSecond(static_cast<float>(piece.a), piece.n)) + " in/s at psi), n = " +
                Text(piece.n) + "\n";
    }
    text += "R2: " + Text(fit.r2) + "\n";
    text += "c* efficiency: " + Text(efficiency) + "\n";
    for (std::size_t k = 0; k < points.size(); ++k) {
        text += "Point " + TerminalSafe(points[k].source) + ": " + Text(points[k].pressure / kPascalsPerMegapascal) + " MPa, " +
                Text(points[k].rate * 1e3) + " mm/s, residual " + Text(100.0 * fit.residuals[k]) + " %\n";
    }
    Write(stdout, text + "\n");
    return 0;
}

}  // namespace thrustlet
