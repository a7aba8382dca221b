// The About box: one independent instance behind both Help items, its keys,
// and the start of the system-information tool over a test store and a fake
// launcher.
#include "ui/about_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "settings/registry.h"
#include "tests/support/window_fixture.h"

namespace thrustlet::testing {
namespace {

constexpr const char* kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

// The system root as a normal user meets it: readable, but any request for
// write rights on it is refused.
class UserViewOfSystemStore : public MemoryRegistry {
public:
    int32_t OpenKey(RegHandle root, const std::string& path, uint32_t access, RegHandle* key) override {
        accesses.push_back(access);
        constexpr uint32_t kWriteRights = 0x2 | 0x4 | 0x20 | 0x10000 | 0x40000 | 0x80000;
        if (root == kHkeyLocalMachine && (access & kWriteRights)) {
            *key = 0;
            return reg::kAccessDenied;
        }
        return MemoryRegistry::OpenKey(root, path, access, key);
    }
    void Put(const std::string& key, const std::string& name, uint32_t type, const std::string& bytes) {
        RegistryTree& tree = Tree(kHkeyLocalMachine);
        tree.Create(key);
        RegistryTree::Value value{name, type, std::vector<uint8_t>(bytes.begin(), bytes.end())};
        tree.keys[RegistryTree::Fold(key)].values[RegistryTree::Fold(name)] = value;
    }
    std::vector<uint32_t> accesses;
};

class AboutDialogTest : public WindowTest {
protected:
    void TearDown() override {
        if (frmAbout* about = frmAbout::Instance()) delete about;
        WindowTest::TearDown();
    }
    frmAbout* ShowAbout() { return frmAbout::Show(dialogs, processes, system_store); }
    // Lets a closed dialog's deferred deletion run.
    static void Settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }

    UserViewOfSystemStore system_store;
};

TEST_F(AboutDialogTest, BothHelpItemsShowOneIndependentInstance) {
    ui->mnuAbout->trigger();
    frmAbout* about = frmAbout::Instance();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->parent(), nullptr);
    EXPECT_FALSE(about->isModal());
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), "About Thrustlet");
    EXPECT_EQ(about->lblTitle->text(), "Thrustlet");
    EXPECT_EQ(about->lblVersion->text(), "Version 1.1.8");
    EXPECT_EQ(about->Label1->text(), "Distributed by Veskarn");
    EXPECT_TRUE(about->Label2->text().contains("example.org"));
    EXPECT_TRUE(about->lblDescription->text().startsWith(
        "This program calculates the kn of a BATES grain solid rocket motor.  Contact "));
    EXPECT_TRUE(about->lblDescription->text().endsWith(" for bug reports, suggestions, questions, "
                                                       "complaints, threats, fits of rage, etc... "));
    EXPECT_TRUE(about->lblDisclaimer->text().startsWith("Warning:  Rocket motors are dangerous.  "));
    EXPECT_EQ(about->cmdSysInfo->text(), "&System Info...");
    EXPECT_EQ(about->minimumSize(), about->maximumSize());  // fixed border
    EXPECT_EQ(about->size(), QSize(382, 263));

    about->lblTitle->setText("marked");
    ui->mnuBugReports->trigger();
    EXPECT_EQ(frmAbout::Instance(), about);
    EXPECT_EQ(about->lblTitle->text(), "marked");  // brought forward, not loaded again

    about->cmdOK->click();
    Settle();
    EXPECT_EQ(frmAbout::Instance(), nullptr);
    ui->mnuBugReports->trigger();
    ASSERT_NE(frmAbout::Instance(), nullptr);
    EXPECT_EQ(frmAbout::Instance()->lblTitle->text(), "Thrustlet");  // loaded afresh
}

TEST_F(AboutDialogTest, EnterAndEscCloseIt) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        frmAbout* about = ShowAbout();
        QApplication::setActiveWindow(about);
        QTest::keyClick(about, key);
        Settle();
        EXPECT_EQ(frmAbout::Instance(), nullptr) << key;
    }
}

// In the real event loop: closing the main window leaves the program running
// while the About box is open; closing that too ends it.
TEST_F(AboutDialogTest, TheProgramRunsOnUntilTheAboutBoxClosesToo) {
    ShowAbout();
    bool running_after_main_window = false;
    QTimer::singleShot(0, [&] { window->close(); });
    QTimer::singleShot(50, [&] {
        running_after_main_window = frmAbout::Instance() && frmAbout::Instance()->isVisible();
        frmAbout::Instance()->cmdOK->click();
    });
    QTimer::singleShot(3000, [] { QApplication::exit(2); });  // a safety net only
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(running_after_main_window);
}

TEST_F(AboutDialogTest, SystemInformationLookups) {
    const std::string folder = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
    const std::string in_folder = folder + kPathSeparator + "MSINFO32.EXE";
    const struct {
        const char* name;
        const char* path_value;      // under MSINFO, or null
        const char* location_value;  // under Shared Tools Location, or null
        bool tool_exists;
        bool start_succeeds;
        const char* started;         // null: the message shows
    } cases[] = {
        {"own path", "C:\\tools\\msinfo32.exe", folder.c_str(), true, true, "C:\\tools\\msinfo32.exe"},
        {"folder only, tool there", nullptr, folder.c_str(), true, true, in_folder.c_str()},
        {"folder only, no tool", nullptr, folder.c_str(), false, true, nullptr},
        {"neither", nullptr, nullptr, true, true, nullptr},
        {"empty path value", "", nullptr, true, true, nullptr},
        {"start fails", "C:\\tools\\msinfo32.exe", nullptr, true, false, nullptr},
    };
    for (const auto& c : cases) {
        system_store.Tree(kHkeyLocalMachine) = RegistryTree();
        if (c.path_value) system_store.Put(kMsinfoKey, "PATH", 1, std::string(c.path_value) + '\0');
        if (c.location_value) system_store.Put(kLocationKey, "MSINFO", 1, std::string(c.location_value) + '\0');
        processes.existing_files = c.tool_exists ? QStringList{QString::fromStdString(in_folder)} : QStringList{};
        processes.start_succeeds = c.start_succeeds;
        processes.started.clear();
        dialogs.boxes.clear();

        ShowAbout()->cmdSysInfo->click();
        if (c.started) {
            EXPECT_TRUE(dialogs.boxes.empty()) << c.name;
            EXPECT_EQ(processes.started, std::vector<QString>{c.started}) << c.name;
        } else {
            ASSERT_EQ(dialogs.boxes.size(), 1u) << c.name;
            EXPECT_EQ(dialogs.boxes[0].text, "System Information Is Unavailable At This Time");
            EXPECT_EQ(dialogs.boxes[0].buttons, MsgButtons::kOk);
            EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::kNone);
            EXPECT_EQ(dialogs.boxes[0].title, "Thrustlet");
        }
    }
    // Read rights only, ever: a normal user may not write the system root.
    for (uint32_t access : system_store.accesses) EXPECT_EQ(access, kKeyRead);
}

TEST_F(AboutDialogTest, GetKeyValueTypesAndLimits) {
    system_store.Put("k", "text", 1, std::string("abc") + '\0');
    system_store.Put("k", "unterminated", 1, "abc");
    system_store.Put("k", "number", 4, std::string("\xff\xff\xff\xff", 4));
    system_store.Put("k", "raw", 3, "xyz");
    system_store.Put("k", "long", 1, std::string(1024, 'a') + '\0');
    std::string value = "before";
    EXPECT_TRUE(GetKeyValue(system_store, kHkeyLocalMachine, "k", "text", value));
    EXPECT_EQ(value, "abc");
    EXPECT_TRUE(GetKeyValue(system_store, kHkeyLocalMachine, "k", "unterminated", value));
    EXPECT_EQ(value, "abc");
    EXPECT_TRUE(GetKeyValue(system_store, kHkeyLocalMachine, "k", "number", value));
    EXPECT_EQ(value, "-1");
    EXPECT_TRUE(GetKeyValue(system_store, kHkeyLocalMachine, "k", "raw", value));
    EXPECT_EQ(value, "-1");  // another type leaves the value as it was
    EXPECT_FALSE(GetKeyValue(system_store, kHkeyLocalMachine, "k", "long", value));
    EXPECT_EQ(value, "");
    value = "x";
    EXPECT_FALSE(GetKeyValue(system_store, kHkeyLocalMachine, "k", "missing", value));
    EXPECT_EQ(value, "");
    value = "x";
    EXPECT_FALSE(GetKeyValue(system_store, kHkeyLocalMachine, "no\\such\\key", "text", value));
    EXPECT_EQ(value, "");
    EXPECT_EQ(system_store.OpenHandleCount(), 0);
}

}  // namespace
}  // namespace thrustlet::testing
