// Static firings in the window: the dialog's firings, figures, graphs and
// fit, and the controller taking the fitted law as one undo step that Save
// and reopen keep.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "model/motor_run.h"
#include "model/firing_analysis.h"
#include "model/formats/motor_file.h"
#include "model/propellant_library.h"
#include "tests/support/grains.h"
#include "tests/support/scripted_editor.h"
#include "tests/support/window_fixture.h"
#include "ui/static_firing_dialog.h"
#include "ui/static_firings.h"
#include "ui/motor_performance.h"
#include "ui/design_sheet.h"
#include <QRegularExpression>

namespace thrustlet::testing {
namespace {

constexpr float kN = 0.32f;

// Three 38 mm grains and a 10 mm throat, 8 mm/s at 1 MPa with n 0.32, in
// millimetres or inches.
cMotor Design(LengthUnit unit) {
    cMotor motor;
    const float s = unit == LengthUnit::kInch ? 1.0f / 25.4f : 1.0f;
    for (int i = 0; i < 3; ++i) motor.AddGrain(MakeGrain(57 * s, 38 * s, 16 * s));
    motor.SetNozzleDia(10.0f * s);
    motor.SetISPStar(900.0f);
    motor.SetDensity(1800.0f);
    motor.SetBallisticA(static_cast<float>(8e-3 * std::pow(1e6, -kN)));
    motor.SetBallisticN(kN);
    PerformanceInputs in;
    in.units = unit;
    in.propellant_name = "test";
    in.specific_heat_ratio = 1.04f;
    in.nozzle_exit_dia = 25.0f * s;
    motor.SetPerformance(in);
    return motor;
}

// A log of the design's own burn at `efficiency` of its c* (which moves its
// pressure along the law), as a stand writes it: seconds, newtons, gauge
// pascals.
std::string WriteFiring(const QTemporaryDir& dir, const char* name, const cMotor& design, double efficiency) {
    cMotor real = design.DetachedCopy();
    real.SetISPStar(static_cast<float>(design.ISPStar() * efficiency));
    const Firing firing = *RunMotor(real).PredictedFiring();
    const std::string path = dir.filePath(name).toStdString();
    std::ofstream out(path);
    out << "time (s),thrust (N),pressure (Pa)\n";
    for (std::size_t i = 0; i < firing.Samples(); ++i) {
        char line[120];
        std::snprintf(line, sizeof line, "%.12g,%.9g,%.9g\n", firing.time[i], firing.force[i],
                      firing.pressure[i] - design.Performance().AmbientPressure());
        out << line;
    }
    return path;
}

PerformanceInputs::StaticFiring Log(const std::string& path) { return {path, "", false}; }

class StaticFiringDialogTest : public ::testing::Test {
protected:
    void Open(const cMotor& design) {
        dialog = std::make_unique<StaticFiringDialog>(design, dialogs);
        list = dialog->findChild<QListWidget*>("lstFirings");
        figures = dialog->findChild<QTableWidget*>("grdFigures");
        strand = dialog->findChild<QTableWidget*>("grdStrand");
        breaks = dialog->findChild<QLineEdit*>("txtBreaks");
        points = dialog->findChild<QComboBox*>("cboPoints");
        fit = dialog->findChild<QLabel*>("lblFit");
        firing_graph = dialog->findChild<GraphLite*>("grFiring");
        rate_graph = dialog->findChild<GraphLite*>("grBurnRate");
        ASSERT_TRUE(list && figures && strand && breaks && points && fit && firing_graph && rate_graph);
    }
    void AddStrandPoint(const QString& pressure, const QString& rate) {
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdAddStrand"), Qt::LeftButton);
        strand->item(strand->rowCount() - 1, 0)->setText(pressure);
        strand->item(strand->rowCount() - 1, 1)->setText(rate);
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<StaticFiringDialog> dialog;
    QListWidget* list = nullptr;
    QTableWidget *figures = nullptr, *strand = nullptr;
    QLineEdit* breaks = nullptr;
    QComboBox* points = nullptr;
    QLabel* fit = nullptr;
    GraphLite *firing_graph = nullptr, *rate_graph = nullptr;
};

// A firing shows what it measured beside the prediction and its traces over
// the predicted ones; a log that is not there stays listed, named missing,
// and the firings come back in order.
TEST_F(StaticFiringDialogTest, FiringsBesideThePredictionAndAMissingOneKept) {
    const cMotor design = Design(LengthUnit::kMillimetre);
    Open(design);
    const std::string log = WriteFiring(dir, "stand.csv", design, 0.9);
    const std::string gone = dir.filePath("gone.csv").toStdString();
    dialogs.files.push_back({QString::fromStdString(log), "stand.csv"});
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdAddFiring"), Qt::LeftButton);
    dialog->AddFiring(Log(gone));

    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), "stand.csv");
    EXPECT_EQ(list->item(1)->text(), "gone.csv \u2014 missing");
    EXPECT_FALSE(dialog->Firings()[1].firing.has_value());
    EXPECT_TRUE(firing_graph->Shown().note.startsWith("gone.csv: "));

    list->setCurrentRow(0);
    EXPECT_TRUE(firing_graph->Shown().note.isEmpty());
    EXPECT_EQ(firing_graph->Series().size(), 4u);
    EXPECT_TRUE(firing_graph->Series().at(1).dashed);  // measured thrust over predicted
    EXPECT_EQ(figures->verticalHeaderItem(5)->text(), "Peak pressure (MPa)");
    // Made at 90 % of the design's c*: that efficiency is measured, and the
    // average pressure is below the prediction's.
    EXPECT_NEAR(figures->item(9, 0)->text().toDouble(), 0.90, 0.005);
    EXPECT_NEAR(figures->item(9, 1)->text().toDouble(), 1.00, 0.005);
    EXPECT_TRUE(figures->item(6, 2)->text().startsWith("-")) << figures->item(6, 2)->text().toStdString();
    EXPECT_TRUE(figures->item(11, 0)->toolTip().isEmpty());  // a thrust coefficient a nozzle can give

    const FiringChoice choice = dialog->Choice();
    ASSERT_EQ(choice.firings.size(), 2u);
    EXPECT_EQ(choice.firings[0].path, log);
    EXPECT_EQ(choice.firings[1].path, gone);
    EXPECT_FALSE(choice.law.has_value());

    dialog->RemoveFiring(0);
    ASSERT_EQ(dialog->Choice().firings.size(), 1u);
    EXPECT_EQ(dialog->Choice().firings[0].path, gone);
}

// A design's firings open together: every one listed with its name, the
// last shown, the points of all of them gathered.
TEST_F(StaticFiringDialogTest, TheDesignsFiringsOpenListedAndShown) {
    cMotor design = Design(LengthUnit::kMillimetre);
    const std::string log = WriteFiring(dir, "stand.csv", design, 0.9);
    PerformanceInputs in = design.Performance();
    for (int i = 0; i < 40; ++i) in.static_firings.push_back(Log(log));
    in.static_firings.push_back(Log(dir.filePath("gone.csv").toStdString()));
    design.SetPerformance(in);
    Open(design);
    ASSERT_EQ(list->count(), 41);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(list->item(i)->text(), "stand.csv") << i;
    EXPECT_EQ(list->item(40)->text(), "gone.csv \u2014 missing");
    EXPECT_EQ(list->currentRow(), 40);
    EXPECT_TRUE(firing_graph->Shown().note.startsWith("gone.csv: "));
    EXPECT_EQ(dialog->Points().size(), 40u);  // one average point a firing read
}

// A thrust coefficient above the ideal nozzle's (a pressure reading 20 %
// low) is marked as suspicious, with why.
TEST_F(StaticFiringDialogTest, ThrustCoefficientAboveIdealIsMarked) {
    const cMotor design = Design(LengthUnit::kMillimetre);
    Open(design);
    const Firing firing = *RunMotor(design).PredictedFiring();
    const std::string path = dir.filePath("low.csv").toStdString();
    std::ofstream out(path);
    out << "time (s),thrust (N),pressure (Pa)\n";
    for (std::size_t i = 0; i < firing.Samples(); ++i) {
        out << firing.time[i] << "," << firing.force[i] << ","
            << 0.8 * (firing.pressure[i] - design.Performance().AmbientPressure()) << "\n";
    }
    out.close();
    dialog->AddFiring(Log(path));
    EXPECT_GT(figures->item(11, 0)->text().toDouble(), 1.0);
    EXPECT_TRUE(figures->item(11, 0)->toolTip().contains("pressure reading is low or lags")) << figures->item(11, 0)->toolTip().toStdString();
}

// A log that cannot be read is refused with why, and not added; the units
// typed after it are the next log's, not the selected firing's.
TEST_F(StaticFiringDialogTest, BadLogsAreNotAdded) {
    const cMotor design = Design(LengthUnit::kMillimetre);
    Open(design);
    dialog->AddFiring(Log(WriteFiring(dir, "good.csv", design, 1.0)));
    const auto add = [&](const std::string& path) {
        dialogs.files.push_back({QString::fromStdString(path), ""});
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdAddFiring"), Qt::LeftButton);
    };
    const auto write = [&](const char* name, const std::string& text) {
        const std::string path = dir.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    };
    add(write("five.csv", "time (s),force (N)\n0,1\n1,2\n2,3\n3,4\n4,5\n"));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "five.csv cannot be used as a firing: only 5 samples: a firing needs at least 10.");
    EXPECT_EQ(list->count(), 1);

    // Numbers alone: every column's unit must be given (none is guessed).
    std::string plain;
    for (int i = 0; i < 20; ++i) plain += std::to_string(i * 0.1) + "," + std::to_string(100 + i) + "," + std::to_string(3e6 - i) + "\n";
    const std::string headerless = write("plain.csv", plain);
    add(headerless);
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentRow(), -1);
    auto* units = dialog->findChild<QLineEdit*>("txtUnits");
    units->setText("time=s,force=N,pressure=Pa");
    emit units->editingFinished();
    EXPECT_EQ(dialog->Firings()[0].source.units, "");  // the good log keeps its own
    add(headerless);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(dialog->Firings()[1].source.units, "time=s,force=N,pressure=Pa");
    EXPECT_TRUE(dialog->Firings()[1].figures.has_value());
}

// Two firings at different pressures give the law back, shown in the
// design's units; "Use this law" hands it over with the measured c* when
// asked. One firing's single point is no law, and nothing is handed over.
TEST_F(StaticFiringDialogTest, FitFromFiringsAndUseThisLaw) {
    for (LengthUnit unit : {LengthUnit::kMillimetre, LengthUnit::kInch}) {
        const bool inch = unit == LengthUnit::kInch;
        SCOPED_TRACE(inch ? "inches" : "millimetres");
        const cMotor design = Design(unit);
        Open(design);
        dialog->AddFiring(Log(WriteFiring(dir, "low.csv", design, 0.8)));
        EXPECT_FALSE(dialog->Fit());
        EXPECT_EQ(fit->text(), "The piece from 0 Pa up has points at only one pressure: a law needs two pressures at least.");
        dialog->UseThisLaw();
        EXPECT_NE(dialog->result(), QDialog::Accepted);
        ASSERT_FALSE(dialogs.boxes.empty());
        EXPECT_TRUE(dialogs.boxes.back().text.startsWith("There is no law to use: The piece from 0 Pa"));
        EXPECT_FALSE(dialog->Choice().law.has_value());

        dialog->AddFiring(Log(WriteFiring(dir, "high.csv", design, 0.95)));
        ASSERT_TRUE(dialog->Fit()) << fit->text().toStdString();
        EXPECT_TRUE(fit->text().contains(inch ? "r in in/s, P in psi" : "r in mm/s, P in MPa")) << fit->text().toStdString();
        EXPECT_EQ(rate_graph->Series().size(), 3u);  // points, the design's law, the fitted one
        EXPECT_TRUE(dialog->findChild<QCheckBox*>("chkCStar")->isChecked());  // taken by default
        dialog->UseThisLaw();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        const FiringChoice choice = dialog->Choice();
        ASSERT_TRUE(choice.law.has_value());
        // One law, as a piece over the pressures of the two firings.
        ASSERT_EQ(choice.law->pieces.size(), 1u);
        const BurnRatePiece& law = choice.law->pieces[0];
        EXPECT_NEAR(law.n, kN, 0.03);
        EXPECT_LT(law.p_min, law.p_max);
        const double p = 0.5 * (law.p_min + law.p_max);
        EXPECT_NEAR(law.a * std::pow(p, law.n), design.BallisticA() * std::pow(p, kN),
                    0.03 * design.BallisticA() * std::pow(p, kN));
        ASSERT_TRUE(choice.combustion_efficiency.has_value());
        EXPECT_NEAR(*choice.combustion_efficiency, (0.8 + 0.95) / 2, 0.02);
    }
}

// The whole traces fitted by the full model: the combustion and nozzle
// efficiencies found, the fitted trace drawn over the measured one, and Use
// This Law brings them, the law and the full model back.
TEST_F(StaticFiringDialogTest, TraceFitAndUseThisLaw) {
    const cMotor design = Design(LengthUnit::kMillimetre);
    Open(design);
    dialog->AddFiring(Log(WriteFiring(dir, "fired.csv", design, 0.9)));
    const std::size_t drawn = firing_graph->Series().size();
    QCheckBox* erosive = dialog->findChild<QCheckBox*>("chkErosive");
    ASSERT_NE(erosive, nullptr);
    EXPECT_FALSE(erosive->isEnabled());
    points->setCurrentIndex(2);
    EXPECT_TRUE(erosive->isEnabled());
    EXPECT_FALSE(dialog->findChild<QCheckBox*>("chkCStar")->isEnabled());
    ASSERT_TRUE(dialog->Fit()) << fit->text().toStdString();
    ASSERT_TRUE(dialog->LastTraceFit());
    const TraceFit& found = *dialog->LastTraceFit();
    EXPECT_NEAR(found.combustion_efficiency, 0.9, 0.02);
    ASSERT_TRUE(found.nozzle_efficiency);
    EXPECT_NEAR(*found.nozzle_efficiency, 1.0, 0.02);
    EXPECT_TRUE(fit->text().contains("fired.csv: the fitted pressure is")) << fit->text().toStdString();
    EXPECT_EQ(firing_graph->Series().size(), drawn + 1);  // the fitted trace
    dialog->UseThisLaw();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const FiringChoice choice = dialog->Choice();
    ASSERT_TRUE(choice.law && choice.combustion_efficiency && choice.nozzle_efficiency);
    EXPECT_TRUE(choice.full_model);
    EXPECT_FALSE(choice.erosive_alpha);
    EXPECT_EQ(*choice.combustion_efficiency, static_cast<float>(found.combustion_efficiency));
}

// Strand-burner points are typed in the design's units; break pressures
// must be numbers; the instant points of one firing are a law by
// themselves.
TEST_F(StaticFiringDialogTest, StrandPointsBreaksAndInstantPoints) {
    Open(Design(LengthUnit::kInch));
    AddStrandPoint("500", "0.3");
    AddStrandPoint("1000", "0.4");
    AddStrandPoint("x", "1");  // not a point
    const std::vector<BurnRatePoint> typed = dialog->Points();
    ASSERT_EQ(typed.size(), 2u);
    EXPECT_DOUBLE_EQ(typed[1].pressure, 1000 * 6894.757293168361);
    EXPECT_DOUBLE_EQ(typed[1].rate, 0.4 * 0.0254);
    EXPECT_EQ(typed[1].source, "strand burner");
    EXPECT_TRUE(dialog->Fit());
    EXPECT_NEAR(dialog->LastFit().pieces[0].n, std::log(0.4 / 0.3) / std::log(2.0), 1e-9);

    breaks->setText("700 eight");
    EXPECT_FALSE(dialog->Fit());
    EXPECT_EQ(fit->text(), "The break pressures must be numbers, parted by spaces or semicolons.");

    Open(Design(LengthUnit::kMillimetre));
    dialog->AddFiring(Log(WriteFiring(dir, "one.csv", Design(LengthUnit::kMillimetre), 1.0)));
    points->setCurrentIndex(1);
    EXPECT_GT(dialog->Points().size(), 20u);
    ASSERT_TRUE(dialog->Fit()) << fit->text().toStdString();
    EXPECT_NEAR(dialog->LastFit().pieces[0].n, kN, 0.03);
}

// The window's side: what the dialog hands over is one undo step.
class ScriptedFiringEditor : public IFiringEditor {
public:
    std::optional<FiringChoice> Edit(const cMotor& design, QWidget*) override {
        shown.push_back(design.Performance().static_firings);
        return NextAnswer(answers);
    }
    std::deque<std::optional<FiringChoice>> answers;
    std::vector<std::vector<PerformanceInputs::StaticFiring>> shown;
};

class StaticFiringsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        editor = ScriptEditorOf<ScriptedFiringEditor>(window->Firings());
    }
    void OpenDesign(const cMotor& design, const QString& path) {
        design.SaveToFile(path.toStdString());
        dialogs.files.push_back({path, QFileInfo(path).fileName()});
        ui->mnuOpen->trigger();
    }
    void StaticFiring(const std::optional<FiringChoice>& answer) {
        editor->answers.push_back(answer);
        window->findChild<QAction*>("mnuStaticFiring")->trigger();
    }
    QString Figure(const char* name) { return window->findChild<QLabel*>(name)->text(); }

    QTemporaryDir dir;
    ScriptedFiringEditor* editor = nullptr;
};

// "Use this law": the law and the c* in one step (the firings added in the
// same visit in one before it), the figures updated and the design changed;
// Undo puts the old law back, Redo the new;
// Cancel changes nothing and records nothing.
TEST_F(StaticFiringsTest, UseThisLawIsOneUndoStep) {
    OpenDesign(Design(LengthUnit::kMillimetre), dir.filePath("m.tlt"));
    const QString burn_before = Figure("lblBurnTime");
    StaticFiring(std::nullopt);
    EXPECT_FALSE(doc().Changed());
    EXPECT_FALSE(ui->mnuUndo->isEnabled());

    FiringChoice choice;
    choice.firings = {Log(dir.filePath("f.csv").toStdString())};
    choice.law = FittedLaw{static_cast<float>(9e-3 * std::pow(1e6, -0.4)), 0.4f, {}};
    choice.combustion_efficiency = 0.9f;
    StaticFiring(choice);
    EXPECT_TRUE(doc().Changed());
    EXPECT_EQ(doc().Motor().BallisticN(), 0.4f);
    EXPECT_EQ(doc().Motor().ISPStar(), 900.0f);  // the propellant stays itself
    EXPECT_EQ(doc().Motor().Performance().combustion_efficiency, 0.9f);
    EXPECT_EQ(doc().Motor().Performance().static_firings, choice.firings);
    EXPECT_NE(Figure("lblBurnTime"), burn_before);
    EXPECT_EQ(ui->mnuUndo->text(), "&Undo Fitted Law");

    // The law is one step, the firing added in the same visit another:
    // undoing the law keeps the firing.
    ui->mnuUndo->trigger();
    EXPECT_EQ(doc().Motor().BallisticN(), kN);
    EXPECT_FALSE(doc().Motor().Performance().combustion_efficiency);
    EXPECT_EQ(doc().Motor().Performance().static_firings, choice.firings);
    EXPECT_EQ(Figure("lblBurnTime"), burn_before);
    EXPECT_EQ(ui->mnuUndo->text(), "&Undo Static Firings");
    ui->mnuUndo->trigger();
    EXPECT_TRUE(doc().Motor().Performance().static_firings.empty());
    ui->mnuRedo->trigger();
    ui->mnuRedo->trigger();
    EXPECT_EQ(doc().Motor().BallisticN(), 0.4f);

    // A piecewise law replaces the single one.
    choice.law = FittedLaw{0, 0, {{0.0f, 3e6f, 1e-4f, 0.2f}, {3e6f, FLT_MAX, 2e-5f, 0.3f}}};
    choice.combustion_efficiency.reset();
    StaticFiring(choice);
    EXPECT_EQ(doc().Motor().BallisticA(), 0.0f);
    EXPECT_EQ(doc().Motor().Performance().burn_rate.size(), 2u);
    EXPECT_EQ(doc().Motor().Performance().combustion_efficiency, 0.9f);  // kept from before
}

// A law fitted to the whole traces comes with the nozzle's efficiency,
// the erosive coefficients and the full model, all in the one undo step.
TEST_F(StaticFiringsTest, TraceFitIsOneUndoStep) {
    OpenDesign(Design(LengthUnit::kMillimetre), dir.filePath("m.tlt"));
    const PerformanceInputs before = doc().Motor().Performance();
    FiringChoice choice;
    choice.law = FittedLaw{static_cast<float>(9e-3 * std::pow(1e6, -0.35)), 0.35f, {}};
    choice.combustion_efficiency = 0.88f;
    choice.nozzle_efficiency = 0.93f;
    choice.erosive_alpha = 2e-5f;
    choice.erosive_beta = 120.0f;
    choice.full_model = true;
    StaticFiring(choice);
    const PerformanceInputs& in = doc().Motor().Performance();
    EXPECT_EQ(in.Model(), BurnModel::kFull);
    EXPECT_EQ(in.nozzle_efficiency, 0.93f);
    EXPECT_EQ(in.erosive_alpha, 2e-5f);
    EXPECT_EQ(in.erosive_beta, 120.0f);
    EXPECT_EQ(ui->mnuUndo->text(), "&Undo Fitted Law");
    ui->mnuUndo->trigger();
    EXPECT_EQ(doc().Motor().Performance(), before);
}

// The firings listed are saved beside the design, relative to it, and
// come back on reopening, a missing one too; the dialog is shown them.
TEST_F(StaticFiringsTest, SaveAndReopenKeepTheFirings) {
    const QString path = dir.filePath("motor.tlt");
    OpenDesign(Design(LengthUnit::kMillimetre), path);
    FiringChoice choice;
    choice.firings = {Log(dir.filePath("logs/first.csv").toStdString()),
                      {dir.filePath("second.txt").toStdString(), "time=ms,force=lbf,pressure=psi", true}};
    StaticFiring(choice);
    EXPECT_EQ(ui->mnuUndo->text(), "&Undo Static Firings");
    ui->mnuSave->trigger();
    EXPECT_FALSE(doc().Changed());
    std::ifstream in(path.toStdString(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("StaticFiring:logs/first.csv\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("StaticFiring:second.txt|time=ms,force=lbf,pressure=psi|absolute\r\n"), std::string::npos);

    OpenDesign(Design(LengthUnit::kMillimetre), dir.filePath("other.tlt"));
    dialogs.files.push_back({path, "motor.tlt"});
    ui->mnuOpen->trigger();
    EXPECT_TRUE(dialogs.Texts().filter("first.csv").isEmpty());  // missing logs do not stop the opening
    StaticFiring(std::nullopt);
    ASSERT_EQ(editor->shown.back().size(), 2u);
    EXPECT_EQ(editor->shown.back(), choice.firings);
}

// The sheet gets a page of the firings: each readable one's figures and
// graph, the one that is not there named with why, the burn-rate points.
TEST_F(StaticFiringsTest, SheetHasAPageOfTheFirings) {
    const auto pages = [](const QByteArray& pdf) {
        return QString::fromLatin1(pdf).count(QRegularExpression("/Type\\s*/Page(?!s)"));
    };
    const cMotor design = Design(LengthUnit::kInch);
    OpenDesign(design, dir.filePath("m.tlt"));
    EXPECT_FALSE(window->Sheet().Content().firings.has_value());
    EXPECT_EQ(pages(DesignSheet::Pdf(window->Sheet().Content())), 1);

    FiringChoice choice;
    choice.firings = {Log(WriteFiring(dir, "stand.csv", design, 0.9)), Log(dir.filePath("gone.csv").toStdString())};
    StaticFiring(choice);
    const SheetContent content = window->Sheet().Content();
    ASSERT_TRUE(content.firings.has_value());
    const SheetFirings& page = *content.firings;
    EXPECT_EQ(page.captions.at(5), "Peak pressure (psi)");
    ASSERT_EQ(page.firings.size(), 2u);
    EXPECT_EQ(page.firings[0].name, "stand.csv");
    EXPECT_EQ(page.firings[0].measured.size(), page.captions.size());
    EXPECT_TRUE(page.firings[0].difference.at(9).startsWith("-")) << page.firings[0].difference.at(9).toStdString();
    ASSERT_TRUE(page.firings[0].graph.has_value());
    EXPECT_EQ(page.firings[0].graph->title, "stand.csv over the prediction");
    EXPECT_TRUE(page.firings[1].measured.isEmpty());
    EXPECT_TRUE(page.firings[1].problem.contains("gone.csv")) << page.firings[1].problem.toStdString();
    ASSERT_TRUE(page.burn_rate.has_value());
    EXPECT_TRUE(page.burn_rate->log_x && page.burn_rate->log_y);
    EXPECT_EQ(pages(DesignSheet::Pdf(content)), 2);
}

// Choosing a propellant keeps what its dialog does not show: the firings
// and the limits.
TEST_F(StaticFiringsTest, APropellantChosenKeepsTheFiringsAndLimits) {
    cMotor design = Design(LengthUnit::kMillimetre);
    PerformanceInputs in = design.Performance();
    in.max_pressure = 5e6f;
    in.min_port_throat = 1.5f;
    design.SetPerformance(in);
    OpenDesign(design, dir.filePath("m.tlt"));
    FiringChoice choice;
    choice.firings = {Log(dir.filePath("f.csv").toStdString())};
    StaticFiring(choice);
    ScriptEditorOf<ScriptedEditor>(window->Performance())->answers.push_back(Knsb());
    window->findChild<QAction*>("mnuPropellant")->trigger();
    const PerformanceInputs& kept = doc().Motor().Performance();
    EXPECT_EQ(kept.propellant_name, "KNSB");
    EXPECT_EQ(kept.static_firings, choice.firings);
    EXPECT_EQ(kept.max_pressure, 5e6f);
    EXPECT_EQ(kept.min_port_throat, 1.5f);
}

}  // namespace
}  // namespace thrustlet::testing
