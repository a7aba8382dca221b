#include "ui/recent_menu.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>

#include "settings/recent_files.h"
#include "ui/document.h"
#include "ui/report.h"

namespace thrustlet {

namespace {

// Paths wider than this many pixels are shortened in the middle: a menu as
// wide as a long path would run off the screen.
constexpr int kWidestItemPixels = 480;

}  // namespace

RecentMenu::RecentMenu(Document& document, IDialogs& dialogs, const std::array<QAction*, 5>& items)
    : document_(document), dialogs_(dialogs), items_(items) {}

// The caption shows the path as stored (Qt would read "&" as an access key,
// so it is doubled); a long one keeps its start and its file name. The full
// path is the item's status tip and tool tip.
void RecentMenu::SetItemText(int index, const std::string& path) {
    QAction* item = items_[static_cast<size_t>(index)];
    const QString full = QString::fromStdString(path);
    QString shown = full;
    const QList<QObject*> owners = item->associatedObjects();
    const QMenu* menu = owners.isEmpty() ? nullptr : qobject_cast<const QMenu*>(owners.first());
    const QFontMetrics metrics(menu ? menu->font() : item->font());
    if (metrics.horizontalAdvance(full) > kWidestItemPixels) {
        shown = metrics.elidedText(full, Qt::ElideMiddle, kWidestItemPixels);
    }
    item->setText(shown.replace('&', QStringLiteral("&&")));
    item->setStatusTip(full);
    item->setToolTip(full);
}

void RecentMenu::InitReg() {
    Guarded(dialogs_, "InitReg", [&] {
        RegFuncs& registry = document_.Registry();
        if (registry.RegKeyExists(kSettingsKey, kHkeyCurrentUser)) {
            ReadSettings();
        } else {
            registry.CreateRegKey(kSettingsKey, kHkeyCurrentUser);
        }
    });
}

void RecentMenu::ReadSettings() {
    std::string folder;
    ReadStoredSettings(document_.Registry(), folder, document_.RecentFiles());
    document_.SetFileDir(folder);
    for (int i = 1; i <= 4; ++i) ShowRecentItem(i, document_.RecentFiles()[static_cast<size_t>(i)]);
}

void RecentMenu::ShowRecentItem(int index, const std::string& path) {
    QAction* item = items_[static_cast<size_t>(index)];
    if (path.empty()) {
        item->setVisible(false);
    } else {
        item->setVisible(true);
        SetItemText(index, path);
    }
}

void RecentMenu::RefreshRecentMenu() {
    for (int i = 1; i <= 4; ++i) {
        const std::string& path = document_.RecentFiles()[static_cast<size_t>(i)];
        SetItemText(i, path);
        if (!path.empty()) items_[static_cast<size_t>(i)]->setVisible(true);
    }
}

void RecentMenu::ShiftRecentFiles(int k) { thrustlet::ShiftRecentFiles(document_.RecentFiles(), k); }

void RecentMenu::AddToRecentFileList(const std::string& path) {
    Guarded(dialogs_, "AddToRecentFileList", [&] {
        AddToRecentSlots(document_.RecentFiles(), path);
        // Only the last four different paths can reach the stored list.
        std::vector<std::string>& unwritten = document_.UnwrittenRecentFiles();
        std::erase(unwritten, path);
        unwritten.push_back(path);
        if (unwritten.size() > 4) unwritten.erase(unwritten.begin());
    });
    RefreshRecentMenu();
}

void RecentMenu::Saved(const std::string& path, const std::string& replaces) {
    AddToRecentFileList(path);
    WriteSettings();
    // A design imported from another program's file and saved as the
    // program's own: the saved file takes the import's place, which would
    // reopen the other program's file without what was added since.
    if (!replaces.empty() && replaces != path) {
        Guarded(dialogs_, "AddToRecentFileList", [&] {
            RemoveFromRecentSlots(document_.RecentFiles(), replaces);
            WriteStoredSettings(document_.Registry(), document_.RecentFiles(), document_.FileDir());
        });
        for (int i = 1; i <= 4; ++i) ShowRecentItem(i, document_.RecentFiles()[static_cast<size_t>(i)]);
    }
}

void RecentMenu::WriteSettings() {
    document_.RecentFiles() = MergeStoredSettings(document_.Registry(), document_.RecentFiles(),
                                                  document_.UnwrittenRecentFiles(), document_.FileDir());
    document_.UnwrittenRecentFiles().clear();
    RefreshRecentMenu();
}

}  // namespace thrustlet
