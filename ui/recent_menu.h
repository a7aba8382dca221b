#pragma once

#include <array>
#include <string>

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QAction;
QT_END_NAMESPACE

namespace thrustlet {

class Document;
class IDialogs;

// The four recent-file items of the File menu and the settings they are
// kept in: read at start-up (creating the settings key on a first start),
// refreshed as files are opened and saved, and written when a file is
// opened. The list itself and its store belong to the document.
class RecentMenu {
public:
    // `items` are the menu items 1 to 4 (0 unused).
    RecentMenu(Document& document, IDialogs& dialogs, const std::array<QAction*, 5>& items);

    // Reads the settings, or creates their key when it is missing; reports
    // its own failures (" in InitReg").
    void InitReg();
    void ReadSettings();
    // Hides the item for "", else shows it with the path.
    void ShowRecentItem(int index, const std::string& path);
    // Copies the slots into the items and shows the non-empty ones; never
    // hides an item.
    void RefreshRecentMenu();
    // Puts `path` at the top of the list (to be stored with the next write)
    // and refreshes the menu; reports its own failures.
    void AddToRecentFileList(const std::string& path);
    void ShiftRecentFiles(int k);
    // Writes the list and the folder, keeping what another running copy
    // stored meanwhile, and shows the list as written.
    void WriteSettings();
    // A save wrote the design at `path`: the list takes it and is stored at
    // once; `replaces` (an imported file the design came from) leaves it.
    void Saved(const std::string& path, const std::string& replaces);

private:
    void SetItemText(int index, const std::string& path);

    Document& document_;
    IDialogs& dialogs_;
    std::array<QAction*, 5> items_;
};

}  // namespace thrustlet
