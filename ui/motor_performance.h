#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "ui/grains_panel.h"

QT_BEGIN_NAMESPACE
class QAction;
class QGroupBox;
class QLabel;
class QMainWindow;
QT_END_NAMESPACE

namespace thrustlet {

class cMotor;
class MotorComparison;
class MotorRun;
class Document;
class GraphLite;
class IPropellantEditor;
class TextBox;
struct KnCurve;

// The motor's performance in the window: the Motor menu (the Propellant
// dialog and the graph's pressure and thrust views), the Performance group
// beside the summary (shown for a design with a propellant), and the curves
// the graph adds to its Kn look when asked.
class MotorPerformance {
public:
    static constexpr int kFigures = 11;  // the group's value labels, the note last
    // The captions of the group's figures, in the labels' order.
    static constexpr std::array<const char*, kFigures - 1> kCaptions = {
        "Peak pressure:",   "Burn time:",      "Total impulse:", "Average thrust:", "Peak thrust:",
        "Propellant mass:", "Delivered Isp:",  "Designation:",   "Peak mass flux:", "Min port/throat:"};
    struct Controls {
        QMainWindow* window;
        QGroupBox* Frame4;
        std::array<QLabel*, kFigures> values;
        GraphLite* grKN;
        QAction* mnuPropellant;
        QAction* mnuShowPressure;
        QAction* mnuShowThrust;
        QAction* mnuShowMassFlux;
        // Checked while the design is figured by the full model.
        QAction* mnuFullModel;
        TextBox* txtNozzleThroatDia;
        std::array<QLabel*, 2> lblLengthUnit;  // beside the grains' and the motor's lengths
    };
    MotorPerformance(Document& document, const Controls& controls);
    ~MotorPerformance();

    // The dialog the Propellant item shows (a scripted one in tests).
    void SetEditor(std::unique_ptr<IPropellantEditor> editor);
    // What recalculates the window (the summary's CalcKn).
    void SetRecalculation(std::function<void()> recalculate) { recalculate_ = std::move(recalculate); }
    // What shows the grains again once their lengths were converted to
    // another unit (by the factor given).
    void SetLengthsConverted(std::function<void(double)> converted) { lengths_converted_ = std::move(converted); }
    // The grains panel each update fills with the flow and the alerts.
    void Attach(GrainsPanel& grains) { grains_ = &grains; }
    // The motors compared with the design: laid over the views it draws.
    void Attach(MotorComparison& comparison) { comparison_ = &comparison; }

    void mnuPropellant_Click();
    void mnuShowPressure_Click();
    void mnuShowThrust_Click();
    void mnuShowMassFlux_Click();
    // Switches the design between the steady and the full model (one undo step).
    void mnuFullModel_Click();

    // Fills the group from a run of the design (every recalculation makes
    // one), or from a run made of the design as it is.
    void Update(const MotorRun& run);
    void Update();
    // After the Kn curve was drawn from `curve`: the run's pressure curve on
    // its own axis, or the thrust or mass-flux curve in its place, when
    // shown.
    void DecorateGraph(const KnCurve& curve, const MotorRun& run);

    // The throat field holds no throat: no figures, `why` in the note, and
    // no pressure or thrust view.
    void ShowCleared(const QString& why);
    // Fades the figures with `note` as their tool tip ("" shows them as
    // current).
    void ShowOutOfDate(const QString& note);
    // The view the graph shows: the pressure curve beside Kn, the thrust
    // curve, or neither (each only where the design's figures allow it).
    bool PressureShown() const;
    bool ThrustShown() const;
    bool MassFluxShown() const;

    // The group's texts and the views, for the edit history.
    struct Shown {
        std::array<QString, kFigures> texts;
        bool visible = false, pressure = false, thrust = false, pressure_enabled = false, thrust_enabled = false;
        bool mass_flux = false, mass_flux_enabled = false;
        int comparison = 0;  // the compared motors' generation the graph was drawn with
        QString title;  // the group's, naming the model chosen
        bool full_model = false, full_model_enabled = false;
        GrainsPanelShown grains;
        bool operator==(const Shown&) const = default;
    };
    Shown Current() const;
    // Shows the texts and which views the design allows; the views the user
    // chose stay as they are (undoing an edit never changes them).
    void Show(const Shown& shown);

private:
    void SetGroupVisible(bool visible);
    // Names the design's unit of lengths beside them (nothing without one).
    void ShowLengthUnit();
    void ConvertLengths(double factor);
    void ChooseView(QAction* chosen);

    Document& document_;
    Controls ui_;
    std::unique_ptr<IPropellantEditor> editor_;
    std::function<void()> recalculate_;
    std::function<void(double)> lengths_converted_;
    GrainsPanel* grains_ = nullptr;
    MotorComparison* comparison_ = nullptr;
};

}  // namespace thrustlet
