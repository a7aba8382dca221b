#pragma once

#include <cstddef>
#include <string_view>

#include "model/formats/foreign_design.h"

namespace thrustlet {

// Meteor's motor files: JSON. Versions 1 and 2 hold `configs` (motors, each
// with its grain, nozzle, propellant and `extraConfig`) beside the file's
// `measureUnit`; version 3 is one flat motor with a `propellantId` and, for
// a custom propellant, the propellant beside it with its own unit. Numbers
// may be JSON numbers or strings.
//
// `SI` (the default) is mm, MPa, g/cm^3, a in mm/s at MPa^n and c* in m/s;
// `IMPERIAL` inches, psi (6895 Pa), lb/in^3, a in in/s at psi^n and c* in
// ft/s. The design keeps the file's length unit.
//
// Read as Meteor means the motor: its HOLLOW grains with the outer surface
// inhibited, as many BATES grains as it has segments, both ends inhibited
// where `endsSurface` is INHIBITED; Meteor's own values of its named
// propellants (Nakka's data as it tabulates them), a custom propellant's
// chamber temperature (with its molar mass and k) winning over its c*, its
// `k2ph` the nozzle's k, its pieces over one a and n; the combustion
// efficiency the square root of Meteor's flame-temperature ratio, the
// density times Meteor's density ratio, the nozzle's efficiency, ambient
// pressure, erosive threshold and velocity coefficient, its exit (from the
// expansion ratio, or for Meteor's optimal nozzle from the burn's mean
// pressure), the chamber as the case, the nozzle's whole angles halved;
// figured by the full model. Other grain shapes, surfaces Meteor does not
// combine so, grains longer or wider than the chamber, a throat wider than
// the core, overlapping burn-rate ranges and versions past 3 are refused,
// naming them.
//
// `config` picks the motor of a file that holds several (0 the first).
ImportedMotor ReadMeteor(std::string_view text, std::size_t config = 0);

// Whether a text is a Meteor motor file: a JSON object with Meteor's keys.
bool IsMeteorText(std::string_view text);

}  // namespace thrustlet
