// thrustlet-kn: Kn reports of motor files from the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/report.h"
#include "thrustlet/identity.h"
#include "model/errors.h"
#include "model/motor.h"
#include "model/number_text.h"

namespace {

constexpr const char* kUsage =
    "usage: thrustlet-kn [--json] [--curve] [--size-initial KN | --size-max KN] FILE...\n"
    "       thrustlet-kn --eng FILE...\n"
    "\n"
    "Prints the Kn summary of each motor file as the Thrustlet window shows it,\n"
    "and the performance figures of a design with a propellant.\n"
    "  --json            one JSON object per file and line\n"
    "  --curve           add the Kn-versus-burn-depth samples\n"
    "  --size-initial KN add the nozzle throat that gives this initial Kn\n"
    "  --size-max KN     add the nozzle throat that gives this maximum Kn\n"
    "  --eng             print the thrust curve as a RASP engine file instead\n"
    "  --help            show this text\n"
    "  --version         show the program's version\n"
    "\n"
    "Exit status: 0 when every file was read and every figure computed; 1 when a\n"
    "file could not be read, a figure failed (performance figures included), or\n"
    "the throat is so small that its area is 0 (the report is still printed); 2\n"
    "for a usage error. Grains the window would refuse, or that hold no\n"
    "propellant, and propellant values that give no figures are named on\n"
    "standard error.\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "thrustlet-kn: %s\n%s", thrustlet::TerminalSafe(message).c_str(), kUsage);
    return 2;
}

void Write(std::FILE* stream, const std::string& text) { std::fwrite(text.data(), 1, text.size(), stream); }

}  // namespace

int main(int argc, char** argv) {
    using namespace thrustlet;
    bool json = false, curve = false, eng = false;
    SearchKind search = SearchKind::kNone;
    float target = 0.0f;
    std::vector<std::string> files;
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
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
            json = true;
        } else if (arg == "--curve") {
            curve = true;
        } else if (arg == "--eng") {
            eng = true;
        } else if (arg == "--size-initial" || arg == "--size-max") {
            if (search != SearchKind::kNone) return UsageError("give only one of --size-initial and --size-max");
            if (i + 1 >= argc) return UsageError(arg + " needs a Kn");
            try {
                target = TextToSingle(argv[++i], '.');
            } catch (const RunTimeError& error) {
                return UsageError(arg + ": " + error.Description() + " (\"" + argv[i] + "\")");
            }
            search = arg == "--size-initial" ? SearchKind::kInitialKn : SearchKind::kMaxKn;
        } else {
            return UsageError("unknown option " + arg);
        }
    }
    if (files.empty()) return UsageError("no motor file given");
    if (eng && (json || curve || search != SearchKind::kNone)) return UsageError("--eng takes no other option");

    int status = 0;
    for (const std::string& file : files) {
        cMotor motor;
        try {
            motor.ReadFromFile(file);
        } catch (const RunTimeError& error) {
            status = 1;
            if (json) {
                Write(stdout, ErrorJson(file, error.Description()));
            } else {
                Write(stderr, "thrustlet-kn: " + TerminalSafe(file) + ": " + TerminalSafe(error.Description()) + "\n");
            }
            continue;
        }
        for (const std::string& warning : GrainWarnings(motor)) {
            Write(stderr, "thrustlet-kn: " + TerminalSafe(file) + ": warning: " + warning + "\n");
        }
        // Figures that read as fine but are not: a failure of the run.
        if (const auto warning = ThroatWarning(motor)) {
            Write(stderr, "thrustlet-kn: " + TerminalSafe(file) + ": warning: " + *warning + "\n");
            status = 1;
        }
        const MotorReport report = ReportMotor(file, motor, curve, search, target);
        // Propellant values that give no figures are named on standard error
        // whatever the form of the report.
        if (!report.performance_problem.empty()) {
            Write(stderr, "thrustlet-kn: " + TerminalSafe(file) + ": " + TerminalSafe(report.performance_problem) + "\n");
        }
        if (eng) {
            if (report.performance && report.performance->has_thrust) {
                Write(stdout, EngineFile(motor, *report.performance, file));
            } else {
                if (report.performance_problem.empty()) {
                    Write(stderr, "thrustlet-kn: " + TerminalSafe(file) + ": no thrust curve: " +
                                      (report.performance ? "the design has no specific heat ratio (SpecificHeatRatio)"
                                                          : "the design has no propellant (Units)") + "\n");
                }
                status = 1;
            }
            continue;
        }
        Write(stdout, json ? ReportJson(report) : ReportText(report));
        if (HasFailedFigure(report)) status = 1;
    }
    return status;
}
