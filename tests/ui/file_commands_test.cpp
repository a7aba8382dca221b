// New, Open, Save, Save As, the recent items and the close question, driven
// headless through the scripted dialogs over files in a temporary folder.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "model/motor_file.h"
#include "settings/recent_files.h"
#include "tests/support/grains.h"
#include "tests/support/window_fixture.h"

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
        window->OpenFile(path, FileTitleOf(path));
        return path;
    }
    QString OpenQuestion() const {
        return "The current file, " + QString::fromStdString(state.sCurrentFile) +
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

TEST_F(FileCommandsTest, NewDiscardsChangesWithoutAQuestion) {
    OpenedDesign("a.tlt");
    AddGrain("3", "2", "1");
    const cMotor* before = state.oMotor.get();
    window->mnuNew->trigger();
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_NE(state.oMotor.get(), before);
    EXPECT_EQ(state.Motor().GrainCount(), 0);
    EXPECT_EQ(window->grdGrains->Rows(), 1);
    EXPECT_EQ(Caption(), "Veskarn - Thrustlet");
    for (TextBox* box : {window->txtCoreDiameter, window->txtGrainDiameter, window->txtGrainLength,
                         window->txtNozzleThroatDia}) {
        EXPECT_EQ(box->text(), "") << box->objectName().toStdString();
    }
    EXPECT_EQ(state.sCurrentFile, "");
    EXPECT_FALSE(state.bChanged);
    EXPECT_EQ(state.vRecentFiles[1], PathOf("a.tlt"));  // the list stays
}

TEST_F(FileCommandsTest, SaveAsWritesTheFileAndNamesIt) {
    state.sFileDir = "/start/here/";
    AddGrain("4", "2", "1");
    const std::string path = PathOf("new.tlt");
    Choose(path);
    window->mnuSaveAs->trigger();
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    const FileDialogRequest& request = dialogs.file_requests[0];
    EXPECT_EQ(request.filter, kFilter);
    EXPECT_EQ(request.init_dir, "/start/here/");
    EXPECT_EQ(request.default_ext, ".tlt");
    EXPECT_EQ(request.title, "Save motor file as");
    EXPECT_EQ(request.flags, 0x80806u);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(Slurp(path).toStdString(), MotorFileText(state.Motor()));
    EXPECT_EQ(Caption(), "Veskarn - Thrustlet - new.tlt");
    EXPECT_EQ(state.sCurrentFile, path);
    EXPECT_FALSE(state.bChanged);
    EXPECT_EQ(state.vRecentFiles[1], path);
    EXPECT_EQ(window->mnuRecent[1]->text().toStdString(), path);
    EXPECT_EQ(state.sFileDir, "/start/here/");  // only opening moves the folder
    EXPECT_EQ(registry.Tree(kHkeyCurrentUser).keys.at("software\\thrustlet").values.size(), 0u);
}

TEST_F(FileCommandsTest, CancelledSaveAsChangesNothing) {
    OpenedDesign("a.tlt");
    AddGrain("3", "2", "1");
    Cancel();
    window->mnuSaveAs->trigger();
    EXPECT_EQ(Caption(), "Veskarn - Thrustlet - a.tlt");
    EXPECT_EQ(state.sCurrentFile, PathOf("a.tlt"));
    EXPECT_TRUE(state.bChanged);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(FileCommandsTest, SaveWritesTheCurrentFileOrAsksForOne) {
    const std::string path = OpenedDesign("a.tlt");
    OpenedDesign("b.tlt");
    window->mnuRecent[2]->trigger();  // back to a.tlt, b.tlt second
    AddGrain("3", "2", "1");
    window->mnuSave->trigger();
    EXPECT_TRUE(dialogs.file_requests.empty());
    EXPECT_EQ(Slurp(path).toStdString(), MotorFileText(state.Motor()));
    EXPECT_FALSE(state.bChanged);
    EXPECT_EQ(state.vRecentFiles[1], path);

    window->mnuNew->trigger();
    AddGrain("1", "1", "0.5");
    Choose(PathOf("c.tlt"));
    window->mnuSave->trigger();  // no file yet: Save As
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    EXPECT_EQ(dialogs.file_requests[0].title, "Save motor file as");
    EXPECT_EQ(state.sCurrentFile, PathOf("c.tlt"));
    EXPECT_EQ(Caption(), "Veskarn - Thrustlet - c.tlt");
}

// Saves that cannot be written are reported and never look like success.
TEST_F(FileCommandsTest, FailedSavesKeepTheChangesMarked) {
    const std::string path = OpenedDesign("a.tlt");
    AddGrain("3", "2", "1");
    const QByteArray old_file = Slurp(path);
    const RecentSlots recent = state.vRecentFiles;

    // Save onto a file whose folder has gone.
    QDir(dir.path()).mkdir("gone");
    state.sCurrentFile = PathOf("gone/x.tlt");
    QDir(dir.filePath("gone")).removeRecursively();
    window->mnuSave->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith("Path not found")) << dialogs.boxes[0].text.toStdString();
    EXPECT_TRUE(dialogs.boxes[0].text.endsWith(" in mnuSave_Click"));
    EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::kInformation);
    EXPECT_EQ(dialogs.boxes[0].title, "Thrustlet");
    EXPECT_TRUE(state.bChanged);
    EXPECT_EQ(state.vRecentFiles, recent);

    // Save As into a missing folder, and onto a folder.
    state.sCurrentFile = path;
    for (const std::string& target : {PathOf("missing/m.tlt"), dir.path().toStdString()}) {
        dialogs.boxes.clear();
        Choose(target);
        window->mnuSaveAs->trigger();
        ASSERT_EQ(dialogs.boxes.size(), 1u) << target;
        EXPECT_TRUE(dialogs.boxes[0].text.endsWith(" in mnuSaveAs_Click")) << target;
        EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::kInformation);
        EXPECT_EQ(Caption(), "Veskarn - Thrustlet - a.tlt");
        EXPECT_EQ(state.sCurrentFile, path);
        EXPECT_TRUE(state.bChanged);
        EXPECT_EQ(state.vRecentFiles, recent);
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
    window->mnuSave->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.endsWith(" in mnuSave_Click"));
    EXPECT_TRUE(state.bChanged);
    EXPECT_EQ(Slurp(path), old_file);
}

TEST_F(FileCommandsTest, OpenAsksThenStartsAfreshAndShowsTheDialog) {
    const std::string path = OpenedDesign("a.tlt");
    state.sFileDir = "/from/store/";
    AddGrain("3", "2", "1");
    const QString question = OpenQuestion();

    // No: nothing is saved; a cancelled dialog leaves the new, empty motor.
    dialogs.answers = {MsgResult::kNo};
    Cancel();
    window->mnuOpen->trigger();
    ExpectQuestion(0, question, MsgButtons::kYesNo);
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    EXPECT_EQ(dialogs.file_requests[0].title, "Open motor file");
    EXPECT_EQ(dialogs.file_requests[0].flags, 0x80804u);
    EXPECT_EQ(dialogs.file_requests[0].filter, kFilter);
    EXPECT_EQ(dialogs.file_requests[0].init_dir, "/from/store/");
    EXPECT_EQ(dialogs.file_requests[0].default_ext, ".tlt");
    EXPECT_EQ(state.Motor().GrainCount(), 0);
    EXPECT_EQ(Caption(), "Veskarn - Thrustlet");
    EXPECT_EQ(state.sCurrentFile, "");
    EXPECT_FALSE(state.bChanged);
    EXPECT_EQ(Slurp(path).count("Grain:"), 1);

    // A chosen file opens; no question without changes.
    dialogs.boxes.clear();
    Choose(path);
    window->mnuOpen->trigger();
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(state.sCurrentFile, path);
    EXPECT_EQ(state.Motor().GrainCount(), 1);
}

TEST_F(FileCommandsTest, OpenAnsweredYesSavesFirst) {
    const std::string path = OpenedDesign("a.tlt");
    AddGrain("3", "2", "1");
    dialogs.answers = {MsgResult::kYes};
    Choose(PathOf("a.tlt"));
    window->mnuOpen->trigger();
    EXPECT_EQ(state.Motor().GrainCount(), 2);  // saved, then read back
    EXPECT_EQ(Slurp(path).count("Grain:"), 2);
    EXPECT_FALSE(state.bChanged);
}

// Yes means keep the design: when it is not saved after all (dialog
// cancelled, write failed), Open and the recent items stop there.
TEST_F(FileCommandsTest, AnUnsavedYesStopsOpenAndRecentItems) {
    OpenedDesign("a.tlt");
    window->mnuNew->trigger();
    AddGrain("3", "2", "1");  // a design without a file
    const cMotor* design = state.oMotor.get();
    for (QAction* command : {window->mnuOpen, window->mnuRecent[1]}) {
        dialogs.boxes.clear();
        dialogs.file_requests.clear();
        dialogs.answers = {MsgResult::kYes};
        Cancel();  // the Save As dialog
        command->trigger();
        ExpectQuestion(0, "The current file, , has unsaved changes.  Save current file?", MsgButtons::kYesNo);
        EXPECT_EQ(dialogs.file_requests.size(), 1u) << "only the save dialog";
        EXPECT_EQ(state.oMotor.get(), design);
        EXPECT_EQ(state.Motor().GrainCount(), 1);
        EXPECT_TRUE(state.bChanged);
        EXPECT_EQ(window->grdGrains->Rows(), 2);
    }
    // A save that fails stops it too.
    dialogs.boxes.clear();
    dialogs.answers = {MsgResult::kYes};
    Choose(PathOf("missing/m.tlt"));
    window->mnuRecent[1]->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(dialogs.boxes[1].text.endsWith(" in mnuSaveAs_Click"));
    EXPECT_EQ(state.oMotor.get(), design);
    EXPECT_EQ(state.sCurrentFile, "");
}

TEST_F(FileCommandsTest, RecentItemAnswers) {
    const std::string a = OpenedDesign("a.tlt");
    const std::string b = OpenedDesign("b.tlt");
    AddGrain("3", "2", "1");  // b.tlt changed
    const QString question = OpenQuestion();
    dialogs.answers = {MsgResult::kNo};
    window->mnuRecent[2]->trigger();
    ExpectQuestion(0, question, MsgButtons::kYesNo);
    EXPECT_EQ(state.sCurrentFile, a);
    EXPECT_EQ(Slurp(b).count("Grain:"), 1);  // not saved
    ASSERT_EQ(state.vRecentFiles, (RecentSlots{"", a, b, "", ""}));

    // Yes: a.tlt is saved before b.tlt is read.
    AddGrain("3", "2", "1");
    dialogs.answers = {MsgResult::kYes};
    window->mnuRecent[2]->trigger();
    EXPECT_EQ(dialogs.boxes.size(), 2u) << dialogs.Texts().join("|").toStdString();
    EXPECT_EQ(Slurp(a).count("Grain:"), 2);  // saved before b.tlt was read
    EXPECT_EQ(state.sCurrentFile, b);
    EXPECT_EQ(state.Motor().GrainCount(), 1);
    EXPECT_EQ(state.vRecentFiles, (RecentSlots{"", b, a, "", ""}));
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
        if (!c.with_file) state.sCurrentFile.clear();
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
            EXPECT_TRUE(state.bChanged) << c.name;
            EXPECT_EQ(state.Motor().GrainCount(), 2) << c.name;
        }
    }
}

TEST_F(FileCommandsTest, AFailedSaveOnClosingKeepsTheWindowOpen) {
    OpenedDesign("x.tlt");
    AddGrain("3", "2", "1");
    state.sCurrentFile = PathOf("missing/x.tlt");
    dialogs.answers = {MsgResult::kYes};
    EXPECT_FALSE(window->close());
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(dialogs.boxes[1].text.endsWith(" in mnuSave_Click"));
    EXPECT_TRUE(state.bChanged);
}

}  // namespace
}  // namespace thrustlet::testing
