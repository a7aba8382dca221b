#pragma once

#include <QString>
#include <optional>

#include "model/performance_inputs.h"

QT_BEGIN_NAMESPACE
class QLineEdit;
class QTableWidgetItem;
QT_END_NAMESPACE

namespace thrustlet {

// The Propellant dialog's number fields: the builders' units they show and
// the exact values they keep.

// The burn-rate coefficient a (for P in Pa, r in m/s) and pressures (Pa) in
// the units shown for a design in `unit`: mm/s and MPa for millimetres (and
// for a design without a unit), in/s and psi for inches; and back.
double ShownCoefficient(float a, double n, std::optional<LengthUnit> unit);
float StoredCoefficient(double a, double n, std::optional<LengthUnit> unit);
double ShownPressure(double pascals, std::optional<LengthUnit> unit);
float StoredPressure(double shown, std::optional<LengthUnit> unit);

// A value as a field shows it: a stored float as its seven digits; one
// converted to the shown units (a, pressures) to six, which drops the last
// digit's noise of the conversion.
QString FieldText(double value);

// A field shows a rounded value and keeps the exact one beside its text;
// Kept gives it back while the text is left as shown, so a library entry or
// a design's values go through the dialog unchanged unless the user edits
// them. Nothing shown (an empty field) keeps nothing.
void Show(QLineEdit* field, std::optional<double> shown, float exact);
void Show(QTableWidgetItem* item, double shown, float exact);
std::optional<float> Kept(const QLineEdit* field);
std::optional<float> Kept(const QTableWidgetItem* item);

}  // namespace thrustlet
