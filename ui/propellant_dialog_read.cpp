#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>

#include "model/performance.h"
#include "platform/locale_number.h"
#include "platform/qt_dialogs.h"
#include "thrustlet/identity.h"
#include "ui/propellant_dialog.h"
#include "ui/propellant_fields.h"

// The Propellant dialog's fields read into a choice, the values OK refuses,
// and the real editor.
namespace thrustlet {

namespace {

// An optional number field: empty is nothing; a number or a failure.
bool ReadOptional(const QLineEdit* field, std::optional<double>* value) {
    const QString text = field->text().trimmed();
    if (text.isEmpty()) {
        value->reset();
        return true;
    }
    if (!IsNumeric(text)) return false;
    *value = FieldToDouble(text);
    return true;
}

}  // namespace

bool PropellantDialog::Read(PropellantChoice* choice, QString* problem) const {
    choice->inputs = {};
    const std::optional<LengthUnit> unit = shown_unit_;
    if (!Unit()) return true;  // no propellant: the design keeps its Kn figures only
    choice->inputs.units = Unit();
    const QString name = txtName->text().trimmed();
    if (!name.isEmpty()) choice->inputs.propellant_name = name.toStdString();
    const struct {
        const QLineEdit* field;
        const char* what;
    } required[] = {{txtCStar, "c*"}, {txtDensity, "The density"}, {txtA, "a"}, {txtN, "n"}};
    for (const auto& r : required) {
        if (!IsNumeric(r.field->text()) && !(grdPieces->rowCount() > 0 && (r.field == txtA || r.field == txtN))) {
            *problem = QString(r.what) + " must be a number.";
            return false;
        }
    }
    // Each value as kept where its text was left as shown, else as typed.
    const auto plain = [](const auto* field) {
        return Kept(field).value_or(static_cast<float>(FieldToDouble(field->text())));
    };
    const auto pressure = [&](const auto* field) {
        return Kept(field).value_or(StoredPressure(FieldToDouble(field->text()), unit));
    };
    const auto coefficient = [&](const auto* a, const auto* n) {
        if (Kept(a) && Kept(n)) return *Kept(a);
        return StoredCoefficient(FieldToDouble(a->text()), plain(n), unit);
    };
    choice->c_star = plain(txtCStar);
    choice->density = plain(txtDensity);
    if (IsNumeric(txtN->text()) && IsNumeric(txtA->text())) {
        choice->n = plain(txtN);
        choice->a = coefficient(txtA, txtN);
    }
    for (int row = 0; row < grdPieces->rowCount(); ++row) {
        for (int col = 0; col < 4; ++col) {
            const QTableWidgetItem* item = grdPieces->item(row, col);
            if (!item || !IsNumeric(item->text())) {
                *problem = QString("Burn-rate piece %1 needs four numbers.").arg(row + 1);
                return false;
            }
        }
        const auto cell = [&](int col) { return grdPieces->item(row, col); };
        choice->inputs.burn_rate.push_back({pressure(cell(0)), pressure(cell(1)), coefficient(cell(2), cell(3)), plain(cell(3))});
    }
    std::optional<double> k, exit, efficiency, ambient;
    const struct {
        const QLineEdit* field;
        std::optional<double>* value;
        const char* what;
    } optional[] = {{txtK, &k, "k"}, {txtExit, &exit, "The exit diameter"}, {txtEfficiency, &efficiency, "The efficiency"},
                    {txtAmbient, &ambient, "The ambient pressure"}};
    for (const auto& o : optional) {
        if (!ReadOptional(o.field, o.value)) {
            *problem = QString(o.what) + " must be a number, or empty.";
            return false;
        }
    }
    if (k) choice->inputs.specific_heat_ratio = plain(txtK);
    if (exit) choice->inputs.nozzle_exit_dia = plain(txtExit);
    if (efficiency) choice->inputs.nozzle_efficiency = plain(txtEfficiency);
    if (ambient) choice->inputs.ambient_pressure = pressure(txtAmbient);
    return true;
}

void PropellantDialog::accept() {
    PropellantChoice choice;
    QString problem;
    if (!Read(&choice, &problem)) {
        messages_.MsgBox(problem, MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
        return;
    }
    // Values that cannot give figures are refused here, where they can be
    // mended, rather than shown as a note beside the summary.
    if (choice.inputs.units) {
        const std::string bad = PropellantProblem(choice.c_star, choice.density, choice.a, choice.n, choice.inputs);
        if (!bad.empty()) {
            QString text = QString::fromStdString(bad);
            text[0] = text[0].toUpper();
            messages_.MsgBox(text + ".", MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
            return;
        }
    }
    QDialog::accept();
}

std::optional<PropellantChoice> QtPropellantEditor::Edit(const PropellantChoice& current, QWidget* parent) {
    QtDialogs messages;
    PropellantDialog dialog(current, messages, parent);
    messages.SetParent(&dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    PropellantChoice choice = current;
    QString problem;
    dialog.Read(&choice, &problem);
    if (!choice.inputs.units) {
        // No propellant: the design keeps its four values as they were.
        choice.c_star = current.c_star;
        choice.density = current.density;
        choice.a = current.a;
        choice.n = current.n;
    }
    return choice;
}

}  // namespace thrustlet
