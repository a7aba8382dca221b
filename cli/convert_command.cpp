#include "cli/commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "model/errors.h"
#include "model/formats/motor_formats.h"

namespace thrustlet {

namespace {

// Whether two paths name one file (links resolved; a file not yet there is
// another).
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

// The extension of a path, lower case ("" for none).
std::string ExtensionOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

}  // namespace

int RunConvertCommand(const std::string& file, const std::string& out) {
    const std::string extension = ExtensionOf(out);
    if (extension != ".tlt" && extension != ".ric" && extension != ".bsx") {
        const std::string named = extension.empty() ? "a name without an extension" : "\"" + extension + "\"";
        Complain(out, "--convert writes motor files named .tlt, .ric or .bsx, not " + named +
                          "; a thrust curve for a simulator is --eng (RASP) or --rse (RockSim)");
        return 2;
    }
    // Writing over the file read would replace another program's file with
    // what a design holds of it (its settings, names and notes lost).
    if (SameFile(file, out)) {
        Complain(out, "--convert would write over the file it reads: name another file to write");
        return 2;
    }
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
