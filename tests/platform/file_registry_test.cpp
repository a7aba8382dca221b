#include "platform/file_registry.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QDir>
#include <QTemporaryDir>
#include <thread>

#include "model/errors.h"
#include "settings/recent_files.h"
#include "settings/registry.h"

namespace thrustlet {
namespace {

class FileRegistryTest : public ::testing::Test {
protected:
    QString UserFile() const { return folder.path() + "/HKEY_CURRENT_USER.reg"; }
    FileRegistry MakeStore() const { return FileRegistry(UserFile(), folder.path() + "/HKEY_LOCAL_MACHINE.reg"); }
    static QByteArray Slurp(const QString& path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
    static void Spill(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    QTemporaryDir folder;
    const std::string key = "software\\Thrustlet";
};

TEST_F(FileRegistryTest, KeepsValuesAcrossStoresWithExactBytes) {
    {
        FileRegistry store = MakeStore();
        RegFuncs funcs(store);
        funcs.CreateRegKey(key, kHkeyCurrentUser);
        funcs.WriteRegValue(key, "RecentFile1", RegValue::Text("/home/ann/m 1.tlt"), 1, kHkeyCurrentUser);
        funcs.WriteRegValue(key, "Count", RegValue::Integer(3), 4, kHkeyCurrentUser);
    }
    FileRegistry again = MakeStore();
    RegFuncs funcs(again);
    EXPECT_EQ(funcs.ReadRegValue(key, "RecentFile1", kHkeyCurrentUser), RegValue::Text("/home/ann/m 1.tlt"));
    EXPECT_EQ(funcs.ReadRegValue(key, "count", kHkeyCurrentUser), RegValue::Integer(3));
    EXPECT_EQ(ParseTree(SerializeTree(ParseTree(Slurp(UserFile())))).keys.size(),
              ParseTree(Slurp(UserFile())).keys.size());
}

TEST_F(FileRegistryTest, DamagedFilesReadAsEmptyAndAreLeftAlone) {
    const QByteArray damaged[] = {"garbage\x00\xff", "THRUSTLET-REGISTRY 1\nK 7a7", "THRUSTLET-REGISTRY 1\nK 6162\nV 1 61",
                                  "THRUSTLET-REGISTRY 1\nK 6162\n" /* cut short: no END */, ""};
    for (const QByteArray& bytes : damaged) {
        Spill(UserFile(), bytes);
        FileRegistry store = MakeStore();
        RegFuncs funcs(store);
        EXPECT_FALSE(funcs.RegKeyExists(key, kHkeyCurrentUser));
        EXPECT_EQ(funcs.ReadRegValue(key, "RecentFile1", kHkeyCurrentUser), RegValue::Text(""));
        EXPECT_EQ(Slurp(UserFile()), bytes);  // reading never rewrites it
        funcs.CreateRegKey(key, kHkeyCurrentUser);  // the next write starts afresh
        EXPECT_TRUE(funcs.RegKeyExists(key, kHkeyCurrentUser));
    }
}

TEST_F(FileRegistryTest, AnAbandonedWriteLeavesThePreviousStore) {
    FileRegistry store = MakeStore();
    RegFuncs funcs(store);
    funcs.CreateRegKey(key, kHkeyCurrentUser);
    funcs.WriteRegValue(key, "FileDir", RegValue::Text("/old/"), 1, kHkeyCurrentUser);
    const QByteArray before = Slurp(UserFile());
    store.abandon_before_replace = true;
    funcs.WriteRegValue(key, "FileDir", RegValue::Text("/new/"), 1, kHkeyCurrentUser);
    EXPECT_EQ(Slurp(UserFile()), before);
    EXPECT_EQ(funcs.ReadRegValue(key, "FileDir", kHkeyCurrentUser), RegValue::Text("/old/"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);  // no leftovers
}

TEST_F(FileRegistryTest, TwoWritersAtOnceLoseNothing) {
    {
        FileRegistry store = MakeStore();
        RegFuncs(store).CreateRegKey(key, kHkeyCurrentUser);
    }
    auto writer = [&](const std::string& prefix) {
        FileRegistry store = MakeStore();
        RegFuncs funcs(store);
        for (int i = 0; i < 40; ++i) {
            funcs.WriteRegValue(key, prefix + std::to_string(i), RegValue::Integer(i), 4, kHkeyCurrentUser);
        }
    };
    std::thread first(writer, "a"), second(writer, "b");
    first.join();
    second.join();
    FileRegistry store = MakeStore();
    RegFuncs funcs(store);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(funcs.ReadRegValue(key, "a" + std::to_string(i), kHkeyCurrentUser), RegValue::Integer(i));
        EXPECT_EQ(funcs.ReadRegValue(key, "b" + std::to_string(i), kHkeyCurrentUser), RegValue::Integer(i));
    }
}

// Two running copies each open files, and so rewrite their list and folder,
// at the same time: the store file must stay readable, hold exactly the five
// values, and every value must be one that a copy wrote whole.
TEST_F(FileRegistryTest, TwoCopiesAddingRecentFilesKeepTheStoreWhole) {
    {
        FileRegistry store = MakeStore();
        RegFuncs(store).CreateRegKey(kSettingsKey, kHkeyCurrentUser);
    }
    auto copy = [&](const std::string& name) {
        FileRegistry store = MakeStore();
        RegFuncs funcs(store);
        RecentSlots recent;
        for (int i = 0; i < 30; ++i) {
            AddToRecentSlots(recent, "/" + name + "/" + std::to_string(i) + ".tlt");
            WriteStoredSettings(funcs, recent, "/" + name + "/");
        }
    };
    std::thread first(copy, "a"), second(copy, "b");
    first.join();
    second.join();

    const RegistryTree tree = ParseTree(Slurp(UserFile()));
    ASSERT_TRUE(tree.Has(kSettingsKey));
    const auto& values = tree.keys.at("software\\thrustlet").values;
    EXPECT_EQ(values.size(), 5u);
    FileRegistry store = MakeStore();
    RegFuncs funcs(store);
    std::string dir;
    RecentSlots recent;
    ReadStoredSettings(funcs, dir, recent);
    EXPECT_TRUE(dir == "/a/" || dir == "/b/") << dir;
    for (int slot = 1; slot <= 4; ++slot) {
        const std::string& path = recent[static_cast<size_t>(slot)];
        EXPECT_TRUE(path.rfind("/a/", 0) == 0 || path.rfind("/b/", 0) == 0) << path;
    }
}

TEST_F(FileRegistryTest, ReadOnlySystemFolderRefusesWrites) {
    const QString machine = folder.path() + "/machine";
    QDir().mkpath(machine);
    QFile::setPermissions(machine, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFile probe(machine + "/probe"); probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    FileRegistry store(UserFile(), machine + "/HKEY_LOCAL_MACHINE.reg");
    try {
        RegFuncs(store).CreateRegKey(key, kHkeyLocalMachine);
        ADD_FAILURE();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Description(), "Access is denied.\r\n");
    }
    QFile::setPermissions(machine, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace
}  // namespace thrustlet
