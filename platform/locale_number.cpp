#include "platform/locale_number.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "model/number_text.h"

namespace thrustlet {

char DecimalPoint() {
    const QString point = QLocale().decimalPoint();
    // Separators outside ASCII (e.g. the Arabic one) fall back to ".".
    if (point.size() == 1 && point.at(0).unicode() > 0x20 && point.at(0).unicode() < 0x7F) {
        return static_cast<char>(point.at(0).unicode());
    }
    return '.';
}

bool IsNumeric(const QString& text) { return IsNumericText(text.toStdString(), DecimalPoint()); }

double FieldToDouble(const QString& text) { return TextToDouble(text.toStdString(), DecimalPoint()); }

float FieldToSingle(const QString& text) { return TextToSingle(text.toStdString(), DecimalPoint()); }

QString TextOfSingle(float value) {
    return QString::fromStdString(SingleToText(value, DecimalPoint()));
}

QString TextOfDouble(double value) {
    return QString::fromStdString(DoubleToText(value, DecimalPoint()));
}

QString TextOfFigure(double value, int significant) {
    const int magnitude = value == 0.0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(value))));
    return QLocale().toString(value, 'f', std::clamp(significant - 1 - magnitude, 0, 6));
}

}  // namespace thrustlet
