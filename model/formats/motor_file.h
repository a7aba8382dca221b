#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/grain.h"
#include "model/performance_inputs.h"

namespace thrustlet {

class cMotor;

// What a motor file holds, read into plain values first so that a file that
// fails half-way never touches the motor.
struct MotorFileContent {
    float nozzle_dia = 0.0f;
    std::vector<std::shared_ptr<cGrain>> grains;
    struct Propellant {
        float isp_star = 0.0f;
        float density = 0.0f;
        float ballistic_a = 0.0f;
        float ballistic_n = 0.0f;
    };
    // Absent when the file ends during the grain list or right after the
    // line that ended it: the motor then keeps its propellant data.
    std::optional<Propellant> propellant;
    // The optional lines after the propellant lines (read with them).
    PerformanceInputs performance;
};

// The file text of a motor: seven lines plus one per grain, each ending in
// CR LF, numbers in 7-significant-digit form with "." whatever the locale.
// A design with performance data has its "Key:value" lines after the four
// propellant lines (where readers of the seven-line form never look):
// Units, PropellantName, BurnRate (one per piece), SpecificHeatRatio,
// MolarMass, NozzleExitDia, NozzleEfficiency, AmbientPressure, CaseDiameter,
// CaseLength, HardwareMass, the builder's limits MaxPressure, MaxMassFlux
// and MinPortThroat, Inhibited (grain,forward|aft|both, one per grain with
// an inhibited end) and StaticFiring (path|units|absolute, one per log),
// each only when the design has it, every
// value exactly (the shortest text that reads back as the same float); with
// Units the four propellant values are written exactly too. A value that is
// not finite fails with "Overflow" naming it: it could not be read back.
std::string MotorFileText(const cMotor& motor);
// The same for a file in `folder`: StaticFiring paths under or beside it are
// written relative to it.
std::string MotorFileText(const cMotor& motor, const std::string& folder);

// Reads motor file text (CR LF, LF or CR line ends). Fails with a
// RunTimeError whose description names the line and what was found there.
// After the propellant lines, the known "Key:value" lines are read in any
// order (a malformed value fails like any other line); other lines are
// ignored.
MotorFileContent ParseMotorFile(std::string_view text);

// The largest motor file read: far above any real motor (32767 grain lines
// of 2 KiB each), so a huge file or device is refused before it is read.
inline constexpr std::uintmax_t kMaxMotorFileBytes = std::uintmax_t{64} << 20;

}  // namespace thrustlet
