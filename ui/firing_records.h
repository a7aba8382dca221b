#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

#include "model/firing_analysis.h"
#include "model/static_firing.h"
#include "model/units.h"
#include "model/performance_inputs.h"

namespace thrustlet {

class cMotor;

// A design's static firing as the window lists it: the model's reading of
// its log, with the texts the window shows of it.
struct FiringRecord : LoadedFiring {
    FiringRecord() = default;
    explicit FiringRecord(LoadedFiring loaded) : LoadedFiring(std::move(loaded)) {}
    QString FileName() const;
    // The list's line: the file's name, with "missing" or "cannot be read".
    QString ListText() const;
    // Why it could not be read ("" when it was).
    QString Problem() const { return QString::fromStdString(problem); }
};

// The figures a firing is shown by, in the table beside the prediction and
// on the design sheet: captions (pressures in MPa, psi for an inch design),
// each figure as shown (four significant digits; a dash where there is
// none) and the difference in % ("+3.5 %").
QStringList FiringCaptions(const DisplayUnits& units);
std::vector<std::optional<double>> FiringValues(const FiringFigures* figures, const DisplayUnits& units);
QString FiringFigureText(const std::optional<double>& value, int significant = 4);
QString FiringDifferenceText(const std::optional<double>& measured, const std::optional<double>& predicted);

}  // namespace thrustlet
