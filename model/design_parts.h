#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/performance_inputs.h"

namespace thrustlet {

// A design is its grains and these parts, each in the design's unit of
// length (cMotor gives and takes them whole; the motor file keeps them as
// its lines). SI for everything that is not a length.

// What the design burns: its name, c* (m/s), density (kg/m^3), the
// burn-rate law r = a P^n as one a and n or as pieces over pressures, the
// exhaust's specific heat ratio and, where its data give it, molar mass
// (g/mol).
struct PropellantPart {
    std::optional<std::string> name;
    float c_star = 0.0f;
    float density = 0.0f;
    float a = 0.0f, n = 0.0f;           // the law at every pressure, without pieces
    std::vector<BurnRatePiece> pieces;  // ascending; none: a and n
    std::optional<float> k;
    std::optional<float> molar_mass;
    bool operator==(const PropellantPart&) const = default;
};

// The nozzle: its throat and exit diameters and its efficiency (the
// thrust's multiplier, 0 to 1).
struct NozzlePart {
    float throat = 0.0f;
    std::optional<float> exit;
    std::optional<float> efficiency;
    bool operator==(const NozzlePart&) const = default;
};

// The motor's hardware, for a simulator's engine file: the case's outer
// diameter and length, and the mass of everything but the propellant (kg).
struct HardwarePart {
    std::optional<float> case_diameter, case_length, mass;
    bool operator==(const HardwarePart&) const = default;
};

// The builder's limits: the casing's rating (Pa), the mass flux above which
// erosive burning is expected (kg/(m^2 s)), the smallest port-to-throat
// ratio. Unset: the usual values (model/alerts.h).
struct LimitsPart {
    std::optional<float> max_pressure, max_mass_flux, min_port_throat;
    bool operator==(const LimitsPart&) const = default;
};

using StaticFiringList = std::vector<PerformanceInputs::StaticFiring>;

}  // namespace thrustlet
