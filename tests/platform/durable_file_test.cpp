#include "platform/durable_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "model/errors.h"

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace thrustlet {
namespace {

namespace fs = std::filesystem;

class DurableFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("thrustlet_durable_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
        return names;
    }
    fs::path dir_;
};

// A name as long as the system allows (255 bytes on the usual file systems)
// saves and replaces like any other: the temporary file's name does not
// grow with it.
TEST_F(DurableFileTest, ANameAtTheLengthLimitSaves) {
    const std::string name = std::string(251, 'm') + ".tlt";
    WriteFileAtomically(Path(name), "first\r\n");
    WriteFileAtomically(Path(name), "second\r\n");
    EXPECT_EQ(Slurp(Path(name)), "second\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{name});
}

TEST_F(DurableFileTest, MissingFilesFoldersAndOversizedFilesAreNamedOnReading) {
    const struct {
        std::string path;
        int32_t number;
    } cases[] = {{Path("missing.tlt"), err::kFileNotFound},
                 {dir_.string(), err::kPathFileAccess},
                 {Path("big.tlt"), err::kOutOfMemory}};
    std::ofstream(Path("big.tlt")) << std::string(2000, 'x');
    for (const auto& c : cases) {
        try {
            ReadWholeFile(c.path, 1000, "a test file");
            ADD_FAILURE() << c.path;
        } catch (const RunTimeError& e) {
            EXPECT_EQ(e.Number(), c.number) << c.path;
            EXPECT_NE(e.Description().find(c.path), std::string::npos) << e.Description();
        }
    }
    EXPECT_EQ(ReadWholeFile(Path("big.tlt"), 2000, "a test file").size(), 2000u);
}

#ifndef _WIN32
// Saves killed at random moments leave the old file or the new one, and no
// temporary file behind.
TEST_F(DurableFileTest, KilledSavesLeaveNothingBehind) {
    const std::string path = Path("m.tlt");
    const std::string old_text(100000, 'o'), new_text(1000000, 'n');
    WriteFileAtomically(path, old_text);
    std::mt19937 random(12345);
    for (int kill = 0; kill < 60; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) WriteFileAtomically(path, kill % 2 ? new_text : old_text);
        }
        ::usleep(std::uniform_int_distribution<unsigned>(200, 20000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string text = Slurp(path);
        ASSERT_TRUE(text == old_text || text == new_text) << "kill " << kill << ": " << text.size() << " bytes";
    }
    // Only a kill between naming the file and renaming it can leave one
    // (the temporary file has no name while it is written) ...
    EXPECT_LE(Names().size(), 1u + 6u);
    // ... and the next save in the folder removes what dead saves left.
    WriteFileAtomically(path, old_text);
    EXPECT_EQ(Names(), std::vector<std::string>{"m.tlt"});
    EXPECT_EQ(Slurp(path), old_text);
}

// A temporary file of a program that is still running is left alone, and
// so is every other file.
TEST_F(DurableFileTest, OnlyTemporariesOfEndedSavesAreRemoved) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(0);
    ::waitpid(child, nullptr, 0);  // an ended program's id
    const std::vector<std::string> kept = {".tlt-1-0000000a.tmp.bak", ".tlt-" + std::to_string(::getpid()) + "-0000000b.tmp",
                                           ".tlt-x-0000000c.tmp", "notes.tmp"};
    for (const std::string& name : kept) std::ofstream(Path(name)) << "keep";
    std::ofstream(Path(".tlt-" + std::to_string(child) + "-0000000d.tmp")) << "stale";
    WriteFileAtomically(Path("m.tlt"), "text");
    std::vector<std::string> expected = kept;
    expected.push_back("m.tlt");
    std::vector<std::string> names = Names();
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}
#endif

}  // namespace
}  // namespace thrustlet
