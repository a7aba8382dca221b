#include "platform/file_registry.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QDir>
#include <QTemporaryDir>
#include <thread>

#include "model/errors.h"
#include "platform/memory_registry.h"
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

// A store with "FileDir" and "RecentFile1" under the settings key.
QByteArray GoodStore() {
    MemoryRegistry memory;
    RegFuncs funcs(memory);
    funcs.CreateRegKey(kSettingsKey, kHkeyCurrentUser);
    funcs.WriteRegValue(kSettingsKey, "FileDir", RegValue::Text("/m/"), 1, kHkeyCurrentUser);
    funcs.WriteRegValue(kSettingsKey, "RecentFile1", RegValue::Text("/m/x.tlt"), 1, kHkeyCurrentUser);
    return SerializeTree(memory.Tree(kHkeyCurrentUser));
}

// Damage costs only what is damaged: every intact value still reads, reading
// never rewrites the file, and the next write keeps the damaged file beside
// the store (byte for byte) before it puts a good one in place.
TEST_F(FileRegistryTest, DamagedFilesKeepTheirIntactValues) {
    const QByteArray good = GoodStore();
    QByteArray bad_line = good;
    bad_line.replace("\nV 1 52", "\nV 1 zz52");  // the RecentFile1 line
    const struct {
        const char* name;
        QByteArray bytes;
        bool dir_kept;
        bool recent_kept;
    } cases[] = {
        {"END cut off", good.left(good.size() - 4), true, true},
        {"cut mid-line", good.left(good.size() - 10), true, false},
        {"one damaged line", bad_line, true, false},
        {"garbage", QByteArray("garbage\x00\xff", 9), false, false},
        {"empty", QByteArray(), false, false},
    };
    for (const auto& c : cases) {
        QFile::remove(UserFile() + ".damaged");
        Spill(UserFile(), c.bytes);
        FileRegistry store = MakeStore();
        RegFuncs funcs(store);
        EXPECT_EQ(funcs.ReadRegValue(kSettingsKey, "FileDir", kHkeyCurrentUser),
                  RegValue::Text(c.dir_kept ? "/m/" : ""))
            << c.name;
        EXPECT_EQ(funcs.ReadRegValue(kSettingsKey, "RecentFile1", kHkeyCurrentUser),
                  RegValue::Text(c.recent_kept ? "/m/x.tlt" : ""))
            << c.name;
        EXPECT_EQ(Slurp(UserFile()), c.bytes) << c.name;  // reading never rewrites it

        funcs.CreateRegKey(kSettingsKey, kHkeyCurrentUser);
        funcs.WriteRegValue(kSettingsKey, "RecentFile2", RegValue::Text("/n.tlt"), 1, kHkeyCurrentUser);
        bool intact = false;
        ParseTree(Slurp(UserFile()), &intact);
        EXPECT_TRUE(intact) << c.name;
        EXPECT_EQ(funcs.ReadRegValue(kSettingsKey, "FileDir", kHkeyCurrentUser),
                  RegValue::Text(c.dir_kept ? "/m/" : ""))
            << c.name;
        EXPECT_EQ(Slurp(UserFile() + ".damaged"), c.bytes) << c.name;
    }
}

// A damaged key line ends the key before it: the values after it belong to
// no known key, so they are skipped rather than filed under the previous
// key (and written back there for good).
TEST_F(FileRegistryTest, ValuesAfterADamagedKeyLineBelongToNoKey) {
    const QByteArray a = QByteArray("a").toHex(), b = QByteArray("b").toHex();
    const QByteArray text = "THRUSTLET-REGISTRY 1\nK " + a + "\nV 1 " + QByteArray("x").toHex() + " 00\nK zz\nV 1 " +
                            QByteArray("y").toHex() + " 00\nK " + b + "\nV 1 " + QByteArray("z").toHex() +
                            " 00\nEND\n";
    bool intact = true;
    const RegistryTree tree = ParseTree(text, &intact);
    EXPECT_FALSE(intact);
    ASSERT_TRUE(tree.Has("a") && tree.Has("b"));
    EXPECT_EQ(tree.keys.at("a").values.size(), 1u);
    EXPECT_EQ(tree.keys.at("a").values.count("x"), 1u);
    EXPECT_EQ(tree.keys.at("b").values.size(), 1u);
    EXPECT_EQ(tree.keys.at("b").values.count("z"), 1u);
}

// Two running copies each open a file in turn. Each writes the list as
// stored with its own file put on top, so neither loses the other's.
TEST_F(FileRegistryTest, TwoCopiesKeepEachOthersRecentFiles) {
    FileRegistry first_store = MakeStore(), second_store = MakeStore();
    RegFuncs first(first_store), second(second_store);
    first.CreateRegKey(kSettingsKey, kHkeyCurrentUser);
    RecentSlots first_list, second_list;  // what each read at start: nothing
    AddToRecentSlots(first_list, "/a/1.tlt");
    first_list = MergeStoredSettings(first, first_list, {"/a/1.tlt"}, "/a/");
    AddToRecentSlots(second_list, "/b/1.tlt");
    second_list = MergeStoredSettings(second, second_list, {"/b/1.tlt"}, "/b/");
    EXPECT_EQ(second_list, (RecentSlots{"", "/b/1.tlt", "/a/1.tlt", "", ""}));
    AddToRecentSlots(first_list, "/a/2.tlt");
    first_list = MergeStoredSettings(first, first_list, {"/a/2.tlt"}, "/a/");
    EXPECT_EQ(first_list, (RecentSlots{"", "/a/2.tlt", "/b/1.tlt", "/a/1.tlt", ""}));
    std::string dir;
    RecentSlots stored;
    ReadStoredSettings(second, dir, stored);
    EXPECT_EQ(stored, first_list);
    EXPECT_EQ(dir, "/a/");
}

TEST_F(FileRegistryTest, AnOversizedFileIsNotReadWhole) {
    Spill(UserFile(), QByteArray((1 << 20) + 1, '\n'));
    FileRegistry store = MakeStore();
    RegFuncs funcs(store);
    EXPECT_FALSE(funcs.RegKeyExists(kSettingsKey, kHkeyCurrentUser));
    funcs.CreateRegKey(kSettingsKey, kHkeyCurrentUser);
    EXPECT_TRUE(funcs.RegKeyExists(kSettingsKey, kHkeyCurrentUser));
    EXPECT_EQ(QFileInfo(UserFile() + ".damaged").size(), (1 << 20) + 1);
}

TEST_F(FileRegistryTest, AnUnreadableFileIsKeptBeforeItIsReplaced) {
    Spill(UserFile(), GoodStore());
    QFile::setPermissions(UserFile(), QFileDevice::WriteOwner);
    if (QFile probe(UserFile()); probe.open(QIODevice::ReadOnly)) {
        GTEST_SKIP() << "running with rights that ignore file permissions";
    }
    FileRegistry store = MakeStore();
    RegFuncs(store).CreateRegKey(kSettingsKey, kHkeyCurrentUser);
    QFile::setPermissions(UserFile() + ".damaged", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(Slurp(UserFile() + ".damaged"), GoodStore());
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

// Two running programs writing as fast as they can, again and again: the
// store takes every write of both (a writer waits its turn rather than
// dropping a value).
TEST_F(FileRegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kWrites = 250;
    for (int round = 0; round < 3; ++round) {
        QFile::remove(UserFile());
        {
            FileRegistry store = MakeStore();
            RegFuncs(store).CreateRegKey(kSettingsKey, kHkeyCurrentUser);
        }
        QProcess first, second;
        for (auto [process, prefix] : {std::pair{&first, "a"}, std::pair{&second, "b"}}) {
            process->start(STORE_WRITER_BINARY, {UserFile(), QString::number(kWrites), prefix});
        }
        for (QProcess* process : {&first, &second}) {
            ASSERT_TRUE(process->waitForFinished(120000));
            EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
        }
        const RegistryTree tree = ParseTree(Slurp(UserFile()));
        ASSERT_TRUE(tree.Has(kSettingsKey));
        EXPECT_EQ(tree.keys.at("software\\thrustlet").values.size(), 2u * kWrites) << "round " << round;
    }
}

// A copy that holds the lock for long (a slow disk, a paused program) makes
// the other wait for its turn: the write lands once the lock is free.
TEST_F(FileRegistryTest, AWriterWaitsOutALongHeldLock) {
    {
        FileRegistry store = MakeStore();
        RegFuncs(store).CreateRegKey(kSettingsKey, kHkeyCurrentUser);
    }
    QLockFile held(UserFile() + ".lock");
    ASSERT_TRUE(held.tryLock(0));
    QProcess writer;
    writer.start(STORE_WRITER_BINARY, {UserFile(), "1", "late"});
    ASSERT_TRUE(writer.waitForStarted());
    EXPECT_FALSE(writer.waitForFinished(5500));  // still waiting, not given up
    held.unlock();
    ASSERT_TRUE(writer.waitForFinished(30000));
    EXPECT_EQ(writer.exitCode(), 0);
    FileRegistry store = MakeStore();
    EXPECT_EQ(RegFuncs(store).ReadRegValue(kSettingsKey, "late0", kHkeyCurrentUser), RegValue::Integer(0));
}

// A lock that cannot be made at all is no other copy's: the write fails at
// once instead of freezing the window while it waits.
TEST_F(FileRegistryTest, AnImpossibleLockFailsAtOnce) {
    QDir().mkpath(UserFile() + ".lock/inside");  // a folder where the lock file goes
    FileRegistry store = MakeStore();
    QElapsedTimer took;
    took.start();
    EXPECT_THROW(RegFuncs(store).CreateRegKey(kSettingsKey, kHkeyCurrentUser), RunTimeError);
    EXPECT_LT(took.elapsed(), 2000);
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
