// Results out of the window: the graph's image and data through its context
// menu, and the design sheet as a PDF and on a printer, driven headless
// through the scripted dialogs.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "model/kn_curve.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "model/performance.h"
#include "platform/printing.h"
#include "tests/support/grains.h"
#include "tests/support/window_fixture.h"
#include "ui/design_sheet.h"
#include "ui/grain_editor.h"
#include "ui/graph_export.h"

namespace thrustlet::testing {
namespace {

// Paints the page into a picture of its own and keeps what it was asked.
class ScriptedPrinting : public IPrinting {
public:
    bool Print(const QString& document_name, const std::vector<PagePainter>& paint) override {
        names << document_name;
        pages.clear();
        for (const PagePainter& each : paint) {
            pages.emplace_back(800, 1130, QImage::Format_RGB32);
            pages.back().fill(Qt::white);
            QPainter painter(&pages.back());
            each(painter, QRectF(0, 0, pages.back().width(), pages.back().height()));
        }
        page = pages.empty() ? QImage() : pages.front();
        return true;
    }
    bool HasPrinter() const override { return has_printer; }
    bool has_printer = true;
    QStringList names;
    QImage page;  // the first
    std::vector<QImage> pages;
};

QByteArray Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Pixels of a clearly red colour (the Kn curve's) in an image.
int RedPixels(const QImage& image) {
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            red += qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 90;
        }
    }
    return red;
}

class ResultsExportTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        auto scripted = std::make_unique<ScriptedPrinting>();
        printing = scripted.get();
        window->Sheet().SetPrinting(std::move(scripted));
    }
    // Opens an example motor file, as File > Open would.
    void OpenExample(const char* name) {
        const std::string path = std::string(THRUSTLET_EXAMPLES_DIR) + "/" + name;
        window->Files().OpenFile(path, name);
        ASSERT_EQ(doc().CurrentFile(), path);
    }
    void Choose(const QString& path, int filter_index = 0) {
        dialogs.files.push_back({path, QFileInfo(path).fileName(), filter_index});
    }
    QAction* Action(const char* name) {
        QAction* action = window->findChild<QAction*>(name);
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    // A command-line tool's standard output, or nothing when it is not here
    // (under Wine the Linux tools are out of reach).
    static QString Run(const QString& program, const QStringList& arguments) {
        const QString found = program.contains('/') ? program : QStandardPaths::findExecutable(program);
        if (found.isEmpty() || !QFileInfo::exists(found)) return QString();
        QProcess process;
        process.start(found, arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) return QString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    QTemporaryDir dir;
    ScriptedPrinting* printing = nullptr;
};

// The graph's menu holds its three items, on a right-click and on the
// context-menu key wherever the focus is in the window.
TEST_F(ResultsExportTest, GraphMenuOnRightClickAndTheMenuKey) {
    EXPECT_EQ(ui->grKN->contextMenuPolicy(), Qt::ActionsContextMenu);
    QStringList items;
    for (QAction* action : ui->grKN->actions()) items << action->text();
    EXPECT_EQ(items, (QStringList{"Copy Image", "Save Image\u2026", "Save Data\u2026"}));

    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) shown << action->text();
        menu->close();
    });
    ui->txtGrainLength->setFocus();
    QTest::keyClick(ui->txtGrainLength, Qt::Key_Menu);
    EXPECT_EQ(shown, items);
}

// The data: a header, then exactly the samples thrustlet-kn --curve prints
// for the same file; the shown view's pressure or thrust joins them.
TEST_F(ResultsExportTest, SavedDataMatchesTheCommandLineCurve) {
    OpenExample("two_grain.tlt");
    const QString csv_path = dir.filePath("curve.csv");
    Choose(csv_path);
    Action("mnuSaveData")->trigger();
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    EXPECT_EQ(dialogs.file_requests[0].initial_name, "two_grain.csv");
    EXPECT_EQ(dialogs.file_requests[0].default_ext, ".csv");
    const QStringList lines = QString::fromUtf8(Slurp(csv_path)).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 100);
    EXPECT_EQ(lines[0], "depth,kn");
    EXPECT_EQ(lines[1], "0,152");
    EXPECT_EQ(lines.last(), "0.6,74");

    const QString cli = Run(THRUSTLET_KN_BINARY, {"--curve", QString(THRUSTLET_EXAMPLES_DIR) + "/two_grain.tlt"});
    if (!cli.isEmpty()) {
        QStringList printed = QString(cli).remove('\r').split('\n', Qt::SkipEmptyParts);
        printed = printed.mid(printed.indexOf("depth,kn"));
        EXPECT_EQ(lines, printed);
    }

    OpenExample("knsb_38mm.tlt");
    Action("mnuShowPressure")->trigger();
    Choose(dir.filePath("pressure.csv"));
    Action("mnuSaveData")->trigger();
    const QStringList pressure = QString::fromUtf8(Slurp(dir.filePath("pressure.csv"))).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_GT(pressure.size(), 2);
    EXPECT_EQ(pressure[0], "depth,kn,pressure_pa,time_s");
    const PerformanceOutcome outcome = ComputePerformance(doc().Motor());
    ASSERT_TRUE(outcome.figures);
    double highest = 0.0;
    for (const QString& line : pressure.mid(1)) highest = std::max(highest, line.section(',', 2, 2).toDouble());
    EXPECT_NEAR(highest, outcome.figures->peak_pressure, 0.005 * outcome.figures->peak_pressure);

    Action("mnuShowThrust")->trigger();
    Choose(dir.filePath("thrust.csv"));
    Action("mnuSaveData")->trigger();
    const QStringList thrust = QString::fromUtf8(Slurp(dir.filePath("thrust.csv"))).split("\r\n", Qt::SkipEmptyParts);
    EXPECT_EQ(thrust[0], "depth,kn,thrust_n,time_s");
    EXPECT_NEAR(thrust[1].section(',', 2, 2).toDouble(), outcome.figures->curve.front().thrust, 1e-6);
    // The time the burn reaches each sample: from 0, rising, to the burnout.
    double previous = -1.0;
    for (const QString& line : thrust.mid(1)) {
        const double time = line.section(',', 3, 3).toDouble();
        EXPECT_GT(time, previous) << line.toStdString();
        previous = time;
    }
    EXPECT_EQ(thrust[1].section(',', 3, 3), "0");
    EXPECT_LE(previous, outcome.figures->burn_time);
    EXPECT_GT(previous, 0.98 * outcome.figures->burn_time);

    // The mass-flux view's data: each grain's flux against time, as drawn.
    Action("mnuShowMassFlux")->trigger();
    Choose(dir.filePath("flux.csv"));
    Action("mnuSaveData")->trigger();
    const QStringList flux = QString::fromUtf8(Slurp(dir.filePath("flux.csv"))).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_GT(flux.size(), 2);
    EXPECT_EQ(flux[0], "time_s,grain_1_kg_m2s,grain_2_kg_m2s,grain_3_kg_m2s") << flux[0].toStdString();
    const MotorFlow flow = RunMotor(doc().Motor()).Flow();
    double peak = 0.0;
    for (const QString& line : flux.mid(1)) {
        for (int column = 1; column <= 3; ++column) peak = std::max(peak, line.section(',', column, column).toDouble());
    }
    ASSERT_TRUE(flow.peak_mass_flux);
    EXPECT_NEAR(peak, *flow.peak_mass_flux, 0.01 * *flow.peak_mass_flux);
}

// Without a curve there is nothing to save, and the user is told so before
// any file dialog; a cancelled dialog writes nothing.
TEST_F(ResultsExportTest, NoCurveOrACancelledDialogWritesNothing) {
    Action("mnuSaveData")->trigger();
    EXPECT_TRUE(dialogs.file_requests.empty());
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "There is no Kn curve to save yet: add grains and a nozzle throat first.");

    OpenExample("two_grain.tlt");
    dialogs.files.push_back({});
    Action("mnuSaveImage")->trigger();
    dialogs.files.push_back({});
    Action("mnuExportSheet")->trigger();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// The image is the graph at its size on the screen (or twice or four times
// that, by the file type chosen), holding the red Kn curve; Copy Image puts
// the screen-sized one on the clipboard.
TEST_F(ResultsExportTest, ImageHasTheGraphsSizeAndItsCurve) {
    OpenExample("two_grain.tlt");
    const QSize screen = (QSizeF(ui->grKN->size()) * ui->grKN->devicePixelRatioF()).toSize();
    for (int index : {0, 1}) {
        const QString path = dir.filePath(QString("graph%1.png").arg(index));
        Choose(path, index);
        Action("mnuSaveImage")->trigger();
        QImage image;
        ASSERT_TRUE(image.loadFromData(Slurp(path), "PNG")) << index;
        EXPECT_EQ(image.size(), screen * (index == 0 ? 1 : 2));
        EXPECT_GT(RedPixels(image), 200 * (index + 1));
    }
    EXPECT_EQ(dialogs.file_requests[0].initial_name, "two_grain.png");

    Action("mnuCopyImage")->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), screen);
    EXPECT_GT(RedPixels(copied), 200);
}

// The sheet's PDF holds, as text, the file name, every grain and every
// figure the window shows, with the propellant's name and source, and its
// page holds the graphs.
TEST_F(ResultsExportTest, SheetHoldsTheDesignAndItsGraphs) {
    OpenExample("knsb_38mm.tlt");
    const QString pdf = dir.filePath("sheet.pdf");
    Choose(pdf);
    Action("mnuExportSheet")->trigger();
    ASSERT_TRUE(Slurp(pdf).startsWith("%PDF")) << "no PDF written";
    EXPECT_EQ(dialogs.file_requests[0].initial_name, "knsb_38mm.pdf");

    const QString text = Run("pdftotext", {"-layout", pdf, "-"});
    if (text.isEmpty()) GTEST_SKIP() << "pdftotext is not at hand";
    const QStringList expected = {"knsb_38mm.tlt", "Thrustlet 1.1.8", "Length", "Port/throat", "57", "33", "12", "14", "8.5",
                                  "22", "197", "225", "10.5", "0.37", "85.2%", "KNSB: values as published at",
                                  ui->txtKN->text(), window->findChild<QLabel*>("lblPeakPressure")->text(),
                                  window->findChild<QLabel*>("lblBurnTime")->text(),
                                  window->findChild<QLabel*>("lblTotalImpulse")->text(),
                                  window->findChild<QLabel*>("lblPropellantMass")->text(), "H200",
                                  "kn vs. Burn Depth", "Thrust (N) vs. Time (s)",
                                  "Propellant, nozzle and hardware", "Nozzle efficiency:", "85 %", "1841 kg/m"};
    for (const QString& piece : expected) EXPECT_TRUE(text.contains(piece)) << piece.toStdString() << "\n" << text.toStdString();
    EXPECT_TRUE(Run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));
    const QString picture = dir.filePath("page");
    Run("pdftoppm", {"-r", "40", "-png", "-singlefile", pdf, picture});
    QImage page(picture + ".png");
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(RedPixels(page), 60);  // the Kn curve
}

// Eight grains make one table with short headings and their units below,
// whatever the alerts: those the page has no room for are counted, on A4
// and on Letter alike.
TEST_F(ResultsExportTest, EightGrainsOneTableWithAnyNumberOfAlerts) {
    OpenExample("knsb_38mm.tlt");
    for (int i = 0; i < 5; ++i) doc().Motor().AddGrain(MakeGrain(57, 33, 12));
    window->Grains().PopulateGrainGrid();
    Type(ui->txtNozzleThroatDia, "9");
    Leave(ui->txtNozzleThroatDia);
    SheetContent content = window->Sheet().Content();
    ASSERT_EQ(content.grains.size(), 8u);
    ASSERT_EQ(content.grain_figures.size(), 8u);
    for (int i = 0; i < 40; ++i) content.alerts.push_back(QString("Alert number %1 of a long list.").arg(i + 1));
    for (const QPageSize::PageSizeId size : {QPageSize::A4, QPageSize::Letter}) {
        const QString pdf = dir.filePath(size == QPageSize::A4 ? "a4.pdf" : "letter.pdf");
        QPdfWriter writer(pdf);
        writer.setPageLayout(QPageLayout(QPageSize(size), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                         QPageLayout::Millimeter));
        writer.setResolution(600);
        {
            QPainter painter(&writer);
            PaintSheet(painter, QRectF(0, 0, writer.width(), writer.height()), content);
        }
        const QString text = Run("pdftotext", {"-layout", pdf, "-"});
        if (text.isEmpty()) GTEST_SKIP() << "pdftotext is not at hand";
        EXPECT_EQ(text.count("Neutral L."), 1) << text.toStdString();  // one table, not columns side by side
        EXPECT_TRUE(text.contains(QRegularExpression("\\n8 +57 +33 +12 "))) << text.toStdString();
        EXPECT_TRUE(text.contains(content.alerts.front().left(40))) << text.toStdString();
        EXPECT_FALSE(text.contains("Alert number 40 of a long list."));
        EXPECT_TRUE(text.contains(QRegularExpression("more alerts, listed in the window's Grains and Limits panel")));
        EXPECT_TRUE(text.contains("Thrust (N) vs. Time (s)"));
        EXPECT_TRUE(Run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));
    }
}

// A motor of many grains still fits one page; Print paints the same sheet
// on the printer the user picked, and the real printer path writes a page.
TEST_F(ResultsExportTest, ManyGrainsOnePageAndPrinting) {
    for (int i = 0; i < 150; ++i) doc().Motor().AddGrain(MakeGrain(4, 2, 1));
    window->Grains().PopulateGrainGrid();
    Type(ui->txtNozzleThroatDia, "2");
    Leave(ui->txtNozzleThroatDia);
    const SheetContent content = window->Sheet().Content();
    ASSERT_EQ(content.grains.size(), 150u);

    Action("mnuPrint")->trigger();
    ASSERT_EQ(printing->names, QStringList{"Motor design sheet: (not saved)"});
    EXPECT_GT(RedPixels(printing->page), 100);

    const QString pdf = dir.filePath("many.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(QtPrinting::PaintOn(printer, {[&](QPainter& painter, const QRectF& page) {
        PaintSheet(painter, page, content);
    }}));
    const QString info = Run("pdfinfo", {pdf});
    if (info.isEmpty()) GTEST_SKIP() << "pdfinfo is not at hand";
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
    const QString text = Run("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(text.contains("150")) << "the last grain's number";
}

// A system without a printer is told so, and pointed to the PDF sheet; no
// print dialog opens.
TEST_F(ResultsExportTest, PrintWithoutAPrinterSaysSo) {
    OpenExample("two_grain.tlt");
    printing->has_printer = false;
    Action("mnuPrint")->trigger();
    EXPECT_TRUE(printing->names.isEmpty());
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith("No printer is set up on this system.")) << dialogs.boxes[0].text.toStdString();
}

// Export dialogs start where the last export went; a design opened from a
// folder the user cannot write (an installed example under Program Files)
// sends them to the user's documents instead.
TEST_F(ResultsExportTest, ExportsStartInAFolderTheUserCanWrite) {
    OpenExample("two_grain.tlt");
    Choose(dir.filePath("first.csv"));
    Action("mnuSaveData")->trigger();
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (QFileInfo(QString(THRUSTLET_EXAMPLES_DIR)).isWritable()) {
        EXPECT_EQ(dialogs.file_requests[0].init_dir, QFileInfo(QString(THRUSTLET_EXAMPLES_DIR)).absoluteFilePath());
    }
    dialogs.files.push_back({});
    Action("mnuExportSheet")->trigger();
    ASSERT_EQ(dialogs.file_requests.size(), 2u);
    EXPECT_EQ(dialogs.file_requests[1].init_dir, dir.path());  // where the data went

    // A folder that refuses new files is passed over.
    QTemporaryDir locked;
    const QString design = locked.filePath("locked.tlt");
    doc().Motor().SaveToFile(design.toStdString());
    window->Files().OpenFile(design.toStdString(), "locked.tlt");
    QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFile(locked.filePath("probe")).open(QIODevice::WriteOnly)) GTEST_SKIP() << "running with rights that ignore read-only folders";
    Document fresh(registry, dialogs);
    fresh.SetCurrentFile(design.toStdString(), "locked.tlt");
    EXPECT_NE(fresh.ExportFolder(), locked.path());
    EXPECT_TRUE(fresh.ExportFolder() == documents || fresh.ExportFolder() == QDir::homePath()) << fresh.ExportFolder().toStdString();
    QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace
}  // namespace thrustlet::testing
