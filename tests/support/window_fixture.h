#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/app_state.h"
#include "app/busy_cursor.h"
#include "platform/flex_grid.h"
#include "platform/graph_lite.h"
#include "platform/memory_registry.h"
#include "platform/text_box.h"
#include "tests/support/scripted_dialogs.h"
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

// A fresh main window over scripted dialogs, shown offscreen.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<frmMain>(state, dialogs, cursor, registry);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override { window.reset(); }

    // Starts the program afresh over the same settings store.
    void Restart() {
        window.reset();
        state = AppState();
        window = std::make_unique<frmMain>(state, dialogs, cursor, registry);
        window->show();
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
        window->grdGrains->setFocus(Qt::TabFocusReason);
    }
    void AddGrain(const QString& length, const QString& diameter, const QString& core) {
        Type(window->txtGrainLength, length);
        Type(window->txtGrainDiameter, diameter);
        Type(window->txtCoreDiameter, core);
        Click(window->cmdAdd);
    }
    // Clicks the body cell of a grain row (row >= 1) and drags to another.
    void ClickRow(int row, int drag_to = 0) {
        FlexGrid* grid = window->grdGrains;
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
    AppState state;
    ScriptedDialogs dialogs;
    RecordingCursor cursor;
    std::unique_ptr<frmMain> window;
};

}  // namespace thrustlet::testing
