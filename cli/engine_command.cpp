#include "cli/commands.h"
#include "cli/terminal.h"
#include "model/errors.h"
#include "model/formats/engine_file.h"
#include "model/performance.h"

namespace thrustlet {

int RunEngineCommand(const std::vector<std::string>& files) {
    int status = 0;
    for (const std::string& file : files) {
        std::optional<cMotor> motor = ReadMotor(file, false);
        if (!motor) {
            status = 1;
            continue;
        }
        if (!motor->Performance().HasPropellant()) {
            Complain(file, "no thrust curve: the design has no propellant (Units)");
            status = 1;
            continue;
        }
        const PerformanceOutcome outcome = ComputePerformance(*motor);
        if (!outcome.figures) {
            Complain(file, outcome.problem);
            status = 1;
            continue;
        }
        try {
            Write(stdout, EngineFileText(*motor, *outcome.figures, TerminalSafe(file)));
        } catch (const RunTimeError& error) {
            Complain(file, error.Description());
            status = 1;
        }
    }
    return status;
}

}  // namespace thrustlet
