#include "ui/propellant_fields.h"

#include <QLineEdit>
#include <QTableWidgetItem>
#include <QVariant>
#include <cmath>

#include "model/propellant_library.h"
#include "platform/locale_number.h"

namespace thrustlet {

namespace {
constexpr int kExactRole = Qt::UserRole, kShownTextRole = Qt::UserRole + 1;
}  // namespace

double ShownCoefficient(float a, double n, std::optional<LengthUnit> unit) { return DisplayUnits(unit).ShownCoefficient(a, n); }

float StoredCoefficient(double a, double n, std::optional<LengthUnit> unit) {
    return DisplayUnits(unit).CoefficientFromShown(a, n);
}

double ShownPressure(double pascals, std::optional<LengthUnit> unit) {
    return pascals / DisplayUnits(unit).PascalsPerPressure();
}

float StoredPressure(double shown, std::optional<LengthUnit> unit) {
    return static_cast<float>(shown * DisplayUnits(unit).PascalsPerPressure());
}

QString FieldText(double value) {
    if (static_cast<double>(static_cast<float>(value)) == value || value == 0.0 || !std::isfinite(value)) {
        return TextOfSingle(static_cast<float>(value));
    }
    const int scale = 5 - static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const double power = std::pow(10.0, std::abs(scale));
    return TextOfDouble(scale >= 0 ? std::round(value * power) / power : std::round(value / power) * power);
}

void Show(QLineEdit* field, std::optional<double> shown, float exact) {
    field->setText(shown ? FieldText(*shown) : QString());
    field->setProperty("exact", shown ? QVariant(exact) : QVariant());
    field->setProperty("shownText", field->text());
}
void Show(QTableWidgetItem* item, double shown, float exact) {
    item->setText(FieldText(shown));
    item->setData(kExactRole, exact);
    item->setData(kShownTextRole, item->text());
}
std::optional<float> Kept(const QLineEdit* field) {
    const QVariant exact = field->property("exact");
    if (!exact.isValid() || field->text() != field->property("shownText").toString()) return std::nullopt;
    return exact.toFloat();
}
std::optional<float> Kept(const QTableWidgetItem* item) {
    if (!item) return std::nullopt;
    const QVariant exact = item->data(kExactRole);
    if (!exact.isValid() || item->text() != item->data(kShownTextRole).toString()) return std::nullopt;
    return exact.toFloat();
}

}  // namespace thrustlet
