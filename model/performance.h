#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/performance_inputs.h"

namespace thrustlet {

class cMotor;

// One moment of the burn.
struct PerformancePoint {
    double depth = 0.0;     // burn depth, in the design's length unit
    double time = 0.0;      // s since ignition
    double kn = 0.0;        // burning area over throat area, not rounded
    double pressure = 0.0;  // chamber pressure, Pa
    double thrust = 0.0;    // N; 0 without thrust figures
};

// A motor's performance over its burn: by the steady model from ignition to
// the last grain's burnout (no ignition transient, no tail-off), chamber
// pressure from the steady-state burn-rate law at the exact area ratio; by
// the full model marched in time (model/full_burn.h). Burn time, and, with
// the exhaust's specific heat ratio, thrust, impulse and designation.
struct Performance {
    double burn_time = 0.0;        // s
    double peak_pressure = 0.0;    // Pa
    double peak_pressure_time = 0.0;   // s: when it is reached
    double peak_pressure_depth = 0.0;  // the design's length unit
    double propellant_mass = 0.0;  // kg
    bool has_thrust = false;       // the exhaust's specific heat ratio is known
    double total_impulse = 0.0;    // N s
    // N: the impulse while the thrust is at least 5 % of its peak, over that
    // time (the certification bodies' rule, which OpenRocket follows too)
    double average_thrust = 0.0;
    double thrust_time = 0.0;      // s: that time
    double peak_thrust = 0.0;      // N
    double delivered_isp = 0.0;    // s
    std::string designation;       // impulse class and average thrust, "I412"
    // Some part of the burn ran at a pressure no piece of the burn-rate law
    // covers (the nearest piece was used).
    bool outside_burn_rate_data = false;
    // The burn at the bounds of the integration's steps; a grain's burnout
    // is two points at one time (before and after).
    std::vector<PerformancePoint> curve;
};

// The figures, or nothing: `problem` says why for a design whose values
// cannot give figures ("" for a design without a propellant, which simply
// has none).
struct PerformanceOutcome {
    std::optional<Performance> figures;
    std::string problem;
};

// The motor's performance. Integrated piece by piece between grain burnouts
// and the depths where the burn-rate law changes pieces, so the integrands
// are smooth where they are summed: impulse and burn time to far better
// than 0.1 %. Never NaN or infinity: values that would give them are a
// problem instead.
PerformanceOutcome ComputePerformance(const cMotor& motor);

// What makes a propellant's values unusable for figures (c* in m/s,
// density in kg/m^3, a and n of the single law, the other inputs), or "":
// a sentence starting in lower case, naming the value.
std::string PropellantProblem(float c_star, float density, float a, float n, const PerformanceInputs& inputs);

// The chamber pressure (Pa) and thrust (N; 0 without thrust figures) at a
// burn depth, and the time the burn reaches it (a run's AtDepths).
struct DepthFigures {
    double pressure = 0.0;
    double thrust = 0.0;
    double time = 0.0;  // s since ignition when the burn reaches the depth
};

// The impulse class: A up to 2.5 N s, each next letter double (B up to 5,
// C up to 10, ...); after Z, AA, AB, ...; below A, 1/2A up to 1.25 N s, 1/4A
// up to 0.625 and 1/8A; "" for no impulse (no designation either).
std::string ImpulseClass(double total_impulse);
// The class followed by the average thrust in whole newtons: "I412".
std::string Designation(double total_impulse, double average_thrust);

// The ideal thrust coefficient of a nozzle: specific heat ratio `k`, exit
// over throat area `area_ratio` (1: no divergent part), chamber pressure
// `chamber` and ambient pressure `ambient` (Pa). Not below 0.
double ThrustCoefficient(double k, double area_ratio, double chamber, double ambient);
// The exit pressure over the chamber pressure of an isentropic expansion to
// `area_ratio` (the supersonic solution; sonic for 1).
double ExitPressureRatio(double k, double area_ratio);

}  // namespace thrustlet
