#pragma once

#include <string_view>

#include "model/formats/foreign_design.h"

namespace thrustlet {

class MotorRun;

// BurnSim's motor files (.bsx): XML, a `Motor` element holding a `Nozzle`
// (ThroatDia, ExitDia in inches, NozzleEfficiency in %, AmbientPressure in
// psi) and the `Grain`s, head end first (Type 1 is BATES; Diameter, Length,
// CoreDiameter in inches; EndsInhibited 0, 1 or 2), each with its
// `Propellant` (Name, Density in lb/in^3, BallisticA in in/s at psi^n,
// BallisticN, SpecificHeatRatio, MolarMass, CombustionTemp, and ISPStar: c*
// over standard gravity, in seconds).

// Reads a design: the nozzle, the BATES grains and their one propellant. A
// grain of another shape, with inhibited ends or of another propellant than
// the first fails the read, naming it; c* comes from ISPStar, else from the
// combustion temperature, k and the molar mass (23.67 when the file gives
// none, said so); what else the file holds that a design cannot is listed.
// The lengths show in inches, or in millimetres when they are round numbers
// of millimetres and not of inches.
ImportedMotor ReadBsx(std::string_view text);

// The design as BurnSim and openMotor's BurnSim importer open it: BurnSim
// holds one burn-rate law, so a design of pieces writes the piece that
// holds its peak pressure (the first piece when it has no figures) and
// names the others as not carried. A design without a propellant writes its
// geometry and says so.
ExportedText BsxText(const MotorRun& run);

}  // namespace thrustlet
