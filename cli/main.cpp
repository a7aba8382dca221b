// thrustlet-kn: Kn reports of motor files from the command line. This file
// reads the options; each command has a unit of its own.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "model/errors.h"
#include "model/number_text.h"
#include "thrustlet/identity.h"

namespace {

constexpr const char* kUsage =
    "usage: thrustlet-kn [--json] [--curve] [--size-initial KN | --size-max KN] [--fail-on-alert] FILE...\n"
    "       thrustlet-kn --eng FILE...\n"
    "\n"
    "Prints the Kn summary of each motor file as the Thrustlet window shows it,\n"
    "and the performance figures of a design with a propellant.\n"
    "  --json            one JSON object per file and line\n"
    "  --curve           add the Kn-versus-burn-depth samples\n"
    "  --size-initial KN add the nozzle throat that gives this initial Kn\n"
    "  --size-max KN     add the nozzle throat that gives this maximum Kn\n"
    "  --fail-on-alert   exit 3 when a design raises an alert (a limit crossed)\n"
    "  --eng             print the thrust curve as a RASP engine file instead\n"
    "  --help            show this text\n"
    "  --version         show the program's version\n"
    "\n"
    "Exit status: 0 when every file was read and every figure computed; 1 when a\n"
    "file could not be read, a figure failed (performance figures included), no\n"
    "throat of the search's range reaches the target Kn, a motor gives no thrust\n"
    "curve, or the throat is so small that its area is 0 (the report is still\n"
    "printed); 2 for a usage error; 3 with --fail-on-alert when nothing failed\n"
    "but a design raised an alert. Grains the window would refuse, or that hold\n"
    "no propellant, and propellant values that give no figures are named on\n"
    "standard error.\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "thrustlet-kn: %s\n%s", thrustlet::TerminalSafe(message).c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace thrustlet;
    ReportOptions report;
    bool eng = false;
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
            report.json = true;
        } else if (arg == "--curve") {
            report.curve = true;
        } else if (arg == "--fail-on-alert") {
            report.fail_on_alert = true;
        } else if (arg == "--eng") {
            eng = true;
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
    if (eng) {
        if (report.json || report.curve || report.search != SearchKind::kNone || report.fail_on_alert) {
            return UsageError("--eng takes no other option");
        }
        return RunEngineCommand(files);
    }
    return RunReportCommand(files, report);
}
