#pragma once

#include <string_view>

#include "model/formats/foreign_design.h"

namespace thrustlet {

// openMotor's motor files (.ric): YAML with a top-level `data` (the motor:
// `grains`, `nozzle`, `propellant`, `config`, all in SI), `type` (3 for a
// motor) and `version`, the last two under Python tags that are plain tags
// to a YAML reader.

// Reads a design: the BATES grains in order, the nozzle, the propellant
// (each burn-rate tab a piece; c* from the first tab's T, M and k), the
// ambient pressure and the design's limits. Files of before openMotor 0.4
// keep one propellant law directly under `propellant`. A grain of another
// shape or with inhibited ends fails the read, naming it; what else the file
// holds that a design cannot is listed. The lengths show in inches when
// they are round numbers of inches, else in millimetres.
ImportedMotor ReadRic(std::string_view text);

// The design as openMotor 0.4 and later open it (version 0.4.0, which
// openMotor's own migrations bring up to date): the grains uninhibited, the
// nozzle with openMotor's usual 15 and 55 degree angles, each burn-rate
// piece a tab with the design's k and a combustion temperature that, with
// the molar mass (23.67 unless the design's data give it), makes the
// design's c*; the ambient pressure and the limits, the other settings at
// openMotor's defaults. A design without a propellant writes its geometry
// (a design without a unit in inches) and says so.
ExportedText RicText(const cMotor& motor);

}  // namespace thrustlet
