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
// plain trial-by-trial scan. These search the grid in the design's length
// unit as it stands (the grid of inches, and of designs without a unit).
float SearchNozzleForInitialKn(cMotor& motor, float target);
float SearchNozzleForMaxKn(cMotor& motor, float target);

// The plain scan: every trial sets the nozzle and evaluates KN(0) or KNMax
// afresh (up to 580 full scans). Kept as the reference for the fast search.
float LiteralSearchNozzleForInitialKn(cMotor& motor, float target);
float LiteralSearchNozzleForMaxKn(cMotor& motor, float target);

// The search in the design's own unit: the trials are the same physical
// throats whatever the unit (for a millimetre design each is the inch
// grid's value times 25.4, stored as a float), so a motor sized in
// millimetres gets the throat it gets in inches. Inches and designs without
// a unit search exactly the grid above.
struct NozzleSizingResult {
    float diameter = 0.0f;  // the last trial: the motor's throat now
    double shown = 0.0;     // the grid value to show, 3 decimals of the unit
    bool reached = false;   // false: no trial met the target, and `shown`
                            // is the range's end (3, or 76.2 mm)
    // The narrowest throat of the range (shown) already gives a Kn below
    // the target: the target needs a throat narrower than the range holds.
    bool above_narrowest = false;
    float narrowest_kn = 0.0f;  // that throat's Kn, when so
    // The target was met by a throat of the range.
    bool Met() const { return reached && !above_narrowest; }
};
NozzleSizingResult SizeNozzleForInitialKn(cMotor& motor, float target);
NozzleSizingResult SizeNozzleForMaxKn(cMotor& motor, float target);

// The first and last trial throats in the design's unit: 0.1 and 3, or
// 2.54 and 76.2 for millimetres.
struct NozzleSearchRange {
    double first = 0.0, last = 0.0;
};
NozzleSearchRange SearchRangeOf(const cMotor& motor);

}  // namespace thrustlet
