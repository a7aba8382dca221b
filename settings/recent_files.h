#pragma once

#include <array>
#include <string>

#include "settings/registry.h"

namespace thrustlet {

// The recent-file list and the last folder as the settings store keeps them:
// key "software\Thrustlet" under HKEY_CURRENT_USER, text values "RecentFile1"
// (most recent) to "RecentFile4" and "FileDir".
inline constexpr const char* kSettingsKey = "software\\Thrustlet";

// Slots 1 to 4 hold paths, most recent first; "" is a free slot; slot 0 is
// never used.
using RecentSlots = std::array<std::string, 5>;

// The separators between folders in a path on this system: on Windows the
// backslash and the slash alike (C:/m/x.tlt names the same file as
// C:\\m\\x.tlt), elsewhere the slash.
// kPathSeparator is the one the system writes.
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

// Empties slot k (1 to 4), then lets every free slot from 4 down to 2 take
// the entry above it: slots 1 to k-1 move down one place and slot 1 is free.
void ShiftRecentFiles(RecentSlots& slots, int k);
// Puts `path` at the top: an exact (case-sensitive) match moves up without a
// duplicate, a new path pushes the oldest of four out. The entries stay
// together at the top, free slots after them.
void AddToRecentSlots(RecentSlots& slots, const std::string& path);

// Reads "FileDir" into `file_dir`, then the four recent files into slots 1
// to 4, one after the other; a missing value reads as "". A read that fails
// unexpectedly (a null value) raises "Invalid use of Null" and leaves what
// was read before it in place.
void ReadStoredSettings(RegFuncs& registry, std::string& file_dir, RecentSlots& recent);
// Writes the four slots (a free one as "") and then the folder.
void WriteStoredSettings(RegFuncs& registry, const RecentSlots& recent, const std::string& file_dir);

}  // namespace thrustlet
