#include "cli/commands.h"
#include "model/errors.h"
#include "model/formats/motor_formats.h"

namespace thrustlet {

int RunConvertCommand(const std::string& file, const std::string& out) {
    const std::optional<cMotor> motor = ReadMotor(file, false);
    if (!motor) return 1;
    const MotorFormat format = FormatOfName(out);
    try {
        for (const std::string& note : NotCarriedIn(*motor, format)) {
            Complain(out, std::string("for ") + ProgramOf(format) + ": " + note);
        }
        SaveMotorIn(*motor, out);
    } catch (const RunTimeError& error) {
        Complain(out, error.Description());
        return 1;
    }
    return 0;
}

}  // namespace thrustlet
