#pragma once

#include <string>
#include <vector>

namespace thrustlet {

class cMotor;

// The Kn summary's figures as the window shows them and thrustlet-kn
// reports them, with the same roundings. Each fails (RunTimeError) where
// the window's field would show the failure.

// The largest web, to two decimals (halves to even).
double SummaryWeb(cMotor& motor);
// The throat's area over the core area of the nozzle-end (last) grain, to
// two decimals, as the 32-bit value shown.
float SummaryAreaRatio(const cMotor& motor);
// The volume loading in %, to one decimal.
double SummaryVolumeLoading(const cMotor& motor);

// How the area ratio is shown: up to 0.64 as any figure, 0.65 to 1 a
// warning (yellow), above 1 a danger (red). A shown ratio lies on a 0.01
// grid, so 0.64 is the last ordinary value.
enum class AreaRatioLevel { kOk, kWarning, kDanger };
AreaRatioLevel LevelOfAreaRatio(float ratio);
// "ok", "warning", "danger".
const char* AreaRatioLevelName(AreaRatioLevel level);

// What the grain editor accepts of a grain: every dimension above zero.
bool GrainAccepted(float length, float diameter, float core);
// The grains the editor would refuse, or that hold no propellant (a core
// not below the diameter), one sentence each starting "grain N: ".
std::vector<std::string> GrainProblems(const cMotor& motor);

}  // namespace thrustlet
