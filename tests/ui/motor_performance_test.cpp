// The Motor menu: the propellant chosen through a scripted editor, the
// Performance group it brings, the pressure and thrust views of the graph,
// and the propellant's place in the edit history and the saved file.
#include <QTemporaryDir>
#include <deque>

#include "model/formats/motor_file.h"
#include "model/performance.h"
#include "model/propellant_library.h"
#include "tests/support/scripted_editor.h"
#include "tests/support/window_fixture.h"
#include "ui/design_history.h"
#include "ui/motor_performance.h"
#include "ui/propellant_dialog.h"
#include "ui/twips.h"
#include "model/motor_run.h"
#include "platform/locale_number.h"

namespace thrustlet::testing {
namespace {

class MotorPerformanceTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        editor = ScriptEditorOf<ScriptedEditor>(window->Performance());
        group = window->findChild<QGroupBox*>("Frame4");
        ASSERT_NE(group, nullptr);
        for (const char* name : {"mnuPropellant", "mnuShowPressure", "mnuShowThrust"}) {
            QAction* action = window->findChild<QAction*>(name);
            ASSERT_NE(action, nullptr) << name;
            actions.push_back(action);
        }
    }
    // A 38 mm motor of three 57 mm grains with a 10 mm throat, as typed.
    void TypeThreeGrainMotor() {
        for (int i = 0; i < 3; ++i) AddGrain("57", "38", "14");
        Type(ui->txtNozzleThroatDia, "10");
        Leave(ui->txtNozzleThroatDia);
    }
    void Choose(const std::optional<PropellantChoice>& choice) {
        editor->answers.push_back(choice);
        actions[0]->trigger();
    }
    QString Figure(const char* name) { return window->findChild<QLabel*>(name)->text(); }
    bool GroupShown() const { return group->isVisibleTo(window.get()); }

    ScriptedEditor* editor = nullptr;
    QGroupBox* group = nullptr;
    std::vector<QAction*> actions;  // Propellant, Show Chamber Pressure, Show Thrust Curve
};

// A design without a propellant (every design the Kn figures alone made)
// keeps its window: no group, the designed size, no curves to show.
TEST_F(MotorPerformanceTest, DesignWithoutPropellantKeepsTheDesignedWindow) {
    const QSize designed = window->size();
    TypeThreeGrainMotor();
    EXPECT_FALSE(GroupShown());
    EXPECT_EQ(window->size(), designed);
    EXPECT_FALSE(actions[1]->isEnabled());
    EXPECT_FALSE(actions[2]->isEnabled());
    Choose(std::nullopt);  // the dialog cancelled
    EXPECT_FALSE(GroupShown());
    EXPECT_NE(doc().History().undoText(), "Propellant");
}

// Picking a propellant shows the figures beside the summary, widens the
// window by the group, marks the design changed and is one undo step that
// takes all of it back.
TEST_F(MotorPerformanceTest, PropellantShowsFiguresAsOneUndoStep) {
    TypeThreeGrainMotor();
    const QSize before = window->size();
    const std::string file_before = MotorFileText(doc().Motor());
    doc().SetChanged(false);

    Choose(Knsb());
    ASSERT_EQ(editor->shown.size(), 1u);
    EXPECT_FALSE(editor->shown[0].inputs.units.has_value());  // what the design had
    ASSERT_TRUE(GroupShown());
    EXPECT_EQ(window->width(), before.width() + Pixels(3126) + Pixels(4326));  // the performance group and the grains panel
    EXPECT_TRUE(doc().Changed());
    EXPECT_EQ(doc().History().undoText(), "Propellant");

    const PerformanceOutcome outcome = ComputePerformance(doc().Motor());
    ASSERT_TRUE(outcome.figures) << outcome.problem;
    const Performance& p = *outcome.figures;
    EXPECT_EQ(Figure("lblDesignation"), QString::fromStdString(p.designation));
    EXPECT_EQ(p.designation.front(), 'I');  // a 38 mm, 171 mm long sugar motor
    const QString pressure = Figure("lblPeakPressure");
    EXPECT_TRUE(pressure.startsWith(QLocale().toString(p.peak_pressure / 1e6, 'f', 2) + " MPa (")) << pressure.toStdString();
    EXPECT_TRUE(pressure.endsWith(" psi)")) << pressure.toStdString();
    for (const char* name : {"lblBurnTime", "lblTotalImpulse", "lblAverageThrust", "lblPeakThrust",
                             "lblPropellantMass", "lblDeliveredIsp"}) {
        EXPECT_NE(Figure(name), "\u2014") << name;
    }
    EXPECT_TRUE(actions[1]->isEnabled());
    EXPECT_TRUE(actions[2]->isEnabled());

    ui->mnuUndo->trigger();
    EXPECT_FALSE(GroupShown());
    EXPECT_EQ(window->size(), before);
    EXPECT_EQ(MotorFileText(doc().Motor()), file_before);
    EXPECT_FALSE(actions[1]->isEnabled());
    ui->mnuRedo->trigger();
    EXPECT_TRUE(GroupShown());
    EXPECT_EQ(Figure("lblDesignation"), QString::fromStdString(p.designation));
}

// The same choice again, or a cancelled dialog, is no edit at all.
TEST_F(MotorPerformanceTest, UnchangedOrCancelledChoiceIsNoEdit) {
    TypeThreeGrainMotor();
    Choose(Knsb());
    doc().SetChanged(false);
    const int steps = doc().History().count();
    Choose(Knsb());
    Choose(std::nullopt);
    EXPECT_FALSE(doc().Changed());
    EXPECT_EQ(doc().History().count(), steps);
    ASSERT_EQ(editor->shown.size(), 3u);
    // The dialog opens on the design's propellant; the design, given its
    // first propellant here, is figured by the full model.
    PropellantChoice opened = Knsb();
    opened.inputs.model = BurnModel::kFull;
    EXPECT_EQ(editor->shown[1], opened);
}

// A design given its first propellant in the window is figured by the full
// model; the Motor menu switches it to the steady one and back, one undo
// step each, and the Performance group's title says which.
TEST_F(MotorPerformanceTest, ModelOfTheFiguresIsChosenAndShown) {
    TypeThreeGrainMotor();
    Choose(Knsb());
    QAction* full = window->findChild<QAction*>("mnuFullModel");
    ASSERT_NE(full, nullptr);
    EXPECT_TRUE(full->isEnabled());
    EXPECT_TRUE(full->isChecked());
    EXPECT_EQ(group->title(), "Performance (full model)");
    const Performance marched = *RunMotor(doc().Motor()).Figures();

    full->trigger();
    EXPECT_EQ(doc().Motor().Performance().Model(), BurnModel::kSteady);
    EXPECT_FALSE(full->isChecked());
    EXPECT_EQ(group->title(), "Performance (steady model)");
    const Performance steady = *RunMotor(doc().Motor()).Figures();
    EXPECT_NE(steady.burn_time, marched.burn_time);  // the chamber's filling and blowdown
    EXPECT_EQ(Figure("lblBurnTime"), TextOfFigure(steady.burn_time, 3) + " s");

    ui->mnuUndo->trigger();
    EXPECT_EQ(doc().Motor().Performance().Model(), BurnModel::kFull);
    EXPECT_TRUE(full->isChecked());
    EXPECT_EQ(Figure("lblBurnTime"), TextOfFigure(marched.burn_time, 3) + " s");
}

// Values the figures cannot come from (a choice the dialog would refuse,
// here straight from the editor) leave the figures empty and say why.
TEST_F(MotorPerformanceTest, UnusableValuesSayWhyInsteadOfFigures) {
    TypeThreeGrainMotor();
    PropellantChoice choice = Knsb();
    choice.inputs.specific_heat_ratio = 0.5f;
    Choose(choice);
    ASSERT_TRUE(GroupShown());
    EXPECT_EQ(Figure("lblPerformanceNote"), "the specific heat ratio k must be above 1, not 0.5");
    EXPECT_EQ(Figure("lblPeakPressure"), "\u2014");
    EXPECT_EQ(Figure("lblDesignation"), "\u2014");
    EXPECT_FALSE(actions[1]->isEnabled());
    EXPECT_FALSE(actions[2]->isEnabled());
}

// The pressure curve joins the Kn curve on its own axis, in MPa for a
// millimetre design, at the Kn curve's own depths; the thrust curve takes
// the graph on a round time axis and ends at 0; turning both off brings
// back exactly the Kn look.
TEST_F(MotorPerformanceTest, PressureAndThrustViewsOfTheGraph) {
    TypeThreeGrainMotor();
    Choose(Knsb());
    const GraphLite::State kn_look = ui->grKN->Shown();
    ASSERT_FALSE(kn_look.secondary.has_value());

    actions[1]->trigger();
    const GraphLite::State pressure = ui->grKN->Shown();
    ASSERT_EQ(pressure.table.rows.size(), 3u);
    EXPECT_EQ(pressure.table.rows[1], kn_look.table.rows[1]);  // the Kn curve stays as it was
    ASSERT_TRUE(pressure.secondary.has_value());
    EXPECT_EQ(pressure.secondary->unit, "MPa");
    EXPECT_EQ(pressure.series.at(1).label, "Pc");
    EXPECT_EQ(pressure.series.at(1).colour, QColor(0, 255, 0));
    const PerformanceOutcome outcome = ComputePerformance(doc().Motor());
    ASSERT_TRUE(outcome.figures);
    double highest = 0.0;
    for (const auto& cell : pressure.table.rows[2]) {
        if (cell) highest = std::max(highest, *cell);
    }
    // The samples' highest pressure is the peak (to the curve's sampling).
    EXPECT_NEAR(highest, outcome.figures->peak_pressure / 1e6, 0.01 * outcome.figures->peak_pressure / 1e6);
    EXPECT_GE(pressure.secondary->maximum, highest);

    actions[2]->trigger();
    EXPECT_FALSE(actions[1]->isChecked());
    const GraphLite::State thrust = ui->grKN->Shown();
    EXPECT_EQ(thrust.title, "Thrust (N) vs. Time (s)");
    EXPECT_FALSE(thrust.secondary.has_value());
    const auto& times = thrust.table.rows[0];
    const auto& forces = thrust.table.rows[1];
    ASSERT_GT(times.size(), 41u);
    EXPECT_EQ(*times[0], 0.0);
    const double tick = *times[static_cast<size_t>(thrust.label_step)];
    EXPECT_TRUE(tick == 0.1 || tick == 0.2 || tick == 0.5 || tick == 1.0 || tick == 2.0) << tick;
    EXPECT_GE(*times.back(), outcome.figures->burn_time);
    EXPECT_EQ(*forces.back(), 0.0);
    EXPECT_NEAR(*forces[0], outcome.figures->curve.front().thrust, 1e-9);

    actions[2]->trigger();
    const GraphLite::State back = ui->grKN->Shown();
    EXPECT_EQ(back.table, kn_look.table);
    EXPECT_EQ(back.title, kn_look.title);
    EXPECT_EQ(back.vertical_maximum, kn_look.vertical_maximum);
    EXPECT_FALSE(back.secondary.has_value());
}

// The propellant travels through Save and Open: the reopened design shows
// the same figures, and a design saved without one shows none.
TEST_F(MotorPerformanceTest, PropellantSurvivesSaveAndOpen) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("knsb.tlt").toStdString();
    TypeThreeGrainMotor();
    Choose(Knsb());
    actions[1]->trigger();
    const QString designation = Figure("lblDesignation");
    dialogs.files.push_back({QString::fromStdString(path), "knsb.tlt"});
    ui->mnuSaveAs->trigger();
    ASSERT_FALSE(doc().Changed());

    ui->mnuNew->trigger();
    EXPECT_FALSE(GroupShown());
    window->Files().OpenFile(path, "knsb.tlt");
    EXPECT_TRUE(GroupShown());
    EXPECT_EQ(Figure("lblDesignation"), designation);
    PerformanceInputs saved = Knsb().inputs;
    saved.model = BurnModel::kFull;  // a new design's model travels too
    EXPECT_EQ(doc().Motor().Performance(), saved);
    EXPECT_TRUE(ui->grKN->Shown().secondary.has_value());  // the view stays chosen
}

}  // namespace
}  // namespace thrustlet::testing
