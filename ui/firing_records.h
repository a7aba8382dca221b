#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "model/firing_analysis.h"
#include "model/formats/firing_log.h"
#include "model/performance_inputs.h"

namespace thrustlet {

class cMotor;

// A design's static firing as the program knows it: the log it names, the
// samples and figures read from it, or why it could not be read.
struct FiringRecord {
    PerformanceInputs::StaticFiring source;
    std::optional<Firing> firing;  // nothing when it could not be read
    std::optional<FiringFigures> figures;
    QString problem;  // why it could not be read

    QString FileName() const;
    // The list's line: the file's name, with "missing" or "cannot be read".
    QString ListText() const;
};

// Reads and analyses a firing's log against the design (its units, gauge or
// absolute, the design's ambient pressure).
FiringRecord LoadFiring(const PerformanceInputs::StaticFiring& source, const cMotor& design);

// The figures a firing is shown by, in the table beside the prediction and
// on the design sheet: captions (pressures in MPa, psi for an inch design),
// each figure as shown (four significant digits; a dash where there is
// none) and the difference in % ("+3.5 %").
QStringList FiringCaptions(bool inch);
std::vector<std::optional<double>> FiringValues(const FiringFigures* figures, bool inch);
QString FiringFigureText(const std::optional<double>& value, int significant = 4);
QString FiringDifferenceText(const std::optional<double>& measured, const std::optional<double>& predicted);

}  // namespace thrustlet
