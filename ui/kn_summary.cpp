#include "ui/kn_summary.h"

#include <QApplication>
#include <QLabel>
#include <cmath>

#include "model/kn_curve.h"
#include "model/kn_max.h"
#include "model/motor.h"
#include "model/numeric.h"
#include "platform/busy_cursor.h"
#include "platform/locale_number.h"
#include "platform/text_box.h"
#include "ui/document.h"
#include "ui/kn_graph.h"
#include "ui/report.h"

namespace thrustlet {

KnSummary::KnSummary(Document& document, IDialogs& dialogs, IBusyCursor& cursor, const Controls& controls)
    : document_(document), dialogs_(dialogs), cursor_(cursor), ui_(controls) {}

void KnSummary::InitGraph() { DrawPlaceholder(*ui_.grKN); }

// An empty, unreadable or non-positive throat, or a motor without grains,
// shows "N/A" in both Kn fields and leaves the motor's throat, the graph and
// the labels as they were.
void KnSummary::CalcKn() {
    BusyCursor busy(cursor_);
    bool updated = false;  // the performance figures
    Guarded(dialogs_, "CalcKn", [&] {
        cMotor& motor = document_.Motor();
        const QString nozzle_text = ui_.txtNozzleThroatDia->text();
        if (motor.GrainCount() <= 0 || !IsNumeric(nozzle_text) || !(FieldToDouble(nozzle_text) > 0.0)) {
            ui_.txtKN->setText("N/A");
            ui_.txtMaxKn->setText("N/A");
            return;
        }
        motor.SetNozzleDia(FieldToSingle(nozzle_text));
        // The performance figures first: they say which curves the graph
        // can add to the Kn curve.
        if (performance_) performance_->Update();
        updated = true;
        KnMaxOnce kn_max(motor);  // one computation for the graph and the summary
        KnCurve curve;
        const bool drawn = GraphKn(motor, *ui_.grKN, dialogs_, kn_max, &curve);
        if (drawn && performance_) performance_->DecorateGraph(curve);
        document_.SetBusy(true);
        WriteSummary(motor, kn_max);
    });
    document_.SetBusy(false);
    if (performance_ && !updated) performance_->Update();
}

// Fields are written one after the other, so a failure part-way leaves the
// earlier ones updated and the later ones as they were.
void KnSummary::WriteSummary(cMotor& motor, KnMaxOnce& kn_max) {
    ui_.txtKN->setText(TextOfDouble(motor.KN(0.0f)));
    ui_.txtMaxKn->setText(TextOfSingle(kn_max.Value()));
    ui_.lblWeb->setText(TextOfDouble(RoundDecimals(motor.WebThickness(), 2)));

    // Throat area over the core area of the nozzle-end (last) grain.
    const float throat_area = motor.NozzleThroatArea();
    const float core = motor.Grain(motor.GrainCount())->CoreDiameter();
    const double core_area = kPi * std::pow(core / 2.0, 2.0);
    const float ratio = ToSingle(RoundDecimals(CheckedDivide(throat_area, core_area), 2));
    ui_.lblGNRatio->setText(TextOfSingle(ratio));
    SetRatioColour(ratio);

    ui_.lblVolumeLoading->setText(TextOfDouble(RoundDecimals(motor.VolumeLoadingPercent(), 1)) + "%");
}

// Up to 0.64 the label's normal text colour; 0.65 to 1 yellow; above 1 red.
// (A shown ratio lies on a 0.01 grid, so 0.64 is the last default value.)
void KnSummary::SetRatioColour(float ratio) {
    QColor colour = QApplication::palette().color(QPalette::ButtonText);
    if (ratio > 1.0f) {
        colour = QColor(255, 0, 0);
    } else if (ratio >= 0.65f) {
        colour = QColor(255, 255, 0);
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
            performance_ ? performance_->Current() : MotorPerformance::Shown()};
}

void KnSummary::Show(const Figures& figures) {
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
    ui_.grKN->Show(figures.graph);
    if (performance_) performance_->Show(figures.performance);
}

}  // namespace thrustlet
