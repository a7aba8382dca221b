#include "ui/design_history.h"

#include <cmath>

#include "model/units.h"

#include <cstring>

#include "model/motor.h"
#include "platform/text_box.h"
#include "ui/document.h"
#include "ui/grain_editor.h"
#include "ui/nozzle_sizing.h"
#include "ui/undo_history.h"

namespace thrustlet {

namespace {

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The same design to the bit: every number of the motor and of its grains.
bool SameMotor(const cMotor& a, const cMotor& b) {
    if (!SameBits(a.NozzleDia(), b.NozzleDia()) || !SameBits(a.NozzleThroatArea(), b.NozzleThroatArea()) ||
        !SameBits(a.ISPStar(), b.ISPStar()) || !SameBits(a.Density(), b.Density()) ||
        !SameBits(a.BallisticA(), b.BallisticA()) || !SameBits(a.BallisticN(), b.BallisticN()) ||
        a.Name() != b.Name() || !(a.Performance() == b.Performance()) || a.Grains().size() != b.Grains().size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.Grains().size(); ++i) {
        const cGrain& x = *a.Grains()[i];
        const cGrain& y = *b.Grains()[i];
        if (x.GrainType() != y.GrainType() || !SameBits(x.Length(), y.Length()) ||
            !SameBits(x.Diameter(), y.Diameter()) || !SameBits(x.CoreDiameter(), y.CoreDiameter()) ||
            x.Inhibited() != y.Inhibited()) {
            return false;
        }
    }
    return true;
}

}  // namespace

// One change: the states before and after it, each shared with the step
// next to it.
class DesignHistory::Step : public UndoCommand {
public:
    Step(DesignHistory& history, const QString& text, std::shared_ptr<const DesignView> before,
         std::shared_ptr<const DesignView> after, std::size_t bytes)
        : UndoCommand(text, bytes), history_(history), before_(std::move(before)), after_(std::move(after)) {}
    void Undo() override { history_.ShowState(before_); }
    void Redo() override { history_.ShowState(after_); }

private:
    DesignHistory& history_;
    std::shared_ptr<const DesignView> before_, after_;
};

std::size_t BytesOf(const DesignView& view, const DesignView* before) {
    std::size_t bytes = sizeof(DesignView) + static_cast<std::size_t>(view.throat.size()) * 2;
    if (!before || before->motor != view.motor) {
        const cMotor& motor = *view.motor;
        bytes += sizeof(cMotor) + motor.Grains().size() * (sizeof(cGrain) + 48) + motor.Name().size() +
                 motor.Performance().propellant_name.value_or("").size() +
                 motor.Performance().burn_rate.size() * sizeof(BurnRatePiece);
    }
    for (const auto& row : view.figures.graph.table.rows) bytes += row.size() * sizeof(row[0]);
    return bytes;
}

DesignHistory::DesignHistory(Document& document) : document_(document) {}

DesignHistory::~DesignHistory() = default;

void DesignHistory::Attach(GrainEditor& grains, KnSummary& summary, NozzleSizing& sizing, TextBox* throat,
                           MotorPerformance* performance) {
    grains_ = &grains;
    performance_ = performance;
    summary_ = &summary;
    sizing_ = &sizing;
    throat_ = throat;
    current_ = std::make_shared<const DesignView>(Capture());
}

DesignView DesignHistory::Capture() const {
    // An unchanged motor is the one already kept, not another copy.
    const cMotor& motor = document_.Motor();
    std::shared_ptr<const cMotor> kept = current_ && SameMotor(motor, *current_->motor)
                                             ? current_->motor
                                             : std::make_shared<const cMotor>(motor.DetachedCopy());
    return {std::move(kept), throat_->text(), summary_->Shown()};
}

void DesignHistory::Reset() {
    document_.History().Clear();
    current_.reset();
    current_ = std::make_shared<const DesignView>(Capture());
}

void DesignHistory::Record(const QString& text) {
    auto now = std::make_shared<const DesignView>(Capture());
    if (now->motor != current_->motor || now->throat != current_->throat) {
        const std::size_t bytes = BytesOf(*now, current_.get());
        document_.History().Push(std::make_unique<Step>(*this, text, current_, now, bytes));
    }
    current_ = std::move(now);
}

void DesignHistory::ShowState(const std::shared_ptr<const DesignView>& shown) {
    const DesignView& view = *shown;
    // A step across a change of unit that converted the design's lengths
    // converts the grain fields back too (they are shown in the unit).
    double field_scale = 1.0;
    const std::optional<LengthUnit> from = document_.Motor().Performance().units, to = view.motor->Performance().units;
    if (from && to && *from != *to) {
        const double factor = MetresPer(*from) / MetresPer(*to);
        const double now = document_.Motor().NozzleDia(), then = view.motor->NozzleDia();
        // Converted, not only relabelled: the throat's size is the same.
        if (then > 0.0 && std::fabs(now * factor - then) <= 1e-5 * then) field_scale = factor;
    }
    document_.ReplaceMotor(std::make_unique<cMotor>(view.motor->DetachedCopy()));
    grains_->ShowGrains();
    if (field_scale != 1.0) grains_->ScaleFieldsBack(field_scale);
    throat_->setText(view.throat);
    summary_->Show(view.figures);
    // The graph was kept in the view it had then; the user's view now
    // stays (undo never changes which curves are shown), and so do the
    // motors compared with it.
    const MotorPerformance::Shown& then = view.figures.performance;
    if (performance_ && (performance_->PressureShown() != (then.pressure && then.pressure_enabled) ||
                         performance_->ThrustShown() != (then.thrust && then.thrust_enabled) ||
                         performance_->MassFluxShown() != (then.mass_flux && then.mass_flux_enabled) ||
                         performance_->Current().comparison != then.comparison)) {
        summary_->RedrawGraph();
    }
    current_ = shown;
    document_.SetChanged(true);
}

void DesignHistory::mnuUndo_Click() {
    sizing_->CommitEditedField();
    document_.History().Undo();
}

void DesignHistory::mnuRedo_Click() {
    sizing_->CommitEditedField();
    document_.History().Redo();
}

}  // namespace thrustlet
