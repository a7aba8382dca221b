#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/units.h"

namespace thrustlet {

// How a design's burn is computed. `kSteady`: the quasi-steady burn,
// integrated exactly in the burn depth (every grain regresses alike, the
// chamber holds no gas). `kFull`: marched in time, each grain cut into axial
// slices whose cores regress at their own rates, with erosive burning, the
// throat's change and the chamber's filling and blowing down.
enum class BurnModel { kSteady, kFull };

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
    // How much of the propellant's c* the chamber delivers (0 to 1): it
    // scales c*, so the pressure and the burn time, where the nozzle's
    // efficiency scales the thrust.
    std::optional<float> combustion_efficiency;
    // The nozzle's shape as builders' programs model its losses: the
    // divergent and convergent half angles (degrees) and the throat's
    // straight length (the design's unit). A design with the divergence or
    // the throat length has the divergence loss (1 + cos a) / 2, the
    // throat-length loss of the "departures from ideal performance" charts
    // and skin friction on its thrust.
    std::optional<float> nozzle_divergence;
    std::optional<float> nozzle_convergence;
    std::optional<float> nozzle_throat_length;
    // The throat's diameter change during a burn: erosion (m/(s Pa)),
    // growing with the pressure, and slag ((m Pa)/s), shrinking it inversely
    // with the pressure. Kept for a model that marches in time.
    std::optional<float> nozzle_erosion;
    std::optional<float> nozzle_slag;
    // openMotor's burnout thresholds: a grain is spent when less web than
    // this is left (the design's unit), and the burn ends when the thrust
    // falls below this share of its peak (%).
    std::optional<float> web_burnout;
    std::optional<float> thrust_burnout;
    // The model the design is computed with; none: steady (every design
    // written before there was a choice).
    std::optional<BurnModel> model;
    // Erosive burning in the full model, off while zero. Lenoir-Robillard:
    // r = a P^n + alpha G^0.8 D^-0.2 exp(-beta rho r / G), SI (G the port's
    // mass flux, kg/(m^2 s), D its hydraulic diameter, m). The threshold
    // form: a slice whose port passes the throat's mass flux at a
    // port-to-throat ratio below `erosive_threshold` (G*) burns
    // 1 + kv (G* - ratio) times faster.
    std::optional<float> erosive_alpha;
    std::optional<float> erosive_beta;
    std::optional<float> erosive_threshold;
    std::optional<float> erosive_velocity_coefficient;
    // The full model's chamber fills and blows down (gas storage); false
    // leaves the pressure quasi-steady at every moment.
    std::optional<bool> gas_storage;
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
    float CombustionEfficiency() const { return combustion_efficiency.value_or(1.0f); }
    // The nozzle's shape gives losses of its own (NozzleLosses).
    bool HasNozzleLosses() const { return nozzle_divergence.has_value() || nozzle_throat_length.has_value(); }
    BurnModel Model() const { return model.value_or(BurnModel::kSteady); }
    // The full model figures erosive burning: it is chosen, with a
    // coefficient that gives erosion.
    bool ErosionModelled() const {
        return Model() == BurnModel::kFull &&
               (erosive_alpha.value_or(0.0f) > 0.0f ||
                (erosive_threshold.value_or(0.0f) > 0.0f && erosive_velocity_coefficient.value_or(0.0f) > 0.0f));
    }
    bool GasStorage() const { return gas_storage.value_or(true); }
    bool operator==(const PerformanceInputs&) const = default;
};

// "steady" or "full", as the motor file, the sheet and --json name them.
const char* BurnModelName(BurnModel model);

}  // namespace thrustlet
