#include "ui/static_firings.h"

#include "model/motor.h"
#include "ui/document.h"
#include "ui/static_firing_dialog.h"

namespace thrustlet {

StaticFirings::StaticFirings(Document& document, QWidget* window)
    : document_(document), window_(window), editor_(std::make_unique<QtFiringEditor>()) {}

StaticFirings::~StaticFirings() = default;

void StaticFirings::SetEditor(std::unique_ptr<IFiringEditor> editor) { editor_ = std::move(editor); }

// The firings the design keeps, and with "Use this law" the fitted law in
// its propellant (its name, density and k kept) and, when asked, the
// measured c*.
void StaticFirings::mnuStaticFiring_Click() {
    cMotor& motor = document_.Motor();
    const std::optional<FiringChoice> chosen = editor_->Edit(motor, window_);
    if (!chosen) return;
    const bool firings_changed = motor.StaticFirings() != chosen->firings;
    if (!firings_changed && !chosen->law) return;
    // The firings listed are a step of their own, so undoing a law used
    // keeps the firings added in the same visit.
    if (firings_changed) {
        motor.SetStaticFirings(chosen->firings);
        document_.SetChanged(true);
        if (chosen->law) {
            if (recalculate_) recalculate_();
            document_.DesignChanged("Static Firings");
        }
    }
    if (chosen->law) {
        PropellantPart propellant = motor.Propellant();
        propellant.pieces = chosen->law->pieces;
        propellant.a = chosen->law->pieces.empty() ? chosen->law->a : 0.0f;
        propellant.n = chosen->law->pieces.empty() ? chosen->law->n : 0.0f;
        motor.SetPropellant(propellant);
        PerformanceInputs in = motor.Performance();
        if (chosen->combustion_efficiency) in.combustion_efficiency = *chosen->combustion_efficiency;
        // A law fitted to the whole traces: the nozzle's efficiency, the
        // erosive coefficients and the model it was fitted with come too.
        if (chosen->nozzle_efficiency) in.nozzle_efficiency = *chosen->nozzle_efficiency;
        if (chosen->erosive_alpha) in.erosive_alpha = *chosen->erosive_alpha;
        if (chosen->erosive_beta) in.erosive_beta = *chosen->erosive_beta;
        if (chosen->full_model) in.model = BurnModel::kFull;
        motor.SetPerformance(in);
    }
    document_.SetChanged(true);
    if (recalculate_) recalculate_();
    document_.DesignChanged(chosen->law ? "Fitted Law" : "Static Firings");
}

}  // namespace thrustlet
