// The Static Firing dialog's burn-rate fit: the points from the firings and
// the strand burner, the fitted law and what Use This Law gives back.
#include "ui/static_firing_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
    std::optional<FittedLaw> fitted = fit_.Ok() ? std::optional<FittedLaw>(LawOfFit(fit_)) : std::nullopt;
    if (TraceMode()) fitted = trace_fit_ && trace_fit_->Ok() ? std::optional<FittedLaw>(trace_fit_->law) : std::nullopt;
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

bool StaticFiringDialog::TraceMode() const { return cboPoints->currentIndex() == 2; }

const Firing* StaticFiringDialog::FittedTraceOf(int row) const {
    if (!trace_fit_ || !trace_fit_->Ok()) return nullptr;
    for (std::size_t k = 0; k < trace_rows_.size() && k < trace_fit_->fitted.size(); ++k) {
        if (trace_rows_[k] == row) return &trace_fit_->fitted[k];
    }
    return nullptr;
}

QString StaticFiringDialog::TraceFittedText() const {
    const TraceFit& fit = *trace_fit_;
    const DisplayUnits units = run_.Units();
    const double per = units.PascalsPerPressure();
    QString text;
    std::vector<BurnRatePiece> pieces = fit.law.pieces;
    if (pieces.empty()) pieces.push_back({0.0f, 0.0f, fit.law.a, fit.law.n});
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        const BurnRatePiece& piece = pieces[k];
        const QString range = pieces.size() == 1 ? QString("One law")
                              : k == 0            ? QString("Below %1 %2").arg(FiringFigureText(piece.p_max / per, 3), units.PressureWord())
                              : k + 1 == pieces.size()
                                  ? QString("Above %1 %2").arg(FiringFigureText(piece.p_min / per, 3), units.PressureWord())
                                  : QString("From %1 to %2 %3")
                                        .arg(FiringFigureText(piece.p_min / per, 3), FiringFigureText(piece.p_max / per, 3),
                                             units.PressureWord());
        text += QString("%1: a = %2, n = %3 (r in %4, P in %5; in SI a = %6 with m/s and Pa).\n")
                    .arg(range, FiringFigureText(units.ShownCoefficient(piece.a, piece.n), 4), FiringFigureText(piece.n, 3),
                         units.RateWord(), units.PressureWord())
                    .arg(QString::number(piece.a, 'g', 6));
    }
    text += QString("Combustion efficiency %1").arg(FiringFigureText(fit.combustion_efficiency, 4));
    if (fit.nozzle_efficiency) text += QString(", nozzle efficiency %1").arg(FiringFigureText(*fit.nozzle_efficiency, 4));
    if (fit.erosive_alpha && fit.erosive_beta) {
        text += QString(", erosive alpha %1 and beta %2 (SI)")
                    .arg(QString::number(*fit.erosive_alpha, 'g', 4), QString::number(*fit.erosive_beta, 'g', 4));
    }
    text += ".";
    for (std::size_t k = 0; k < fit.pressure_rms_pa.size() && k < trace_rows_.size(); ++k) {
        const double mean = fit.mean_pressure_pa[k];
        text += QString("\n%1: the fitted pressure is %2 %3 RMS off the measured (%4 % of its mean).")
                    .arg(loaded_[static_cast<size_t>(trace_rows_[k])].FileName(),
                         FiringFigureText(fit.pressure_rms_pa[k] / per, 3), units.PressureWord(),
                         FiringFigureText(mean > 0.0 ? 100.0 * fit.pressure_rms_pa[k] / mean : 0.0, 2));
    }
    return text;
}

bool StaticFiringDialog::FitTrace() {
    std::vector<TraceFitFiring> firings;
    trace_rows_.clear();
    for (std::size_t row = 0; row < loaded_.size(); ++row) {
        const FiringRecord& record = loaded_[row];
        if (!record.firing || !record.figures || !record.firing->HasPressure()) continue;
        TraceFitFiring firing;
        firing.design = run_.Design().DetachedCopy();
        firing.firing = *record.firing;
        firing.figures = *record.figures;
        firing.source = record.FileName().toStdString();
        firings.push_back(std::move(firing));
        trace_rows_.push_back(static_cast<int>(row));
    }
    if (firings.empty()) {
        trace_fit_ = TraceFit{};
        trace_fit_->problem = "no firing with a chamber pressure to fit the trace to";
    } else {
        TraceFitOptions options;
        for (const QString& part : txtBreaks->text().split(QRegularExpression("[;\\s]+"), Qt::SkipEmptyParts)) {
            if (IsNumeric(part)) options.breaks.push_back(FieldToDouble(part) * run_.Units().PascalsPerPressure());
        }
        std::sort(options.breaks.begin(), options.breaks.end());
        options.erosive = chkErosive->isChecked();
        trace_fit_ = FitTraces(firings, options);
    }
    if (!trace_fit_->Ok()) {
        QString problem = QString::fromStdString(trace_fit_->problem);
        problem[0] = problem[0].toUpper();
        lblFit->setText(problem + ".");
    } else {
        lblFit->setText(TraceFittedText());
    }
    SelectFiring(lstFirings->currentRow());  // the fitted trace over the measured one
    ShowPoints();
    return trace_fit_->Ok();
}

bool StaticFiringDialog::Fit() {
    if (TraceMode()) return FitTrace();
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
    if (TraceMode() ? !(trace_fit_ && trace_fit_->Ok()) && !Fit() : !fit_.Ok() && !Fit()) {
        dialogs_.MsgBox("There is no law to use: " + lblFit->text(), MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
        return;
    }
    use_law_ = true;
    accept();
}

FiringChoice StaticFiringDialog::Choice() const {
    FiringChoice choice;
    for (const FiringRecord& loaded : loaded_) choice.firings.push_back(loaded.source);
    if (use_law_ && TraceMode() && trace_fit_ && trace_fit_->Ok()) {
        const TraceFit& fit = *trace_fit_;
        choice.law = fit.law;
        choice.combustion_efficiency = static_cast<float>(std::clamp(fit.combustion_efficiency, 1e-3, 1.0));
        if (fit.nozzle_efficiency) choice.nozzle_efficiency = static_cast<float>(std::clamp(*fit.nozzle_efficiency, 1e-3, 1.0));
        if (fit.erosive_alpha) choice.erosive_alpha = static_cast<float>(*fit.erosive_alpha);
        if (fit.erosive_beta) choice.erosive_beta = static_cast<float>(*fit.erosive_beta);
        choice.full_model = true;
        return choice;
    }
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
