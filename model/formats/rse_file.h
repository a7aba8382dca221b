#pragma once

#include <string>

namespace thrustlet {

class MotorRun;

// A motor's thrust curve as a RockSim engine file (.rse), the XML form
// OpenRocket reads with the motor's mass and centre of gravity over the
// burn:
//   <engine-database><engine-list><engine code=… mfg=… dia=(mm) len=(mm)
//     initWt=(g) propWt=(g) delays=… auto-calc-mass="0" auto-calc-cg="0" …>
//     <data><eng-data t=(s) f=(N) m=(g) cg=(mm from the forward end)/>…
// The points are the .eng writer's (the impulse within 1 % of the
// motor's) after a first one at ignition (time 0, no thrust, the whole
// mass), times strictly increasing, as OpenRocket's reader requires. The
// mass is the hardware's (HardwareMass) and the propellant left at each
// point's burn depth; the centre of gravity weighs each
// grain's propellant at its place in the case (the stack against the
// nozzle's end of a CaseLength case, else the stack is the case) with the
// hardware at the case's middle. The delays are the .eng writer's, listed
// with commas as RockSim does. Fails as the .eng writer does.
std::string RseFileText(const MotorRun& run, const std::string& source, const std::string& delays = "P");

}  // namespace thrustlet
