#include "ui/design_history.h"

#include <QUndoStack>
#include <cstring>

#include "model/motor.h"
#include "platform/text_box.h"
#include "ui/document.h"
#include "ui/grain_editor.h"
#include "ui/nozzle_sizing.h"

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
            !SameBits(x.Diameter(), y.Diameter()) || !SameBits(x.CoreDiameter(), y.CoreDiameter())) {
            return false;
        }
    }
    return true;
}

}  // namespace

// One change: the states before and after it. The change has happened when
// the step is recorded, so its first redo shows nothing.
class DesignHistory::Step : public QUndoCommand {
public:
    Step(DesignHistory& history, const QString& text, DesignView before, DesignView after)
        : QUndoCommand(text), history_(history), before_(std::move(before)), after_(std::move(after)) {}
    void undo() override { history_.ShowState(before_); }
    void redo() override {
        if (first_) {
            first_ = false;
            return;
        }
        history_.ShowState(after_);
    }

private:
    DesignHistory& history_;
    DesignView before_, after_;
    bool first_ = true;
};

DesignHistory::DesignHistory(Document& document) : document_(document) {}

DesignHistory::~DesignHistory() = default;

void DesignHistory::Attach(GrainEditor& grains, KnSummary& summary, NozzleSizing& sizing, TextBox* throat) {
    grains_ = &grains;
    summary_ = &summary;
    sizing_ = &sizing;
    throat_ = throat;
    current_ = Capture();
}

DesignView DesignHistory::Capture() const {
    return {std::make_shared<const cMotor>(document_.Motor().DetachedCopy()), throat_->text(), summary_->Shown()};
}

void DesignHistory::Reset() {
    document_.History().clear();
    current_ = Capture();
}

void DesignHistory::Record(const QString& text) {
    DesignView now = Capture();
    if (!SameMotor(*now.motor, *current_.motor) || now.throat != current_.throat) {
        document_.History().push(new Step(*this, text, current_, now));
    }
    current_ = std::move(now);
}

void DesignHistory::ShowState(const DesignView& view) {
    document_.ReplaceMotor(std::make_unique<cMotor>(view.motor->DetachedCopy()));
    grains_->ShowGrains();
    throat_->setText(view.throat);
    summary_->Show(view.figures);
    current_ = view;
    document_.SetChanged(true);
}

void DesignHistory::mnuUndo_Click() {
    sizing_->CommitEditedField();
    document_.History().undo();
}

void DesignHistory::mnuRedo_Click() {
    sizing_->CommitEditedField();
    document_.History().redo();
}

}  // namespace thrustlet
