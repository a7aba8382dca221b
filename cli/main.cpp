// thrustlet-kn: Kn reports of motor files from the command line. This file
// reads the options; each command has a unit of its own.
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "model/formats/engine_file.h"
#include "cli/terminal.h"
#include "model/errors.h"
#include "model/number_text.h"
#include "thrustlet/identity.h"

namespace {

constexpr const char* kUsage =
    "usage: thrustlet-kn [--json [--trace]] [--curve] [--model steady|full] [--size-initial KN | --size-max KN] [--fail-on-alert] FILE...\n"
    "       thrustlet-kn --eng|--rse [--delays D] FILE...\n"
    "       thrustlet-kn --convert OUT.tlt|OUT.ric|OUT.bsx FILE\n"
    "       thrustlet-kn --firing DATA [--firing-units SPEC] [--absolute] [--json] DESIGN.tlt\n"
    "       thrustlet-kn --fit DESIGN.tlt DATA [DESIGN.tlt DATA ...] [--points average|instant|trace]\n"
    "                    [--break PRESSURE_PA ...] [--erosive] [--save OUT.tlt] [--firing-units SPEC]\n"
    "                    [--absolute] [--json]\n"
    "\n"
    "Prints the Kn summary of each motor file as the Thrustlet window shows it,\n"
    "and the performance figures of a design with a propellant. A FILE may be\n"
    "Thrustlet's (.tlt), openMotor's (.ric), BurnSim's (.bsx) or Meteor's (JSON),\n"
    "known by its content; what another program's file holds that a design\n"
    "cannot is said on standard error.\n"
    "  --json            one JSON object per file and line\n"
    "  --curve           add the Kn-versus-burn-depth samples\n"
    "  --trace           with --json, add the pressure and thrust over time as\n"
    "                    \"trace\": [[t_s, pressure_pa, thrust_n], ...]\n"
    "  --size-initial KN add the nozzle throat that gives this initial Kn\n"
    "  --size-max KN     add the nozzle throat that gives this maximum Kn\n"
    "  --fail-on-alert   exit 3 when a design raises an alert (a limit crossed)\n"
    "  --model NAME      compute every design by this model, steady or full,\n"
    "                    instead of the one its file names (steady without one)\n"
    "  --config K        read the K-th motor of a Meteor file that holds several\n"
    "                    (the first without it)\n"
    "  --eng             print the thrust curve as a RASP engine file instead\n"
    "  --rse             print it as a RockSim engine file, with the motor's\n"
    "                    mass and centre of gravity at every point\n"
    "  --delays D        the ejection delays --eng and --rse list: P (plugged,\n"
    "                    the default) or seconds parted by dashes, 4-6-8\n"    "  --convert OUT     write the design in the format OUT's extension names\n"
    "                    (.tlt, .ric or .bsx); what it cannot hold is said\n"
    "  --firing DATA     print what a static firing's log measured beside the\n"
    "                    design's prediction\n"
    "  --firing-units SPEC  the log's units where its header does not say:\n"
    "                    time=s|ms,force=N|lbf|kgf,pressure=Pa|kPa|MPa|bar|psi\n"
    "  --absolute        the log's pressures are absolute (else gauge)\n"
    "  --fit             fit the burn-rate law r = a P^n to the firings of designs\n"
    "  --points KIND     average (one point a firing, the default), instant, or\n"
    "                    trace: the law, the combustion and nozzle efficiencies\n"
    "                    fitted to the whole pressure traces by the full model\n"
    "  --erosive         with trace, fit the erosive coefficients alpha and beta\n"
    "  --save OUT        with trace, write the first design with what was fitted\n"
    "  --break P         part the fitted law into pieces at P, in Pa (3.5 MPa is\n"
    "                    3500000)\n"
    "  --help            show this text\n"
    "  --version         show the program's version\n"
    "\n"
    "Exit status: 0 when every file was read and every figure computed; 1 when a\n"
    "file could not be read, a figure failed (performance figures included), no\n"
    "throat of the search's range reaches the target Kn (or the narrowest one's\n"
    "Kn is below it), a motor gives no thrust\n"
    "curve, or the throat is so small that its area is 0 (the report is still\n"
    "printed); 2 for a usage error; 3 with --fail-on-alert when nothing failed\n"
    "but a design raised an alert. Grains the window would refuse, or that hold\n"
    "no propellant, and propellant values that give no figures are named on\n"
    "standard error.\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "thrustlet-kn: %s\n%s", thrustlet::TerminalSafe(message).c_str(), kUsage);
    return 2;
}

// The command line's work; main() stands around it.
int Run(int argc, char** argv) {
    using namespace thrustlet;
    ReportOptions report;
    bool eng = false, rse = false, fit = false, instant = false;
    std::optional<BurnModel> model;
    bool trace = false, erosive = false;
    std::string save;
    std::string firing, convert;
    std::optional<std::string> delays;  // --delays, for --eng and --rse
    FiringOptions firing_options;
    std::vector<double> breaks;
    std::vector<std::string> files;
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // The option's value, the next argument, or nothing at the end.
        const auto value = [&](const char*) -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (options_done || arg.empty() || arg[0] != '-' || arg == "-") {
            files.push_back(arg);
        } else if (arg == "--") {
            options_done = true;
        } else if (arg == "--help" || arg == "-h") {
            Write(stdout, kUsage);
            return 0;
        } else if (arg == "--version") {
            Write(stdout, std::string("thrustlet-kn ") + kVersion + "\n");
            return 0;
        } else if (arg == "--json") {
            report.json = true;
        } else if (arg == "--trace") {
            report.trace = true;
        } else if (arg == "--curve") {
            report.curve = true;
        } else if (arg == "--eng") {
            eng = true;
        } else if (arg == "--rse") {
            rse = true;
        } else if (arg == "--fail-on-alert") {
            report.fail_on_alert = true;
        } else if (arg == "--model") {
            const char* name = value("NAME");
            if (!name || (std::string(name) != "steady" && std::string(name) != "full")) {
                return UsageError("--model takes steady or full");
            }
            model = std::string(name) == "full" ? BurnModel::kFull : BurnModel::kSteady;
        } else if (arg == "--config") {
            const char* number = value("K");
            int k = 0;
            try {
                if (!number) throw RunTimeError(err::kTypeMismatch, "no number");
                const double read = TextToDouble(number, '.');
                if (!(read >= 1.0 && read <= 1e6 && read == std::floor(read))) throw RunTimeError(err::kTypeMismatch, "not a count");
                k = static_cast<int>(read);
            } catch (const RunTimeError&) {
                return UsageError("--config needs the number of a file's motor, 1 or more");
            }
            SetConfigChoice(static_cast<std::size_t>(k - 1));
        } else if (arg == "--delays") {
            const char* given = value("D");
            std::string problem;
            delays = given && *given ? EngineDelays(given, &problem) : std::nullopt;
            if (!delays) {
                return UsageError(given && *given ? "--delays: " + problem : std::string("--delays needs the delays (P or 4-6-8)"));
            }
        } else if (arg == "--fit") {
            fit = true;
        } else if (arg == "--absolute") {
            firing_options.absolute = true;
        } else if (arg == "--convert") {
            const char* out = value("OUT");
            if (!out || !*out) return UsageError("--convert needs the file to write");
            convert = out;
        } else if (arg == "--firing") {
            const char* data = value("DATA");
            if (!data || !*data) return UsageError("--firing needs a data file");
            firing = data;
        } else if (arg == "--firing-units") {
            const char* spec = value("SPEC");
            if (!spec) return UsageError("--firing-units needs units (time=ms,force=lbf,pressure=psi)");
            try {
                firing_options.units = ParseFiringUnits(spec);
            } catch (const RunTimeError& error) {
                return UsageError(error.Description());
            }
        } else if (arg == "--points") {
            const char* kind = value("KIND");
            if (!kind || (std::string(kind) != "average" && std::string(kind) != "instant" && std::string(kind) != "trace")) {
                return UsageError("--points takes average, instant or trace");
            }
            instant = std::string(kind) == "instant";
            trace = std::string(kind) == "trace";
        } else if (arg == "--erosive") {
            erosive = true;
        } else if (arg == "--save") {
            const char* out = value("OUT");
            if (!out || !*out) return UsageError("--save needs the file to write");
            save = out;
        } else if (arg == "--break") {
            const char* pressure = value("PRESSURE_PA");
            double at = 0.0;
            try {
                if (!pressure) throw RunTimeError(err::kTypeMismatch, "no pressure");
                at = TextToDouble(pressure, '.');
            } catch (const RunTimeError&) {
                return UsageError("--break needs a pressure in Pa");
            }
            if (!(at > 0.0)) return UsageError("--break needs a pressure above 0 Pa");
            breaks.push_back(at);
        } else if (arg == "--size-initial" || arg == "--size-max") {
            if (report.search != SearchKind::kNone) return UsageError("give only one of --size-initial and --size-max");
            if (i + 1 >= argc) return UsageError(arg + " needs a Kn");
            try {
                report.target = TextToSingle(argv[++i], '.');
            } catch (const RunTimeError& error) {
                return UsageError(arg + ": " + error.Description() + " (\"" + argv[i] + "\")");
            }
            report.search = arg == "--size-initial" ? SearchKind::kInitialKn : SearchKind::kMaxKn;
        } else {
            return UsageError("unknown option " + arg);
        }
    }
    if (files.empty()) return UsageError("no motor file given");
    SetModelOverride(model);
    if (report.trace && !report.json) return UsageError("--trace goes with --json");
    const bool report_options =
        report.curve || report.search != SearchKind::kNone || report.fail_on_alert || report.trace;
    if (!convert.empty()) {
        if (eng || fit || !firing.empty() || report.json || report_options || model) return UsageError("--convert takes no other option");
        if (files.size() != 1) return UsageError("--convert takes one motor file");
        return RunConvertCommand(files.front(), convert);
    }
    if (fit || !firing.empty()) {
        if (eng || report_options || (fit && !firing.empty())) {
            return UsageError("--firing and --fit take only --firing-units, --absolute, --json and their own options");
        }
        if ((erosive || !save.empty()) && !(fit && trace)) return UsageError("--erosive and --save go with --fit --points trace");
        if (fit && trace) return RunTraceFitCommand(files, firing_options, breaks, erosive, save, report.json);
        if (fit) return RunFitCommand(files, firing_options, instant, breaks, report.json);
        if (files.size() != 1) return UsageError("--firing takes one design");
        return RunFiringCommand(files.front(), firing, firing_options, report.json);
    }
    if (erosive || !save.empty()) return UsageError("--erosive and --save go with --fit --points trace");
    if (instant || trace || !breaks.empty() || firing_options.absolute) return UsageError("--points, --break and --absolute go with --fit or --firing");
    if (eng || rse) {
        if (eng && rse) return UsageError("give one of --eng and --rse");
        if (report.json || report_options) return UsageError(std::string(eng ? "--eng" : "--rse") + " takes no other option");
        return RunEngineCommand(files, rse, delays.value_or("P"));
    }
    if (delays) return UsageError("--delays goes with --eng or --rse");
    return RunReportCommand(files, report);
}

}  // namespace

// A file too large for the memory free ends the run with a message and
// exit 1, as a file that cannot be read, never with an abort.
int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("thrustlet-kn: out of memory: a file is too large to read in the memory free\n", stderr);
        return 1;
    }
}
