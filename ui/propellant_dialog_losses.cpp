// The Propellant dialog's third column: what the chamber and the nozzle
// lose against the ideal motor, and what the full model marches with
// (erosive burning, the throat's change, the web a grain is spent at).
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "ui/named.h"
#include "ui/propellant_dialog.h"
#include "ui/propellant_fields.h"

namespace thrustlet {

QGroupBox* PropellantDialog::CreateLossesGroup() {
    auto* group = new QGroupBox("Losses and the full model", this);
    auto* form = new QFormLayout(group);
    const auto field = [&](QLineEdit*& edit, const char* name, const char* placeholder, const char* tip) {
        edit = Named(new QLineEdit(group), name);
        edit->setPlaceholderText(placeholder);
        edit->setToolTip(tip);
        // Room for a coefficient as builders write it: 2.5E-05.
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("0.0000253E-05") + 12);
        return edit;
    };
    form->addRow("C&ombustion efficiency (0 to 1):",
                 field(txtCombustionEfficiency, "txtCombustionEfficiency", "1",
                       "The share of the propellant's c* the chamber delivers: it scales the pressure and the burn time"));
    form->addRow("Di&vergence half angle (\u00b0):",
                 field(txtDivergence, "txtDivergence", "none: no shape losses",
                       "The nozzle's divergent cone: a loss of (1 + cos a) / 2 on the thrust, with skin friction"));
    form->addRow("Con&vergence half angle (\u00b0):", field(txtConvergence, "txtConvergence", "none", "The nozzle's convergent cone"));
    lblThroatLength = new QLabel(group);
    form->addRow(lblThroatLength, field(txtThroatLength, "txtThroatLength", "none",
                                        "The throat's straight length: a loss from its length over its diameter"));
    form->addRow("Throat erosion (m/(s\u00b7Pa)):",
                 field(txtThroatErosion, "txtThroatErosion", "none",
                       "The full model widens the throat by twice this times the pressure, per second"));
    form->addRow("Throat slag ((m\u00b7Pa)/s):",
                 field(txtSlag, "txtSlag", "none", "The full model narrows the throat by twice this over the pressure, per second"));
    lblWebBurnout = new QLabel(group);
    form->addRow(lblWebBurnout, field(txtWebBurnout, "txtWebBurnout", "none", "A grain with less web left than this is spent"));
    form->addRow("Erosive &alpha (SI):",
                 field(txtErosiveAlpha, "txtErosiveAlpha", "none",
                       "Lenoir-Robillard: r = a P^n + alpha G^0.8 D^-0.2 exp(-beta rho r / G), in the full model"));
    form->addRow("Erosive &beta (SI):", field(txtErosiveBeta, "txtErosiveBeta", "none", "Lenoir-Robillard's beta"));
    form->addRow("Erosive threshold G*:",
                 field(txtErosiveThreshold, "txtErosiveThreshold", "none",
                       "The port-to-throat ratio below which a slice burns 1 + kv (G* - ratio) times faster"));
    form->addRow("Erosive kv:", field(txtErosiveKv, "txtErosiveKv", "none", "The threshold form's velocity coefficient"));
    return group;
}

void PropellantDialog::ShowLosses(const PerformanceInputs& inputs) {
    const DisplayUnits units(shown_unit_);
    const QString unit = !shown_unit_ ? QString() : QString(" (%1)").arg(units.LengthWord());
    lblThroatLength->setText("Throat &length" + unit + ":");
    lblThroatLength->setBuddy(txtThroatLength);
    lblWebBurnout->setText("&Web burnout" + unit + ":");
    lblWebBurnout->setBuddy(txtWebBurnout);
    const std::pair<QLineEdit*, const std::optional<float>*> shown[] = {
        {txtCombustionEfficiency, &inputs.combustion_efficiency}, {txtDivergence, &inputs.nozzle_divergence},
        {txtConvergence, &inputs.nozzle_convergence},           {txtThroatLength, &inputs.nozzle_throat_length},
        {txtThroatErosion, &inputs.nozzle_erosion},             {txtSlag, &inputs.nozzle_slag},
        {txtWebBurnout, &inputs.web_burnout},                   {txtErosiveAlpha, &inputs.erosive_alpha},
        {txtErosiveBeta, &inputs.erosive_beta},                 {txtErosiveThreshold, &inputs.erosive_threshold},
        {txtErosiveKv, &inputs.erosive_velocity_coefficient}};
    for (const auto& [field, value] : shown) {
        Show(field, *value ? std::optional<double>(**value) : std::nullopt, value->value_or(0.0f));
    }
}

}  // namespace thrustlet
