#include "settings/paths.h"

#include <gtest/gtest.h>

namespace thrustlet {
namespace {

TEST(PathsTest, FolderAndTitleSplitAtTheLastSeparator) {
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(FolderOf(sep + "m" + sep + "x.tlt"), sep + "m" + sep);
    EXPECT_EQ(FileTitleOf(sep + "m" + sep + "x.tlt"), "x.tlt");
    EXPECT_EQ(FolderOf("x.tlt"), "");
    EXPECT_EQ(FileTitleOf("x.tlt"), "x.tlt");
    EXPECT_EQ(FolderOf(""), "");
    EXPECT_EQ(FileTitleOf(sep + "m" + sep), "");
#ifdef _WIN32
    // Windows takes the slash as a separator too, also mixed with backslashes.
    EXPECT_EQ(FolderOf("C:/m/x.tlt"), "C:/m/");
    EXPECT_EQ(FileTitleOf("C:/m/x.tlt"), "x.tlt");
    EXPECT_EQ(FileTitleOf("C:\\m/n\\y.tlt"), "y.tlt");
#else
    // Elsewhere a backslash is part of a file's name.
    EXPECT_EQ(FileTitleOf("/m/a\\b.tlt"), "a\\b.tlt");
#endif
}

}  // namespace
}  // namespace thrustlet
