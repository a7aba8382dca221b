#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <cmath>

#include "model/burn_rate_law.h"
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

// A value the design cannot hold: a number past the range of numbers, or
// one that is not finite once converted to the units it is kept in.
class Refused {
public:
    explicit Refused(QString problem) : problem_(std::move(problem)) {}
    const QString& Problem() const { return problem_; }

private:
    QString problem_;
};

// The number in a field's text, or a refusal naming the field.
double NumberIn(const QString& text, const QString& what) {
    try {
        const double value = FieldToDouble(text);
        if (std::isfinite(value)) return value;
    } catch (const std::exception&) {
    }
    throw Refused(what + " is beyond the range of numbers (" + text.trimmed() + ").");
}

// A value as kept (a float), refused when it is not finite there.
float Kept32(double value, const QString& what) {
    const float kept = static_cast<float>(value);
    if (!std::isfinite(kept)) throw Refused(what + " is too large to keep.");
    return kept;
}

// The values a design may hold, beyond what gives figures: the motor's
// hardware is a size and a mass.
QString HardwareProblem(const PerformanceInputs& inputs) {
    const struct {
        const std::optional<float>& value;
        const char* what;
    } checks[] = {{inputs.case_diameter, "The case diameter"},
                  {inputs.case_length, "The case length"},
                  {inputs.hardware_mass, "The hardware mass"}};
    for (const auto& check : checks) {
        if (check.value && !(*check.value >= 0.0f)) return QString(check.what) + " must be 0 or more, or empty.";
    }
    return {};
}

}  // namespace

bool PropellantDialog::Read(PropellantChoice* choice, QString* problem) const {
    try {
        choice->inputs = {};
        choice->length_scale = length_scale_;
        const std::optional<LengthUnit> unit = shown_unit_;
        if (!Unit()) return true;  // no propellant: the design keeps its Kn figures only
        choice->inputs.units = Unit();
        choice->inputs.molar_mass = molar_mass_;
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
        const auto plain = [](const auto* field, const QString& what) {
            if (const std::optional<float> kept = Kept(field)) return *kept;
            return Kept32(NumberIn(field->text(), what), what);
        };
        const auto pressure = [&](const auto* field, const QString& what) {
            if (const std::optional<float> kept = Kept(field)) return *kept;
            return Kept32(StoredPressure(NumberIn(field->text(), what), unit), what);
        };
        const auto coefficient = [&](const auto* a, const auto* n, const QString& what) {
            if (Kept(a) && Kept(n)) return *Kept(a);
            return Kept32(StoredCoefficient(NumberIn(a->text(), what), plain(n, what), unit), what);
        };
        choice->c_star = plain(txtCStar, "c*");
        choice->density = plain(txtDensity, "The density");
        if (IsNumeric(txtN->text()) && IsNumeric(txtA->text())) {
            choice->n = plain(txtN, "n");
            choice->a = coefficient(txtA, txtN, "a");
        }
        if (grdPieces->rowCount() > static_cast<int>(kMaxBurnRatePieces)) {
            *problem = QString("A burn-rate law holds at most %1 pieces.").arg(kMaxBurnRatePieces);
            return false;
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
            const QString what = QString("Burn-rate piece %1").arg(row + 1);
            choice->inputs.burn_rate.push_back({pressure(cell(0), what), pressure(cell(1), what),
                                                coefficient(cell(2), cell(3), what), plain(cell(3), what)});
        }
        const struct {
            const QLineEdit* field;
            std::optional<float>* value;
            const char* what;
            bool is_pressure;
        } optional[] = {{txtK, &choice->inputs.specific_heat_ratio, "k", false},
                        {txtExit, &choice->inputs.nozzle_exit_dia, "The exit diameter", false},
                        {txtEfficiency, &choice->inputs.nozzle_efficiency, "The efficiency", false},
                        {txtAmbient, &choice->inputs.ambient_pressure, "The ambient pressure", true},
                        {txtCaseDiameter, &choice->inputs.case_diameter, "The case diameter", false},
                        {txtCaseLength, &choice->inputs.case_length, "The case length", false},
                        {txtHardwareMass, &choice->inputs.hardware_mass, "The hardware mass", false},
                        {txtCombustionEfficiency, &choice->inputs.combustion_efficiency, "The combustion efficiency", false},
                        {txtDivergence, &choice->inputs.nozzle_divergence, "The divergence half angle", false},
                        {txtConvergence, &choice->inputs.nozzle_convergence, "The convergence half angle", false},
                        {txtThroatLength, &choice->inputs.nozzle_throat_length, "The throat length", false},
                        {txtThroatErosion, &choice->inputs.nozzle_erosion, "The throat erosion", false},
                        {txtSlag, &choice->inputs.nozzle_slag, "The throat slag", false},
                        {txtWebBurnout, &choice->inputs.web_burnout, "The web burnout", false},
                        {txtErosiveAlpha, &choice->inputs.erosive_alpha, "Erosive alpha", false},
                        {txtErosiveBeta, &choice->inputs.erosive_beta, "Erosive beta", false},
                        {txtErosiveThreshold, &choice->inputs.erosive_threshold, "The erosive threshold", false},
                        {txtErosiveKv, &choice->inputs.erosive_velocity_coefficient, "Erosive kv", false}};
        for (const auto& o : optional) {
            if (o.field->text().trimmed().isEmpty()) continue;
            if (!IsNumeric(o.field->text())) {
                *problem = QString(o.what) + " must be a number, or empty.";
                return false;
            }
            *o.value = o.is_pressure ? pressure(o.field, o.what) : plain(o.field, o.what);
        }
        return true;
    } catch (const Refused& refused) {
        *problem = refused.Problem();
        return false;
    }
}

void PropellantDialog::accept() {
    PropellantChoice choice;
    QString problem;
    if (!Read(&choice, &problem)) {
        messages_.MsgBox(problem, MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
        return;
    }
    if (!Unit() && cboLibrary->currentIndex() > 0) {
        messages_.MsgBox("Say what the design's lengths are in (Lengths in: inches or millimetres) to use the "
                         "propellant picked from the library.",
                         MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
        return;
    }
    // Values that cannot give figures are refused here, where they can be
    // mended, rather than shown as a note beside the summary.
    if (choice.inputs.units) {
        const std::string bad = PropellantProblem(choice.c_star, choice.density, choice.a, choice.n, choice.inputs);
        QString text = bad.empty() ? HardwareProblem(choice.inputs) : QString::fromStdString(bad);
        if (!text.isEmpty()) {
            text[0] = text[0].toUpper();
            if (!text.endsWith('.')) text += ".";
            messages_.MsgBox(text, MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
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
