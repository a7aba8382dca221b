#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/performance.h"

namespace thrustlet {

class MotorRun;

// A motor's thrust curve as a RASP engine file (.eng), the form OpenRocket
// and the other flight simulators load:
//   ; comments
//   <designation> <diameter mm> <length mm> P <propellant kg> <total kg> Thrustlet
//   <time s> <thrust N>      one line a point, times strictly increasing
// The curve starts after ignition (the format implies (0, 0): a steady
// burn's full thrust at ignition is listed a thousandth of the burn later)
// and ends at the last grain's burnout with thrust 0. The points are
// the motor's own (no time is moved): at least 32 where the curve has them,
// and as many more as the trapezoid impulse of the file needs to be within
// 1 % of the motor's. Diameter and length are the case's when the design
// gives them (CaseDiameter, CaseLength), else the grains'; the total mass
// adds HardwareMass when given. `source` names the design in a comment.
// A motor without thrust figures or without impulse fails with a
// RunTimeError saying so: such a curve is no engine.
// A run without figures fails with the reason it has none.
// `delays` are the ejection delays the header lists: "P" (plugged, none),
// or seconds parted by dashes ("4-6-8"), as EngineDelays gives them.
std::string EngineFileText(const MotorRun& run, const std::string& source, const std::string& delays = "P");
// The same with `performance` in place of the run's figures (a copy of them
// changed, to see what the writer makes of such a curve).
std::string EngineFileText(const MotorRun& run, const Performance& performance, const std::string& source,
                           const std::string& delays = "P");

// The delays an engine file's header can hold from what a user typed: "P"
// (or nothing, or "p") for a plugged motor, else whole seconds from 0 to
// 99 parted by dashes, commas or spaces ("4, 6" gives "4-6"); nothing when
// the text is neither (a sentence of why in `problem`).
std::optional<std::string> EngineDelays(const std::string& typed, std::string* problem = nullptr);

// The points an engine file keeps: the run's curve at one point a time (a
// burnout's drop the thrust that keeps the area), refined where it is too
// coarse and thinned to what keeps the impulse, each with its burn depth
// (the design's unit); and the motor's size (mm, the case's where the
// design gives it) and hardware mass (kg). Fails as EngineFileText does.
struct EnginePoint {
    double time = 0.0, thrust = 0.0, depth = 0.0;
};
struct EngineCurve {
    std::vector<EnginePoint> points;
    double diameter_mm = 0.0, length_mm = 0.0, hardware_kg = 0.0;
};
EngineCurve EngineCurveOf(const MotorRun& run, const Performance& performance);

// The points an engine file lists, all after ignition: the simulators
// start every curve from (0, 0) themselves (RockSim's loader in OpenRocket
// adds that point and refuses a second one at time 0).
std::vector<EnginePoint> PointsAfterIgnition(const EngineCurve& curve, const Performance& performance);

// A point's time (s) as the engine files print it: six significant digits,
// or as many more as keep it after the last time printed (`previous`, which
// it moves on); nothing where no digits do, so the point is left out.
std::optional<std::string> TimeAfter(double time, double* previous);

// The trapezoid impulse (N s) of an engine file's points, as simulators sum
// it (from (0, 0) when the first point is later than 0).
double EngineFileImpulse(const std::string& text);

}  // namespace thrustlet
