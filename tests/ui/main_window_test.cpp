#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <cmath>

#include "tests/support/window_fixture.h"

namespace thrustlet::testing {
namespace {

class MainWindowTest : public WindowTest {
protected:
    static QRect Twips(int left, int top, int width, int height) {
        auto px = [](int twips) { return (twips + 7) / 15; };
        return QRect(px(left), px(top), px(width), px(height));
    }
    QLabel* Caption(int index) { return ui->Label1[static_cast<size_t>(index)]; }
};

TEST_F(MainWindowTest, StartsEmptyWithThePlaceholderGraph) {
    EXPECT_EQ(window->windowTitle(), "Veskarn - Thrustlet");
    EXPECT_FALSE(doc().Changed());
    EXPECT_FALSE(doc().Busy());
    EXPECT_EQ(doc().Motor().GrainCount(), 0);

    FlexGrid* grid = ui->grdGrains;
    EXPECT_EQ(grid->Rows(), 1);
    EXPECT_EQ(grid->Cols(), 4);
    const QStringList header{"Grain #", "Length", "Diameter", "Core Dia."};
    for (int col = 0; col < 4; ++col) {
        EXPECT_EQ(grid->TextMatrix(0, col), header[col]);
        EXPECT_EQ(grid->ColWidth(col), 800);
    }
    EXPECT_EQ(grid->Row(), 0);
    EXPECT_EQ(grid->RowSel(), 0);
    EXPECT_EQ(grid->Col(), 0);
    EXPECT_EQ(grid->ColSel(), 3);

    for (TextBox* box : {ui->txtGrainLength, ui->txtGrainDiameter, ui->txtCoreDiameter,
                         ui->txtNozzleThroatDia, ui->txtKN, ui->txtMaxKn}) {
        EXPECT_TRUE(box->text().isEmpty()) << box->objectName().toStdString();
    }
    for (QLabel* label : {ui->lblWeb, ui->lblGNRatio, ui->lblVolumeLoading}) {
        EXPECT_TRUE(label->text().isEmpty());
    }
    EXPECT_EQ(ui->lblGNRatio->palette().color(QPalette::WindowText), QColor(255, 255, 0));

    const GraphLite& graph = *ui->grKN;
    EXPECT_EQ(graph.Title(), "Waiting for Data");
    EXPECT_EQ(graph.Table().Columns(), 286);
    EXPECT_FALSE(graph.Table().rows[1][0].has_value());
    EXPECT_EQ(*graph.Table().rows[1][1], 100.0 * std::sin(43.96));
    EXPECT_EQ(graph.VerticalMinimum(), 0.0);
    EXPECT_EQ(graph.VerticalMaximum(), 100.0);
    EXPECT_EQ(graph.VerticalStep(), 50);
    EXPECT_EQ(graph.HorizontalLabelStep(), 50.0);
    EXPECT_EQ(graph.Series().at(0).label, "Kn");
    EXPECT_EQ(graph.Series().at(0).colour, QColor(255, 0, 0));
    EXPECT_EQ(graph.Series().count(1), 0u);
    EXPECT_EQ(graph.Calls().mid(0, 12),
              QStringList({"IntegerOption1", "IntegerOption2", "YesNoOption1", "Data", "SeriesStyle0",
                           "Title", "VerticalMinimum", "VerticalMaximum", "VerticalStep",
                           "HorizontalLabelStep", "ColourOption", "Redraw"}));
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MainWindowTest, ControlsStandWhereTheyWereDesigned) {
    const struct {
        QWidget* widget;
        QRect rect;
    } controls[] = {
        {ui->Frame1, Twips(150, 105, 2370, 2505)},
        {ui->Frame3, Twips(2700, 105, 3240, 2505)},
        {ui->grdGrains, Twips(2688, 180, 3240, 2208)},
        {ui->Frame2, Twips(150, 2700, 5784, 1500)},
        {ui->grKN, QRect(Twips(150, 4290, 1, 1).topLeft(), ui->grKN->size())},
        {ui->txtGrainLength, Twips(1215, 270, 1000, 315)},
        {ui->txtGrainDiameter, Twips(1215, 675, 1000, 315)},
        {ui->txtCoreDiameter, Twips(1215, 1080, 1000, 315)},
        {ui->cmdAdd, Twips(90, 1560, 850, 350)},
        {ui->cmdRemove, Twips(1020, 1560, 1260, 350)},
        {ui->cmdApplyChanges, Twips(555, 2040, 1215, 350)},
        {ui->txtNozzleThroatDia, Twips(1215, 270, 800, 315)},
        {ui->txtKN, Twips(1215, 675, 800, 315)},
        {ui->txtMaxKn, Twips(1215, 1080, 800, 315)},
        {ui->lblVolumeLoading, Twips(3400, 315, 700, 240)},
        {ui->lblGNRatio, Twips(3400, 720, 700, 240)},
        {ui->lblWeb, Twips(3400, 1125, 700, 240)},
        {Caption(0), Twips(135, 315, 1100, 240)},
        {Caption(7), Twips(2200, 640, 1200, 480)},
        {Caption(9), Twips(650, 2275, 2500, 200)},
    };
    for (const auto& c : controls) {
        EXPECT_EQ(c.widget->geometry(), c.rect) << c.widget->objectName().toStdString();
    }
    EXPECT_EQ(window->centralWidget()->size(), QSize(402, 574));
    const QStringList captions{"Length:",     "Nozzle Throat:", "Initial kn:",
                               "Core Diameter:", "Diameter:",   "Max kn:",
                               "Vol. Loading", "Nozzle/Grain core area ratio:", "Web:",
                               "Bottom Grain Is Nozzle End"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Caption(i)->text(), captions[i]);
        EXPECT_EQ(Caption(i)->objectName(), "Label1");
        EXPECT_EQ(Caption(i)->property("Index").toInt(), i);
    }
    EXPECT_TRUE(Caption(9)->font().italic());
    EXPECT_EQ(ui->Frame1->title(), "Grain Properties");
    EXPECT_EQ(ui->Frame2->title(), "Motor Properties");
    EXPECT_EQ(ui->cmdAdd->text(), "&Add Grain");
    EXPECT_EQ(ui->cmdRemove->text(), "&Remove Grain");
    EXPECT_EQ(ui->cmdApplyChanges->text(), "Apply &Changes");
}

TEST_F(MainWindowTest, EveryCaptionFitsItsControl) {
    for (QLabel* label : ui->Label1) {
        const QFontMetrics metrics(label->font());
        const int flags = label->wordWrap() ? Qt::TextWordWrap : 0;
        const QRect needed = metrics.boundingRect(QRect(0, 0, label->width(), 1000), flags, label->text());
        EXPECT_LE(needed.width(), label->width()) << label->text().toStdString();
        EXPECT_LE(needed.height(), label->height() + 2) << label->text().toStdString();
    }
    // The ratio caption takes two lines.
    QLabel* ratio = Caption(7);
    EXPECT_GT(QFontMetrics(ratio->font()).horizontalAdvance(ratio->text()), ratio->width());
}

TEST_F(MainWindowTest, TabOrderFollowsTheDesign) {
    QWidget* expected[] = {ui->txtGrainLength, ui->txtGrainDiameter, ui->txtCoreDiameter,
                           ui->cmdAdd,         ui->cmdRemove,        ui->cmdApplyChanges,
                           ui->grdGrains,      ui->txtNozzleThroatDia, ui->txtKN,
                           ui->txtMaxKn};
    for (size_t i = 0; i + 1 < std::size(expected); ++i) {
        QWidget* next = expected[i]->nextInFocusChain();
        while (next && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
        // Skip the parts of the grid (its viewport and headers) to the next control.
        while (next && next != expected[i + 1] && expected[i]->isAncestorOf(next)) next = next->nextInFocusChain();
        EXPECT_EQ(next, expected[i + 1]) << i;
    }
    for (QLabel* label : ui->Label1) EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
}

// Tab from the last field goes round to the first, past the graph, which
// never takes the focus.
TEST_F(MainWindowTest, TabFromMaxKnGoesRoundToLength) {
    ui->txtMaxKn->setFocus(Qt::TabFocusReason);
    QTest::keyClick(ui->txtMaxKn, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), ui->txtGrainLength);
    EXPECT_EQ(ui->grKN->focusPolicy(), Qt::NoFocus);
    for (QWidget* part : ui->grKN->findChildren<QWidget*>()) {
        EXPECT_EQ(part->focusPolicy(), Qt::NoFocus) << part->metaObject()->className();
    }
}

// The grid's focus frame sits on the anchor cell, also after a drag.
TEST_F(MainWindowTest, GridFocusFrameFollowsTheAnchor) {
    for (int i = 0; i < 5; ++i) AddGrain("4", "2", "1");
    ClickRow(3, 5);
    EXPECT_EQ(ui->grdGrains->currentIndex(), ui->grdGrains->model()->index(2, 0));
    ClickRow(2);
    EXPECT_EQ(ui->grdGrains->currentIndex(), ui->grdGrains->model()->index(1, 0));
}

// A ratio of 1 shows in yellow with a dark rim, so it reads on the light
// panel; the text starts clear of its caption.
TEST_F(MainWindowTest, YellowRatioIsLegible) {
    AddGrain("4", "2", "1");
    Type(ui->txtNozzleThroatDia, "1");
    Leave(ui->txtNozzleThroatDia);
    QLabel* ratio = ui->lblGNRatio;
    ASSERT_EQ(ratio->text(), "1");
    EXPECT_EQ(ratio->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_GE(ratio->indent(), 3);
    const QImage picture = ratio->grab().toImage();
    int yellow = 0, dark = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            if (pixel.red() > 200 && pixel.green() > 200 && pixel.blue() < 80) ++yellow;
            if (pixel.lightness() < 110) ++dark;
            if (x < ratio->indent() - 1) {
                EXPECT_GT(pixel.lightness(), 180) << x << "," << y;
            }
        }
    }
    EXPECT_GT(yellow, 0);
    EXPECT_GT(dark, 0);
}

// Every horizontal label shows in full at the designed size, side by side,
// and a tiny throat (a huge Kn) draws a bounded number of vertical ticks.
TEST_F(MainWindowTest, GraphLabelsShowInFull) {
    AddGrain("4", "2", "0.75");  // web 0.625
    Type(ui->txtNozzleThroatDia, "0.5");
    Leave(ui->txtNozzleThroatDia);
    QApplication::processEvents();
    const auto labels = ui->grKN->DrawnLabels(Qt::Horizontal);
    QStringList texts;
    for (const auto& label : labels) texts << label.text;
    EXPECT_EQ(texts, (QStringList{"0", "0.125", "0.25", "0.375", "0.5", "0.625"}));
    for (size_t i = 0; i + 1 < labels.size(); ++i) {
        EXPECT_LT(labels[i].rect.right(), labels[i + 1].rect.left()) << i;
    }
    ASSERT_FALSE(labels.empty());
    EXPECT_GE(labels.front().rect.left(), 0);
    EXPECT_LE(labels.back().rect.right(), ui->grKN->width());

    for (const char* throat : {"0.005", "0.001", "1E-05"}) {
        Type(ui->txtNozzleThroatDia, throat);
        Leave(ui->txtNozzleThroatDia);
        QApplication::processEvents();
        EXPECT_TRUE(dialogs.boxes.empty()) << throat;
        const GraphLite& graph = *ui->grKN;
        const auto vertical = graph.DrawnLabels(Qt::Vertical);
        EXPECT_LE(vertical.size(), 11u) << throat;
        EXPECT_GE(vertical.size(), 2u) << throat;
        EXPECT_EQ(std::fmod(graph.DrawnVerticalInterval(), graph.VerticalStep()), 0.0) << throat;
        for (size_t i = 0; i + 1 < vertical.size(); ++i) {
            EXPECT_FALSE(vertical[i].rect.intersects(vertical[i + 1].rect)) << throat << " " << i;
        }
    }
}

TEST_F(MainWindowTest, MenusInTheirOrderWithShortcuts) {
    const QList<QAction*> top = window->menuBar()->actions();
    ASSERT_EQ(top.size(), 4);
    EXPECT_EQ(top[0]->text(), "&File");
    EXPECT_EQ(top[1]->text(), "&Edit");
    EXPECT_EQ(top[2]->text(), "&Motor");
    EXPECT_EQ(top[3]->text(), "&Help");
    QList<QAction*> file = ui->mnuFile->actions();
    ASSERT_EQ(file.size(), 16);
    // The other programs' files, the sheet's and the thrust curve's items
    // after the specified ones, before the recent files; Exit at the foot.
    const char* names[] = {"mnuNew",       "mnuSave",        "mnuSaveAs",  "mnuOpen",    "mnuImportMotor",
                           "mnuSaveInOtherFormat", "mnuExportSheet", "mnuPrint", "mnuExportThrustCurve",
                           "mnuSeparator", "mnuRecent1",     "mnuRecent2", "mnuRecent3", "mnuRecent4",
                           "",             "mnuExit"};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(file[i]->objectName(), names[i]) << i;
    EXPECT_EQ(file[4]->text(), "&Import Motor\u2026");
    EXPECT_EQ(file[5]->text(), "Save in Other &Format\u2026");
    EXPECT_EQ(file[6]->text(), "&Export Sheet\u2026");
    EXPECT_EQ(file[7]->text(), "&Print\u2026");
    EXPECT_EQ(file[7]->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(file[8]->text(), "Export &Thrust Curve\u2026");
    EXPECT_TRUE(file[14]->isSeparator());
    EXPECT_EQ(file[15]->text(), "E&xit");
    EXPECT_EQ(file[15]->shortcut(), QKeySequence("Ctrl+Q"));
    file.remove(14, 2);
    file.remove(4, 5);
    EXPECT_EQ(file[0]->text(), "&New");
    EXPECT_EQ(file[1]->text(), "&Save");
    EXPECT_EQ(file[2]->text(), "Save &As");
    EXPECT_EQ(file[3]->text(), "&Open");
    EXPECT_EQ(file[0]->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(file[1]->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(file[2]->shortcuts(), (QList<QKeySequence>{QKeySequence("Ctrl+A"), QKeySequence("Ctrl+Shift+S")}));
    EXPECT_EQ(file[3]->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_TRUE(file[4]->isSeparator());
    EXPECT_TRUE(file[5]->isVisible());
    EXPECT_TRUE(file[5]->text().isEmpty());
    for (int i = 6; i < 9; ++i) EXPECT_FALSE(file[i]->isVisible());
    const QList<QAction*> edit = ui->mnuEdit->actions();
    ASSERT_EQ(edit.size(), 2);
    EXPECT_EQ(edit[0], ui->mnuUndo);
    EXPECT_EQ(edit[1], ui->mnuRedo);
    EXPECT_EQ(ui->mnuUndo->shortcuts(), QList<QKeySequence>{QKeySequence("Ctrl+Z")});
    EXPECT_EQ(ui->mnuRedo->shortcuts(), (QList<QKeySequence>{QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
    const QList<QAction*> help = ui->mnuHelp->actions();
    ASSERT_EQ(help.size(), 2);
    EXPECT_EQ(help[0]->text(), "&About");
    EXPECT_EQ(help[1]->text(), "&Bug Reports");
}

// Ctrl+A in a text field selects its text, as in every editor; elsewhere in
// the window it is Save As.
TEST_F(MainWindowTest, CtrlASelectsInATextBoxAndSavesAsElsewhere) {
    QSignalSpy save_as(ui->mnuSaveAs, &QAction::triggered);
    for (TextBox* box : {ui->txtKN, ui->txtNozzleThroatDia, ui->txtGrainLength}) {
        box->setFocus(Qt::MouseFocusReason);
        box->setText("123");
        box->deselect();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(save_as.count(), 0) << box->objectName().toStdString();
        EXPECT_EQ(box->selectedText(), "123") << box->objectName().toStdString();
    }
    ui->grdGrains->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(ui->grdGrains, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(save_as.count(), 1);
}

TEST_F(MainWindowTest, OnlyTheGraphFollowsTheWindowSize) {
    const QRect frame_before = ui->Frame2->geometry();
    const QRect grid_before = ui->grdGrains->geometry();
    const QPoint graph_origin = ui->grKN->pos();
    const int redraws = ui->grKN->Redraws();
    window->resize(900, 1000);
    QApplication::processEvents();
    EXPECT_EQ(ui->grKN->width(), (window->OuterWidthTwips() - 420 + 7) / 15);
    EXPECT_EQ(ui->grKN->height(), (window->OuterHeightTwips() - 5160 + 7) / 15);
    EXPECT_EQ(ui->grKN->pos(), graph_origin);
    EXPECT_EQ(ui->Frame2->geometry(), frame_before);
    EXPECT_EQ(ui->grdGrains->geometry(), grid_before);
    EXPECT_GT(ui->grKN->Redraws(), redraws);

    // Too small for the rule: the graph keeps its last size, nothing is reported.
    const QSize graph_before = ui->grKN->size();
    window->Form_Resize();
    window->resize(20, 200);  // 300 twips wide, 3000 high
    QApplication::processEvents();
    if (window->OuterWidthTwips() < 420) {
        EXPECT_EQ(ui->grKN->width(), graph_before.width());
    }
    if (window->OuterHeightTwips() <= 5160) {
        EXPECT_EQ(ui->grKN->height(), graph_before.height());
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MainWindowTest, RendersToAPicture) {
    AddGrain("4", "2", "1");
    AddGrain("4", "2", "1");
    Type(ui->txtNozzleThroatDia, "0.5");
    Leave(ui->txtNozzleThroatDia);
    QDir().mkpath("screenshots");
    QApplication::processEvents();  // the graph paints its new title and labels
    const QPixmap picture = window->grab();
    EXPECT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save("screenshots/main_window.png"));
    frmMain fresh(dialogs, processes, cursor, registry);
    fresh.show();
    QApplication::processEvents();
    EXPECT_TRUE(fresh.grab().save("screenshots/main_window_start.png"));
}

}  // namespace
}  // namespace thrustlet::testing
