#pragma once

#include <array>
#include <string>
#include <vector>

#include "settings/paths.h"
#include "settings/registry.h"

namespace thrustlet {

// The recent-file list and the last folder as the settings store keeps them:
// key "software\Thrustlet" under HKEY_CURRENT_USER, text values "RecentFile1"
// (most recent) to "RecentFile4" and "FileDir".
inline constexpr const char* kSettingsKey = "software\\Thrustlet";

// Slots 1 to 4 hold paths, most recent first; "" is a free slot; slot 0 is
// never used.
using RecentSlots = std::array<std::string, 5>;

// Empties slot k (1 to 4), then lets every free slot from 4 down to 2 take
// the entry above it: slots 1 to k-1 move down one place and slot 1 is free.
void ShiftRecentFiles(RecentSlots& slots, int k);
// Puts `path` at the top: an exact (case-sensitive) match moves up without a
// duplicate, a new path pushes the oldest of four out. The entries stay
// together at the top, free slots after them.
void AddToRecentSlots(RecentSlots& slots, const std::string& path);

// Takes `path` out of the list (an exact match); the entries after it move
// up, so the list stays together at the top.
void RemoveFromRecentSlots(RecentSlots& slots, const std::string& path);

// Reads "FileDir" into `file_dir`, then the four recent files into slots 1
// to 4, one after the other; a missing value reads as "". A read that fails
// unexpectedly (a null value) raises "Invalid use of Null" and leaves what
// was read before it in place.
void ReadStoredSettings(RegFuncs& registry, std::string& file_dir, RecentSlots& recent);
// Writes the four slots (a free one as "") and then the folder.
void WriteStoredSettings(RegFuncs& registry, const RecentSlots& recent, const std::string& file_dir);

// Writes the recent list and the folder without losing what another
// running copy stored meanwhile: under the store's lock, the list is read as
// stored, the paths this copy added since it last wrote (`added`, oldest
// first) are put at its top in turn, and the result is written with
// `file_dir`. Returns that list, for the menu. Should the lock or the
// stored list not be had, this copy's own list is written as before.
RecentSlots MergeStoredSettings(RegFuncs& registry, const RecentSlots& own, const std::vector<std::string>& added,
                                const std::string& file_dir);

}  // namespace thrustlet
