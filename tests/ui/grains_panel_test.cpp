// Will it hold, in the window: the grains panel's figures and alerts, the
// Limits dialog as one undo step, the mass flux view, and the sheet.
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>

#include "model/motor_run.h"
#include "model/formats/motor_file.h"
#include "model/propellant_library.h"
#include "tests/support/knsb_motor.h"
#include "tests/support/scripted_editor.h"
#include "tests/support/window_fixture.h"
#include "ui/design_sheet.h"
#include "ui/grains_panel.h"
#include "ui/limits_dialog.h"
#include "ui/motor_performance.h"

namespace thrustlet::testing {
namespace {

class ScriptedLimits : public ILimitsEditor {
public:
    std::optional<LimitsChoice> Edit(const LimitsChoice& current, std::optional<LengthUnit> unit, QWidget*) override {
        shown.push_back(current);
        units.push_back(unit);
        return NextAnswer(answers);
    }
    std::deque<std::optional<LimitsChoice>> answers;
    std::vector<LimitsChoice> shown;
    std::vector<std::optional<LengthUnit>> units;
};

class GrainsPanelTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        editor = ScriptEditorOf<ScriptedEditor>(window->Performance());
        limits = ScriptEditorOf<ScriptedLimits>(window->GrainsFigures());
        table = window->findChild<QTableWidget*>("grdGrainFigures");
        alerts = window->findChild<QLabel*>("lblAlerts");
        ASSERT_TRUE(table && alerts);
    }
    // A 54 mm four-grain KNSB motor in millimetres with narrow cores.
    void TypeFourGrainMotor(const QString& core) {
        for (int i = 0; i < 4; ++i) AddGrain("90", "54", core);
        Type(ui->txtNozzleThroatDia, "13");
        Leave(ui->txtNozzleThroatDia);
        editor->answers.push_back(Knsb());
        Action("mnuPropellant")->trigger();
    }
    QAction* Action(const char* name) { return window->findChild<QAction*>(name); }
    QString Label(const char* name) { return window->findChild<QLabel*>(name)->text(); }
    int Marked(int row, int col) { return table->item(row, col)->data(Qt::UserRole).toInt(); }

    ScriptedEditor* editor = nullptr;
    ScriptedLimits* limits = nullptr;
    QTableWidget* table = nullptr;
    QLabel* alerts = nullptr;
};

// The motor a builder checks: with a 1.3 MPa casing the pressure alert; the
// narrow cores' mass flux marked on the grain that carries it (the nozzle
// end); wider cores clear it.
TEST_F(GrainsPanelTest, AFourGrainMotorWithALowRatedCasing) {
    TypeFourGrainMotor("16");
    ASSERT_TRUE(window->findChild<QGroupBox*>("Frame5")->isVisibleTo(window.get()));
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->item(3, 0)->text(), "4");
    EXPECT_TRUE(alerts->text().contains("Grain 4's peak mass flux")) << alerts->text().toStdString();
    EXPECT_EQ(Marked(3, 3), 2);  // the nozzle-end grain's flux over the limit, in red
    EXPECT_EQ(Marked(0, 3), 0);

    limits->answers.push_back(LimitsChoice{1.3e6f, std::nullopt, std::nullopt});
    Action("mnuLimits")->trigger();
    ASSERT_EQ(limits->units.size(), 1u);
    EXPECT_EQ(limits->units[0], LengthUnit::kMillimetre);
    EXPECT_TRUE(alerts->text().contains("is above the casing's rating of 1.3 MPa.")) << alerts->text().toStdString();
    EXPECT_EQ(doc().History().undoText(), "Limits");
    EXPECT_EQ(doc().Motor().Performance().max_pressure, 1.3e6f);

    // Wider cores: the flux falls under the limit, the cell plain again.
    ClickRow(1, 4);
    ui->txtCoreDiameter->setText("28");
    Click(ui->cmdApplyChanges);
    EXPECT_FALSE(alerts->text().contains("mass flux")) << alerts->text().toStdString();
    EXPECT_EQ(Marked(3, 3), 0);
    EXPECT_TRUE(alerts->text().contains("casing's rating"));

    ui->mnuUndo->trigger();  // the narrow cores again
    EXPECT_TRUE(alerts->text().contains("Grain 4's peak mass flux"));
    ui->mnuUndo->trigger();  // and no pressure limit
    EXPECT_FALSE(alerts->text().contains("casing's rating"));
    EXPECT_FALSE(doc().Motor().Performance().max_pressure);
}

// A motor of hundreds of alerts shows the first hundred and counts the rest:
// a label of thousands of sentences held the window up for seconds.
TEST_F(GrainsPanelTest, HundredsOfAlertsShowTheFirstHundred) {
    std::vector<std::shared_ptr<cGrain>> grains;
    for (int i = 0; i < 300; ++i) grains.push_back(MakeGrain(57.0f, 33.0f, i % 2 ? 12.0f : 16.0f));
    const cMotor motor = KnsbMotor(grains, 60.0f, 150.0f);
    QTemporaryDir dir;
    const QString path = dir.filePath("many.tlt");
    motor.SaveToFile(path.toStdString());
    window->Files().OpenFile(path.toStdString(), "many.tlt");
    const std::size_t all = RunMotor(doc().Motor()).Alerts().size();
    ASSERT_GT(all, 150u);
    EXPECT_EQ(alerts->text().count("<p "), 101);  // a hundred alerts and the count of the rest
    EXPECT_TRUE(alerts->text().contains(QString("and %1 more alerts (the command line's report lists them all)").arg(all - 100)));
}

// Each grain's mass flux against time, one curve per grain and the limit
// as a line; the view leaves the pressure and thrust views.
TEST_F(GrainsPanelTest, MassFluxView) {
    TypeFourGrainMotor("16");
    Action("mnuShowThrust")->trigger();
    Action("mnuShowMassFlux")->trigger();
    EXPECT_FALSE(Action("mnuShowThrust")->isChecked());
    const GraphLite::State graph = ui->grKN->Shown();
    EXPECT_EQ(graph.title, "Mass flux (kg/(m\u00b2\u00b7s)) vs. Time (s)");
    ASSERT_EQ(graph.table.rows.size(), 6u);  // times, four grains, the limit
    EXPECT_EQ(graph.series.at(0).label, "grain 1");
    EXPECT_EQ(graph.series.at(4).label, "limit");
    EXPECT_EQ(*graph.table.rows[5][0], 1406.0);
    // The nozzle-end grain starts highest.
    EXPECT_GT(*graph.table.rows[4][0], *graph.table.rows[1][0]);
    Action("mnuShowMassFlux")->trigger();
    EXPECT_EQ(ui->grKN->Title(), "kn vs. Burn Depth");
}

// A change of the design with every view shown (the Performance group, the
// grains panel and the mass-flux graph) runs the motor once; so does a
// change of the propellant.
TEST_F(GrainsPanelTest, OneRunForEachChangeWithEveryViewShown) {
    TypeFourGrainMotor("16");
    Action("mnuShowMassFlux")->trigger();
    ASSERT_TRUE(Action("mnuShowMassFlux")->isChecked());
    std::uint64_t before = MotorRunsMade();
    Type(ui->txtNozzleThroatDia, "14");
    Leave(ui->txtNozzleThroatDia);
    EXPECT_EQ(MotorRunsMade() - before, 1u);
    EXPECT_EQ(ui->grKN->Shown().title, "Mass flux (kg/(m\u00b2\u00b7s)) vs. Time (s)");
    EXPECT_NE(Label("lblPeakMassFlux"), "\u2014");

    PropellantChoice changed = Knsb();
    changed.c_star *= 0.95f;
    editor->answers.push_back(changed);
    before = MotorRunsMade();
    Action("mnuPropellant")->trigger();
    EXPECT_EQ(MotorRunsMade() - before, 1u);
}

// The sheet carries each grain's figures, the limits and the alerts.
TEST_F(GrainsPanelTest, SheetHoldsGrainsLimitsAndAlerts) {
    TypeFourGrainMotor("16");
    const SheetContent content = window->Sheet().Content();
    ASSERT_EQ(content.grain_figures.size(), 4u);
    EXPECT_EQ(content.grain_figures[3][2], table->item(3, 3)->text());
    EXPECT_TRUE(content.limits.contains("mass flux at most 1406 kg/(m\u00b2\u00b7s)")) << content.limits.toStdString();
    ASSERT_FALSE(content.alerts.empty());
    EXPECT_TRUE(content.alerts[0].startsWith("Grain 3's peak mass flux")) << content.alerts[0].toStdString();
    EXPECT_TRUE(content.alerts[1].startsWith("Grain 4's peak mass flux"));
}

// The dialog itself: the design's units, values kept exactly, and what it
// refuses.
TEST_F(GrainsPanelTest, LimitsDialogInTheDesignsUnits) {
    ScriptedDialogs messages;
    LimitsChoice current{1e6f / 3.0f, 2000.0f, std::nullopt};
    LimitsDialog inches(current, LengthUnit::kInch, messages);
    auto* pressure = inches.findChild<QLineEdit*>("txtMaxPressure");
    auto* flux = inches.findChild<QLineEdit*>("txtMaxMassFlux");
    auto* ratio = inches.findChild<QLineEdit*>("txtMinPortThroat");
    ASSERT_TRUE(pressure && flux && ratio);
    EXPECT_EQ(pressure->text(), "48.3459");  // psi
    EXPECT_EQ(flux->text(), "2.84467");      // lb/(in²·s)
    EXPECT_EQ(flux->placeholderText(), "1.9998");
    LimitsChoice read;
    QString problem;
    ASSERT_TRUE(inches.Read(&read, &problem));
    EXPECT_EQ(read, current);  // exactly, as shown
    ratio->setText("1.5");
    pressure->setText("500");
    ASSERT_TRUE(inches.Read(&read, &problem));
    EXPECT_EQ(*read.min_port_throat, 1.5f);
    EXPECT_FLOAT_EQ(*read.max_pressure, static_cast<float>(500 * 6894.757293168361));
    flux->setText("-2");
    inches.accept();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "The mass flux limit must be a number above 0, or empty.");
    EXPECT_NE(inches.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace thrustlet::testing
