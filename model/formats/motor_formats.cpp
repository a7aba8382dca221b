#include "model/motor_run.h"
#include "model/formats/motor_formats.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "model/durable_file.h"
#include "model/errors.h"
#include "model/formats/bsx_file.h"
#include "model/formats/ric_file.h"
#include "model/motor_file.h"

namespace thrustlet {

namespace {

std::string_view WithoutByteOrderMark(std::string_view text) {
    return text.substr(0, 3) == "\xEF\xBB\xBF" ? text.substr(3) : text;
}

// Whether a line of the text starts with `start` (at its first column).
bool HasLineStarting(std::string_view text, std::string_view start) {
    for (std::size_t at = 0; at < text.size();) {
        if (text.substr(at, start.size()) == start) return true;
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    return false;
}

}  // namespace

MotorFormat FormatOfText(std::string_view text) {
    text = WithoutByteOrderMark(text);
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && text[first] == '<') return MotorFormat::kBurnSim;
    // The program's own files start with their "Name:" line; openMotor's
    // hold `data:` at the top level, or its type and version under Python
    // tags.
    if (first != std::string_view::npos && text.substr(first, 5) == "Name:") return MotorFormat::kThrustlet;
    if (HasLineStarting(text, "data:") || HasLineStarting(text, "type: !!python/") ||
        HasLineStarting(text, "version: !!python/")) {
        return MotorFormat::kOpenMotor;
    }
    return MotorFormat::kThrustlet;
}

MotorFormat FormatOfName(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return MotorFormat::kThrustlet;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "ric") return MotorFormat::kOpenMotor;
    if (extension == "bsx") return MotorFormat::kBurnSim;
    return MotorFormat::kThrustlet;
}

const char* ProgramOf(MotorFormat format) {
    switch (format) {
        case MotorFormat::kOpenMotor:
            return "openMotor";
        case MotorFormat::kBurnSim:
            return "BurnSim";
        default:
            return "Thrustlet";
    }
}

ReadOutcome ReadAnyMotorFile(const std::string& path, cMotor& motor) {
    if (path.find_first_not_of(" \t") == std::string::npos) {
        throw RunTimeError(err::kFileNotFound, "File not found: \"" + path + "\"");
    }
    std::string text;
    try {
        text = ReadWholeFile(path, kMaxMotorFileBytes, "a motor file");
    } catch (const std::bad_alloc&) {
        throw RunTimeError(err::kOutOfMemory, "Out of memory: \"" + path + "\"");
    }
    ReadOutcome outcome;
    outcome.format = FormatOfText(text);
    if (outcome.format == MotorFormat::kThrustlet) {
        motor.ReadFromFile(path);
        return outcome;
    }
    ImportedMotor imported = outcome.format == MotorFormat::kOpenMotor ? ReadRic(text) : ReadBsx(text);
    motor = std::move(imported.motor);
    outcome.not_carried = std::move(imported.not_carried);
    return outcome;
}

ExportedText MotorTextIn(const cMotor& motor, MotorFormat format, const std::string& folder) {
    switch (format) {
        case MotorFormat::kOpenMotor:
            return RicText(motor);
        case MotorFormat::kBurnSim:
            return BsxText(RunMotor(motor));
        default:
            return {MotorFileText(motor, folder), {}};
    }
}

std::vector<std::string> NotCarriedIn(const cMotor& motor, MotorFormat format) {
    if (format == MotorFormat::kThrustlet) return {};
    return MotorTextIn(motor, format, std::string()).not_carried;
}

void SaveMotorIn(const cMotor& motor, const std::string& path) {
    const MotorFormat format = FormatOfName(path);
    if (format == MotorFormat::kThrustlet) {
        motor.SaveToFile(path);
        return;
    }
    WriteFileAtomically(path, MotorTextIn(motor, format, std::string()).text);
}

}  // namespace thrustlet
