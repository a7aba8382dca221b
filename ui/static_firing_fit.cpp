// The Static Firing dialog's burn-rate fit: the points from the firings and
// the strand burner, the fitted law and what Use This Law gives back.
#include "ui/static_firing_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "model/static_firing.h"
#include "platform/graph_lite.h"
#include "platform/locale_number.h"
#include "platform/qt_dialogs.h"
#include "thrustlet/identity.h"
#include "ui/firing_graphs.h"

namespace thrustlet {

std::vector<BurnRatePoint> StaticFiringDialog::Points() const {
    std::vector<BurnRatePoint> points;
    const PointsMethod method = cboPoints->currentIndex() == 1 ? PointsMethod::kInstant : PointsMethod::kAverage;
    for (const FiringRecord& loaded : loaded_) {
        for (const BurnRatePoint& p : BurnRatePointsOf(loaded, run_, method, loaded.FileName().toStdString())) {
            points.push_back(p);
        }
    }
    const DisplayUnits units = run_.Units();
    for (int row = 0; row < grdStrand->rowCount(); ++row) {
        const QTableWidgetItem* pressure = grdStrand->item(row, 0);
        const QTableWidgetItem* rate = grdStrand->item(row, 1);
        if (!pressure || !rate || !IsNumeric(pressure->text()) || !IsNumeric(rate->text())) continue;
        try {
            points.push_back({FieldToDouble(pressure->text()) * units.PascalsPerPressure(),
                              FieldToDouble(rate->text()) * units.MetresPerSecondPerRate(), "strand burner"});
        } catch (const std::exception&) {
        }
    }
    return points;
}

void StaticFiringDialog::ShowPoints() {
    const std::optional<FittedLaw> fitted = fit_.Ok() ? std::optional<FittedLaw>(LawOfFit(fit_)) : std::nullopt;
    DrawBurnRatePoints(*grBurnRate, run_.Design(), Points(), fitted);
}

QString StaticFiringDialog::FittedText() const {
    const DisplayUnits units = run_.Units();
    QString text;
    for (const FitPiece& piece : fit_.pieces) {
        const double shown_a = units.ShownCoefficient(static_cast<float>(piece.a), piece.n);
        const double per = units.PascalsPerPressure();
        text += QString("From %1 to %2 %3 (%4 points): a = %5, n = %6 (r in %7, P in %3; in SI a = %8 with m/s and Pa).\n")
                    .arg(FiringFigureText(piece.p_min / per, 3), FiringFigureText(piece.p_max / per, 3), units.PressureWord())
                    .arg(piece.points)
                    .arg(FiringFigureText(shown_a, 4), FiringFigureText(piece.n, 3), units.RateWord())
                    .arg(QString::number(piece.a, 'g', 6));
    }
    double worst = 0.0;
    for (double r : fit_.residuals) worst = std::max(worst, std::fabs(r));
    text += QString("R\u00b2 = %1; the farthest point is %2 % off the law.").arg(FiringFigureText(fit_.r2, 4), FiringFigureText(100.0 * worst, 2));
    return text;
}

bool StaticFiringDialog::Fit() {
    std::vector<double> breaks;
    const DisplayUnits units = run_.Units();
    for (const QString& part : txtBreaks->text().split(QRegularExpression("[;\\s]+"), Qt::SkipEmptyParts)) {
        if (!IsNumeric(part)) {
            lblFit->setText("The break pressures must be numbers, parted by spaces or semicolons.");
            return false;
        }
        breaks.push_back(FieldToDouble(part) * units.PascalsPerPressure());
    }
    fit_ = FitBurnRate(Points(), breaks);
    if (!fit_.Ok()) {
        QString problem = QString::fromStdString(fit_.problem);
        problem[0] = problem[0].toUpper();
        lblFit->setText(problem + ".");
    } else {
        lblFit->setText(FittedText());
    }
    ShowPoints();
    return fit_.Ok();
}

void StaticFiringDialog::UseThisLaw() {
    if (!fit_.Ok() && !Fit()) {
        dialogs_.MsgBox("There is no law to use: " + lblFit->text(), MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
        return;
    }
    use_law_ = true;
    accept();
}

FiringChoice StaticFiringDialog::Choice() const {
    FiringChoice choice;
    for (const FiringRecord& loaded : loaded_) choice.firings.push_back(loaded.source);
    if (use_law_ && fit_.Ok()) {
        choice.law = LawOfFit(fit_);
        if (chkCStar->isChecked()) {
            std::vector<const FiringFigures*> measured;
            for (const FiringRecord& loaded : loaded_) measured.push_back(loaded.figures ? &*loaded.figures : nullptr);
            // The chamber delivers at most the propellant's c*: a firing that
            // measured more (a pressure reading high) is taken as 1.
            if (const std::optional<double> efficiency = MeanCStarEfficiency(measured)) {
                choice.combustion_efficiency = static_cast<float>(std::clamp(*efficiency, 1e-3, 1.0));
            }
        }
    }
    return choice;
}

std::optional<FiringChoice> QtFiringEditor::Edit(const cMotor& design, QWidget* parent) {
    QtDialogs dialogs;
    StaticFiringDialog dialog(design, dialogs, parent);
    dialogs.SetParent(&dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

}  // namespace thrustlet
