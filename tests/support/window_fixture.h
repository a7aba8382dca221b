#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include <QAction>
#include <QGroupBox>
#include <QMenu>

#include "model/motor.h"
#include "platform/busy_cursor.h"
#include "platform/flex_grid.h"
#include "platform/graph_lite.h"
#include "platform/memory_registry.h"
#include "platform/text_box.h"
#include "tests/support/scripted_dialogs.h"
#include "ui/document.h"
#include "ui/file_commands.h"
#include "ui/main_window.h"

// Failures show texts as text rather than as bytes.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace thrustlet::testing {

// Records the pointer states and checks they are absolute.
class RecordingCursor : public IBusyCursor {
public:
    void SetHourglass() override {
        hourglass = true;
        ++hourglass_calls;
    }
    void SetDefault() override { hourglass = false; }
    bool IsHourglass() const override { return hourglass; }
    bool hourglass = false;
    int hourglass_calls = 0;
};

// The window's controls, found by their object names as a user's tools
// would find them.
struct Controls {
    explicit Controls(QWidget& window) {
        auto find = [&](auto*& widget, const char* name) {
            widget = window.findChild<std::remove_reference_t<decltype(*widget)>*>(name);
            EXPECT_NE(widget, nullptr) << name;
        };
        find(Frame1, "Frame1");
        find(Frame2, "Frame2");
        find(Frame3, "Frame3");
        find(grdGrains, "grdGrains");
        find(grKN, "grKN");
        find(txtGrainLength, "txtGrainLength");
        find(txtGrainDiameter, "txtGrainDiameter");
        find(txtCoreDiameter, "txtCoreDiameter");
        find(cmdAdd, "cmdAdd");
        find(cmdRemove, "cmdRemove");
        find(cmdApplyChanges, "cmdApplyChanges");
        find(txtNozzleThroatDia, "txtNozzleThroatDia");
        find(txtKN, "txtKN");
        find(txtMaxKn, "txtMaxKn");
        find(lblVolumeLoading, "lblVolumeLoading");
        find(lblGNRatio, "lblGNRatio");
        find(lblWeb, "lblWeb");
        find(mnuFile, "mnuFile");
        find(mnuEdit, "mnuEdit");
        find(mnuHelp, "mnuHelp");
        find(mnuNew, "mnuNew");
        find(mnuSave, "mnuSave");
        find(mnuSaveAs, "mnuSaveAs");
        find(mnuOpen, "mnuOpen");
        find(mnuSeparator, "mnuSeparator");
        find(mnuUndo, "mnuUndo");
        find(mnuRedo, "mnuRedo");
        find(mnuAbout, "mnuAbout");
        find(mnuBugReports, "mnuBugReports");
        for (int i = 1; i <= 4; ++i) {
            mnuRecent[static_cast<size_t>(i)] = window.findChild<QAction*>(QString("mnuRecent%1").arg(i));
        }
        for (QLabel* label : window.findChildren<QLabel*>("Label1")) {
            Label1[static_cast<size_t>(label->property("Index").toInt())] = label;
        }
    }
    QGroupBox *Frame1, *Frame2, *Frame3;
    FlexGrid* grdGrains;
    GraphLite* grKN;
    TextBox *txtGrainLength, *txtGrainDiameter, *txtCoreDiameter;
    QPushButton *cmdAdd, *cmdRemove, *cmdApplyChanges;
    TextBox *txtNozzleThroatDia, *txtKN, *txtMaxKn;
    QLabel *lblVolumeLoading, *lblGNRatio, *lblWeb;
    QMenu *mnuFile, *mnuEdit, *mnuHelp;
    QAction *mnuNew, *mnuSave, *mnuSaveAs, *mnuOpen, *mnuSeparator, *mnuUndo, *mnuRedo, *mnuAbout, *mnuBugReports;
    std::array<QAction*, 5> mnuRecent{};
    std::array<QLabel*, 10> Label1{};
};

// A fresh main window over scripted dialogs, shown offscreen.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Start();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override { window.reset(); }

    void Start() {
        window = std::make_unique<frmMain>(dialogs, processes, cursor, registry);
        ui = std::make_unique<Controls>(*window);
        window->show();
    }
    // Starts the program afresh over the same settings store.
    void Restart() {
        window.reset();
        Start();
    }
    Document& doc() { return window->Doc(); }
    // Every cell of the grain table, row by row.
    QStringList GridTexts() {
        QStringList texts;
        for (int row = 0; row < ui->grdGrains->Rows(); ++row) {
            for (int col = 0; col < 4; ++col) texts << ui->grdGrains->TextMatrix(row, col);
        }
        return texts;
    }

    // Replaces a field's text as a user would: focus, select all, type.
    void Type(TextBox* box, const QString& text) {
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        box->del();
        QTest::keyClicks(box, text);
    }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void PressEnter(TextBox* box) { QTest::keyClick(box, Qt::Key_Return); }
    // Moves the focus on to another control, as the Tab key does.
    void Leave(TextBox* box) {
        box->setFocus(Qt::TabFocusReason);
        ui->grdGrains->setFocus(Qt::TabFocusReason);
    }
    void AddGrain(const QString& length, const QString& diameter, const QString& core) {
        Type(ui->txtGrainLength, length);
        Type(ui->txtGrainDiameter, diameter);
        Type(ui->txtCoreDiameter, core);
        Click(ui->cmdAdd);
    }
    // Clicks the body cell of a grain row (row >= 1) and drags to another.
    void ClickRow(int row, int drag_to = 0) {
        FlexGrid* grid = ui->grdGrains;
        const QPoint from = grid->visualRect(grid->model()->index(row - 1, 0)).center();
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, from);
        QPoint to = from;
        if (drag_to > 0) {
            to = grid->visualRect(grid->model()->index(drag_to - 1, 0)).center();
            QMouseEvent move(QEvent::MouseMove, to, grid->viewport()->mapToGlobal(to), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(grid->viewport(), &move);
        }
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, to);
    }

    MemoryRegistry registry;
    ScriptedDialogs dialogs;
    ScriptedProcesses processes;
    RecordingCursor cursor;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<Controls> ui;
};

}  // namespace thrustlet::testing
