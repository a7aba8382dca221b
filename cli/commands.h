#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/report.h"
#include "model/formats/firing_log.h"
#include "model/motor.h"

namespace thrustlet {

// The commands of thrustlet-kn, each over a list of motor files; each
// returns the exit status: 0 when every file gave every figure, 1 when one
// did not (the others are still done).

struct ReportOptions {
    bool json = false;
    bool curve = false;
    SearchKind search = SearchKind::kNone;
    float target = 0.0f;
    // Any alert makes the run exit 3 (when nothing failed outright).
    bool fail_on_alert = false;
    // The JSON adds the pressure and thrust over time.
    bool trace = false;
};
// The Kn summary and performance of each file, as text or JSON lines.
int RunReportCommand(const std::vector<std::string>& files, const ReportOptions& options);

// The thrust curve of each file as a RASP engine file, or with `rse` a
// RockSim one (with the motor's mass and centre of gravity).
int RunEngineCommand(const std::vector<std::string>& files, bool rse = false, const std::string& delays = "P");

// The design of `file` (any of the three formats) written at `out` in the
// format its extension asks for (.tlt, .ric, .bsx); what that format cannot
// hold is said on standard error.
int RunConvertCommand(const std::string& file, const std::string& out);

// A static firing's log read with these units (where its header does not
// say) and as absolute or gauge pressure.
struct FiringOptions {
    FiringUnits units;
    bool absolute = false;
};
// What a firing measured beside the design's prediction.
int RunFiringCommand(const std::string& design, const std::string& data, const FiringOptions& options, bool json);
// The burn-rate law fitted to the firings of designs (`pairs`: design,
// data, design, data ...), from each firing's average point or its instant
// points, in pieces at `breaks` (Pa).
int RunFitCommand(const std::vector<std::string>& pairs, const FiringOptions& options, bool instant,
                  const std::vector<double>& breaks, bool json);

// The law, the combustion efficiency and, with `erosive`, the erosive
// coefficients fitted to the firings' whole pressure traces by the full
// model, and the nozzle efficiency from their thrust; `save` (when not
// empty) gets the first design with what was fitted.
int RunTraceFitCommand(const std::vector<std::string>& pairs, const FiringOptions& options, const std::vector<double>& breaks,
                       bool erosive, const std::string& save, bool json);

// Shared by the commands: writes text to a stream as it is.
void Write(std::FILE* stream, const std::string& text);
// "thrustlet-kn: FILE: MESSAGE" on standard error, both made safe for a terminal.
void Complain(const std::string& file, const std::string& message);
// Reads a motor file of any of the three formats (what another program's
// file held that the design cannot is said on standard error); a failure is named (as JSON on standard output when
// `json`, else on standard error) and gives nothing. Grains the window
// would refuse are warned about on standard error.
// With --model, every design read is computed by that model instead of its
// own.
std::optional<cMotor> ReadMotor(const std::string& file, bool json);
void SetModelOverride(std::optional<BurnModel> model);
// With --config K, the K-th motor (0-based here) of a Meteor file that holds
// several.
void SetConfigChoice(std::size_t config);

}  // namespace thrustlet
