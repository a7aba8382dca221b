#pragma once

#include <optional>
#include <string>
#include <vector>

namespace thrustlet {

class MotorRun;
struct FluxCurve;
struct Performance;

// The figures a builder lays one motor beside another by: SI values, each
// absent where the motor has none (no propellant, no thrust figures, no
// port flow).
struct KeyFigures {
    std::optional<double> total_impulse;     // N s
    std::string designation;                 // "I412", "" without one
    std::optional<double> peak_pressure;     // Pa, absolute
    std::optional<double> average_pressure;  // Pa, absolute: the mean over the burn time
    std::optional<double> burn_time;         // s
    std::optional<double> peak_mass_flux;    // kg/(m^2 s), of the grain with the highest
    bool operator==(const KeyFigures&) const = default;
};
KeyFigures KeyFiguresOf(const MotorRun& run);

// The chamber pressure's mean over the burn (Pa): the curve's time integral
// over the burn time, the curve linear between its points; 0 for a burn of
// no time.
double MeanPressure(const Performance& figures);

// A motor's curves at any time since ignition (s), linear between the
// curve's points, 0 before ignition and after the burn: thrust (N) and
// chamber pressure (Pa).
double ThrustAt(const Performance& figures, double time);
double PressureAt(const Performance& figures, double time);

// The highest mass flux of any grain at a time (kg/(m^2 s)), linear between
// the flux curve's times; nothing outside them or once every grain of the
// curve is spent.
std::optional<double> HighestFluxAt(const FluxCurve& curve, double time);

}  // namespace thrustlet
