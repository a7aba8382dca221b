#include "cli/commands.h"
#include "cli/terminal.h"
#include "model/kn_summary.h"
#include "model/errors.h"
#include "model/formats/motor_formats.h"

namespace thrustlet {

namespace {
std::optional<BurnModel> model_override;
std::size_t config_choice = 0;
}  // namespace

void SetModelOverride(std::optional<BurnModel> model) { model_override = model; }
void SetConfigChoice(std::size_t config) { config_choice = config; }

void Write(std::FILE* stream, const std::string& text) { std::fwrite(text.data(), 1, text.size(), stream); }

void Complain(const std::string& file, const std::string& message) {
    Write(stderr, "thrustlet-kn: " + TerminalSafe(file) + ": " + TerminalSafe(message) + "\n");
}

std::optional<cMotor> ReadMotor(const std::string& file, bool json) {
    cMotor motor;
    try {
        // Any of the three formats, by content; what another program's file
        // held that the design cannot is said, the report goes on.
        const ReadOutcome outcome = ReadAnyMotorFile(file, motor, config_choice);
        for (const std::string& note : outcome.not_carried) {
            Complain(file, std::string("from ") + ProgramOf(outcome.format) + ": " + note);
        }
    } catch (const RunTimeError& error) {
        if (json) {
            Write(stdout, ErrorJson(file, error.Description()));
        } else {
            Complain(file, error.Description());
        }
        return std::nullopt;
    }
    for (const std::string& warning : GrainProblems(motor)) Complain(file, "warning: " + warning);
    if (model_override) {
        PerformanceInputs in = motor.Performance();
        in.model = *model_override;
        motor.SetPerformance(in);
    }
    return motor;
}

}  // namespace thrustlet
