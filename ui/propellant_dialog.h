#pragma once

#include <QDialog>
#include <optional>

#include "model/performance_inputs.h"
#include "platform/dialogs.h"

QT_BEGIN_NAMESPACE
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTableWidget;
QT_END_NAMESPACE

namespace thrustlet {

// What the Propellant dialog edits: the motor's four propellant values
// (SI when the design has a unit) and the rest of its performance inputs.
struct PropellantChoice {
    float c_star = 0.0f, density = 0.0f, a = 0.0f, n = 0.0f;
    PerformanceInputs inputs;
    // The factor every length of the design is to be multiplied by: 25.4
    // when the user chose to convert inches to millimetres, 1/25.4 the other
    // way, 1 when the unit only names what the numbers already are. The
    // lengths the dialog holds (the exit, the case) are converted already.
    double length_scale = 1.0;
    bool operator==(const PropellantChoice&) const = default;
};

// Asks the user for the propellant; nothing when cancelled. Tests answer it
// with a scripted stand-in.
class IPropellantEditor {
public:
    virtual ~IPropellantEditor() = default;
    virtual std::optional<PropellantChoice> Edit(const PropellantChoice& current, QWidget* parent) = 0;
};

// The dialog: the unit of the design's lengths, the propellant (picked from
// the library or typed), its burn-rate law as one a and n or as pieces, the
// exhaust's specific heat ratio, the nozzle's exit, efficiency and the
// ambient pressure, and the motor's hardware (case and mass). The burn-rate
// coefficient and the pressures show in the units builders use (mm/s and
// MPa with millimetres, in/s and psi with inches); everything is kept SI.
// The dialog never changes the unit by itself: a library entry shows in the
// design's unit, and changing the unit asks whether the design's lengths
// are converted or only named anew.
class PropellantDialog : public QDialog {
    Q_OBJECT
public:
    // `messages` tells the user why a choice is refused.
    PropellantDialog(const PropellantChoice& current, IDialogs& messages, QWidget* parent = nullptr);

    // The choice as the fields hold it; false (with `problem` naming the
    // field) when a field is not a number.
    bool Read(PropellantChoice* choice, QString* problem) const;
    void PickLibrary(int index);
    // Import from File: the propellant of a motor file of any of the three
    // formats (its name, c*, density, burn-rate law, k and molar mass) into
    // the fields, in the dialog's units; the nozzle's fields stay.
    void ImportPropellant();

    void accept() override;

private:
    void ShowUnits();
    void ShowChoice(const PropellantChoice& choice);
    void ShowPropellant(const PropellantChoice& choice);
    void ShowNozzle(const PerformanceInputs& inputs);
    QGroupBox* CreateLossesGroup();
    void ShowLosses(const PerformanceInputs& inputs);
    void UnitChanged();
    // Converts the lengths the dialog shows (exit, case) by `factor`.
    void ScaleLengths(double factor);
    void AddPiece(const BurnRatePiece& piece);
    std::optional<LengthUnit> Unit() const;

    QComboBox* cboLibrary;
    QLabel* lblSource;
    QLineEdit* txtName;
    QComboBox* cboUnits;
    QLineEdit* txtCStar;
    QLineEdit* txtDensity;
    QLabel* lblCoefficient;
    QLineEdit* txtA;
    QLineEdit* txtN;
    QTableWidget* grdPieces;
    QLineEdit* txtK;
    QLabel* lblExit;
    QLineEdit* txtExit;
    QLineEdit* txtEfficiency;
    QLabel* lblAmbient;
    QLineEdit* txtAmbient;
    QLabel* lblCaseDiameter;
    QLineEdit* txtCaseDiameter;
    QLabel* lblCaseLength;
    QLineEdit* txtCaseLength;
    QLineEdit* txtHardwareMass;
    QLineEdit* txtCombustionEfficiency;
    QLineEdit* txtDivergence;
    QLineEdit* txtConvergence;
    QLabel* lblThroatLength;
    QLineEdit* txtThroatLength;
    QLineEdit* txtThroatErosion;
    QLineEdit* txtSlag;
    QLabel* lblWebBurnout;
    QLineEdit* txtWebBurnout;
    QLineEdit* txtErosiveAlpha;
    QLineEdit* txtErosiveBeta;
    QLineEdit* txtErosiveThreshold;
    QLineEdit* txtErosiveKv;
    std::optional<LengthUnit> shown_unit_;
    double length_scale_ = 1.0;
    // The exhaust's molar mass the propellant came with (not shown; kept
    // for writing other programs' files).
    std::optional<float> molar_mass_;
    IDialogs& messages_;
};

// The real editor: the dialog, modal over the window.
class QtPropellantEditor : public IPropellantEditor {
public:
    std::optional<PropellantChoice> Edit(const PropellantChoice& current, QWidget* parent) override;
};

}  // namespace thrustlet
