// Every figure the window shows belongs to the design on screen: after a
// search they say they are out of date, an unusable throat clears them, New
// shows the empty design's, an unreached target is marked, undo keeps the
// chosen view, lengths convert with their unit, and Save says which throat
// the file keeps.
#include <QStandardPaths>
#include <QTemporaryDir>

#include "model/formats/motor_file.h"
#include "model/performance.h"
#include "tests/support/scripted_editor.h"
#include "tests/support/window_fixture.h"
#include "ui/design_history.h"
#include "ui/motor_performance.h"

namespace thrustlet::testing {
namespace {

class FiguresOnScreenTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        editor = ScriptEditorOf<ScriptedEditor>(window->Performance());
    }
    // A 38 mm KNSB motor in millimetres: three 57 mm grains, a 10 mm throat.
    void TypeKnsbMotor() {
        for (int i = 0; i < 3; ++i) AddGrain("57", "38", "14");
        Type(ui->txtNozzleThroatDia, "10");
        Leave(ui->txtNozzleThroatDia);
        editor->answers.push_back(Knsb());
        Action("mnuPropellant")->trigger();
    }
    QAction* Action(const char* name) { return window->findChild<QAction*>(name); }
    QLabel* Label(const char* name) { return window->findChild<QLabel*>(name); }
    static bool OutOfDate(const QWidget* widget) { return widget->property("outOfDate").toBool(); }

    ScriptedEditor* editor = nullptr;
};

// A 38 mm KNSB motor in millimetres sized to Max Kn 280 gets its throat in
// millimetres; until Enter in the throat field the summary, the Performance
// group and the graph say they are the 10 mm throat's; then every figure
// follows the new throat.
TEST_F(FiguresOnScreenTest, SearchMarksTheFiguresOutOfDateUntilEnter) {
    TypeKnsbMotor();
    const QString designation = Label("lblDesignation")->text();
    Type(ui->txtMaxKn, "280");
    PressEnter(ui->txtMaxKn);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "8.255");
    EXPECT_TRUE(dialogs.boxes.empty());
    for (QWidget* widget : std::initializer_list<QWidget*>{ui->lblWeb, ui->lblGNRatio, ui->lblVolumeLoading, ui->txtKN,
                                                           Label("lblDesignation"), Label("lblPeakPressure")}) {
        EXPECT_TRUE(OutOfDate(widget)) << widget->objectName().toStdString();
        EXPECT_TRUE(widget->toolTip().contains("for the nozzle throat 10.")) << widget->toolTip().toStdString();
    }
    EXPECT_FALSE(OutOfDate(ui->txtMaxKn));  // the target as typed
    EXPECT_EQ(ui->txtMaxKn->text(), "280");
    EXPECT_EQ(Label("lblDesignation")->text(), designation);  // the search does not recalculate
    EXPECT_TRUE(ui->grKN->Shown().faded);
    EXPECT_EQ(ui->grKN->Shown().note,
              "Out of date: these figures are for the nozzle throat 10. Press Enter in the throat field to recalculate.");

    PressEnter(ui->txtNozzleThroatDia);
    for (QWidget* widget : std::initializer_list<QWidget*>{ui->lblWeb, ui->txtKN, Label("lblDesignation")}) {
        EXPECT_FALSE(OutOfDate(widget)) << widget->objectName().toStdString();
    }
    EXPECT_FALSE(ui->grKN->Shown().faded);
    EXPECT_TRUE(ui->grKN->Shown().note.isEmpty());
    EXPECT_LE(ui->txtMaxKn->text().toInt(), 280);  // the new throat's own maximum
    EXPECT_GT(ui->txtMaxKn->text().toInt(), 260);
    const PerformanceOutcome outcome = ComputePerformance(doc().Motor());
    ASSERT_TRUE(outcome.figures);
    EXPECT_EQ(Label("lblDesignation")->text(), QString::fromStdString(outcome.figures->designation));
    EXPECT_LT(outcome.figures->peak_pressure, 10e6);  // a sensible throat, not the 76.2 mm bound's opposite

    // Undo shows the out-of-date state as it was, and redo the current one.
    ui->mnuUndo->trigger();
    EXPECT_TRUE(ui->grKN->Shown().faded);
    EXPECT_TRUE(OutOfDate(ui->lblWeb));
    ui->mnuRedo->trigger();
    EXPECT_FALSE(OutOfDate(ui->lblWeb));
}

// A target no throat of the range reaches: the field shows the range's end
// (76.2 mm) in the warning colour with a tool tip saying it is no answer,
// and no message box; the next recalculation takes the mark away.
TEST_F(FiguresOnScreenTest, UnreachedTargetMarksTheThroatField) {
    TypeKnsbMotor();
    Type(ui->txtKN, "2");
    PressEnter(ui->txtKN);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "76.2");
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(ui->txtNozzleThroatDia->property("targetUnreached").toBool());
    EXPECT_EQ(ui->txtNozzleThroatDia->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_TRUE(ui->txtNozzleThroatDia->toolTip().startsWith(
        "No throat from 2.54 to 76.2 mm gives an initial Kn of 2 or less: the field shows the end of the range, not an answer."))
        << ui->txtNozzleThroatDia->toolTip().toStdString();
    PressEnter(ui->txtNozzleThroatDia);
    EXPECT_FALSE(ui->txtNozzleThroatDia->property("targetUnreached").toBool());
    EXPECT_TRUE(ui->txtNozzleThroatDia->toolTip().isEmpty());

    // A target above what the narrowest throat gives: that throat, in the
    // same warning state, saying its Kn.
    Type(ui->txtMaxKn, "10000");
    PressEnter(ui->txtMaxKn);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "2.54");
    EXPECT_TRUE(ui->txtNozzleThroatDia->property("targetUnreached").toBool());
    EXPECT_TRUE(ui->txtNozzleThroatDia->toolTip().startsWith("The narrowest throat of the range gives Max Kn "))
        << ui->txtNozzleThroatDia->toolTip().toStdString();
    EXPECT_TRUE(ui->txtNozzleThroatDia->toolTip().contains(", below the target"));
}

// A throat field that is not a number clears the performance and the graph
// with the Kn fields; Save then says which throat the file keeps.
TEST_F(FiguresOnScreenTest, UnusableThroatClearsTheFiguresAndSaveSaysWhatItKeeps) {
    TypeKnsbMotor();
    Type(ui->txtNozzleThroatDia, "abc");
    Leave(ui->txtNozzleThroatDia);
    EXPECT_EQ(ui->txtKN->text(), "N/A");
    EXPECT_EQ(Label("lblDesignation")->text(), "\u2014");
    EXPECT_EQ(Label("lblPerformanceNote")->text(), "No figures: the nozzle throat is not a number above 0.");
    EXPECT_EQ(ui->grKN->DrawnPoints(), 0);
    EXPECT_EQ(ui->grKN->Shown().note, "No figures: the nozzle throat is not a number above 0.");
    EXPECT_FALSE(Action("mnuShowPressure")->isEnabled());

    QTemporaryDir dir;
    const QString path = dir.filePath("kept.tlt");
    dialogs.files.push_back({path, "kept.tlt"});
    dialogs.boxes.clear();
    ui->mnuSaveAs->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text,
              "The nozzle throat field holds \"abc\", which is no throat: the file keeps the throat 10, the last one "
              "calculated.");
    cMotor saved;
    saved.ReadFromFile(path.toStdString());
    EXPECT_EQ(saved.NozzleDia(), 10.0f);

    // A number again brings every figure back.
    Type(ui->txtNozzleThroatDia, "10");
    PressEnter(ui->txtNozzleThroatDia);
    EXPECT_NE(Label("lblDesignation")->text(), "\u2014");
    EXPECT_GT(ui->grKN->DrawnPoints(), 100);
    dialogs.boxes.clear();
    ui->mnuSave->trigger();
    EXPECT_TRUE(dialogs.boxes.empty());
}

// New shows the empty design's figures: nothing in the labels, the
// placeholder graph, no Performance group, no unit.
TEST_F(FiguresOnScreenTest, NewShowsTheEmptyDesign) {
    TypeKnsbMotor();
    ASSERT_FALSE(ui->lblWeb->text().isEmpty());
    doc().SetChanged(false);
    ui->mnuNew->trigger();
    EXPECT_EQ(ui->txtKN->text(), "N/A");
    EXPECT_EQ(ui->lblWeb->text(), "");
    EXPECT_EQ(ui->lblGNRatio->text(), "");
    EXPECT_EQ(ui->lblVolumeLoading->text(), "");
    EXPECT_EQ(ui->grKN->Title(), "Waiting for Data");
    EXPECT_FALSE(ui->grKN->Shown().value_axis);
    EXPECT_FALSE(window->findChild<QGroupBox*>("Frame4")->isVisibleTo(window.get()));
    EXPECT_FALSE(Label("lblGrainLengthUnit")->isVisibleTo(window.get()));
}

// Undoing an edit puts back its figures in the view the user chose since.
TEST_F(FiguresOnScreenTest, UndoKeepsTheChosenView) {
    TypeKnsbMotor();
    AddGrain("57", "38", "16");
    Action("mnuShowThrust")->trigger();
    ASSERT_EQ(ui->grKN->Title(), "Thrust (N) vs. Time (s)");
    ui->mnuUndo->trigger();
    EXPECT_TRUE(Action("mnuShowThrust")->isChecked());
    EXPECT_EQ(ui->grKN->Title(), "Thrust (N) vs. Time (s)");
    const PerformanceOutcome outcome = ComputePerformance(doc().Motor());
    ASSERT_TRUE(outcome.figures);
    // The thrust curve of the three-grain motor the undo went back to.
    EXPECT_NEAR(*ui->grKN->Table().rows[1][0], outcome.figures->curve.front().thrust, 1e-6);
    Action("mnuShowPressure")->trigger();
    ui->mnuRedo->trigger();
    EXPECT_TRUE(Action("mnuShowPressure")->isChecked());
    EXPECT_TRUE(ui->grKN->Shown().secondary.has_value());
    EXPECT_EQ(ui->grKN->Title(), "kn vs. Burn Depth");
}

// A millimetre design's depth axis has its ticks at round depths placed where
// those depths lie: the 10.5 mm web's curve under labels 0, 2, 4 ... 10.
TEST_F(FiguresOnScreenTest, MillimetreDepthAxisTicksAtTrueDepths) {
    TypeKnsbMotor();
    EXPECT_TRUE(ui->grKN->Shown().value_axis);
    const auto labels = ui->grKN->DrawnLabels(Qt::Horizontal);
    QStringList texts;
    for (const auto& label : labels) texts << label.text;
    EXPECT_EQ(texts, QStringList({"0", "2", "4", "6", "8", "10"}));
    // "10" is drawn at depth 10 of a curve whose samples end at 10.5.
    const QRectF plot = ui->grKN->PlotArea();
    const auto& depths = ui->grKN->Table().rows[0];
    const double columns = static_cast<double>(depths.size() - 1);
    std::size_t ten = 0;
    while (ten + 1 < depths.size() && depths[ten + 1] && *depths[ten + 1] <= 10.0) ++ten;
    const double x_ten = plot.left() + plot.width() * static_cast<double>(ten) / columns;
    EXPECT_NEAR(labels.back().rect.center().x(), x_ten, 2.0);

    doc().SetChanged(false);  // an inch design keeps the labels as they always were
    ui->mnuNew->trigger();
    AddGrain("4", "2", "1");
    Type(ui->txtNozzleThroatDia, "0.5");
    PressEnter(ui->txtNozzleThroatDia);
    EXPECT_FALSE(ui->grKN->Shown().value_axis);
    EXPECT_EQ(*ui->grKN->Table().rows[0][125], 0.125);
}

// Converting the design's lengths with its unit: the grains, the throat (the
// motor's and its field's), the grain fields and the unit named beside them,
// as one undo step.
TEST_F(FiguresOnScreenTest, ConvertingTheUnitConvertsEveryLength) {
    TypeKnsbMotor();
    EXPECT_EQ(Label("lblGrainLengthUnit")->text(), "in mm");
    EXPECT_TRUE(Label("lblMotorLengthUnit")->isVisibleTo(window.get()));
    const QString designation = Label("lblDesignation")->text();
    PropellantChoice inches = Knsb();
    inches.inputs.units = LengthUnit::kInch;
    inches.length_scale = 1.0 / 25.4;
    editor->answers.push_back(inches);
    Action("mnuPropellant")->trigger();
    EXPECT_FLOAT_EQ(doc().Motor().Grain(1)->Length(), 57.0f / 25.4f);
    EXPECT_FLOAT_EQ(doc().Motor().NozzleDia(), 10.0f / 25.4f);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "0.3937008");
    EXPECT_EQ(ui->txtGrainLength->text(), "2.244094");
    EXPECT_EQ(ui->grdGrains->TextMatrix(1, 2), "1.496063");
    EXPECT_EQ(Label("lblGrainLengthUnit")->text(), "in inches");
    EXPECT_EQ(Label("lblDesignation")->text(), designation);  // the same motor
    EXPECT_EQ(doc().History().undoText(), "Propellant");
    ui->mnuUndo->trigger();
    EXPECT_EQ(doc().Motor().Grain(1)->Length(), 57.0f);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "10");
    // The grain fields go back to millimetres too: Add Grain then adds a
    // 57 mm grain, not a 2.244 mm one.
    EXPECT_EQ(ui->txtGrainLength->text(), "57");
    ui->mnuRedo->trigger();
    EXPECT_EQ(ui->txtGrainLength->text(), "2.244094");
}

// File > Exit asks about unsaved changes as closing the window does.
TEST_F(FiguresOnScreenTest, ExitAsksLikeClosing) {
    AddGrain("4", "2", "1");
    dialogs.answers.push_back(MsgResult::kCancel);
    Action("mnuExit")->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, " has unsaved changes, do you want to save before clossing?");
    EXPECT_TRUE(window->isVisible());
    dialogs.answers.push_back(MsgResult::kNo);
    Action("mnuExit")->trigger();
    EXPECT_FALSE(window->isVisible());
}

// The history keeps at most its limit of steps, each state once.
TEST_F(FiguresOnScreenTest, HistoryKeepsItsLimit) {
    AddGrain("4", "2", "1");
    for (int i = 0; i < UndoHistory::kMaxSteps + 20; ++i) {
        Type(ui->txtNozzleThroatDia, QString::number(0.3 + 0.0001 * i));
        Leave(ui->txtNozzleThroatDia);
    }
    EXPECT_EQ(doc().History().count(), UndoHistory::kMaxSteps);
    EXPECT_LT(doc().History().Bytes(), UndoHistory::kMaxBytes);
    EXPECT_TRUE(doc().History().canUndo());
    ui->mnuUndo->trigger();
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), QString::number(0.3 + 0.0001 * (UndoHistory::kMaxSteps + 18)));
}

}  // namespace
}  // namespace thrustlet::testing
