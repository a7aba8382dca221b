#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/units.h"

namespace thrustlet {

// One piece of a piecewise burn-rate law r = a P^n, for chamber pressures
// from p_min to p_max (Pa). SI: a in m/s/Pa^n, r in m/s.
struct BurnRatePiece {
    float p_min = 0.0f;
    float p_max = 0.0f;
    float a = 0.0f;
    float n = 0.0f;
    bool operator==(const BurnRatePiece&) const = default;
};

// What a design needs beyond the Kn figures for its performance: the unit
// of its lengths (which also says that the motor's four propellant values
// are SI: c* in m/s, density kg/m^3, a in m/s/Pa^n, and n), the propellant's
// name, a piecewise burn-rate law, the exhaust's specific heat ratio, the
// nozzle's exit and efficiency, and the ambient pressure. Every item is
// optional: a motor file holds only those the design has.
struct PerformanceInputs {
    std::optional<LengthUnit> units;
    std::optional<std::string> propellant_name;
    std::vector<BurnRatePiece> burn_rate;  // ascending; none: BallisticA/N at every pressure
    std::optional<float> specific_heat_ratio;
    // The exhaust's molar mass (g/mol), where the propellant's data give it
    // (a motor file of another program): what c* and k leave open when a
    // combustion temperature is written for such a program.
    std::optional<float> molar_mass;
    std::optional<float> nozzle_exit_dia;     // 0: no divergent part
    std::optional<float> nozzle_efficiency;   // thrust multiplier, 0 to 1
    std::optional<float> ambient_pressure;    // Pa
    // The motor's hardware, for a simulator's engine file: the case's outer
    // diameter and length (the design's unit) and the mass of everything
    // but the propellant (kg). Without them the grains' size stands in.
    std::optional<float> case_diameter;
    std::optional<float> case_length;
    std::optional<float> hardware_mass;
    // The builder's limits (model/alerts.h gives the values used without
    // them): the casing's pressure rating (Pa), the mass flux above which
    // erosive burning is expected (kg/(m^2 s)), and the smallest port to
    // throat area ratio.
    std::optional<float> max_pressure;
    std::optional<float> max_mass_flux;
    std::optional<float> min_port_throat;
    // The design's static firings: each a log's path (absolute in memory,
    // relative to the motor file in it), the units the log does not name
    // ("time=ms,force=lbf,pressure=psi") and whether its pressure is
    // absolute.
    struct StaticFiring {
        std::string path;
        std::string units;
        bool absolute = false;
        bool operator==(const StaticFiring&) const = default;
    };
    std::vector<StaticFiring> static_firings;

    // A design without a unit has no propellant the program can use: its
    // propellant values' units are unknown.
    bool HasPropellant() const { return units.has_value(); }
    float NozzleExitDia() const { return nozzle_exit_dia.value_or(0.0f); }
    float NozzleEfficiency() const { return nozzle_efficiency.value_or(1.0f); }
    float AmbientPressure() const { return ambient_pressure.value_or(static_cast<float>(kStandardAtmosphere)); }
    bool operator==(const PerformanceInputs&) const = default;
};

}  // namespace thrustlet
