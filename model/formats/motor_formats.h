#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/formats/foreign_design.h"

namespace thrustlet {

// The motor files the program reads and writes: its own (.tlt), openMotor's
// (.ric) and BurnSim's (.bsx).
// Meteor's (JSON) are read only.
enum class MotorFormat { kThrustlet, kOpenMotor, kBurnSim, kMeteor };

// The format a file's text is in, by its content: XML is BurnSim's, YAML
// with openMotor's `data` and tags openMotor's, anything else the program's
// own (whose reader then says what is wrong with it).
MotorFormat FormatOfText(std::string_view text);
// The format a file name asks for by its extension (any letter case); the
// program's own for any other.
MotorFormat FormatOfName(const std::string& path);
// "openMotor", "BurnSim", "Thrustlet".
const char* ProgramOf(MotorFormat format);

// What the program knows of a motor format: the program whose it is, the
// extensions its files have, how its text is recognised, how it is read
// (from its text, already read from `path`, into `motor`) and written (the
// text and what it cannot hold; `folder` is where the file goes).
struct ReadOutcome;
struct MotorFormatInfo {
    MotorFormat format;
    const char* program;                  // "openMotor"
    std::vector<const char*> extensions;  // without the dot, lower case
    bool (*recognises)(std::string_view text);
    void (*read)(std::string_view text, const std::string& path, cMotor& motor, ReadOutcome& outcome);
    ExportedText (*write)(const cMotor& motor, const std::string& folder);
};
const MotorFormatInfo& FormatInfo(MotorFormat format);

// Reads a motor file of any of the three formats, by its content. A .tlt
// reads into `motor` as cMotor::ReadFromFile does (its propellant kept when
// the file has none); another program's replaces it. The format read and
// what the file held that the design cannot are given back; on failure
// (RunTimeError) `motor` is unchanged.
// `config` picks the motor of a Meteor file that holds several (0 the
// first); any other file holds one.
struct ReadOutcome {
    MotorFormat format = MotorFormat::kThrustlet;
    std::vector<std::string> not_carried;
    std::size_t config = 0;
};
ReadOutcome ReadAnyMotorFile(const std::string& path, cMotor& motor, std::size_t config = 0);

// The design's file text in a format, with what that format cannot hold of
// it (nothing for the program's own). `folder` is the file's folder (for
// the static firings' relative paths).
ExportedText MotorTextIn(const cMotor& motor, MotorFormat format, const std::string& folder);

// What writing the design in `format` leaves out, without writing it.
std::vector<std::string> NotCarriedIn(const cMotor& motor, MotorFormat format);

// Writes the design at `path` in the format its name asks for, through the
// same durable write as motor files.
void SaveMotorIn(const cMotor& motor, const std::string& path);

}  // namespace thrustlet
