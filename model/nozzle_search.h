#pragma once

namespace thrustlet {

class cMotor;

// Nozzle sizing from a wanted Kn: the narrowest throat on the grid 0.1,
// 0.1 + 0.005, ... (each step one 32-bit addition, up to 3) whose initial or
// maximum Kn does not exceed the target. Returns the diameter the search
// stopped at (just above 3 when no trial meets the target) and leaves the
// motor's nozzle at the last trial diameter. A model failure stops the
// search with the motor at the failed trial's diameter and passes on.
//
// The burning-area sums at the scanned depths do not depend on the throat, so
// they are computed once; the result and the motor are exactly those of the
// plain trial-by-trial scan.
float SearchNozzleForInitialKn(cMotor& motor, float target);
float SearchNozzleForMaxKn(cMotor& motor, float target);

// The plain scan: every trial sets the nozzle and evaluates KN(0) or KNMax
// afresh (up to 580 full scans). Kept as the reference for the fast search.
float LiteralSearchNozzleForInitialKn(cMotor& motor, float target);
float LiteralSearchNozzleForMaxKn(cMotor& motor, float target);

}  // namespace thrustlet
