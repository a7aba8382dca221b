// thrustlet-kn --fit ... --points trace: the law, the combustion efficiency
// and (with --erosive) Lenoir-Robillard's coefficients fitted to the whole
// measured pressure traces with the full model, the nozzle efficiency from
// the measured thrust; --save writes the first design with what was fitted.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "model/errors.h"
#include "model/formats/motor_formats.h"
#include "model/motor_run.h"
#include "model/number_text.h"
#include "model/static_firing.h"
#include "model/trace_fit.h"
#include "model/units.h"

namespace thrustlet {

namespace {

int Failed(bool json, const std::string& where, const std::string& error) {
    if (json) {
        Write(stdout, "{\"error\":" + JsonString(where + ": " + error) + "}\n");
    } else {
        Complain(where, error);
    }
    return 1;
}

std::string Shown(const std::optional<double>& value) {
    return value ? SingleToText(static_cast<float>(*value), '.') : std::string("N/A");
}

}  // namespace

int RunTraceFitCommand(const std::vector<std::string>& pairs, const FiringOptions& options, const std::vector<double>& breaks,
                       bool erosive, const std::string& save, bool json) {
    if (pairs.empty() || pairs.size() % 2 != 0) {
        return Failed(json, "--fit", "give designs and their firings in pairs: DESIGN.tlt DATA ...");
    }
    std::vector<TraceFitFiring> firings;
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        TraceFitFiring firing;
        try {
            const ReadOutcome outcome = ReadAnyMotorFile(pairs[i], firing.design);
            for (const std::string& note : outcome.not_carried) {
                Complain(pairs[i], std::string("from ") + ProgramOf(outcome.format) + ": " + note);
            }
        } catch (const RunTimeError& failure) {
            return Failed(json, pairs[i], failure.Description());
        }
        if (!firing.design.Performance().HasPropellant()) {
            return Failed(json, pairs[i], "a trace fit needs the design's unit of lengths and propellant (Units)");
        }
        const MotorRun run = RunMotor(firing.design);
        const LoadedFiring loaded = LoadFiring(pairs[i + 1], options.units, options.absolute, run);
        if (!loaded.problem.empty()) return Failed(json, pairs[i + 1], loaded.problem);
        if (!loaded.firing->HasPressure()) return Failed(json, pairs[i + 1], "a trace fit needs the firing's chamber pressure");
        firing.firing = *loaded.firing;
        firing.figures = *loaded.figures;
        firing.source = pairs[i + 1];
        firings.push_back(std::move(firing));
    }
    TraceFitOptions fit_options;
    fit_options.breaks = breaks;
    std::sort(fit_options.breaks.begin(), fit_options.breaks.end());
    fit_options.erosive = erosive;
    const TraceFit fit = FitTraces(firings, fit_options);
    if (!fit.Ok()) return Failed(json, "--fit", fit.problem);

    if (!save.empty()) {
        try {
            cMotor saved = WithTraceFit(firings.front().design, fit);
            saved.SaveToFile(save);
        } catch (const RunTimeError& failure) {
            return Failed(json, save, failure.Description());
        }
    }
    // The law as pieces with the pressures they hold (one law: every pressure).
    std::vector<BurnRatePiece> pieces = fit.law.pieces;
    if (pieces.empty()) pieces.push_back({0.0f, FLT_MAX, fit.law.a, fit.law.n});
    if (json) {
        std::string out = "{\"pieces\":[";
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            const BurnRatePiece& piece = pieces[k];
            out += std::string(k ? "," : "") + "{\"p_min_pa\":" + JsonNumber(piece.p_min) + ",\"p_max_pa\":" +
                   (piece.p_max == FLT_MAX ? std::string("null") : JsonNumber(piece.p_max)) + ",\"a\":" + JsonNumber(piece.a) +
                   ",\"n\":" + JsonNumber(piece.n) + "}";
        }
        out += "],\"combustion_efficiency\":" + JsonNumber(fit.combustion_efficiency);
        out += ",\"nozzle_efficiency\":" + JsonNumber(fit.nozzle_efficiency);
        out += ",\"erosive_alpha\":" + JsonNumber(fit.erosive_alpha);
        out += ",\"erosive_beta\":" + JsonNumber(fit.erosive_beta);
        out += ",\"firings\":[";
        for (std::size_t k = 0; k < firings.size(); ++k) {
            out += std::string(k ? "," : "") + "{\"source\":" + JsonString(firings[k].source) +
                   ",\"pressure_rms_pa\":" + JsonNumber(fit.pressure_rms_pa[k]) +
                   ",\"mean_pressure_pa\":" + JsonNumber(fit.mean_pressure_pa[k]) + "}";
        }
        out += "]";
        if (!save.empty()) out += ",\"saved\":" + JsonString(save);
        Write(stdout, out + "}\n");
        return 0;
    }
    std::string text;
    for (const BurnRatePiece& piece : pieces) {
        text += "Piece from " + Shown(piece.p_min / kPascalsPerMegapascal) + " MPa" +
                (piece.p_max == FLT_MAX ? std::string(" up") : " to " + Shown(piece.p_max / kPascalsPerMegapascal) + " MPa") +
                ": a = " + Shown(piece.a) + " m/s/Pa^n (" + Shown(CoefficientInMmPerSecond(piece.a, piece.n)) +
                " mm/s at MPa), n = " + Shown(piece.n) + "\n";
    }
    text += "Combustion efficiency: " + Shown(fit.combustion_efficiency) + "\n";
    text += "Nozzle efficiency: " + Shown(fit.nozzle_efficiency) + "\n";
    if (erosive) text += "Erosive alpha: " + Shown(fit.erosive_alpha) + ", beta: " + Shown(fit.erosive_beta) + "\n";
    for (std::size_t k = 0; k < firings.size(); ++k) {
        const double share = fit.mean_pressure_pa[k] > 0.0 ? 100.0 * fit.pressure_rms_pa[k] / fit.mean_pressure_pa[k] : 0.0;
        text += "Firing " + TerminalSafe(firings[k].source) + ": pressure RMS " + Shown(fit.pressure_rms_pa[k] / kPascalsPerMegapascal) +
                " MPa (" + Shown(share) + " % of its mean)\n";
    }
    if (!save.empty()) text += "Saved: " + TerminalSafe(save) + "\n";
    Write(stdout, text + "\n");
    return 0;
}

}  // namespace thrustlet
