// The motor summary: initial and maximum Kn, web, nozzle-to-core area ratio
// with its colour warning, and volume loading, all from the model.
#include <QApplication>
#include <QLabel>
#include <cmath>

#include "app/busy_cursor.h"
#include "model/kn_max.h"
#include "model/numeric.h"
#include "platform/locale_number.h"
#include "platform/text_box.h"
#include "ui/kn_graph.h"
#include "ui/main_window.h"

namespace thrustlet {

void frmMain::CalcKn() {
    cursor_.SetHourglass();
    try {
        cMotor& motor = state_.Motor();
        const QString nozzle_text = txtNozzleThroatDia->text();
        if (motor.GrainCount() <= 0 || !IsNumeric(nozzle_text) || !(FieldToDouble(nozzle_text) > 0.0)) {
            txtKN->setText("N/A");
            txtMaxKn->setText("N/A");
        } else {
            motor.SetNozzleDia(FieldToSingle(nozzle_text));
            KnMaxOnce kn_max(motor);  // one computation for the graph and the summary
            GraphKn(motor, *grKN, dialogs_, kn_max);
            state_.bBusy = true;
            WriteSummary(motor, kn_max);
        }
    } catch (const RunTimeError& error) {
        ReportError(error.Description(), "CalcKn");
    } catch (const std::exception& error) {
        ReportError(error.what(), "CalcKn");
    }
    state_.bBusy = false;
    cursor_.SetDefault();
}

// Fields are written one after the other, so a failure part-way leaves the
// earlier ones updated and the later ones as they were.
void frmMain::WriteSummary(cMotor& motor, KnMaxOnce& kn_max) {
    txtKN->setText(TextOfDouble(motor.KN(0.0f)));
    txtMaxKn->setText(TextOfSingle(kn_max.Value()));
    lblWeb->setText(TextOfDouble(RoundDecimals(motor.WebThickness(), 2)));

    // Throat area over the core area of the nozzle-end (last) grain.
    const float throat_area = motor.NozzleThroatArea();
    const float core = motor.Grain(motor.GrainCount())->CoreDiameter();
    const double core_area = kPi * std::pow(core / 2.0, 2.0);
    const float ratio = ToSingle(RoundDecimals(CheckedDivide(throat_area, core_area), 2));
    lblGNRatio->setText(TextOfSingle(ratio));
    SetRatioColour(ratio);

    lblVolumeLoading->setText(TextOfDouble(RoundDecimals(motor.VolumeLoadingPercent(), 1)) + "%");
}

// Up to 0.64 the label's normal text colour; 0.65 to 1 yellow; above 1 red.
// (A shown ratio lies on a 0.01 grid, so 0.64 is the last default value.)
void frmMain::SetRatioColour(float ratio) {
    QColor colour = QApplication::palette().color(QPalette::ButtonText);
    if (ratio > 1.0f) {
        colour = QColor(255, 0, 0);
    } else if (ratio >= 0.65f) {
        colour = QColor(255, 255, 0);
    }
    QPalette palette = lblGNRatio->palette();
    palette.setColor(QPalette::WindowText, colour);
    lblGNRatio->setPalette(palette);
}

}  // namespace thrustlet
