#pragma once

#include <QString>
#include <memory>

#include "ui/kn_summary.h"

namespace thrustlet {

class cMotor;
class Document;
class GrainEditor;
class NozzleSizing;
class TextBox;

// One state of the design as the window shows it: the grains, the throat
// (the motor's and its field's text) and every figure of the summary and
// the graph.
struct DesignView {
    std::shared_ptr<const cMotor> motor;  // grains of its own
    QString throat;
    KnSummary::Figures figures;
};

// About the memory a state keeps of its own (a motor shared with the
// state before it is not counted again).
std::size_t BytesOf(const DesignView& view, const DesignView* before);

// Undo and redo over every change to the design: grains added, applied or
// removed, a typed throat, a sizing result. Each step puts back the grains,
// the throat and the window's figures exactly as they were (no
// recalculation: the figures are the ones shown then), in the graph's view
// the user has chosen now. New and opening a file start a fresh history.
// Undo and redo both mark the design changed. A step keeps each state once
// (shared with its neighbours), and the history drops its oldest steps past
// its limits.
class DesignHistory {
public:
    explicit DesignHistory(Document& document);
    ~DesignHistory();

    // The parts of the window a state is read from and shown in.
    void Attach(GrainEditor& grains, KnSummary& summary, NozzleSizing& sizing, TextBox* throat,
                MotorPerformance* performance = nullptr);

    // Starts afresh from what the window shows now.
    void Reset();
    // After a handler that may have changed the design: when the motor or
    // the throat's text differs from the last recorded state, one step
    // named `text` ("Add Grain") is added. The figures are taken as shown.
    void Record(const QString& text);

    // The Edit menu's Undo and Redo. A motor field the user is typing in is
    // taken first, as if its focus had been lost.
    void mnuUndo_Click();
    void mnuRedo_Click();

    // The state the window shows now.
    DesignView Capture() const;
    // Puts a recorded state back on the window and takes it as the last
    // recorded one; the design is marked changed, as every edit marks it.
    void ShowState(const std::shared_ptr<const DesignView>& view);

private:
    class Step;

    Document& document_;
    GrainEditor* grains_ = nullptr;
    KnSummary* summary_ = nullptr;
    NozzleSizing* sizing_ = nullptr;
    TextBox* throat_ = nullptr;
    MotorPerformance* performance_ = nullptr;
    std::shared_ptr<const DesignView> current_;  // the state after the last recorded change
};

}  // namespace thrustlet
