#include "cli/commands.h"
#include "cli/terminal.h"
#include "model/errors.h"
#include "model/formats/engine_file.h"
#include "model/formats/rse_file.h"
#include "model/motor_run.h"

namespace thrustlet {

int RunEngineCommand(const std::vector<std::string>& files, bool rse, const std::string& delays) {
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
        const MotorRun run = RunMotor(*motor);
        if (!run.Figures()) {
            Complain(file, run.Outcome().problem);
            status = 1;
            continue;
        }
        try {
            Write(stdout, rse ? RseFileText(run, TerminalSafe(file), delays) : EngineFileText(run, TerminalSafe(file), delays));
        } catch (const RunTimeError& error) {
            Complain(file, error.Description());
            status = 1;
        }
    }
    return status;
}

}  // namespace thrustlet
