// Opening a motor file into the window, and the recent-file list with the
// settings it keeps between runs.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "model/formats/motor_file.h"
#include "settings/recent_files.h"
#include "tests/support/window_fixture.h"

namespace thrustlet::testing {
namespace {

constexpr const char* kTwoGrain =
    "Name:\r\nNozzleDia:0.5\r\nGrain:1,3.5,2,0.8\r\nGrain:1,3.5,2,1\r\nPropellant Data\r\n"
    "ISP*:900\r\nDensity:0.06\r\nBallisticA:0.05\r\nBallisticN:0.3\r\n";

class OpenFileTest : public WindowTest {
protected:
    std::string Write(const QString& name, const std::string& text) {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path.toStdString();
    }
    void Open(const std::string& path) { window->Files().OpenFile(path, FileTitleOf(path)); }
    // The stored values of the settings key, by folded name.
    std::map<std::string, std::string> Stored() {
        std::map<std::string, std::string> values;
        const auto& keys = registry.Tree(kHkeyCurrentUser).keys;
        const auto key = keys.find("software\\thrustlet");
        if (key == keys.end()) return values;
        for (const auto& [name, value] : key->second.values) {
            values[name] = std::string(value.data.begin(), value.data.end());
        }
        return values;
    }
    QAction* Recent(int i) { return ui->mnuRecent[static_cast<size_t>(i)]; }

    QTemporaryDir dir;
};

TEST_F(OpenFileTest, FirstStartCreatesTheKeyAndWritesNothing) {
    ASSERT_TRUE(registry.Tree(kHkeyCurrentUser).Has(kSettingsKey));
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(doc().FileDir(), "");
    EXPECT_EQ(doc().RecentFiles(), RecentSlots{});
    EXPECT_TRUE(Recent(1)->isVisible());  // as the window starts: item 1 shown, empty
    EXPECT_EQ(Recent(1)->text(), "");
    for (int i = 2; i <= 4; ++i) EXPECT_FALSE(Recent(i)->isVisible());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(OpenFileTest, StoredListShowsAtStartWithMissingValuesHidden) {
    RegFuncs funcs(registry);
    funcs.WriteRegValue(kSettingsKey, "RecentFile1", RegValue::Text("/m/a.tlt"), 1, kHkeyCurrentUser);
    funcs.WriteRegValue(kSettingsKey, "RecentFile3", RegValue::Text("/m/R&D/c.tlt"), 1, kHkeyCurrentUser);
    funcs.WriteRegValue(kSettingsKey, "FileDir", RegValue::Text("/m/"), 1, kHkeyCurrentUser);
    Restart();
    EXPECT_EQ(doc().FileDir(), "/m/");
    EXPECT_EQ(doc().RecentFiles(), (RecentSlots{"", "/m/a.tlt", "", "/m/R&D/c.tlt", ""}));
    const bool visible[] = {false, true, false, true, false};
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(Recent(i)->isVisible(), visible[i]) << i;
    EXPECT_EQ(Recent(1)->text(), "/m/a.tlt");
    // The caption shows the path exactly: "&" is not taken as an accelerator.
    EXPECT_EQ(Recent(3)->text(), "/m/R&&D/c.tlt");
    EXPECT_EQ(Recent(3)->iconText(), "/m/R&D/c.tlt");
}

TEST_F(OpenFileTest, AStoreThatCannotBeCreatedIsReportedAndStartUpGoesOn) {
    registry.read_only = true;
    registry.Tree(kHkeyCurrentUser) = RegistryTree();
    Restart();
    // The store's message text loses its line end in the report.
    ASSERT_EQ(dialogs.Texts(), QStringList{"Access is denied. in InitReg"});
    EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::kInformation);
    EXPECT_EQ(dialogs.boxes[0].title, "Thrustlet");
    EXPECT_EQ(window->windowTitle(), "Veskarn - Thrustlet");
}

TEST_F(OpenFileTest, OpeningFillsTheWindowAndStoresTheFiveValues) {
    const std::string path = Write("designs/two_grain.tlt", kTwoGrain);
    doc().SetChanged(true);
    Open(path);
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join("|").toStdString();
    EXPECT_EQ(window->windowTitle(), "Veskarn - Thrustlet - two_grain.tlt");
    EXPECT_EQ(GridTexts().mid(4), (QStringList{"1", "3.5", "2", "0.8", "2", "3.5", "2", "1"}));
    EXPECT_EQ(ui->grdGrains->RowSel(), 1);
    EXPECT_EQ(ui->grdGrains->ColSel(), 3);
    EXPECT_EQ(ui->txtGrainLength->text(), "3.5");
    EXPECT_EQ(ui->txtGrainDiameter->text(), "2");
    EXPECT_EQ(ui->txtCoreDiameter->text(), "0.8");
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "0.5");
    EXPECT_EQ(ui->txtKN->text(), "152");
    EXPECT_EQ(ui->txtMaxKn->text(), "167");
    EXPECT_EQ(doc().Motor().ISPStar(), 900.0f);
    EXPECT_FALSE(doc().Changed());
    EXPECT_FALSE(doc().Busy());
    EXPECT_FALSE(cursor.hourglass);
    EXPECT_EQ(doc().CurrentFile(), path);
    EXPECT_EQ(doc().FileDir(), dir.filePath("designs/").toStdString());
    EXPECT_EQ(Recent(1)->text().toStdString(), path);

    const std::map<std::string, std::string> expected{
        {"filedir", doc().FileDir() + '\0'},   {"recentfile1", path + '\0'},
        {"recentfile2", std::string(1, '\0')}, {"recentfile3", std::string(1, '\0')},
        {"recentfile4", std::string(1, '\0')},
    };
    EXPECT_EQ(Stored(), expected);

    Restart();  // the list and the folder survive a restart
    EXPECT_EQ(doc().RecentFiles()[1], path);
    EXPECT_EQ(Recent(1)->text().toStdString(), path);
    EXPECT_EQ(doc().FileDir(), dir.filePath("designs/").toStdString());
}

// Only the grain fields are filled while the window is busy, so leaving a Kn
// field then cannot size the nozzle away from the file's value.
TEST_F(OpenFileTest, BusyOnlyWhileTheGrainFieldsAreFilled) {
    const std::string path = Write("m.tlt", kTwoGrain);
    std::vector<std::pair<QString, bool>> seen;
    for (TextBox* box : {ui->txtNozzleThroatDia, ui->txtGrainLength}) {
        QObject::connect(box, &QLineEdit::textChanged, [&, box] { seen.emplace_back(box->objectName(), doc().Busy()); });
    }
    Open(path);
    const std::vector<std::pair<QString, bool>> expected{
        {"txtNozzleThroatDia", false}, {"txtGrainLength", true}, {"txtNozzleThroatDia", true}};
    // The second nozzle text equals the first, so Qt raises no second change.
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], expected[0]);
    EXPECT_EQ(seen[1], expected[1]);
    EXPECT_FALSE(doc().Busy());
}

TEST_F(OpenFileTest, AFileWithoutGrainsOpens) {
    Write("first.tlt", kTwoGrain);
    Open(dir.filePath("first.tlt").toStdString());
    cMotor empty;
    empty.SetNozzleDia(0.25f);
    const std::string path = dir.filePath("empty.tlt").toStdString();
    empty.SaveToFile(path);
    Open(path);
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join("|").toStdString();
    EXPECT_EQ(doc().Motor().GrainCount(), 0);
    EXPECT_EQ(ui->grdGrains->Rows(), 1);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "0.25");
    EXPECT_EQ(window->windowTitle(), "Veskarn - Thrustlet - empty.tlt");
    EXPECT_EQ(doc().CurrentFile(), path);
    EXPECT_EQ(doc().RecentFiles()[2], dir.filePath("first.tlt").toStdString());
}

// A failed open leaves everything as it was: the motor, the window, the
// document state, the recent list and the store.
TEST_F(OpenFileTest, AFailedOpenChangesNothing) {
    const std::string good = Write("good.tlt", kTwoGrain);
    Open(good);
    AddGrain("4", "2", "1");  // unsaved changes on top of the opened file
    Write("broken.tlt", "Name:\r\nNozzleDia:0.5\r\nGrain:1,abc,2,1\r\n");
    QDir(dir.path()).mkdir("folder.tlt");
    const struct {
        const char* name;
        std::string path;
        const char* message_start;
    } cases[] = {
        {"missing file", dir.filePath("nope.tlt").toStdString(), "File not found"},
        {"empty path", "", "File not found"},
        {"blank path", "   ", "File not found"},
        {"bad grain line", dir.filePath("broken.tlt").toStdString(), "Type mismatch: line 3"},
        {"a folder", dir.filePath("folder.tlt").toStdString(), "Path/File access error"},
    };
    const cMotor* motor = &doc().Motor();
    const QStringList grid = GridTexts();
    const auto stored = Stored();
    const std::string file_before = doc().CurrentFile(), dir_before = doc().FileDir();
    const RecentSlots recent_before = doc().RecentFiles();
    for (const auto& c : cases) {
        dialogs.boxes.clear();
        Open(c.path);
        ASSERT_EQ(dialogs.boxes.size(), 1u) << c.name;
        EXPECT_TRUE(dialogs.boxes[0].text.startsWith(c.message_start)) << dialogs.boxes[0].text.toStdString();
        EXPECT_TRUE(dialogs.boxes[0].text.endsWith(" in OpenFile")) << c.name;
        EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::kInformation);
        EXPECT_FALSE(cursor.hourglass) << c.name;
        EXPECT_EQ(&doc().Motor(), motor) << c.name;
        EXPECT_EQ(doc().Motor().GrainCount(), 3) << c.name;
        EXPECT_EQ(doc().CurrentFile(), file_before) << c.name;
        EXPECT_EQ(doc().FileDir(), dir_before) << c.name;
        EXPECT_EQ(doc().RecentFiles(), recent_before) << c.name;
        EXPECT_TRUE(doc().Changed()) << c.name;
        EXPECT_EQ(window->windowTitle(), "Veskarn - Thrustlet - good.tlt") << c.name;
        EXPECT_EQ(GridTexts(), grid) << c.name;
        EXPECT_EQ(Recent(1)->text().toStdString(), good) << c.name;
        EXPECT_EQ(Stored(), stored) << c.name;
    }
}

// The largest motor a file holds opens into the table (32767 grain rows,
// one past a 16-bit count) and saves back unchanged.
TEST_F(OpenFileTest, TheLargestMotorShowsAndSaves) {
    std::string text = "Name:\r\nNozzleDia:0.5\r\n";
    for (int i = 0; i < 32767; ++i) text += "Grain:1,4,2,1\r\n";
    text += "Propellant Data\r\nISP*:0\r\nDensity:0\r\nBallisticA:0\r\nBallisticN:0\r\n";
    const std::string path = Write("largest.tlt", text);
    Open(path);
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join("|").toStdString();
    ASSERT_EQ(ui->grdGrains->Rows(), 32768);
    EXPECT_EQ(ui->grdGrains->TextMatrix(32767, 0), "32767");
    ui->mnuSave->trigger();
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join("|").toStdString();
    QFile saved(QString::fromStdString(path));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().toStdString(), text);
}

TEST_F(OpenFileTest, ARecentItemOpensThePathInItsSlot) {
    const std::string first = Write("R&D/first.tlt", kTwoGrain);
    const std::string second = Write("second.tlt", kTwoGrain);
    Open(first);
    Open(second);
    ASSERT_EQ(Recent(2)->text().toStdString(), QString::fromStdString(first).replace("&", "&&").toStdString());
    Recent(2)->trigger();
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join("|").toStdString();
    EXPECT_EQ(doc().CurrentFile(), first);
    EXPECT_EQ(window->windowTitle(), "Veskarn - Thrustlet - first.tlt");
    EXPECT_EQ(doc().RecentFiles()[1], first);
    EXPECT_EQ(doc().RecentFiles()[2], second);
}

TEST_F(OpenFileTest, AnEmptyRecentItemIsAFailedOpen) {
    AddGrain("4", "2", "1");
    doc().SetChanged(false);
    Recent(1)->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.endsWith(" in OpenFile"));
    EXPECT_EQ(doc().Motor().GrainCount(), 1);
    EXPECT_TRUE(Stored().empty());
}

}  // namespace
}  // namespace thrustlet::testing
