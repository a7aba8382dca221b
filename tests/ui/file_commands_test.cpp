// New, Open, Save, Save As, the recent items and the close question, driven
// headless through the scripted dialogs over files in a temporary folder.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "model/formats/motor_file.h"
#include "model/number_text.h"
#include "settings/recent_files.h"
#include "tests/support/grains.h"
#include "tests/support/window_fixture.h"
#include "ui/recent_menu.h"

namespace thrustlet::testing {
namespace {

constexpr const char* kFilter = "Thrustlet Files(*.tlt)| *.tlt| All Files(*.*)| *.*";
constexpr const char* kCloseQuestion = " has unsaved changes, do you want to save before clossing?";

class FileCommandsTest : public WindowTest {
protected:
    std::string PathOf(const QString& name) const { return dir.filePath(name).toStdString(); }
    static QByteArray Slurp(const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The user picks `name` in the next file dialog (as its file title says).
    void Choose(const std::string& path) {
        dialogs.files.push_back({QString::fromStdString(path), QString::fromStdString(FileTitleOf(path))});
    }
    void Cancel() { dialogs.files.push_back({}); }
    // A motor with one grain, saved as `name` and opened from it.
    std::string OpenedDesign(const QString& name) {
        const std::string path = PathOf(name);
        cMotor motor;
        motor.AddGrain(MakeGrain(4, 2, 1));
        motor.SetNozzleDia(0.5f);
        motor.SaveToFile(path);
        window->Files().OpenFile(path, FileTitleOf(path));
        return path;
    }
    QString OpenQuestion() {
        return "The current file, " + QString::fromStdString(doc().CurrentFile()) +
               ", has unsaved changes.  Save current file?";
    }
    void ExpectQuestion(size_t index, const QString& text, MsgButtons buttons) {
        ASSERT_GT(dialogs.boxes.size(), index);
        EXPECT_EQ(dialogs.boxes[index].text, text);
        EXPECT_EQ(dialogs.boxes[index].buttons, buttons);
        EXPECT_EQ(dialogs.boxes[index].icon, MsgIcon::kNone);
        EXPECT_EQ(dialogs.boxes[index].title, "Unsaved Changes");
    }
    QString Caption() const { return window->windowTitle(); }

    QTemporaryDir dir;
};

// New asks Open's question when there are unsaved changes: Cancel (or Esc)
// keeps the design, No drops it, Yes saves it first.
TEST_F(FileCommandsTest, NewAsksBeforeDroppingChanges) {
    const std::string path = OpenedDesign("a.tlt");
    AddGrain("3", "2", "1");
    const QString question = OpenQuestion();
    dialogs.answers = {MsgResult::kCancel};
    ui->mnuNew->trigger();
    ExpectQuestion(0, question, MsgButtons::kYesNoCancel);
    EXPECT_EQ(doc().Motor().GrainCount(), 2);
    EXPECT_TRUE(doc().Changed());
    EXPECT_EQ(doc().CurrentFile(), path);

    dialogs.answers = {MsgResult::kNo};
    const cMotor* before = &doc().Motor();
    ui->mnuNew->trigger();
    EXPECT_NE(&doc().Motor(), before);
    EXPECT_EQ(doc().Motor().GrainCount(), 0);
    EXPECT_EQ(ui->grdGrains->Rows(), 1);
    EXPECT_EQ(Caption(), "Veskarn - Thrustlet");
    for (TextBox* box : {ui->txtCoreDiameter, ui->txtGrainDiameter, ui->txtGrainLength, ui->txtNozzleThroatDia}) {
        EXPECT_EQ(box->text(), "") << box->objectName().toStdString();
    }
    EXPECT_EQ(doc().CurrentFile(), "");
    EXPECT_FALSE(doc().Changed());
    EXPECT_EQ(doc().RecentFiles()[1], path);  // the list stays
    EXPECT_EQ(Slurp(path).count("Grain:"), 1);  // nothing was saved

    // Without changes New asks nothing; Yes saves before dropping.
    dialogs.boxes.clear();
    ui->mnuNew->trigger();
    EXPECT_TRUE(dialogs.boxes.empty());
    OpenedDesign("b.tlt");
    AddGrain("3", "2", "1");
    dialogs.answers = {MsgResult::kYes};
    ui->mnuNew->trigger();
    EXPECT_EQ(Slurp(PathOf("b.tlt")).count("Grain:"), 2);
    EXPECT_EQ(doc().Motor().GrainCount(), 0);
}

TEST_F(FileCommandsTest, SaveAsWritesTheFileAndNamesIt) {
    doc().SetFileDir("/start/here/");
    AddGrain("4", "2", "1");
    const std::string path = PathOf("new.tlt");
    Choose(path);
    ui->mnuSaveAs->trigger();
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    const FileDialogRequest& request = dialogs.file_requests[0];
    EXPECT_EQ(request.filter, kFilter);
    EXPECT_EQ(request.init_dir, "/start/here/");
    EXPECT_EQ(request.default_ext, ".tlt");
    EXPECT_EQ(request.title, "Save motor file as");
    EXPECT_EQ(request.flags, 0x80806u);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(Slurp(path).toStdString(), MotorFileText(doc().Motor()));
    EXPECT_EQ(Caption(), "Veskarn - Thrustlet - new.tlt");
    EXPECT_EQ(doc().CurrentFile(), path);
    EXPECT_FALSE(doc().Changed());
    EXPECT_EQ(doc().RecentFiles()[1], path);
    EXPECT_EQ(ui->mnuRecent[1]->text().toStdString(), path);
    EXPECT_EQ(doc().FileDir(), "/start/here/");  // only opening moves the folder
    // The list is stored at once: a design saved and never reopened is
    // still in it after a restart.
    Restart();
    EXPECT_EQ(doc().RecentFiles()[1], path);
}

TEST_F(FileCommandsTest, CancelledSaveAsChangesNothing) {
    OpenedDesign("a.tlt");
    AddGrain("3", "2", "1");
    Cancel();
    ui->mnuSaveAs->trigger();
    EXPECT_EQ(Caption(), "Veskarn - Thrustlet - a.tlt");
    EXPECT_EQ(doc().CurrentFile(), PathOf("a.tlt"));
    EXPECT_TRUE(doc().Changed());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(FileCommandsTest, SaveWritesTheCurrentFileOrAsksForOne) {
    const std::string path = OpenedDesign("a.tlt");
    OpenedDesign("b.tlt");
    ui->mnuRecent[2]->trigger();  // back to a.tlt, b.tlt second
    AddGrain("3", "2", "1");
    ui->mnuSave->trigger();
    EXPECT_TRUE(dialogs.file_requests.empty());
    EXPECT_EQ(Slurp(path).toStdString(), MotorFileText(doc().Motor()));
    EXPECT_FALSE(doc().Changed());
    EXPECT_EQ(doc().RecentFiles()[1], path);

    ui->mnuNew->trigger();
    AddGrain("1", "1", "0.5");
    Choose(PathOf("c.tlt"));
    ui->mnuSave->trigger();  // no file yet: Save As
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    EXPECT_EQ(dialogs.file_requests[0].title, "Save motor file as");
    EXPECT_EQ(doc().CurrentFile(), PathOf("c.tlt"));
    EXPECT_EQ(Caption(), "Veskarn - Thrustlet - c.tlt");
}

// Saves that cannot be written are reported and never look like success.
TEST_F(FileCommandsTest, FailedSavesKeepTheChangesMarked) {
    const std::string path = OpenedDesign("a.tlt");
    AddGrain("3", "2", "1");
    const QByteArray old_file = Slurp(path);
    const RecentSlots recent = doc().RecentFiles();

    // Save onto a file whose folder has gone.
    QDir(dir.path()).mkdir("gone");
    doc().SetCurrentFile(PathOf("gone/x.tlt"), FileTitleOf(PathOf("gone/x.tlt")));
    QDir(dir.filePath("gone")).removeRecursively();
    ui->mnuSave->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith("Path not found")) << dialogs.boxes[0].text.toStdString();
    EXPECT_TRUE(dialogs.boxes[0].text.endsWith(" in mnuSave_Click"));
    EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::kInformation);
    EXPECT_EQ(dialogs.boxes[0].title, "Thrustlet");
    EXPECT_TRUE(doc().Changed());
    EXPECT_EQ(doc().RecentFiles(), recent);

    // Save As into a missing folder, and onto a folder.
    doc().SetCurrentFile(path, FileTitleOf(path));
    for (const std::string& target : {PathOf("missing/m.tlt"), dir.path().toStdString()}) {
        dialogs.boxes.clear();
        Choose(target);
        ui->mnuSaveAs->trigger();
        ASSERT_EQ(dialogs.boxes.size(), 1u) << target;
        EXPECT_TRUE(dialogs.boxes[0].text.endsWith(" in mnuSaveAs_Click")) << target;
        EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::kInformation);
        EXPECT_EQ(Caption(), "Veskarn - Thrustlet - a.tlt");
        EXPECT_EQ(doc().CurrentFile(), path);
        EXPECT_TRUE(doc().Changed());
        EXPECT_EQ(doc().RecentFiles(), recent);
    }
    EXPECT_EQ(Slurp(path), old_file);
}

TEST_F(FileCommandsTest, SaveOntoAReadOnlyFileLeavesItByteIdentical) {
    const std::string path = OpenedDesign("a.tlt");
    AddGrain("3", "2", "1");
    const QByteArray old_file = Slurp(path);
    QFile::setPermissions(QString::fromStdString(path), QFileDevice::ReadOwner);
    if (QFile probe(QString::fromStdString(path)); probe.open(QIODevice::Append)) {
        GTEST_SKIP() << "running with rights that ignore file permissions";
    }
    ui->mnuSave->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.endsWith(" in mnuSave_Click"));
    EXPECT_TRUE(doc().Changed());
    EXPECT_EQ(Slurp(path), old_file);
}

TEST_F(FileCommandsTest, OpenAsksThenStartsAfreshAndShowsTheDialog) {
    const std::string path = OpenedDesign("a.tlt");
    doc().SetFileDir("/from/store/");
    AddGrain("3", "2", "1");
    const QString question = OpenQuestion();
    const QStringList grid = GridTexts();

    // Cancel on the question (Esc too) changes nothing and shows no dialog.
    dialogs.answers = {MsgResult::kCancel};
    ui->mnuOpen->trigger();
    ExpectQuestion(0, question, MsgButtons::kYesNoCancel);
    EXPECT_TRUE(dialogs.file_requests.empty());
    EXPECT_EQ(doc().Motor().GrainCount(), 2);
    EXPECT_TRUE(doc().Changed());

    // No: nothing is saved; a cancelled dialog leaves the design, its file,
    // the caption and the changed flag as they were.
    dialogs.boxes.clear();
    dialogs.answers = {MsgResult::kNo};
    Cancel();
    ui->mnuOpen->trigger();
    ExpectQuestion(0, question, MsgButtons::kYesNoCancel);
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    EXPECT_EQ(dialogs.file_requests[0].title, "Open motor file");
    EXPECT_EQ(dialogs.file_requests[0].flags, 0x80804u);
    EXPECT_EQ(dialogs.file_requests[0].filter, kFilter);
    EXPECT_EQ(dialogs.file_requests[0].init_dir, "/from/store/");
    EXPECT_EQ(dialogs.file_requests[0].default_ext, ".tlt");
    EXPECT_EQ(doc().Motor().GrainCount(), 2);
    EXPECT_EQ(GridTexts(), grid);
    EXPECT_EQ(Caption(), "Veskarn - Thrustlet - a.tlt");
    EXPECT_EQ(doc().CurrentFile(), path);
    EXPECT_TRUE(doc().Changed());
    EXPECT_EQ(Slurp(path).count("Grain:"), 1);

    // A chosen file opens once the changes may go; without changes there is
    // no question.
    dialogs.boxes.clear();
    dialogs.answers = {MsgResult::kNo};
    Choose(path);
    ui->mnuOpen->trigger();
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(doc().CurrentFile(), path);
    EXPECT_EQ(doc().Motor().GrainCount(), 1);
    EXPECT_FALSE(doc().Changed());
    dialogs.boxes.clear();
    Choose(path);
    ui->mnuOpen->trigger();
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(doc().CurrentFile(), path);
}

TEST_F(FileCommandsTest, OpenAnsweredYesSavesFirst) {
    const std::string path = OpenedDesign("a.tlt");
    AddGrain("3", "2", "1");
    dialogs.answers = {MsgResult::kYes};
    Choose(PathOf("a.tlt"));
    ui->mnuOpen->trigger();
    EXPECT_EQ(doc().Motor().GrainCount(), 2);  // saved, then read back
    EXPECT_EQ(Slurp(path).count("Grain:"), 2);
    EXPECT_FALSE(doc().Changed());
}

// Yes means keep the design: when it is not saved after all (dialog
// cancelled, write failed), Open and the recent items stop there.
TEST_F(FileCommandsTest, AnUnsavedYesStopsOpenAndRecentItems) {
    OpenedDesign("a.tlt");
    ui->mnuNew->trigger();
    AddGrain("3", "2", "1");  // a design without a file
    const cMotor* design = &doc().Motor();
    for (QAction* command : {ui->mnuOpen, ui->mnuRecent[1]}) {
        dialogs.boxes.clear();
        dialogs.file_requests.clear();
        dialogs.answers = {MsgResult::kYes};
        Cancel();  // the Save As dialog
        command->trigger();
        ExpectQuestion(0, "The current file, , has unsaved changes.  Save current file?", MsgButtons::kYesNoCancel);
        EXPECT_EQ(dialogs.file_requests.size(), 1u) << "only the save dialog";
        EXPECT_EQ(&doc().Motor(), design);
        EXPECT_EQ(doc().Motor().GrainCount(), 1);
        EXPECT_TRUE(doc().Changed());
        EXPECT_EQ(ui->grdGrains->Rows(), 2);
    }
    // A save that fails stops it too.
    dialogs.boxes.clear();
    dialogs.answers = {MsgResult::kYes};
    Choose(PathOf("missing/m.tlt"));
    ui->mnuRecent[1]->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(dialogs.boxes[1].text.endsWith(" in mnuSaveAs_Click"));
    EXPECT_EQ(&doc().Motor(), design);
    EXPECT_EQ(doc().CurrentFile(), "");
}

TEST_F(FileCommandsTest, RecentItemAnswers) {
    const std::string a = OpenedDesign("a.tlt");
    const std::string b = OpenedDesign("b.tlt");
    AddGrain("3", "2", "1");  // b.tlt changed
    const QString question = OpenQuestion();
    dialogs.answers = {MsgResult::kNo};
    ui->mnuRecent[2]->trigger();
    ExpectQuestion(0, question, MsgButtons::kYesNoCancel);
    EXPECT_EQ(doc().CurrentFile(), a);
    EXPECT_EQ(Slurp(b).count("Grain:"), 1);  // not saved
    ASSERT_EQ(doc().RecentFiles(), (RecentSlots{"", a, b, "", ""}));

    // Yes: a.tlt is saved before b.tlt is read.
    AddGrain("3", "2", "1");
    dialogs.answers = {MsgResult::kYes};
    ui->mnuRecent[2]->trigger();
    EXPECT_EQ(dialogs.boxes.size(), 2u) << dialogs.Texts().join("|").toStdString();
    EXPECT_EQ(Slurp(a).count("Grain:"), 2);  // saved before b.tlt was read
    EXPECT_EQ(doc().CurrentFile(), b);
    EXPECT_EQ(doc().Motor().GrainCount(), 1);
    EXPECT_EQ(doc().RecentFiles(), (RecentSlots{"", b, a, "", ""}));
}

TEST_F(FileCommandsTest, ClosingWithoutChangesAsksNothing) {
    OpenedDesign("a.tlt");
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(FileCommandsTest, CloseQuestionAnswers) {
    const struct {
        const char* name;
        bool with_file;
        std::vector<MsgResult> answers;
        bool cancel_save_dialog;
        bool closes;
        int grains_in_file;
    } cases[] = {
        {"cancel", true, {MsgResult::kCancel}, false, false, 1},
        {"no", true, {MsgResult::kNo}, false, true, 1},
        {"yes", true, {MsgResult::kYes}, false, true, 2},
        {"yes without a file, dialog cancelled", false, {MsgResult::kYes}, true, false, 1},
        {"yes without a file, saved", false, {MsgResult::kYes}, false, true, 2},
    };
    for (const auto& c : cases) {
        Restart();
        dialogs.boxes.clear();
        dialogs.files.clear();
        const std::string path = OpenedDesign("x.tlt");
        if (!c.with_file) doc().SetCurrentFile("", "");
        AddGrain("3", "2", "1");
        dialogs.answers.assign(c.answers.begin(), c.answers.end());
        if (c.cancel_save_dialog) {
            Cancel();
        } else {
            Choose(path);
        }
        EXPECT_EQ(window->close(), c.closes) << c.name;
        ExpectQuestion(0, QString(c.with_file ? "x.tlt" : "") + kCloseQuestion, MsgButtons::kYesNoCancel);
        EXPECT_EQ(Slurp(path).count("Grain:"), c.grains_in_file) << c.name;
        if (!c.closes) {
            EXPECT_TRUE(doc().Changed()) << c.name;
            EXPECT_EQ(doc().Motor().GrainCount(), 2) << c.name;
        }
    }
}

TEST_F(FileCommandsTest, AFailedSaveOnClosingKeepsTheWindowOpen) {
    OpenedDesign("x.tlt");
    AddGrain("3", "2", "1");
    doc().SetCurrentFile(PathOf("missing/x.tlt"), FileTitleOf(PathOf("missing/x.tlt")));
    dialogs.answers = {MsgResult::kYes};
    EXPECT_FALSE(window->close());
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(dialogs.boxes[1].text.endsWith(" in mnuSave_Click"));
    EXPECT_TRUE(doc().Changed());
}

// What was typed into a throat or Kn field and not yet left is what Save
// writes and what the close question asks about: the field is taken first,
// as if its focus had been lost.
TEST_F(FileCommandsTest, TypedFieldsAreTakenBeforeSavingAndClosing) {
    const std::string path = OpenedDesign("a.tlt");
    Type(ui->txtNozzleThroatDia, "0.6");  // still in the field
    QTest::keyClick(ui->txtNozzleThroatDia, Qt::Key_S, Qt::ControlModifier);
    EXPECT_NE(Slurp(path).indexOf("NozzleDia:0.6\r\n"), -1) << Slurp(path).toStdString();
    EXPECT_FALSE(doc().Changed());
    EXPECT_EQ(ui->txtKN->text(), "61");  // the summary follows the throat

    Type(ui->txtNozzleThroatDia, "0.7");
    dialogs.answers = {MsgResult::kCancel};
    EXPECT_FALSE(window->close());
    ExpectQuestion(0, QString("a.tlt") + kCloseQuestion, MsgButtons::kYesNoCancel);

    // A typed Kn target sizes the throat before the save.
    dialogs.boxes.clear();
    Type(ui->txtKN, "30");
    ui->mnuSave->trigger();
    // The field shows the found throat to 3 decimals; the motor (and so the
    // file) keeps it as found.
    const float sized = doc().Motor().NozzleDia();
    EXPECT_NE(ui->txtNozzleThroatDia->text(), "0.7");
    EXPECT_NEAR(sized, ui->txtNozzleThroatDia->text().toFloat(), 1e-4f);
    EXPECT_NE(Slurp(path).indexOf(QByteArray::fromStdString("NozzleDia:" + SingleToText(sized, '.') + "\r\n")), -1)
        << Slurp(path).toStdString();
    EXPECT_TRUE(dialogs.boxes.empty());
}

// Two windows at once: each one's open puts its file on the list as stored,
// so neither loses what the other added.
TEST_F(FileCommandsTest, TwoWindowsKeepEachOthersRecentFiles) {
    const std::string a = OpenedDesign("a.tlt");
    frmMain second(dialogs, processes, cursor, registry);
    const std::string b = PathOf("b.tlt");
    doc().Motor().SaveToFile(b);
    second.Files().OpenFile(b, "b.tlt");
    const std::string c = PathOf("c.tlt");
    doc().Motor().SaveToFile(c);
    window->Files().OpenFile(c, "c.tlt");
    EXPECT_EQ(doc().RecentFiles(), (RecentSlots{"", c, b, a, ""}));
    EXPECT_EQ(ui->mnuRecent[2]->text().toStdString(), b);  // the menu shows the list as stored
    RegFuncs funcs(registry);
    std::string folder;
    RecentSlots stored;
    ReadStoredSettings(funcs, folder, stored);
    EXPECT_EQ(stored, doc().RecentFiles());
}

// Save puts the design's file at the top of the list even when others came
// on top of it meanwhile.
TEST_F(FileCommandsTest, SaveMovesItsFileToTheTop) {
    const std::string a = OpenedDesign("a.tlt");
    window->Recent().AddToRecentFileList(PathOf("x.tlt"));
    ASSERT_EQ(doc().RecentFiles()[1], PathOf("x.tlt"));
    ui->mnuSave->trigger();
    EXPECT_EQ(doc().RecentFiles(), (RecentSlots{"", a, PathOf("x.tlt"), "", ""}));
    EXPECT_EQ(ui->mnuRecent[1]->text().toStdString(), a);
    // Save As too, under the new name.
    dialogs.files.push_back({QString::fromStdString(PathOf("b.tlt")), "b.tlt"});
    ui->mnuSaveAs->trigger();
    EXPECT_EQ(doc().RecentFiles(), (RecentSlots{"", PathOf("b.tlt"), a, PathOf("x.tlt"), ""}));
    EXPECT_EQ(ui->mnuRecent[1]->text().toStdString(), PathOf("b.tlt"));
}

// A long path is shortened in the middle in its item, keeping the start and
// the file's name; the full path is its status tip, and it still opens.
TEST_F(FileCommandsTest, LongRecentPathsAreShortenedInTheMiddle) {
    QDir(dir.path()).mkpath(QString(120, 'd'));
    const std::string path = PathOf(QString(120, 'd') + "/a_long_name.tlt");
    doc().Motor().SaveToFile(path);
    window->Files().OpenFile(path, "a_long_name.tlt");
    QAction* item = ui->mnuRecent[1];
    EXPECT_LT(item->text().size(), static_cast<qsizetype>(path.size()));
    EXPECT_TRUE(item->text().contains(QChar(0x2026)));  // the ellipsis
    EXPECT_TRUE(item->text().endsWith("a_long_name.tlt"));
    EXPECT_TRUE(item->text().startsWith(QString::fromStdString(path.substr(0, 4))));
    EXPECT_EQ(item->statusTip().toStdString(), path);
    ui->mnuNew->trigger();
    item->trigger();
    EXPECT_EQ(doc().CurrentFile(), path);
    // Short paths show as stored.
    OpenedDesign("b.tlt");
    EXPECT_EQ(ui->mnuRecent[1]->text().toStdString(), PathOf("b.tlt"));
    EXPECT_FALSE(window->windowIcon().isNull());
}

}  // namespace
}  // namespace thrustlet::testing
