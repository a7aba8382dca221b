// Undo and redo of the design through the Edit menu and its shortcuts.
#include <QTemporaryDir>

#include "model/formats/motor_file.h"
#include "tests/support/window_fixture.h"
#include "ui/design_history.h"

namespace thrustlet::testing {
namespace {

// Everything the window shows of the design, to compare states exactly.
struct Shown {
    QString throat, kn, max_kn, web, ratio, loading;
    QRgb ratio_colour = 0;
    QStringList grid;
    std::string motor;
    GraphTable table;
    QString title;
    double vertical_maximum = 0;
    int32_t vertical_step = 0;
    double label_step = 0;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& shown, std::ostream* out) {
    *out << "throat " << shown.throat.toStdString() << ", kn " << shown.kn.toStdString() << ", max "
         << shown.max_kn.toStdString() << ", grains " << shown.grid.join(' ').toStdString();
}

class DesignHistoryTest : public WindowTest {
protected:
    Shown Now() {
        const GraphLite::State graph = ui->grKN->Shown();
        return {ui->txtNozzleThroatDia->text(),
                ui->txtKN->text(),
                ui->txtMaxKn->text(),
                ui->lblWeb->text(),
                ui->lblGNRatio->text(),
                ui->lblVolumeLoading->text(),
                ui->lblGNRatio->palette().color(QPalette::WindowText).rgb(),
                GridTexts(),
                MotorFileText(doc().Motor()),
                graph.table,
                graph.title,
                graph.vertical_maximum,
                graph.vertical_step,
                graph.label_step};
    }
    void Undo() { ui->mnuUndo->trigger(); }
    void Redo() { ui->mnuRedo->trigger(); }
};

// Ten edits of every kind, walked back to the start and forward again: each
// state shows exactly as it did, figures and curve included, and the Edit
// items say what they would undo and redo.
TEST_F(DesignHistoryTest, TenStepsBackAndForthShowEachStateExactly) {
    Type(ui->txtNozzleThroatDia, "0.5");
    Leave(ui->txtNozzleThroatDia);
    window->History().Reset();  // the walk starts here
    std::vector<Shown> states = {Now()};
    std::vector<QString> names;
    auto step = [&](const QString& name, const std::function<void()>& edit) {
        edit();
        states.push_back(Now());
        names.push_back(name);
        EXPECT_EQ(ui->mnuUndo->text(), "&Undo " + name);
        EXPECT_TRUE(ui->mnuUndo->isEnabled());
        EXPECT_FALSE(ui->mnuRedo->isEnabled());
    };
    step("Nozzle Throat", [&] {
        Type(ui->txtNozzleThroatDia, "0.45");
        Leave(ui->txtNozzleThroatDia);
    });
    step("Add Grain", [&] { AddGrain("4", "2", "1"); });
    step("Add Grain", [&] { AddGrain("4", "2", "1"); });
    step("Add Grain", [&] { AddGrain("3", "2", "0.75"); });
    step("Apply Changes", [&] {
        ClickRow(2);
        Type(ui->txtGrainLength, "3.5");
        Click(ui->cmdApplyChanges);
    });
    step("Size Nozzle", [&] {
        Type(ui->txtKN, "180");
        PressEnter(ui->txtKN);
    });
    step("Nozzle Throat", [&] { Leave(ui->txtNozzleThroatDia); });  // recalculates at the found throat
    step("Remove Grain", [&] {
        ClickRow(1);
        Click(ui->cmdRemove);
    });
    step("Size Nozzle", [&] {
        Type(ui->txtMaxKn, "150");
        Leave(ui->txtMaxKn);
    });
    step("Nozzle Throat", [&] {
        Type(ui->txtNozzleThroatDia, "0.6");
        Leave(ui->txtNozzleThroatDia);
    });
    ASSERT_EQ(states.size(), 11u);
    for (size_t i = 0; i + 1 < states.size(); ++i) ASSERT_NE(states[i], states[i + 1]) << "step " << i;

    for (size_t i = states.size() - 1; i > 0; --i) {
        EXPECT_EQ(ui->mnuUndo->text(), "&Undo " + names[i - 1]);
        Undo();
        EXPECT_EQ(Now(), states[i - 1]) << "undo to " << i - 1;
        EXPECT_EQ(ui->mnuRedo->text(), "&Redo " + names[i - 1]);
        EXPECT_TRUE(doc().Changed());
    }
    EXPECT_FALSE(ui->mnuUndo->isEnabled());
    EXPECT_EQ(ui->mnuUndo->text(), "&Undo");
    Undo();  // nothing left: nothing changes
    EXPECT_EQ(Now(), states[0]);
    for (size_t i = 1; i < states.size(); ++i) {
        Redo();
        EXPECT_EQ(Now(), states[i]) << "redo to " << i;
    }
    EXPECT_FALSE(ui->mnuRedo->isEnabled());
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join("|").toStdString();
}

// Leaving a field unchanged, a refused grain and an empty Apply are no
// steps: only what changes the design is.
TEST_F(DesignHistoryTest, OnlyChangesToTheDesignAreSteps) {
    AddGrain("4", "2", "1");
    Type(ui->txtNozzleThroatDia, "0.5");
    Leave(ui->txtNozzleThroatDia);
    const int steps = doc().History().count();
    Leave(ui->txtNozzleThroatDia);
    AddGrain("4", "x", "1");
    dialogs.boxes.clear();
    ClickRow(1, 1);
    Click(ui->cmdRemove);
    Click(ui->cmdRemove);  // nothing left to remove
    EXPECT_EQ(doc().History().count(), steps + 1);  // the one removal
}

// Undo takes a throat still being typed first, then undoes it: Ctrl+Z in
// the field undoes the design, not the typing.
TEST_F(DesignHistoryTest, CtrlZRightAfterTypingUndoesTheTypedThroat) {
    AddGrain("4", "2", "1");
    Type(ui->txtNozzleThroatDia, "0.5");
    Leave(ui->txtNozzleThroatDia);
    const Shown before = Now();
    Type(ui->txtNozzleThroatDia, "0.7");
    QTest::keyClick(ui->txtNozzleThroatDia, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Now(), before);
    QTest::keyClick(ui->txtNozzleThroatDia, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "0.7");
    EXPECT_EQ(doc().Motor().NozzleDia(), 0.7f);
    QTest::keyClick(ui->txtNozzleThroatDia, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // nothing to redo
    EXPECT_EQ(doc().Motor().NozzleDia(), 0.7f);
}

// New and opening a file start a fresh history; undoing back to the saved
// design still marks it changed, as every edit does.
TEST_F(DesignHistoryTest, NewAndOpenStartAfreshAndUndoMarksChanged) {
    AddGrain("4", "2", "1");
    dialogs.answers = {MsgResult::kNo};
    ui->mnuNew->trigger();
    EXPECT_FALSE(ui->mnuUndo->isEnabled());
    EXPECT_EQ(doc().History().count(), 0);

    QTemporaryDir dir;
    const std::string path = dir.filePath("m.tlt").toStdString();
    AddGrain("4", "2", "1");
    Type(ui->txtNozzleThroatDia, "0.5");
    Leave(ui->txtNozzleThroatDia);
    dialogs.answers = {MsgResult::kNo};
    window->Files().OpenFile(path, "m.tlt");  // missing: nothing changes
    EXPECT_TRUE(ui->mnuUndo->isEnabled());
    doc().Motor().SaveToFile(path);
    window->Files().OpenFile(path, "m.tlt");
    EXPECT_FALSE(ui->mnuUndo->isEnabled());
    EXPECT_FALSE(doc().Changed());

    AddGrain("3", "2", "1");
    dialogs.files.push_back({QString::fromStdString(path), "m.tlt"});
    ui->mnuSave->trigger();
    EXPECT_FALSE(doc().Changed());
    Undo();
    EXPECT_TRUE(doc().Changed());
    EXPECT_EQ(doc().Motor().GrainCount(), 1);
    doc().SetChanged(false);
    Redo();
    EXPECT_TRUE(doc().Changed());
    EXPECT_EQ(doc().Motor().GrainCount(), 2);
}

}  // namespace
}  // namespace thrustlet::testing
