// The registry layer's contract, run against every store this build has: the
// in-memory one, the file-backed one (with Qt) and the real registry (on
// Windows, or under Wine).
#include "settings/registry.h"

#include <gtest/gtest.h>

#include <chrono>

#include <functional>
#include <memory>
#include <random>
#include <string>

#include "model/errors.h"
#include "platform/memory_registry.h"
#include "tests/settings/registry_backends.h"

namespace thrustlet {
namespace {

class RegistryLayerTest : public ::testing::TestWithParam<RegistryBackend> {
protected:
    void SetUp() override {
        api = GetParam().make();
        // A key of its own per test, so runs against a real registry never meet.
        static std::mt19937 random{std::random_device{}()};
        key = "software\\ThrustletTest\\run" + std::to_string(random() % 1000000000);
        RegFuncs(*api).CreateRegKey(key, kHkeyCurrentUser);
    }
    void TearDown() override { EXPECT_EQ(api->OpenHandleCount(), 0); }

    // Writes raw bytes as another program would.
    void WriteRaw(const std::string& name, uint32_t type, const std::string& bytes) {
        RegHandle handle = 0;
        ASSERT_EQ(api->OpenKey(kHkeyCurrentUser, key, reg::kAccessAllKeyRights, &handle), 0);
        EXPECT_EQ(api->SetValue(handle, name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                                static_cast<uint32_t>(bytes.size())),
                  0);
        api->CloseKey(handle);
    }
    // The stored type and bytes of a value; type 0 and "" when it is missing.
    std::pair<uint32_t, std::string> Stored(const std::string& name, RegHandle root = kHkeyCurrentUser) {
        RegHandle handle = 0;
        if (api->OpenKey(root, key, reg::kAccessAllKeyRights, &handle) != 0) return {0, ""};
        uint32_t type = 0, size = 0;
        std::pair<uint32_t, std::string> result{0, ""};
        if (api->QueryValue(handle, name, &type, nullptr, &size) == 0) {
            std::string bytes(size, '\0');
            api->QueryValue(handle, name, &type, reinterpret_cast<uint8_t*>(bytes.data()), &size);
            result = {type, bytes.substr(0, size)};
        }
        api->CloseKey(handle);
        return result;
    }
    RegValue Read(const std::string& name) { return RegFuncs(*api).ReadRegValue(key, name, kHkeyCurrentUser); }

    std::unique_ptr<IRegistryApi> api;
    std::string key;
};

TEST_P(RegistryLayerTest, MissingValuesAndKeysReadAsEmptyText) {
    EXPECT_EQ(Read("Nothing"), RegValue::Text(""));
    EXPECT_EQ(RegFuncs(*api).ReadRegValue(key + "\\absent", "x", kHkeyCurrentUser), RegValue::Text(""));
    EXPECT_FALSE(RegFuncs(*api).RegKeyExists(key + "\\absent", kHkeyCurrentUser));
    EXPECT_TRUE(RegFuncs(*api).RegKeyExists(key, kHkeyCurrentUser));
}

TEST_P(RegistryLayerTest, TextValuesLoseExactlyTheirLastByte) {
    WriteRaw("Terminated", reg::kTypeText, std::string("C:\\m\\x.t\0", 9));
    WriteRaw("Unterminated", reg::kTypeText, "abcdefgh");
    WriteRaw("Zero", reg::kTypeText, "");
    EXPECT_EQ(Read("Terminated"), RegValue::Text("C:\\m\\x.t"));
    EXPECT_EQ(Read("Unterminated"), RegValue::Text("abcdefg"));
    EXPECT_EQ(Read("Zero"), RegValue::Text(""));
}

TEST_P(RegistryLayerTest, NumbersAndOtherTypes) {
    WriteRaw("Five", reg::kTypeNumber, std::string("\x05\x00\x00\x00", 4));
    WriteRaw("Raw", reg::kTypeBinary, "\x01\x02\x03");
    EXPECT_EQ(Read("Five"), RegValue::Integer(5));
    EXPECT_EQ(Read("Raw"), RegValue::Text(""));
    RegHandle handle = 0;
    api->OpenKey(kHkeyCurrentUser, key, reg::kAccessAllKeyRights, &handle);
    RegValue untouched = RegValue::Text("kept");
    EXPECT_EQ(RegFuncs(*api).ReadKeyValue(handle, "Raw", untouched), -1);
    EXPECT_EQ(untouched, RegValue::Text("kept"));
    EXPECT_EQ(RegFuncs(*api).ReadKeyValue(handle, "Missing", untouched), reg::kFileNotFound);
    EXPECT_EQ(untouched, RegValue::Text("kept"));
    api->CloseKey(handle);
}

TEST_P(RegistryLayerTest, WritesStoreTextWithItsTerminatorAndNumbersAsFourBytes) {
    RegFuncs funcs(*api);
    funcs.WriteRegValue(key, "Abc", RegValue::Text("abc"), 1, kHkeyCurrentUser);
    EXPECT_EQ(Stored("Abc"), std::make_pair(reg::kTypeText, std::string("abc\0", 4)));
    funcs.WriteRegValue(key, "Default", RegValue::Text("C:\\m\\"), 0, kHkeyCurrentUser);
    EXPECT_EQ(Stored("Default"), std::make_pair(reg::kTypeText, std::string("C:\\m\\\0", 6)));
    funcs.WriteRegValue(key, "Number", RegValue::Integer(-2), 4, kHkeyCurrentUser);
    EXPECT_EQ(Stored("Number"), std::make_pair(reg::kTypeNumber, std::string("\xfe\xff\xff\xff", 4)));
    funcs.WriteRegValue(key, "NumberText", RegValue::Text("7"), 4, kHkeyCurrentUser);
    EXPECT_EQ(Read("NumberText"), RegValue::Integer(7));
    funcs.WriteRegValue(key, "Empty", RegValue(), 1, kHkeyCurrentUser);
    EXPECT_EQ(Stored("Empty"), std::make_pair(reg::kTypeText, std::string("\0", 1)));
    EXPECT_EQ(Read("Abc"), RegValue::Text("abc"));

    RegHandle handle = 0;
    api->OpenKey(kHkeyCurrentUser, key, reg::kAccessAllKeyRights, &handle);
    EXPECT_EQ(funcs.WriteKeyValue(handle, "Other", 3, RegValue::Text("x")), 0);
    api->CloseKey(handle);
    EXPECT_EQ(Stored("Other").first, 0u);  // nothing stored, success reported

    // Failures are silent: a missing key, a value that is not a number, null.
    funcs.WriteRegValue(key + "\\absent", "X", RegValue::Text("x"), 1, kHkeyCurrentUser);
    funcs.WriteRegValue(key, "Bad", RegValue::Text("abc"), 4, kHkeyCurrentUser);
    funcs.WriteRegValue(key, "Null", RegValue::Null(), 1, kHkeyCurrentUser);
    EXPECT_EQ(Stored("Bad").first, 0u);
    EXPECT_EQ(Stored("Null").first, 0u);
    EXPECT_FALSE(funcs.RegKeyExists(key + "\\absent", kHkeyCurrentUser));
}

TEST_P(RegistryLayerTest, RootZeroMeansLocalMachine) {
    RegFuncs funcs(*api);
    try {
        funcs.CreateRegKey(key, kHkeyLocalMachine);
    } catch (const RunTimeError&) {
        GTEST_SKIP() << "the system-wide store is read-only here";
    }
    funcs.WriteRegValue(key, "Where", RegValue::Text("machine"));
    EXPECT_EQ(funcs.ReadRegValue(key, "Where", kHkeyLocalMachine), RegValue::Text("machine"));
    EXPECT_EQ(funcs.ReadRegValue(key, "Where"), RegValue::Text("machine"));
    EXPECT_EQ(Read("Where"), RegValue::Text(""));  // not in the user's store
}

TEST_P(RegistryLayerTest, NamesAndPathsIgnoreLetterCase) {
    RegFuncs funcs(*api);
    funcs.WriteRegValue(key, "RecentFile1", RegValue::Text("a.tlt"), 1, kHkeyCurrentUser);
    std::string upper = key;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(funcs.ReadRegValue(upper, "RECENTFILE1", kHkeyCurrentUser), RegValue::Text("a.tlt"));
    EXPECT_TRUE(funcs.RegKeyExists(upper, kHkeyCurrentUser));
}

TEST_P(RegistryLayerTest, ErrorTexts) {
    RegFuncs funcs(*api);
    EXPECT_EQ(funcs.GetRegErrorText(987654), "Error not found.");
    const std::string not_found = funcs.GetRegErrorText(reg::kFileNotFound);
    EXPECT_FALSE(not_found.empty());
    EXPECT_NE(not_found, "Error not found.");
    try {
        funcs.CreateRegKey("software\\Thrustlet", 0x12345);  // not a root
        ADD_FAILURE();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), -1);
        EXPECT_EQ(error.Description(), funcs.GetRegErrorText(reg::kInvalidHandle));
    }
}

// A read-merge-write under the store's lock: the body runs once, what it
// writes is kept, and a lock taken inside it again (the settings code nests
// them) does not wait for itself.
TEST_P(RegistryLayerTest, ExclusiveBodiesWriteAndNest) {
    RegFuncs funcs(*api);
    int runs = 0;
    const auto started = std::chrono::steady_clock::now();
    const int32_t status = funcs.Exclusive(kHkeyCurrentUser, [&] {
        ++runs;
        funcs.WriteRegValue(key, "a", RegValue::Text("1"), 1, kHkeyCurrentUser);
        EXPECT_EQ(funcs.Exclusive(kHkeyCurrentUser, [&] {
            funcs.WriteRegValue(key, "b", RegValue::Text("2"), 1, kHkeyCurrentUser);
        }), 0);
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(runs, 1);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(funcs.ReadRegValue(key, "a", kHkeyCurrentUser), RegValue::Text("1"));
    EXPECT_EQ(funcs.ReadRegValue(key, "b", kHkeyCurrentUser), RegValue::Text("2"));
}

INSTANTIATE_TEST_SUITE_P(Stores, RegistryLayerTest, ::testing::ValuesIn(RegistryBackends()),
                         [](const auto& info) { return info.param.name; });

TEST(MemoryRegistryTest, ReadOnlyStoreMakesCreateRaise) {
    MemoryRegistry api;
    api.read_only = true;
    try {
        RegFuncs(api).CreateRegKey("software\\Thrustlet", kHkeyCurrentUser);
        ADD_FAILURE();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Number(), -1);
        EXPECT_EQ(error.Description(), "Access is denied.\r\n");
    }
    EXPECT_EQ(api.OpenHandleCount(), 0);
}

}  // namespace
}  // namespace thrustlet
