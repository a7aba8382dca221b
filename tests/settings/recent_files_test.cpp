// The recent-file list and the settings it keeps in the store.
#include "settings/recent_files.h"

#include <gtest/gtest.h>

#include "model/errors.h"
#include "platform/memory_registry.h"

namespace thrustlet {
namespace {

RecentSlots Slots(const std::string& a, const std::string& b, const std::string& c, const std::string& d) {
    return {"", a, b, c, d};
}

struct ShiftCase {
    const char* name;
    RecentSlots before;
    int k;
    RecentSlots after;
};

TEST(RecentFilesTest, ShiftMovesEntriesIntoFreeSlots) {
    const ShiftCase cases[] = {
        {"full, k=4 drops D", Slots("A", "B", "C", "D"), 4, Slots("", "A", "B", "C")},
        {"full, k=2 keeps C, D", Slots("A", "B", "C", "D"), 2, Slots("", "A", "C", "D")},
        {"full, k=1", Slots("A", "B", "C", "D"), 1, Slots("", "B", "C", "D")},
        {"one entry, k=4", Slots("A", "", "", ""), 4, Slots("", "A", "", "")},
        {"gap in the middle", Slots("A", "", "C", ""), 4, Slots("", "A", "", "C")},
        {"empty list", Slots("", "", "", ""), 4, Slots("", "", "", "")},
    };
    for (const auto& c : cases) {
        RecentSlots slots = c.before;
        ShiftRecentFiles(slots, c.k);
        EXPECT_EQ(slots, c.after) << c.name;
    }
}

struct AddCase {
    const char* name;
    RecentSlots before;
    const char* path;
    RecentSlots after;
};

TEST(RecentFilesTest, AddPutsThePathOnTopWithoutDuplicates) {
    const AddCase cases[] = {
        {"listed in slot 3", Slots("A", "B", "C", "D"), "C", Slots("C", "A", "B", "D")},
        {"listed in slot 1", Slots("A", "B", "C", "D"), "A", Slots("A", "B", "C", "D")},
        {"new path drops the oldest", Slots("A", "B", "C", "D"), "E", Slots("E", "A", "B", "C")},
        {"empty list", Slots("", "", "", ""), "A", Slots("A", "", "", "")},
        {"free slots", Slots("A", "B", "", ""), "C", Slots("C", "A", "B", "")},
        {"letter case differs", Slots("/m/x.tlt", "", "", ""), "/m/X.tlt", Slots("/m/X.tlt", "/m/x.tlt", "", "")},
        // Free slots never open up between entries, and none is dropped
        // while the list has room.
        {"top again, free slots below", Slots("A", "B", "", ""), "A", Slots("A", "B", "", "")},
        {"stored with a gap", Slots("A", "", "", "B"), "C", Slots("C", "A", "B", "")},
    };
    for (const auto& c : cases) {
        RecentSlots slots = c.before;
        AddToRecentSlots(slots, c.path);
        EXPECT_EQ(slots, c.after) << c.name;
    }
}

TEST(RecentFilesTest, SettingsGoToTheStoreAndComeBack) {
    MemoryRegistry store;
    RegFuncs registry(store);
    registry.CreateRegKey(kSettingsKey, kHkeyCurrentUser);
    WriteStoredSettings(registry, Slots("/a/1.tlt", "", "/c/3.tlt", ""), "/a/");

    const RegistryTree::Key& key = store.Tree(kHkeyCurrentUser).keys.at("software\\thrustlet");
    EXPECT_EQ(key.values.size(), 5u);  // a free slot is written too, as ""
    EXPECT_EQ(key.values.at("recentfile2").data, std::vector<uint8_t>{0});

    std::string dir = "stale";
    RecentSlots recent = Slots("x", "x", "x", "x");
    ReadStoredSettings(registry, dir, recent);
    EXPECT_EQ(dir, "/a/");
    EXPECT_EQ(recent, Slots("/a/1.tlt", "", "/c/3.tlt", ""));
}

// The paths added since the last write go on top of the list as stored, in
// the order they were added; a store without a list takes them as they are.
TEST(RecentFilesTest, MergingPutsTheAddedPathsOnTheStoredList) {
    MemoryRegistry store;
    RegFuncs registry(store);
    registry.CreateRegKey(kSettingsKey, kHkeyCurrentUser);
    WriteStoredSettings(registry, Slots("/x.tlt", "/y.tlt", "/z.tlt", "/w.tlt"), "/old/");
    const RecentSlots merged =
        MergeStoredSettings(registry, Slots("/b.tlt", "/a.tlt", "", ""), {"/a.tlt", "/z.tlt", "/b.tlt"}, "/new/");
    EXPECT_EQ(merged, Slots("/b.tlt", "/z.tlt", "/a.tlt", "/x.tlt"));
    std::string dir;
    RecentSlots stored;
    ReadStoredSettings(registry, dir, stored);
    EXPECT_EQ(stored, merged);
    EXPECT_EQ(dir, "/new/");
}

TEST(RecentFilesTest, MissingValuesReadAsEmptyAndNumbersAsTheirText) {
    MemoryRegistry store;
    RegFuncs registry(store);
    registry.CreateRegKey(kSettingsKey, kHkeyCurrentUser);
    registry.WriteRegValue(kSettingsKey, "RecentFile2", RegValue::Text("/b.tlt"), 1, kHkeyCurrentUser);
    registry.WriteRegValue(kSettingsKey, "RecentFile3", RegValue::Integer(7), 4, kHkeyCurrentUser);
    std::string dir = "stale";
    RecentSlots recent = Slots("x", "x", "x", "x");
    ReadStoredSettings(registry, dir, recent);
    EXPECT_EQ(dir, "");
    EXPECT_EQ(recent, Slots("", "/b.tlt", "7", ""));
}

}  // namespace
}  // namespace thrustlet
