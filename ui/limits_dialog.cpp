#include "ui/limits_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <cmath>

#include "model/alerts.h"
#include "model/propellant_library.h"
#include "platform/locale_number.h"
#include "platform/qt_dialogs.h"
#include "thrustlet/identity.h"
#include "ui/propellant_fields.h"

namespace thrustlet {

LimitsDialog::LimitsDialog(const LimitsChoice& current, std::optional<LengthUnit> unit, IDialogs& messages,
                           QWidget* parent)
    : QDialog(parent), units_(unit), messages_(messages) {
    setObjectName("dlgLimits");
    setWindowTitle("Limits");
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel("What the motor is held to: the alerts say where it crosses them. An empty field takes the "
                             "usual value.",
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* form = new QFormLayout();
    layout->addLayout(form);
    const auto field = [&](const char* name, const QString& label, const QString& placeholder) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setPlaceholderText(placeholder);
        form->addRow(label, edit);
        return edit;
    };
    const double flux_unit = units_.MassFluxPer();
    txtMaxPressure = field("txtMaxPressure", QString("Casing's &rating (%1):").arg(units_.PressureWord()), "none");
    txtMaxMassFlux = field("txtMaxMassFlux", QString("Mass &flux (%1):").arg(units_.MassFluxWord()),
                           FieldText(kDefaultMaxMassFlux / flux_unit));
    txtMinPortThroat = field("txtMinPortThroat", "&Port-to-throat ratio at least:", FieldText(kDefaultMinPortThroat));
    const double pressure_unit = units_.PascalsPerPressure();
    const auto show = [](QLineEdit* edit, const std::optional<float>& value, double per) {
        Show(edit, value ? std::optional<double>(*value / per) : std::nullopt, value.value_or(0.0f));
    };
    show(txtMaxPressure, current.max_pressure, pressure_unit);
    show(txtMaxMassFlux, current.max_mass_flux, flux_unit);
    show(txtMinPortThroat, current.min_port_throat, 1.0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &LimitsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool LimitsDialog::Read(LimitsChoice* choice, QString* problem) const {
    const struct {
        const QLineEdit* field;
        std::optional<float>* value;
        double per;
        const char* what;
    } fields[] = {{txtMaxPressure, &choice->max_pressure, units_.PascalsPerPressure(), "The casing's rating"},
                  {txtMaxMassFlux, &choice->max_mass_flux, units_.MassFluxPer(), "The mass flux limit"},
                  {txtMinPortThroat, &choice->min_port_throat, 1.0, "The port-to-throat ratio"}};
    for (const auto& f : fields) {
        f.value->reset();
        const QString text = f.field->text().trimmed();
        if (text.isEmpty()) continue;
        if (const std::optional<float> kept = Kept(f.field)) {
            *f.value = *kept;
            continue;
        }
        double typed = 0.0;
        bool number = IsNumeric(text);
        if (number) {
            try {
                typed = FieldToDouble(text);
            } catch (const std::exception&) {
                number = false;
            }
        }
        const float value = static_cast<float>(typed * f.per);
        if (!number || !std::isfinite(value) || !(value > 0.0f)) {
            *problem = QString(f.what) + " must be a number above 0, or empty.";
            return false;
        }
        *f.value = value;
    }
    return true;
}

void LimitsDialog::accept() {
    LimitsChoice choice;
    QString problem;
    if (!Read(&choice, &problem)) {
        messages_.MsgBox(problem, MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
        return;
    }
    QDialog::accept();
}

std::optional<LimitsChoice> QtLimitsEditor::Edit(const LimitsChoice& current, std::optional<LengthUnit> unit,
                                                 QWidget* parent) {
    QtDialogs messages;
    LimitsDialog dialog(current, unit, messages, parent);
    messages.SetParent(&dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    LimitsChoice choice;
    QString problem;
    dialog.Read(&choice, &problem);
    return choice;
}

}  // namespace thrustlet
