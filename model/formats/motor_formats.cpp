#include "model/motor_run.h"
#include "model/formats/motor_formats.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "platform/durable_file.h"
#include "model/errors.h"
#include "model/formats/bsx_file.h"
#include "model/formats/meteor_file.h"
#include "model/formats/ric_file.h"
#include "model/formats/motor_file.h"

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

// BurnSim's files are XML.
bool IsBurnSim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text[first] == '<';
}

// The program's own files start with their "Name:" line.
bool IsThrustlet(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text.substr(first, 5) == "Name:";
}

// openMotor's hold `data:` at the top level, or its type and version under
// Python tags.
bool IsOpenMotor(std::string_view text) {
    return HasLineStarting(text, "data:") || HasLineStarting(text, "type: !!python/") ||
           HasLineStarting(text, "version: !!python/");
}

void ReadThrustlet(std::string_view text, const std::string& path, cMotor& motor, ReadOutcome&) {
    motor.ReadFromText(text, path);
}

void ReadOpenMotor(std::string_view text, const std::string&, cMotor& motor, ReadOutcome& outcome) {
    ImportedMotor imported = ReadRic(text);
    motor = std::move(imported.motor);
    outcome.not_carried = std::move(imported.not_carried);
}

void ReadBurnSim(std::string_view text, const std::string&, cMotor& motor, ReadOutcome& outcome) {
    ImportedMotor imported = ReadBsx(text);
    motor = std::move(imported.motor);
    outcome.not_carried = std::move(imported.not_carried);
}

// Meteor's motor files are read, not written: their motor picked by
// `config`.
void ReadMeteorFile(std::string_view text, const std::string&, cMotor& motor, ReadOutcome& outcome) {
    ImportedMotor imported = ReadMeteor(text, outcome.config);
    motor = std::move(imported.motor);
    outcome.not_carried = std::move(imported.not_carried);
}
ExportedText WriteMeteor(const cMotor&, const std::string&) {
    throw RunTimeError(err::kInvalidCall, "Invalid procedure call or argument: Thrustlet reads Meteor's files but does not write them");
}

ExportedText WriteThrustlet(const cMotor& motor, const std::string& folder) { return {MotorFileText(motor, folder), {}}; }
ExportedText WriteOpenMotor(const cMotor& motor, const std::string&) { return RicText(motor); }
// BurnSim keeps the burn-rate piece the motor's peak pressure runs by: the
// writer needs a run of the design.
ExportedText WriteBurnSim(const cMotor& motor, const std::string&) { return BsxText(RunMotor(motor)); }

// Every motor format, in the order a file's content is tried against them;
// a text none recognises is taken for the program's own, whose reader then
// says what is wrong with it.
const std::vector<MotorFormatInfo>& Formats() {
    static const std::vector<MotorFormatInfo> formats = {
        // JSON: tried first, as its text could hold any of the others' marks.
        {MotorFormat::kMeteor, "Meteor", {}, &IsMeteorText, &ReadMeteorFile, &WriteMeteor},
        {MotorFormat::kBurnSim, "BurnSim", {"bsx"}, &IsBurnSim, &ReadBurnSim, &WriteBurnSim},
        {MotorFormat::kThrustlet, "Thrustlet", {"tlt"}, &IsThrustlet, &ReadThrustlet, &WriteThrustlet},
        {MotorFormat::kOpenMotor, "openMotor", {"ric"}, &IsOpenMotor, &ReadOpenMotor, &WriteOpenMotor},
    };
    return formats;
}

}  // namespace

const MotorFormatInfo& FormatInfo(MotorFormat format) {
    for (const MotorFormatInfo& info : Formats()) {
        if (info.format == format) return info;
    }
    return FormatInfo(MotorFormat::kThrustlet);
}

MotorFormat FormatOfText(std::string_view text) {
    text = WithoutByteOrderMark(text);
    for (const MotorFormatInfo& info : Formats()) {
        if (info.recognises(text)) return info.format;
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
    for (const MotorFormatInfo& info : Formats()) {
        for (const char* known : info.extensions) {
            if (extension == known) return info.format;
        }
    }
    return MotorFormat::kThrustlet;
}

const char* ProgramOf(MotorFormat format) { return FormatInfo(format).program; }

ReadOutcome ReadAnyMotorFile(const std::string& path, cMotor& motor, std::size_t config) {
    if (path.find_first_not_of(" \t") == std::string::npos) {
        throw RunTimeError(err::kFileNotFound, "File not found: \"" + path + "\"");
    }
    std::string text;
    try {
        text = ReadWholeFile(path, kMaxMotorFileBytes, "a motor file");
    } catch (const std::bad_alloc&) {
        throw RunTimeError(err::kOutOfMemory, "Out of memory: \"" + path + "\"");
    }
    // UTF-16 text (as some Windows programs save) is said to be what it is,
    // not taken for a broken motor file of any format.
    if (text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF') ||
                             (text.size() >= 4 && text[0] != '\0' && text[1] == '\0' && text[3] == '\0'))) {
        throw RunTimeError(err::kInvalidFileFormat,
                           "Invalid file format: \"" + path + "\" is UTF-16 text: save it as UTF-8 (or plain ASCII) and open it again");
    }
    // Lines ended by a carriage return alone (classic Mac OS) are lines
    // like any others: every reader sees them ended by a line feed.
    if (text.find('\n') == std::string::npos && text.find('\r') != std::string::npos) {
        std::replace(text.begin(), text.end(), '\r', '\n');
    }
    ReadOutcome outcome;
    outcome.format = FormatOfText(text);
    outcome.config = config;
    if (config > 0 && outcome.format != MotorFormat::kMeteor) {
        throw RunTimeError(err::kInvalidCall, std::string("Invalid procedure call or argument: a ") + ProgramOf(outcome.format) +
                                                  " file holds one motor, not a motor " + std::to_string(config + 1));
    }
    FormatInfo(outcome.format).read(text, path, motor, outcome);
    return outcome;
}

ExportedText MotorTextIn(const cMotor& motor, MotorFormat format, const std::string& folder) {
    return FormatInfo(format).write(motor, folder);
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
