#include "ui/motor_performance.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <algorithm>
#include <cmath>

#include "model/kn_curve.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "model/alerts.h"
#include "model/mass_flux.h"
#include "model/performance.h"
#include "model/propellant_library.h"
#include "platform/graph_lite.h"
#include "platform/locale_number.h"
#include "platform/text_box.h"
#include "ui/grains_panel.h"
#include "ui/motor_comparison.h"
#include "ui/out_of_date.h"
#include "ui/document.h"
#include "ui/performance_graph.h"
#include "ui/propellant_dialog.h"
#include "ui/report.h"
#include "ui/twips.h"

namespace thrustlet {

namespace {

constexpr const char* kNoFigure = "\u2014";
// How much wider the window is while the group shows (its width and a gap).
constexpr int kGroupTwips = 3000 + 126;

}  // namespace

MotorPerformance::MotorPerformance(Document& document, const Controls& controls)
    : document_(document), ui_(controls), editor_(std::make_unique<QtPropellantEditor>()) {}

MotorPerformance::~MotorPerformance() = default;

void MotorPerformance::SetEditor(std::unique_ptr<IPropellantEditor> editor) { editor_ = std::move(editor); }

void MotorPerformance::SetGroupVisible(bool visible) { ShowBeside(ui_.window, ui_.Frame4, visible, kGroupTwips); }

void MotorPerformance::ShowLengthUnit() {
    const DisplayUnits units(document_.Motor().Performance().units);
    for (QLabel* label : ui_.lblLengthUnit) {
        if (!label) continue;
        label->setText(units.LengthPhrase());
        label->setVisible(units.Unit().has_value());
    }
}

// "1388 kg/(m²·s)" or, for an inch design, "1.97 lb/(in²·s)".
QString MassFluxText(double si, const DisplayUnits& units) {
    return TextOfFigure(si / units.MassFluxPer(), units.MassFluxDigits()) + " " + units.MassFluxWord();
}

void MotorPerformance::Update() { Update(RunMotor(document_.Motor())); }

void MotorPerformance::Update(const MotorRun& run) {
    const bool has_propellant = run.HasPropellant();
    SetGroupVisible(has_propellant);
    // Which model gave the figures, where the design chose one.
    const std::optional<BurnModel>& model = run.Design().Performance().model;
    ui_.Frame4->setTitle(model ? QString("Performance (%1 model)").arg(BurnModelName(*model)) : QString("Performance"));
    if (ui_.mnuFullModel) {
        ui_.mnuFullModel->setEnabled(has_propellant);
        ui_.mnuFullModel->setChecked(model == BurnModel::kFull);
    }
    ShowLengthUnit();
    std::array<QString, kFigures> texts;
    texts.fill(kNoFigure);
    texts.back().clear();
    bool pressure = false, thrust = false;
    std::optional<Performance> figures;
    if (has_propellant) {
        const PerformanceOutcome& outcome = run.Outcome();
        if (outcome.figures) {
            const Performance& p = *outcome.figures;
            texts[0] = TextOfFigure(p.peak_pressure / kPascalsPerMegapascal, 3) + " MPa (" +
                       TextOfFigure(p.peak_pressure / kPascalsPerPsi, 3) + " psi)";
            texts[1] = TextOfFigure(p.burn_time, 3) + " s";
            texts[5] = TextOfFigure(p.propellant_mass, 3) + " kg";
            if (p.has_thrust) {
                texts[2] = TextOfFigure(p.total_impulse) + " N\u00b7s";
                texts[3] = TextOfFigure(p.average_thrust) + " N";
                texts[4] = TextOfFigure(p.peak_thrust) + " N";
                texts[6] = TextOfFigure(p.delivered_isp, 3) + " s";
                if (!p.designation.empty()) texts[7] = QString::fromStdString(p.designation);
            } else {
                texts.back() = "No thrust figures without the exhaust's specific heat ratio k.";
            }
            pressure = true;
            thrust = p.has_thrust;
            figures = p;
        } else {
            texts.back() = QString::fromStdString(outcome.problem);
        }
    }
    // The grains' flow and the alerts: the geometric ones for any design.
    const MotorFlow& flow = run.Flow();
    // Which grain each belongs to is the grains panel's to show (and the
    // tool tip's).
    if (flow.peak_mass_flux) texts[8] = MassFluxText(*flow.peak_mass_flux, run.Units());
    if (flow.min_port_throat) texts[9] = TextOfFigure(*flow.min_port_throat, 3);
    ui_.values[8]->setToolTip(flow.peak_mass_flux ? QString("Grain %1, at %2 s")
                                                        .arg(flow.peak_mass_flux_grain)
                                                        .arg(TextOfFigure(flow.peak_mass_flux_time, 3))
                                                  : QString());
    ui_.values[9]->setToolTip(flow.min_port_throat ? QString("Grain %1, at ignition").arg(flow.min_port_throat_grain) : QString());
    for (int i = 0; i < kFigures; ++i) ui_.values[static_cast<size_t>(i)]->setText(texts[static_cast<size_t>(i)]);
    ui_.mnuShowPressure->setEnabled(pressure);
    ui_.mnuShowThrust->setEnabled(thrust);
    ui_.mnuShowMassFlux->setEnabled(flow.peak_mass_flux.has_value());
    if (grains_) grains_->Update(run);
    if (comparison_ && comparison_->Active()) comparison_->ShowDesign(run);
}

bool MotorPerformance::PressureShown() const {
    return ui_.mnuShowPressure->isChecked() && ui_.mnuShowPressure->isEnabled();
}

bool MotorPerformance::ThrustShown() const { return ui_.mnuShowThrust->isChecked() && ui_.mnuShowThrust->isEnabled(); }

bool MotorPerformance::MassFluxShown() const {
    return ui_.mnuShowMassFlux->isChecked() && ui_.mnuShowMassFlux->isEnabled();
}

void MotorPerformance::ShowCleared(const QString& why) {
    SetGroupVisible(document_.Motor().Performance().HasPropellant());
    for (int i = 0; i + 1 < kFigures; ++i) ui_.values[static_cast<size_t>(i)]->setText(kNoFigure);
    ui_.values.back()->setText(why);
    ui_.mnuShowPressure->setEnabled(false);
    ui_.mnuShowThrust->setEnabled(false);
    ui_.mnuShowMassFlux->setEnabled(false);
    if (grains_) grains_->ShowCleared(why);
}

void MotorPerformance::ShowOutOfDate(const QString& note) {
    for (int i = 0; i + 1 < kFigures; ++i) thrustlet::ShowOutOfDate(ui_.values[static_cast<size_t>(i)], !note.isEmpty(), note);
    if (grains_) grains_->ShowOutOfDate(note);
}

void MotorPerformance::DecorateGraph(const KnCurve& curve, const MotorRun& run) {
    GraphLite& graph = *ui_.grKN;
    const bool show_thrust = ThrustShown();
    const bool show_pressure = PressureShown();
    const bool show_flux = MassFluxShown();
    if (!show_thrust && !show_pressure && !show_flux) {
        if (graph.Shown().secondary) graph.ClearSecondaryAxis();
        return;
    }
    if (!run.Figures()) return;
    // The time views reach the end of the longest compared burn.
    const double horizon = comparison_ ? comparison_->LongestBurn() : 0.0;
    if (show_flux) {
        DrawMassFluxCurve(graph, run, horizon);
    } else if (show_thrust) {
        DrawThrustCurve(graph, *run.Figures(), horizon);
    } else {
        AddPressureCurve(graph, run, curve);
    }
    if (comparison_) {
        using View = MotorComparison::View;
        comparison_->Overlay(graph, run, curve, show_flux ? View::kMassFlux : show_thrust ? View::kThrust : View::kPressure);
    }
}

// Every length of the design times `factor`: the grains, the throat (the
// motor's and its field's number) and, through the dialog, the exit and
// the case.
void MotorPerformance::ConvertLengths(double factor) {
    cMotor& motor = document_.Motor();
    const auto scaled = [&](float value) { return static_cast<float>(value * factor); };
    for (const auto& grain : motor.Grains()) {
        grain->SetLength(scaled(grain->Length()));
        grain->SetDiameter(scaled(grain->Diameter()));
        grain->SetCoreDiameter(scaled(grain->CoreDiameter()));
    }
    motor.SetNozzleDia(scaled(motor.NozzleDia()));
    TextBox* throat = ui_.txtNozzleThroatDia;
    if (throat && IsNumeric(throat->text())) {
        Quietly([&] { throat->setText(TextOfSingle(scaled(FieldToSingle(throat->text())))); });
    }
    if (lengths_converted_) lengths_converted_(factor);
}

void MotorPerformance::mnuPropellant_Click() {
    cMotor& motor = document_.Motor();
    const PropellantChoice current{motor.ISPStar(), motor.Density(), motor.BallisticA(), motor.BallisticN(),
                                   motor.Performance()};
    std::optional<PropellantChoice> chosen = editor_->Edit(current, ui_.window);
    if (!chosen) return;
    // The dialog shows the propellant, the nozzle and the hardware; the
    // design's limits and firings are not its to drop.
    chosen->inputs.max_pressure = current.inputs.max_pressure;
    chosen->inputs.max_mass_flux = current.inputs.max_mass_flux;
    chosen->inputs.min_port_throat = current.inputs.min_port_throat;
    chosen->inputs.static_firings = current.inputs.static_firings;
    // Nor the model the figures come from, its gas storage and openMotor's
    // thrust threshold.
    chosen->inputs.model = current.inputs.model;
    chosen->inputs.gas_storage = current.inputs.gas_storage;
    chosen->inputs.thrust_burnout = current.inputs.thrust_burnout;
    // A design given its first propellant here is a new one: it is figured
    // by the full model. Designs that already had one keep their model.
    if (!current.inputs.units && chosen->inputs.units && !chosen->inputs.model) chosen->inputs.model = BurnModel::kFull;

    if (*chosen == current) return;
    if (chosen->length_scale != 1.0) ConvertLengths(chosen->length_scale);
    motor.SetISPStar(chosen->c_star);
    motor.SetDensity(chosen->density);
    motor.SetBallisticA(chosen->a);
    motor.SetBallisticN(chosen->n);
    motor.SetPerformance(chosen->inputs);
    document_.SetChanged(true);
    // The recalculation fills the group too, from its own run.
    if (recalculate_) {
        recalculate_();
    } else {
        Update();
    }
    document_.DesignChanged("Propellant");
}

// The views leave each other: the thrust curve and the grains' mass flux
// replace the Kn curve, the pressure curve joins it.
void MotorPerformance::ChooseView(QAction* chosen) {
    if (chosen->isChecked()) {
        for (QAction* view : {ui_.mnuShowPressure, ui_.mnuShowThrust, ui_.mnuShowMassFlux}) {
            if (view != chosen) view->setChecked(false);
        }
    }
    if (recalculate_) recalculate_();
}

void MotorPerformance::mnuShowPressure_Click() { ChooseView(ui_.mnuShowPressure); }

void MotorPerformance::mnuShowThrust_Click() { ChooseView(ui_.mnuShowThrust); }

void MotorPerformance::mnuShowMassFlux_Click() { ChooseView(ui_.mnuShowMassFlux); }

void MotorPerformance::mnuFullModel_Click() {
    cMotor& motor = document_.Motor();
    if (!motor.Performance().HasPropellant()) return;
    PerformanceInputs in = motor.Performance();
    in.model = in.Model() == BurnModel::kFull ? BurnModel::kSteady : BurnModel::kFull;
    motor.SetPerformance(in);
    document_.SetChanged(true);
    if (recalculate_) {
        recalculate_();
    } else {
        Update();
    }
    document_.DesignChanged("Model");
}

MotorPerformance::Shown MotorPerformance::Current() const {
    Shown shown;
    for (int i = 0; i < kFigures; ++i) shown.texts[static_cast<size_t>(i)] = ui_.values[static_cast<size_t>(i)]->text();
    shown.visible = ui_.Frame4->isVisibleTo(ui_.window);
    shown.pressure = ui_.mnuShowPressure->isChecked();
    shown.thrust = ui_.mnuShowThrust->isChecked();
    shown.pressure_enabled = ui_.mnuShowPressure->isEnabled();
    shown.thrust_enabled = ui_.mnuShowThrust->isEnabled();
    shown.mass_flux = ui_.mnuShowMassFlux->isChecked();
    shown.mass_flux_enabled = ui_.mnuShowMassFlux->isEnabled();
    shown.comparison = comparison_ ? comparison_->Generation() : 0;
    shown.title = ui_.Frame4->title();
    if (ui_.mnuFullModel) {
        shown.full_model = ui_.mnuFullModel->isChecked();
        shown.full_model_enabled = ui_.mnuFullModel->isEnabled();
    }
    if (grains_) shown.grains = grains_->Current();
    return shown;
}

void MotorPerformance::Show(const Shown& shown) {
    SetGroupVisible(shown.visible);
    ShowLengthUnit();
    for (int i = 0; i < kFigures; ++i) ui_.values[static_cast<size_t>(i)]->setText(shown.texts[static_cast<size_t>(i)]);
    ui_.mnuShowPressure->setEnabled(shown.pressure_enabled);
    ui_.mnuShowMassFlux->setEnabled(shown.mass_flux_enabled);
    ui_.Frame4->setTitle(shown.title);
    if (ui_.mnuFullModel) {
        ui_.mnuFullModel->setChecked(shown.full_model);
        ui_.mnuFullModel->setEnabled(shown.full_model_enabled);
    }
    if (grains_) grains_->Show(shown.grains);
    ui_.mnuShowThrust->setEnabled(shown.thrust_enabled);
    // The compared motors' table shows the design as it now is.
    if (comparison_ && comparison_->Active()) comparison_->ShowDesign(RunMotor(document_.Motor()));
}

}  // namespace thrustlet
