#pragma once

#include <QString>

namespace thrustlet {

// Numbers in the window's fields, in the user's locale: the numeric test, the
// conversions (failing with "Type mismatch" or "Overflow" as RunTimeError)
// and the shortest text of a number, all with the locale's decimal separator.
char DecimalPoint();
bool IsNumeric(const QString& text);
double FieldToDouble(const QString& text);
float FieldToSingle(const QString& text);
QString TextOfSingle(float value);
QString TextOfDouble(double value);
// A figure to show, not to edit: `value` to about `significant` digits
// (fixed point, at most 6 decimals), with the locale's separators.
QString TextOfFigure(double value, int significant = 4);

}  // namespace thrustlet
