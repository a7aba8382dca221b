// Motors side by side in the window: other designs' curves laid dashed over
// the design's views, their figures in the Compared Motors window, through
// edits and undo, onto the sheet, and refused with the reason when they
// cannot be compared.
#include <QDialog>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include "model/motor_run.h"
#include "model/performance.h"
#include "platform/locale_number.h"
#include "tests/support/window_fixture.h"
#include "ui/design_sheet.h"
#include "ui/motor_comparison.h"

namespace thrustlet::testing {
namespace {

QString Example(const char* name) { return QString(THRUSTLET_EXAMPLES_DIR) + "/" + name; }
QString Data(const char* name) { return QString(THRUSTLET_TEST_DATA_DIR) + "/" + name; }

class MotorComparisonTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        Answer(Example("knsb_38mm.tlt"));
        ui->mnuOpen->trigger();
        ASSERT_EQ(doc().Motor().GrainCount(), 3);
        compare = Action("mnuCompareWith");
        stop = Action("mnuStopComparing");
        ASSERT_NE(compare, nullptr);
        ASSERT_NE(stop, nullptr);
    }
    void Answer(const QString& path) { dialogs.files.push_back({path, QFileInfo(path).fileName(), 0}); }
    QAction* Action(const char* name) { return window->findChild<QAction*>(name); }
    void CompareWith(const QString& path) {
        Answer(path);
        compare->trigger();
    }
    // The labels of the graph's series drawn dashed.
    QStringList DashedSeries() const {
        QStringList labels;
        for (const auto& [index, style] : ui->grKN->Shown().series) {
            if (style.dashed && index + 1 < static_cast<int>(ui->grKN->Shown().table.rows.size())) labels << style.label;
        }
        return labels;
    }
    QTableWidget* Table() { return window->findChild<QTableWidget*>("grdCompare"); }

    QAction* compare = nullptr;
    QAction* stop = nullptr;
};

TEST_F(MotorComparisonTest, ComparedMotorsAreDashedInEveryViewWithTheirFiguresBeside) {
    EXPECT_FALSE(stop->isEnabled());
    Action("mnuShowThrust")->trigger();
    const int rows_alone = static_cast<int>(ui->grKN->Shown().table.rows.size());

    CompareWith(Example("six_grain_54mm.tlt"));
    CompareWith(Data("meteor_v1_kndx_si.json"));
    ASSERT_EQ(window->Comparison().Motors().size(), 2u) << dialogs.Texts().join("\n").toStdString();
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_EQ(dialogs.file_requests.back().title, "Compare the design with another motor");

    // Thrust: one dashed series each, the time axis out to the longest burn.
    EXPECT_EQ(DashedSeries(), QStringList({"six_grain_54mm.tlt", "meteor_v1_kndx_si.json"}));
    EXPECT_EQ(static_cast<int>(ui->grKN->Shown().table.rows.size()), rows_alone + 2);
    const auto& times = ui->grKN->Shown().table.rows[0];
    EXPECT_GE(times.back().value_or(0.0), window->Comparison().LongestBurn());
    // The compared curve is the compared motor's own thrust.
    const MotorRun& six = *window->Comparison().Motors()[0].run;
    const std::size_t j = times.size() / 4;
    EXPECT_NEAR(ui->grKN->Shown().table.rows[static_cast<size_t>(rows_alone)][j].value_or(-1.0),
                ThrustAt(*six.Figures(), *times[j]), 1e-9);

    // Mass flux and pressure views carry them too.
    Action("mnuShowMassFlux")->trigger();
    EXPECT_EQ(DashedSeries(), QStringList({"six_grain_54mm.tlt (highest grain)", "meteor_v1_kndx_si.json (highest grain)"}));
    Action("mnuShowPressure")->trigger();
    EXPECT_EQ(DashedSeries(), QStringList({"six_grain_54mm.tlt", "meteor_v1_kndx_si.json"}));
    ASSERT_TRUE(ui->grKN->Shown().secondary);
    EXPECT_GE(ui->grKN->Shown().secondary->maximum, six.Figures()->peak_pressure / 1e6);

    // The table: the design first, then each motor, in the design's units.
    QTableWidget* table = Table();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, 0)->text(), "This design");
    EXPECT_EQ(table->item(1, 0)->text(), "six_grain_54mm.tlt");
    EXPECT_EQ(table->item(1, 2)->text(), QString::fromStdString(six.Figures()->designation));
    EXPECT_EQ(table->item(1, 5)->text(), TextOfFigure(six.Figures()->burn_time, 3));
    EXPECT_TRUE(table->horizontalHeaderItem(3)->text().endsWith("\nMPa"));

    // The design's row follows its edits; the compared motors stay.
    const QString before = table->item(0, 1)->text();
    Type(ui->txtNozzleThroatDia, "9.5");
    PressEnter(ui->txtNozzleThroatDia);
    EXPECT_NE(table->item(0, 1)->text(), before);
    EXPECT_EQ(DashedSeries().size(), 2);

    // Stopping clears the views and the window, and is no edit.
    const int steps = doc().History().count();
    stop->trigger();
    EXPECT_TRUE(DashedSeries().isEmpty());
    EXPECT_FALSE(window->findChild<QDialog*>("frmCompare")->isVisible());
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_EQ(doc().History().count(), steps);
}

// Undo shows the graph it kept, but with the motors compared now: never the
// overlays of an earlier comparison.
TEST_F(MotorComparisonTest, UndoKeepsTheMotorsComparedNow) {
    Action("mnuShowThrust")->trigger();
    Type(ui->txtNozzleThroatDia, "9");
    PressEnter(ui->txtNozzleThroatDia);
    CompareWith(Example("six_grain_54mm.tlt"));
    ASSERT_EQ(DashedSeries().size(), 1);
    ui->mnuUndo->trigger();
    EXPECT_EQ(DashedSeries(), QStringList({"six_grain_54mm.tlt"}));
    stop->trigger();
    ui->mnuRedo->trigger();
    EXPECT_TRUE(DashedSeries().isEmpty());
}

// The same motor drawn in inches lies on the millimetre design's own
// curves: its burn depths are converted to its unit, its figures to the
// design's.
TEST_F(MotorComparisonTest, AnInchCopyLiesOnTheMillimetreDesign) {
    cMotor inch;
    inch.ReadFromFile(Example("knsb_38mm.tlt").toStdString());
    const auto in_inches = [](float mm) { return static_cast<float>(mm / 25.4); };
    for (const auto& grain : inch.Grains()) {
        grain->SetLength(in_inches(grain->Length()));
        grain->SetDiameter(in_inches(grain->Diameter()));
        grain->SetCoreDiameter(in_inches(grain->CoreDiameter()));
    }
    inch.SetNozzleDia(in_inches(inch.NozzleDia()));
    PerformanceInputs in = inch.Performance();
    in.units = LengthUnit::kInch;
    in.nozzle_exit_dia = in_inches(*in.nozzle_exit_dia);
    inch.SetPerformance(in);
    QTemporaryDir dir;
    const QString path = dir.filePath("knsb_38mm_inch.tlt");
    inch.SaveToFile(path.toStdString());

    for (const char* view : {"mnuShowPressure", "mnuShowThrust"}) {
        SCOPED_TRACE(view);
        Action(view)->trigger();
        if (!window->Comparison().Active()) CompareWith(path);
        ASSERT_EQ(DashedSeries().size(), 1) << dialogs.Texts().join("\n").toStdString();
        const GraphTable& table = ui->grKN->Shown().table;
        const auto& own = table.rows[table.rows.size() - 2];  // the design's pressure (or thrust) row
        const auto& copy = table.rows.back();
        int compared = 0;
        for (std::size_t j = 0; j < own.size(); ++j) {
            if (!own[j] || !copy[j]) continue;
            EXPECT_NEAR(*copy[j], *own[j], 2e-3 * std::max(1.0, *own[j])) << j;
            ++compared;
        }
        EXPECT_GT(compared, 20);
    }
    QTableWidget* table = Table();
    for (int c = 1; c < table->columnCount(); ++c) EXPECT_EQ(table->item(1, c)->text(), table->item(0, c)->text()) << c;
}

TEST_F(MotorComparisonTest, MotorsThatCannotBeComparedAreRefusedNamingTheFile) {
    QTemporaryDir dir;
    const QString broken = dir.filePath("broken.ric");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("data:\n  grains: [\n");
    file.close();
    CompareWith(broken);
    CompareWith(Example("two_grain.tlt"));  // the Kn figures' four values alone: no propellant
    CompareWith(dir.filePath("missing.tlt"));
    EXPECT_FALSE(window->Comparison().Active());
    const QStringList texts = dialogs.Texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].startsWith("Cannot compare with broken.ric: ")) << texts[0].toStdString();
    EXPECT_TRUE(texts[1].startsWith("Cannot compare with two_grain.tlt: it has no propellant")) << texts[1].toStdString();
    EXPECT_TRUE(texts.back().startsWith("Cannot compare with missing.tlt: ")) << texts.back().toStdString();
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_TRUE(DashedSeries().isEmpty());
}

TEST_F(MotorComparisonTest, SheetListsTheComparedMotorsOnAPageOfTheirOwn) {
    EXPECT_FALSE(window->Sheet().Content().comparison);
    CompareWith(Data("meteor_v2_knsb_imperial.json"));
    ASSERT_TRUE(window->Comparison().Active()) << dialogs.Texts().join("\n").toStdString();
    const SheetContent content = window->Sheet().Content();
    ASSERT_TRUE(content.comparison);
    ASSERT_EQ(content.comparison->rows.size(), 2u);
    EXPECT_EQ(content.comparison->rows[1][0], "meteor_v2_knsb_imperial.json");
    ASSERT_TRUE(content.comparison->thrust_graph);
    ASSERT_TRUE(content.comparison->pressure_graph);
    // The window's own view is untouched by the sheet's graphs.
    EXPECT_TRUE(DashedSeries().isEmpty());
    EXPECT_FALSE(DesignSheet::Pdf(content).isEmpty());
}

}  // namespace
}  // namespace thrustlet::testing
