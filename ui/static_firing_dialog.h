#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "model/burn_rate_fit.h"
#include "model/firing_analysis.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "model/trace_fit.h"
#include "platform/dialogs.h"
#include "ui/firing_records.h"

QT_BEGIN_NAMESPACE
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;
QT_END_NAMESPACE

namespace thrustlet {

class GraphLite;

// What the Static Firing dialog gives back: the firings the design keeps,
// and the fitted law to use with, when asked, the firings' mean c*
// efficiency as the design's combustion efficiency (the propellant keeps
// its own c*).
struct FiringChoice {
    std::vector<PerformanceInputs::StaticFiring> firings;
    std::optional<FittedLaw> law;
    std::optional<float> combustion_efficiency;
    // A law fitted to the whole traces brings the nozzle's efficiency
    // measured by the thrust, the erosive coefficients when they were
    // fitted, and the full model it was fitted with.
    std::optional<float> nozzle_efficiency;
    std::optional<float> erosive_alpha, erosive_beta;
    bool full_model = false;
};

// Motor > Static Firing: the design's firings (logs added and removed; a
// log that is not there stays listed, named missing), each one's measured
// figures beside the prediction, its traces dashed over the predicted ones,
// the burn-rate points (every firing's, by the motor or the pressure-integral
// method, and typed strand-burner points) on a log-log plot with the design's
// law and the fitted one, and "Use this law".
class StaticFiringDialog : public QDialog {
    Q_OBJECT
public:
    StaticFiringDialog(const cMotor& design, IDialogs& dialogs, QWidget* parent = nullptr);
    ~StaticFiringDialog() override;

    // Adds a log to the list, read or not (the design's own firings).
    void AddFiring(const PerformanceInputs::StaticFiring& firing);
    void RemoveFiring(int row);
    void SelectFiring(int row);
    // Fits the law to the points chosen; false (with the reason shown) when
    // there is none.
    bool Fit();
    // Accepts with the fitted law.
    void UseThisLaw();

    FiringChoice Choice() const;
    // What the dialog knows of each firing, for checks.
    const std::vector<FiringRecord>& Firings() const { return loaded_; }
    const BurnRateFit& LastFit() const { return fit_; }
    const std::optional<TraceFit>& LastTraceFit() const { return trace_fit_; }
    std::vector<BurnRatePoint> Points() const;

private:
    void Reload(int row);
    void AddRecord(FiringRecord record);
    void ShowItem(int row);
    void ShowFigures();
    void ShowPoints();
    void AddClicked();
    QString FittedText() const;
    // The whole traces fitted by the full model (Points: the third choice).
    bool TraceMode() const;
    bool FitTrace();
    QString TraceFittedText() const;
    // The fitted trace of the firing in `row`, when the last trace fit had it.
    const Firing* FittedTraceOf(int row) const;

    MotorRun run_;  // one run of the design for the dialog's life
    IDialogs& dialogs_;
    std::optional<FiringFigures> predicted_;
    std::vector<FiringRecord> loaded_;
    BurnRateFit fit_;
    std::optional<TraceFit> trace_fit_;
    std::vector<int> trace_rows_;  // the rows of the firings the trace fit used
    bool use_law_ = false;

    QListWidget* lstFirings;
    QLineEdit* txtUnits;
    QCheckBox* chkAbsolute;
    QTableWidget* grdFigures;
    GraphLite* grFiring;
    GraphLite* grBurnRate;
    QComboBox* cboPoints;
    QLineEdit* txtBreaks;
    QTableWidget* grdStrand;
    QCheckBox* chkCStar;
    QCheckBox* chkErosive;
    QLabel* lblFit;
};

// Asks for the firings; nothing when cancelled. Tests answer it with a
// scripted stand-in.
class IFiringEditor {
public:
    virtual ~IFiringEditor() = default;
    virtual std::optional<FiringChoice> Edit(const cMotor& design, QWidget* parent) = 0;
};

class QtFiringEditor : public IFiringEditor {
public:
    std::optional<FiringChoice> Edit(const cMotor& design, QWidget* parent) override;
};

}  // namespace thrustlet
