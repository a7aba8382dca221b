#include "ui/kn_summary.h"

#include <QApplication>
#include <QLabel>
#include <cmath>

#include "model/kn_curve.h"
#include "model/kn_max.h"
#include "model/kn_summary.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "model/numeric.h"
#include "platform/busy_cursor.h"
#include "platform/locale_number.h"
#include "platform/text_box.h"
#include "ui/document.h"
#include "ui/kn_graph.h"
#include "ui/out_of_date.h"
#include "ui/report.h"

namespace thrustlet {

KnSummary::KnSummary(Document& document, IDialogs& dialogs, IBusyCursor& cursor, const Controls& controls)
    : document_(document), dialogs_(dialogs), cursor_(cursor), ui_(controls) {}

void KnSummary::InitGraph() { DrawPlaceholder(*ui_.grKN); }

namespace {
constexpr const char* kNoThroat = "No figures: the nozzle throat is not a number above 0.";
}  // namespace

// An empty, unreadable or non-positive throat, or a motor without grains,
// shows "N/A" in both Kn fields and leaves the motor's throat and the labels
// as they were. The performance and the graph would then show the figures of
// a throat the field no longer holds: they are cleared too.
void KnSummary::CalcKn() {
    BusyCursor busy(cursor_);
    ShowOutOfDate(QString(), QString());
    ClearTargetUnreached();
    bool updated = false;  // the performance figures
    Guarded(dialogs_, "CalcKn", [&] {
        cMotor& motor = document_.Motor();
        const QString nozzle_text = ui_.txtNozzleThroatDia->text();
        const bool no_grains = motor.GrainCount() <= 0;
        if (no_grains || !IsNumeric(nozzle_text) || !(FieldToDouble(nozzle_text) > 0.0)) {
            ui_.txtKN->setText("N/A");
            ui_.txtMaxKn->setText("N/A");
            if (!no_grains) {
                ClearForThroat();
                updated = true;
            }
            return;
        }
        motor.SetNozzleDia(FieldToSingle(nozzle_text));
        calculated_throat_ = nozzle_text;
        // One run of the design for every figure and curve; the performance
        // figures first: they say which curves the graph can add.
        const MotorRun run = RunMotor(motor);
        if (performance_) performance_->Update(run);
        updated = true;
        KnMaxOnce kn_max(motor);  // one computation for the graph and the summary
        KnCurve curve;
        const bool drawn = GraphKn(motor, *ui_.grKN, dialogs_, kn_max, &curve);
        if (drawn && performance_) performance_->DecorateGraph(curve, run);
        document_.SetBusy(true);
        WriteSummary(motor, kn_max);
    });
    document_.SetBusy(false);
    if (performance_ && !updated) performance_->Update();
}

void KnSummary::ClearForThroat() {
    calculated_throat_.clear();
    GraphLite& graph = *ui_.grKN;
    if (graph.Shown().secondary) graph.ClearSecondaryAxis();
    GraphTable empty;
    empty.rows.resize(2);
    graph.SetData(empty);
    graph.SetNote(kNoThroat);
    graph.Redraw();
    if (performance_) performance_->ShowCleared(kNoThroat);
}

void KnSummary::MarkOutOfDate(TextBox* target_field) {
    if (calculated_throat_.isEmpty()) return;  // no figures of a throat to be out of date
    ShowOutOfDate(calculated_throat_, target_field == ui_.txtKN ? "kn" : "max_kn");
}

void KnSummary::ShowOutOfDate(const QString& throat, const QString& target_field) {
    out_of_date_ = throat;
    target_field_ = throat.isEmpty() ? QString() : target_field;
    const bool faded = !throat.isEmpty();
    const QString note = faded ? OutOfDateNote(throat) : QString();
    QWidget* const figures[] = {ui_.lblWeb, ui_.lblGNRatio, ui_.lblVolumeLoading};
    for (QWidget* widget : figures) thrustlet::ShowOutOfDate(widget, faded, note);
    thrustlet::ShowOutOfDate(ui_.txtKN, faded && target_field_ != "kn", note);
    thrustlet::ShowOutOfDate(ui_.txtMaxKn, faded && target_field_ != "max_kn", note);
    GraphLite& graph = *ui_.grKN;
    if (graph.Shown().faded != faded) graph.SetFaded(faded);
    if (graph.Shown().note != note) graph.SetNote(note);
    if (performance_) performance_->ShowOutOfDate(note);
}

void KnSummary::MarkTargetUnreached(const QString& why) {
    TextBox* field = ui_.txtNozzleThroatDia;
    QPalette warning = field->palette();
    warning.setColor(QPalette::Text, QColor(255, 0, 0));
    field->setPalette(warning);
    field->setToolTip(why);
    field->setProperty("targetUnreached", true);
}

void KnSummary::ClearTargetUnreached() {
    TextBox* field = ui_.txtNozzleThroatDia;
    if (!field->property("targetUnreached").toBool()) return;
    field->setPalette(QPalette());
    field->setToolTip(QString());
    field->setProperty("targetUnreached", false);
}

void KnSummary::RedrawGraph() {
    if (calculated_throat_.isEmpty()) return;  // a placeholder, or cleared: no view to change
    Guarded(dialogs_, "GraphKn", [&] {
        cMotor motor = document_.Motor().DetachedCopy();
        motor.SetNozzleDia(FieldToSingle(calculated_throat_));
        KnMaxOnce kn_max(motor);
        KnCurve curve;
        if (GraphKn(motor, *ui_.grKN, dialogs_, kn_max, &curve) && performance_) {
            performance_->DecorateGraph(curve, RunMotor(motor));
        }
    });
    ShowOutOfDate(out_of_date_, target_field_);
}

void KnSummary::ShowEmptyDesign() {
    ShowOutOfDate(QString(), QString());
    ClearTargetUnreached();
    calculated_throat_.clear();
    for (QLabel* label : {ui_.lblWeb, ui_.lblGNRatio, ui_.lblVolumeLoading}) label->clear();
    InitGraph();
    if (performance_) performance_->Update();
}

// Fields are written one after the other, so a failure part-way leaves the
// earlier ones updated and the later ones as they were.
void KnSummary::WriteSummary(cMotor& motor, KnMaxOnce& kn_max) {
    ui_.txtKN->setText(TextOfDouble(motor.KN(0.0f)));
    ui_.txtMaxKn->setText(TextOfSingle(kn_max.Value()));
    ui_.lblWeb->setText(TextOfDouble(SummaryWeb(motor)));
    const float ratio = SummaryAreaRatio(motor);
    ui_.lblGNRatio->setText(TextOfSingle(ratio));
    SetRatioColour(ratio);
    ui_.lblVolumeLoading->setText(TextOfDouble(SummaryVolumeLoading(motor)) + "%");
}

// The label's normal text colour, yellow for a warning, red for a danger.
void KnSummary::SetRatioColour(float ratio) {
    QColor colour = QApplication::palette().color(QPalette::ButtonText);
    switch (LevelOfAreaRatio(ratio)) {
        case AreaRatioLevel::kDanger:
            colour = QColor(255, 0, 0);
            break;
        case AreaRatioLevel::kWarning:
            colour = QColor(255, 255, 0);
            break;
        case AreaRatioLevel::kOk:
            break;
    }
    QPalette palette = ui_.lblGNRatio->palette();
    palette.setColor(QPalette::WindowText, colour);
    ui_.lblGNRatio->setPalette(palette);
}

KnSummary::Figures KnSummary::Shown() const {
    return {ui_.txtKN->text(),
            ui_.txtMaxKn->text(),
            ui_.lblWeb->text(),
            ui_.lblGNRatio->text(),
            ui_.lblVolumeLoading->text(),
            ui_.lblGNRatio->palette().color(QPalette::WindowText),
            ui_.grKN->Shown(),
            performance_ ? performance_->Current() : MotorPerformance::Shown(),
            out_of_date_,
            target_field_,
            calculated_throat_};
}

void KnSummary::Show(const Figures& figures) {
    ClearTargetUnreached();
    ShowOutOfDate(figures.out_of_date, figures.target_field);
    // The window fills the Kn fields itself: leaving them must size nothing.
    document_.SetBusy(true);
    ui_.txtKN->setText(figures.kn);
    ui_.txtMaxKn->setText(figures.max_kn);
    document_.SetBusy(false);
    ui_.lblWeb->setText(figures.web);
    ui_.lblGNRatio->setText(figures.ratio);
    QPalette palette = ui_.lblGNRatio->palette();
    palette.setColor(QPalette::WindowText, figures.ratio_colour);
    ui_.lblGNRatio->setPalette(palette);
    ui_.lblVolumeLoading->setText(figures.volume_loading);
    ui_.grKN->Show(figures.graph);  // the note and the fading as they were
    if (performance_) performance_->Show(figures.performance);
    calculated_throat_ = figures.calculated_throat;
}

}  // namespace thrustlet
