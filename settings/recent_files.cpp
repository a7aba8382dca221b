#include "settings/recent_files.h"

#include "model/errors.h"

namespace thrustlet {

namespace {

constexpr const char* kFileDirValue = "FileDir";

std::string RecentValueName(int slot) { return "RecentFile" + std::to_string(slot); }

}  // namespace

void ShiftRecentFiles(RecentSlots& slots, int k) {
    slots.at(static_cast<std::size_t>(k)).clear();
    for (std::size_t c = 4; c >= 2; --c) {
        if (slots[c].empty()) {
            slots[c] = slots[c - 1];
            slots[c - 1].clear();
        }
    }
}

namespace {

// Moves the entries up over free slots, keeping their order.
void CloseGaps(RecentSlots& slots) {
    std::size_t next = 1;
    for (std::size_t slot = 1; slot <= 4; ++slot) {
        if (!slots[slot].empty()) std::swap(slots[next++], slots[slot]);
    }
}

}  // namespace

// The list is kept without free slots between entries: the shift lets free
// slots move down along with the entries, so moving the top entry up again
// would open a gap, and a later shift would then drop an entry although the
// list was not full.
void AddToRecentSlots(RecentSlots& slots, const std::string& path) {
    CloseGaps(slots);
    bool listed = false;
    for (int slot = 1; slot <= 4 && !listed; ++slot) {
        if (slots[static_cast<std::size_t>(slot)] == path) {
            ShiftRecentFiles(slots, slot);
            listed = true;
        }
    }
    if (!listed) ShiftRecentFiles(slots, 4);
    slots[1] = path;
    CloseGaps(slots);
}

void RemoveFromRecentSlots(RecentSlots& slots, const std::string& path) {
    std::vector<std::string> kept;
    for (int i = 1; i <= 4; ++i) {
        if (!slots[static_cast<std::size_t>(i)].empty() && slots[static_cast<std::size_t>(i)] != path) {
            kept.push_back(slots[static_cast<std::size_t>(i)]);
        }
    }
    for (int i = 1; i <= 4; ++i) {
        slots[static_cast<std::size_t>(i)] = static_cast<std::size_t>(i - 1) < kept.size() ? kept[static_cast<std::size_t>(i - 1)] : "";
    }
}

void ReadStoredSettings(RegFuncs& registry, std::string& file_dir, RecentSlots& recent) {
    file_dir = RegValueText(registry.ReadRegValue(kSettingsKey, kFileDirValue, kHkeyCurrentUser));
    for (int slot = 1; slot <= 4; ++slot) {
        recent[static_cast<std::size_t>(slot)] =
            RegValueText(registry.ReadRegValue(kSettingsKey, RecentValueName(slot), kHkeyCurrentUser));
    }
}

void WriteStoredSettings(RegFuncs& registry, const RecentSlots& recent, const std::string& file_dir) {
    for (int slot = 1; slot <= 4; ++slot) {
        registry.WriteRegValue(kSettingsKey, RecentValueName(slot),
                               RegValue::Text(recent[static_cast<std::size_t>(slot)]), reg::kTypeText,
                               kHkeyCurrentUser);
    }
    registry.WriteRegValue(kSettingsKey, kFileDirValue, RegValue::Text(file_dir), reg::kTypeText,
                           kHkeyCurrentUser);
}

RecentSlots MergeStoredSettings(RegFuncs& registry, const RecentSlots& own, const std::vector<std::string>& added,
                                const std::string& file_dir) {
    RecentSlots merged = own;
    const int32_t status = registry.Exclusive(kHkeyCurrentUser, [&] {
        RecentSlots stored;
        std::string stored_dir;
        try {
            ReadStoredSettings(registry, stored_dir, stored);
            for (const std::string& path : added) AddToRecentSlots(stored, path);
            merged = stored;
        } catch (const RunTimeError&) {
            merged = own;  // a value that could not be read: our own list
        }
        WriteStoredSettings(registry, merged, file_dir);
    });
    if (status != reg::kSuccess) WriteStoredSettings(registry, merged, file_dir);
    return merged;
}

}  // namespace thrustlet
