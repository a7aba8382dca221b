#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "model/firing.h"

namespace thrustlet {

class MotorRun;

// What a static firing measured, in SI. The signal is the chamber pressure
// (above ambient) when the log has one, else the thrust: ignition is where
// it first reaches 10 % of its peak, the end of action where it last falls
// below that, and the web burnout is found on the tail-off by the
// tangent-bisector method. Figures that need what the log or the design
// lacks are empty.
struct FiringFigures {
    std::size_t samples = 0;
    int skipped_lines = 0;
    double ignition = 0.0;       // s, in the log's time
    double end_of_action = 0.0;  // s, in the log's time
    double action_time = 0.0;    // s
    double burnout = 0.0;        // s, in the log's time
    double burn_time = 0.0;      // s, ignition to burnout
    std::optional<double> total_impulse;    // N s, trapezoid over the action time
    std::optional<double> average_thrust;   // N, over the action time
    std::optional<double> peak_thrust;      // N
    std::optional<double> peak_pressure;    // Pa, absolute
    std::optional<double> average_pressure;  // Pa, absolute, over the burn time
    std::optional<double> delivered_isp;    // s, with the design's propellant mass
    std::optional<double> cstar;            // m/s: At integral(Pc dt) / m
    std::optional<double> cstar_efficiency;  // over the propellant's c*
    std::optional<double> thrust_coefficient;  // integral(F dt) / (At integral(Pc dt))
    std::optional<double> cf_efficiency;       // over the ideal at the average pressure
};

// The run's design gives the propellant's mass, the throat, the propellant's c*,
// the exhaust's k, the nozzle and the ambient pressure. Fails (RunTimeError)
// for a log whose signal never rises above 0.
FiringFigures AnalyseFiring(const Firing& firing, const MotorRun& run);


// The web burnout on a tail-off (tangent-bisector method): the bisector of
// the angle between the tangent before the knee and the steepest tail-off
// tangent, where it meets the curve; the steepest tangent of the last
// descent (a trace that steps down at earlier burnouts has its knees
// before it). `signal` over `time` between the
// indices `from` (the peak) and `to` (the end of action); the time, or
// nothing where the trace has no knee to find.
std::optional<double> TangentBisectorBurnout(const std::vector<double>& time, const std::vector<double>& signal,
                                             std::size_t from, std::size_t to);

}  // namespace thrustlet
