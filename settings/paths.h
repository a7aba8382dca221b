#pragma once

#include <string>

namespace thrustlet {

// The path rules the window uses for its captions, its dialogs' folder and
// the recent list: standard C++ only.

// The separators between folders in a path on this system: on Windows the
// backslash and the slash alike (C:/m/x.tlt names the same file as
// C:\m\x.tlt), elsewhere the slash. kPathSeparator is the one the system
// writes.
#ifdef _WIN32
inline constexpr const char* kPathSeparators = "\\/";
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr const char* kPathSeparators = "/";
inline constexpr char kPathSeparator = '/';
#endif

// The folder of a path with its trailing separator; "" when the path has none.
std::string FolderOf(const std::string& path);
// The file's name without its folder (the whole path when it has no separator).
std::string FileTitleOf(const std::string& path);

}  // namespace thrustlet
