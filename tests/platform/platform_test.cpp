#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QGuiApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include "platform/busy_cursor.h"
#include "model/errors.h"
#include "platform/flex_grid.h"
#include "platform/graph_lite.h"
#include "platform/locale_number.h"
#include "platform/processes.h"
#include "platform/qt_dialogs.h"
#include "platform/text_box.h"

namespace thrustlet {
namespace {

class FlexGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.SetFormatString("^Grain #|Length|Diameter|Core Dia.");
        grid.SetRows(5);
        for (int row = 1; row < 5; ++row) {
            for (int col = 0; col < 4; ++col) grid.SetTextMatrix(row, col, QString("%1.%2").arg(row).arg(col));
        }
        grid.resize(300, 200);
        grid.show();
    }
    QPoint CellCentre(int row, int col) {
        return grid.visualRect(grid.model()->index(row - 1, col - 1)).center();
    }
    FlexGrid grid;
};

TEST_F(FlexGridTest, FormatStringMakesTheHeaderRow) {
    EXPECT_EQ(grid.Cols(), 4);
    EXPECT_EQ(grid.TextMatrix(0, 0), "Grain #");
    EXPECT_EQ(grid.TextMatrix(0, 3), "Core Dia.");
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "Length");
    EXPECT_EQ(grid.model()->headerData(1, Qt::Vertical).toString(), "2.0");
    grid.SetColWidth(2, 800);
    EXPECT_EQ(grid.columnWidth(1), 53);
    grid.SetColWidth(0, 800);
    EXPECT_EQ(grid.verticalHeader()->width(), 53);
}

TEST_F(FlexGridTest, RowsTruncateAndExtendKeepingTheHeader) {
    grid.SetRow(4);
    grid.SetRows(2);
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.TextMatrix(0, 1), "Length");
    grid.SetRows(3);
    EXPECT_EQ(grid.TextMatrix(2, 1), "");
    EXPECT_EQ(grid.TextMatrix(1, 1), "1.1");
    EXPECT_THROW(grid.TextMatrix(3, 0), RunTimeError);
    EXPECT_THROW(grid.SetRow(-1), RunTimeError);
    EXPECT_THROW(grid.SetColSel(4), RunTimeError);
}

TEST_F(FlexGridTest, SettingTheAnchorCollapsesItsOwnAxisOnly) {
    grid.SetCol(1);
    grid.SetColSel(3);
    grid.SetRow(2);
    EXPECT_EQ(grid.RowSel(), 2);
    EXPECT_EQ(grid.ColSel(), 3);  // the row's columns stay selected
    grid.SetRowSel(4);
    grid.SetCol(2);
    EXPECT_EQ(grid.RowSel(), 4);
    EXPECT_EQ(grid.ColSel(), 2);
    EXPECT_TRUE(grid.IsSelected(3, 2));
    EXPECT_FALSE(grid.IsSelected(3, 3));
    grid.SetRowSel(1);  // above the anchor
    EXPECT_TRUE(grid.IsSelected(1, 2));
    EXPECT_FALSE(grid.IsSelected(3, 2));
}

TEST_F(FlexGridTest, MouseClickAndDragMoveTheSelectionThenClick) {
    QSignalSpy clicks(&grid, &FlexGrid::Click);
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, CellCentre(3, 2));
    EXPECT_EQ(clicks.count(), 0);  // only after the button is released
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.RowSel(), 3);
    EXPECT_EQ(grid.Col(), 2);
    QMouseEvent move(QEvent::MouseMove, CellCentre(1, 3), grid.viewport()->mapToGlobal(CellCentre(1, 3)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &move);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, CellCentre(1, 3));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.RowSel(), 1);
    EXPECT_EQ(grid.ColSel(), 3);
}

TEST_F(FlexGridTest, FixedCellsSelectWholeRowsAndColumns) {
    QSignalSpy clicks(&grid, &FlexGrid::Click);
    emit grid.verticalHeader()->sectionClicked(2);  // grain row 3
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.RowSel(), 3);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.ColSel(), 3);
    emit grid.horizontalHeader()->sectionClicked(1);  // column 2
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.RowSel(), 4);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.ColSel(), 2);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(TextBoxTest, EnterIsReportedAndStillReachesTheBox) {
    TextBox box;
    box.show();
    QSignalSpy keys(&box, &TextBox::KeyPress);
    QSignalSpy returns(&box, &QLineEdit::returnPressed);
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClick(&box, Qt::Key_X);
    ASSERT_EQ(keys.count(), 2);
    EXPECT_EQ(keys[0][0].toInt(), 13);
    EXPECT_EQ(keys[1][0].toInt(), 'x');
    EXPECT_EQ(returns.count(), 1);
    EXPECT_EQ(box.text(), "x");
}

TEST(TextBoxTest, FocusLossCountsOnlyWithinTheWindow) {
    TextBox box;
    QSignalSpy lost(&box, &TextBox::LostFocus);
    for (Qt::FocusReason reason : {Qt::TabFocusReason, Qt::MouseFocusReason, Qt::OtherFocusReason}) {
        QFocusEvent event(QEvent::FocusOut, reason);
        QApplication::sendEvent(&box, &event);
    }
    for (Qt::FocusReason reason :
         {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason, Qt::MenuBarFocusReason}) {
        QFocusEvent event(QEvent::FocusOut, reason);
        QApplication::sendEvent(&box, &event);
    }
    EXPECT_EQ(lost.count(), 3);
}

TEST(GraphLiteTest, ColoursAndDrawing) {
    EXPECT_EQ(ColourFromRgbValue(255), QColor(255, 0, 0));
    EXPECT_EQ(ColourFromRgbValue(65280), QColor(0, 255, 0));
    EXPECT_EQ(ColourFromRgbValue(16777215), QColor(255, 255, 255));
    GraphLite graph;
    GraphTable table;
    table.rows = {{0.0, 0.5, 1.0, std::nullopt}, {10.0, std::nullopt, 30.0, std::nullopt}};
    graph.SetData(table);
    table.rows[1][0] = 99.0;  // the graph keeps its own copy
    graph.SetSeriesStyle(0, 255, "kn");
    graph.SetHorizontalLabelStep(1);
    graph.Redraw();
    EXPECT_EQ(*graph.Table().rows[1][0], 10.0);
    EXPECT_EQ(graph.DrawnPoints(), 2);  // empty cells are skipped
    EXPECT_EQ(graph.Calls(), QStringList({"Data", "SeriesStyle0", "HorizontalLabelStep", "Redraw"}));
}

// The painting goes wholly into the rectangle it is given (an image, a PDF
// page or a printer's page hand it a rectangle away from the origin): the
// panel's colour inside, nothing outside, and the red curve only within the
// plot apart from its legend marker to the plot's right.
TEST(GraphLiteTest, RenderPaintsIntoTheGivenRectangleOnly) {
    GraphLite graph;
    GraphTable table;
    table.rows.assign(2, {});
    for (int j = 0; j <= 100; ++j) {
        table.rows[0].push_back(j / 100.0);
        table.rows[1].push_back(j < 100 ? std::optional<double>(150.0 + 40.0 * std::sin(j / 30.0)) : std::nullopt);
    }
    graph.SetData(table);
    graph.SetSeriesStyle(0, 255, "kn");
    graph.SetTitle("kn vs. Burn Depth");
    graph.SetVerticalMinimum(0);
    graph.SetVerticalMaximum(250);
    graph.SetVerticalStep(50);
    graph.SetHorizontalLabelStep(25);
    graph.SetColourOption(16777215);
    graph.SetYesNoOption2(true);
    graph.Redraw();

    QImage image(520, 400, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 64));
    const QRect bounds(60, 50, 400, 300);
    QPainter painter(&image);
    graph.render(painter, QRectF(bounds));
    painter.end();

    const auto is_red = [](QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 80 && qBlue(pixel) < 80; };
    int red_in_plot = 0, red_elsewhere = 0;
    const QRectF plot_share(bounds.left() + 0.1 * bounds.width(), bounds.top(), 0.75 * bounds.width(),
                            bounds.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (!bounds.contains(x, y)) {
                ASSERT_EQ(pixel, qRgb(0, 0, 64)) << x << "," << y;
            } else if (is_red(pixel)) {
                (plot_share.contains(x, y) ? red_in_plot : red_elsewhere)++;
            }
        }
    }
    EXPECT_GT(red_in_plot, 300);      // a 2-pixel line across most of the plot
    EXPECT_GT(red_elsewhere, 20);     // the legend's marker
    EXPECT_LT(red_elsewhere, 200);
    EXPECT_EQ(image.pixel(bounds.left() + 3, bounds.top() + 3), qRgb(255, 255, 255));  // the white panel
}

// A series after the first is drawn against the second axis when there is
// one: a green line at that axis's top runs along the plot's top while the
// red one at half the first axis runs through its middle; cleared, the
// green line falls to its value on the first axis.
TEST(GraphLiteTest, SecondAxisScalesTheLaterSeries) {
    GraphLite graph;
    graph.resize(500, 300);
    GraphTable table;
    table.rows.assign(3, {});
    for (int j = 0; j <= 50; ++j) {
        table.rows[0].push_back(j);
        table.rows[1].push_back(100.0);
        table.rows[2].push_back(4.0);
    }
    graph.SetData(table);
    graph.SetSeriesStyle(0, 255, "kn");
    graph.SetSeriesStyle(1, 65280, "Pc");
    graph.SetVerticalMinimum(0);
    graph.SetVerticalMaximum(200);
    graph.SetVerticalStep(50);
    graph.SetHorizontalLabelStep(10);
    graph.SetSecondaryAxis(0, 4, 1, "MPa");
    graph.Redraw();

    // The rows (widget pixels) where each colour's line runs, at the
    // plot's middle column.
    auto line_rows = [&graph](auto is_colour) {
        const QImage image = graph.grab().toImage();
        const QRectF plot = graph.PlotArea();
        std::vector<int> rows;
        for (int y = 0; y < image.height(); ++y) {
            if (is_colour(image.pixel(static_cast<int>(plot.center().x()), y))) rows.push_back(y);
        }
        return std::pair{rows, plot};
    };
    const auto green = [](QRgb p) { return qGreen(p) > 200 && qRed(p) < 80 && qBlue(p) < 80; };
    const auto red = [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80; };
    auto [green_rows, plot] = line_rows(green);
    ASSERT_FALSE(green_rows.empty());
    EXPECT_LE(std::abs(green_rows.front() - plot.top()), 3.0);
    auto [red_rows, same_plot] = line_rows(red);
    ASSERT_FALSE(red_rows.empty());
    EXPECT_LE(std::abs(red_rows.front() - plot.center().y()), 3.0);

    graph.ClearSecondaryAxis();
    graph.Redraw();
    auto [fallen, flat_plot] = line_rows(green);
    ASSERT_FALSE(fallen.empty());
    EXPECT_LE(std::abs(fallen.front() - (flat_plot.bottom() - 0.02 * flat_plot.height())), 3.0);
}

// Log axes: 1-2-5 ends and ticks as fine as the range allows; a power law
// is a straight line, each value where its logarithm puts it.
TEST(GraphLiteTest, LogarithmicAxes) {
    const struct {
        double low, high;
        std::vector<double> ticks;
    } ranges[] = {
        {5, 10, {5, 6, 7, 8, 9, 10}},
        {1, 100, {1, 2, 5, 10, 20, 50, 100}},
        {0.2, 5000, {1, 10, 100, 1000}},
        {0.05, 0.5, {0.05, 0.06, 0.07, 0.08, 0.09, 0.1, 0.2, 0.3, 0.4, 0.5}},
    };
    for (const auto& range : ranges) {
        const std::vector<double> ticks = GraphLite::LogTicks(range.low, range.high);
        ASSERT_EQ(ticks.size(), range.ticks.size()) << range.low << " to " << range.high;
        for (std::size_t k = 0; k < ticks.size(); ++k) EXPECT_NEAR(ticks[k], range.ticks[k], 1e-12 * range.ticks[k]);
    }
    for (auto [value, below, above] : {std::tuple{3.7, 2.0, 5.0}, {0.012, 0.01, 0.02}, {5000.0, 5000.0, 5000.0}, {7.0, 5.0, 10.0}}) {
        EXPECT_DOUBLE_EQ(GraphLite::LogStepBelow(value), below) << value;
        EXPECT_DOUBLE_EQ(GraphLite::LogStepAbove(value), above) << value;
    }
    EXPECT_TRUE(GraphLite::LogTicks(0, 10).empty());

    GraphLite graph;
    graph.resize(500, 400);
    GraphTable table;
    table.rows.assign(2, {});
    for (int j = 0; j <= 40; ++j) {
        const double p = std::pow(10.0, j / 20.0);  // 1 to 100
        table.rows[0].push_back(p);
        table.rows[1].push_back(std::sqrt(p));  // 1 to 10
    }
    graph.SetData(table);
    graph.SetSeriesStyle(0, 255, "r");
    graph.SetHorizontalValueAxis(true);
    graph.SetLogScales(true, true);
    graph.SetVerticalMinimum(1);
    graph.SetVerticalMaximum(100);
    graph.Redraw();
    const QImage image = graph.grab().toImage();
    const QRectF plot = graph.PlotArea();
    // At p = 10 (the middle across) the line is at r = 3.16, a quarter up.
    const int x = static_cast<int>(plot.left() + plot.width() / 2);
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 80) rows.push_back(y);
    }
    ASSERT_FALSE(rows.empty());
    EXPECT_LE(std::abs((rows.front() + rows.back()) / 2.0 - (plot.bottom() - plot.height() / 4)), 3.0);
}

TEST(QtDialogsTest, FilterTextBecomesQtFilters) {
    EXPECT_EQ(QtFilterFrom("Thrustlet Files(*.tlt)| *.tlt| All Files(*.*)| *.*"),
              "Thrustlet Files(*.tlt) (*.tlt);;All Files(*.*) (*)");
}

// The real message box, answered by a timer as a user would click it.
TEST(QtDialogsTest, MessageBoxAnswers) {
    QtDialogs dialogs;
    const struct {
        MsgButtons buttons;
        QMessageBox::StandardButton press;
        MsgResult result;
    } cases[] = {{MsgButtons::kOk, QMessageBox::Ok, MsgResult::kOk},
                 {MsgButtons::kYesNo, QMessageBox::No, MsgResult::kNo},
                 {MsgButtons::kYesNoCancel, QMessageBox::Yes, MsgResult::kYes},
                 {MsgButtons::kYesNoCancel, QMessageBox::Cancel, MsgResult::kCancel}};
    for (const auto& c : cases) {
        QString seen_title, seen_text;
        QMessageBox::Icon seen_icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen_title = box->windowTitle();
            seen_text = box->text();
            seen_icon = box->icon();
            box->button(c.press)->click();
        });
        EXPECT_EQ(dialogs.MsgBox("Text", c.buttons, MsgIcon::kInformation, "Thrustlet"), c.result);
        EXPECT_EQ(seen_title, "Thrustlet");
        EXPECT_EQ(seen_text, "Text");
        EXPECT_EQ(seen_icon, QMessageBox::Information);
    }
}

// The real file dialogs, answered by a timer: a typed name without extension
// gets ".tlt"; a cancelled dialog gives "".
TEST(QtDialogsTest, FileDialogsReportTheChoiceOrNothing) {
    QTemporaryDir folder;
    QtDialogs dialogs;
    FileDialogRequest request{"Thrustlet Files(*.tlt)| *.tlt| All Files(*.*)| *.*", folder.path(), ".tlt",
                              "Save motor file as", 0x80806, QString()};
    QString seen_title;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen_title = dialog->windowTitle();
        dialog->selectFile("motor");
        static_cast<QDialog*>(dialog)->accept();  // as the dialog's Save button does
    });
    const FileDialogResult saved = dialogs.ShowSave(request);
    EXPECT_EQ(seen_title, "Save motor file as");
    EXPECT_EQ(QFileInfo(saved.file_name).fileName(), "motor.tlt");
    EXPECT_EQ(saved.file_title, "motor.tlt");
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(dialogs.ShowOpen(request).file_name, "");

    // A name offered first is what Save takes when the user only confirms;
    // the file type chosen is reported by its place in the filter.
    request.filter = "PNG Image(*.png)| *.png| PNG Image, twice the size(*.png)| *.png";
    request.default_ext = ".png";
    request.initial_name = "two_grain.png";
    QString offered;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        offered = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->selectNameFilter(dialog->nameFilters().at(1));
        static_cast<QDialog*>(dialog)->accept();
    });
    const FileDialogResult image = dialogs.ShowSave(request);
    EXPECT_EQ(offered, "two_grain.png");
    EXPECT_EQ(image.file_title, "two_grain.png");
    EXPECT_EQ(image.filter_index, 1);
}

// The real launcher starts a program without waiting for it and reports a
// program that cannot be started; the file test sees files, not folders.
TEST(QtDialogsTest, StartsProgramsAndTestsFiles) {
    QTemporaryDir folder;
    const QString marker = folder.filePath("started");
#ifdef _WIN32
    const QString script = QDir::toNativeSeparators(folder.filePath("tool.cmd"));
    const QByteArray body = ("@echo off\r\ntype nul > \"" + QDir::toNativeSeparators(marker) + "\"\r\n").toUtf8();
#else
    const QString script = folder.filePath("tool.sh");
    const QByteArray body = ("#!/bin/sh\ntouch '" + marker + "'\n").toUtf8();
#endif
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(body);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QtProcesses processes;
    EXPECT_TRUE(processes.FileExists(script));
    EXPECT_FALSE(processes.FileExists(folder.path()));
    EXPECT_FALSE(processes.FileExists(folder.filePath("missing")));
    EXPECT_TRUE(processes.StartProcess(script));
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(marker) && waited.elapsed() < 5000) QThread::msleep(10);
    EXPECT_TRUE(QFileInfo::exists(marker));
    EXPECT_FALSE(processes.StartProcess(folder.filePath("missing")));
    EXPECT_FALSE(processes.StartProcess(""));
}

#ifndef _WIN32
// What the store names is started only as an absolute path to an existing
// executable file: never looked up through PATH or in the working folder,
// never a file that is not a program.
TEST(QtProcessesTest, OnlyAbsolutePathsToProgramsStart) {
    QTemporaryDir folder;
    const QString marker = folder.filePath("started");
    const QString tool = folder.filePath("tool");
    QFile file(tool);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("#!/bin/sh\ntouch '" + marker + "'\n").toUtf8());
    file.close();
    QtProcesses processes;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);  // not executable
    EXPECT_FALSE(processes.StartProcess(tool));
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString working = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    EXPECT_FALSE(processes.StartProcess("tool"));        // the working folder's
    EXPECT_FALSE(processes.StartProcess("./tool"));
    EXPECT_FALSE(processes.StartProcess("true"));        // found through PATH
    QDir::setCurrent(working);
    QThread::msleep(200);
    EXPECT_FALSE(QFileInfo::exists(marker));
}
#endif

TEST(QtBusyCursorTest, StatesAreAbsoluteNotNested) {
    QtBusyCursor cursor;
    cursor.SetHourglass();
    cursor.SetHourglass();  // a second hourglass does not need a second restore
    EXPECT_TRUE(cursor.IsHourglass());
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    cursor.SetDefault();
    EXPECT_FALSE(cursor.IsHourglass());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    cursor.SetDefault();  // harmless when already default
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(LocaleNumberTest, FollowsTheDefaultLocale) {
    EXPECT_EQ(TextOfSingle(0.25f), "0.25");
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(DecimalPoint(), ',');
    EXPECT_EQ(TextOfSingle(0.25f), "0,25");
    EXPECT_TRUE(IsNumeric(" 1,5e3 "));
    EXPECT_EQ(FieldToSingle("1,5"), 1.5f);
    QLocale::setDefault(QLocale::c());
}

}  // namespace
}  // namespace thrustlet
