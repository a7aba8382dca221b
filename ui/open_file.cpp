// The recent-file menu, the stored settings and opening a motor file into the
// window. The list logic and the store layout live in settings/recent_files;
// this unit connects them to the menu items and the window's fields.
#include <QAction>
#include <QLabel>

#include "app/busy_cursor.h"
#include "platform/flex_grid.h"
#include "platform/locale_number.h"
#include "platform/text_box.h"
#include "settings/recent_files.h"
#include "ui/main_window.h"

namespace thrustlet {

namespace {

// Qt reads "&" in a menu caption as an accelerator mark; doubling it shows
// the path exactly as stored.
QString MenuText(const std::string& path) {
    return QString::fromStdString(path).replace('&', QStringLiteral("&&"));
}

}  // namespace

void frmMain::InitReg() {
    Guarded("InitReg", [&] {
        if (registry_.RegKeyExists(kSettingsKey, kHkeyCurrentUser)) {
            ReadSettings();
        } else {
            registry_.CreateRegKey(kSettingsKey, kHkeyCurrentUser);
        }
    });
}

void frmMain::ReadSettings() {
    ReadStoredSettings(registry_, state_.sFileDir, state_.vRecentFiles);
    for (int i = 1; i <= 4; ++i) ShowRecentItem(i, state_.vRecentFiles[static_cast<size_t>(i)]);
}

void frmMain::ShowRecentItem(int index, const std::string& path) {
    QAction* item = mnuRecent[static_cast<size_t>(index)];
    if (path.empty()) {
        item->setVisible(false);
    } else {
        item->setVisible(true);
        item->setText(MenuText(path));
    }
}

// Never hides an item: one whose slot became free shows an empty caption.
void frmMain::RefreshRecentMenu() {
    for (int i = 1; i <= 4; ++i) {
        const std::string& path = state_.vRecentFiles[static_cast<size_t>(i)];
        mnuRecent[static_cast<size_t>(i)]->setText(MenuText(path));
        if (!path.empty()) mnuRecent[static_cast<size_t>(i)]->setVisible(true);
    }
}

void frmMain::ShiftRecentFiles(int k) { thrustlet::ShiftRecentFiles(state_.vRecentFiles, k); }

void frmMain::AddToRecentFileList(const std::string& path) {
    Guarded("AddToRecentFileList", [&] { AddToRecentSlots(state_.vRecentFiles, path); });
    RefreshRecentMenu();
}

void frmMain::WriteSettings() { WriteStoredSettings(registry_, state_.vRecentFiles, state_.sFileDir); }

// All or nothing: the file is read into a copy of the current motor (so a
// file without propellant lines keeps the current propellant data), and only
// a successful read replaces the motor and fills the window. Should a later
// step fail, everything it changed is put back, so a following Save can never
// write another design over the file the window still names.
void frmMain::OpenFile(const std::string& path, const std::string& title) {
    cursor_.SetHourglass();
    std::unique_ptr<cMotor> loaded;
    Guarded("OpenFile", [&] {
        auto motor = std::make_unique<cMotor>(state_.Motor());
        motor->ReadFromFile(path);
        loaded = std::move(motor);
    });
    if (loaded) {
        OpenSnapshot before = TakeOpenSnapshot();
        bool done = false;
        Guarded("OpenFile", [&] {
            before.motor = std::move(state_.oMotor);
            state_.oMotor = std::move(loaded);
            ShowOpenedFile(path, title);
            done = true;
        });
        if (!done) RestoreOpenSnapshot(before);
    }
    cursor_.SetDefault();
}

// Steps 3 to 15 of an open, once the motor holds the file's design.
void frmMain::ShowOpenedFile(const std::string& path, const std::string& title) {
    setWindowTitle(QString(kCaptionPrefix) + kProgramTitle + " - " + QString::fromStdString(title));
    txtNozzleThroatDia->setText(TextOfSingle(state_.Motor().NozzleDia()));
    PopulateGrainGrid();
    // While the window fills the grain fields itself, leaving a Kn field
    // must not size the nozzle: it stays as read from the file.
    state_.bBusy = true;
    if (grdGrains->Rows() > 1) {  // a motor file may hold no grains at all
        grdGrains->SetRowSel(1);
        grdGrains->SetCol(1);
        grdGrains->SetColSel(3);
        grdGrains_Click();
    }
    txtNozzleThroatDia->setText(TextOfSingle(state_.Motor().NozzleDia()));
    state_.bBusy = false;
    state_.bChanged = false;
    state_.sCurrentFile = path;
    state_.sFileDir = FolderOf(path);
    AddToRecentFileList(path);
    RefreshRecentMenu();
    WriteSettings();
}

frmMain::OpenSnapshot frmMain::TakeOpenSnapshot() const {
    OpenSnapshot snapshot;
    snapshot.current_file = state_.sCurrentFile;
    snapshot.file_dir = state_.sFileDir;
    snapshot.recent = state_.vRecentFiles;
    snapshot.changed = state_.bChanged;
    snapshot.caption = windowTitle();
    const TextBox* fields[] = {txtGrainLength, txtGrainDiameter, txtCoreDiameter,
                               txtNozzleThroatDia, txtKN, txtMaxKn};
    for (size_t i = 0; i < std::size(fields); ++i) snapshot.fields[i] = fields[i]->text();
    for (int i = 1; i <= 4; ++i) {
        snapshot.recent_visible[static_cast<size_t>(i)] = mnuRecent[static_cast<size_t>(i)]->isVisible();
    }
    snapshot.row = grdGrains->Row();
    snapshot.row_sel = grdGrains->RowSel();
    snapshot.col = grdGrains->Col();
    snapshot.col_sel = grdGrains->ColSel();
    return snapshot;
}

// Puts back what a failed open changed: the motor (the copy that was read
// into is dropped), the document state, the caption, the recent items, the
// table with its summary and the field texts.
void frmMain::RestoreOpenSnapshot(OpenSnapshot& snapshot) {
    state_.oMotor = std::move(snapshot.motor);
    state_.sCurrentFile = snapshot.current_file;
    state_.sFileDir = snapshot.file_dir;
    state_.vRecentFiles = snapshot.recent;
    state_.bChanged = snapshot.changed;
    state_.bBusy = false;
    setWindowTitle(snapshot.caption);
    RefreshRecentMenu();
    for (int i = 1; i <= 4; ++i) {
        mnuRecent[static_cast<size_t>(i)]->setVisible(snapshot.recent_visible[static_cast<size_t>(i)]);
    }
    TextBox* fields[] = {txtGrainLength, txtGrainDiameter, txtCoreDiameter,
                         txtNozzleThroatDia, txtKN, txtMaxKn};
    txtNozzleThroatDia->setText(snapshot.fields[3]);
    Guarded("OpenFile", [&] {
        PopulateGrainGrid();
        grdGrains->SetRow(snapshot.row);
        grdGrains->SetCol(snapshot.col);
        grdGrains->SetRowSel(snapshot.row_sel);
        grdGrains->SetColSel(snapshot.col_sel);
    });
    for (size_t i = 0; i < std::size(fields); ++i) fields[i]->setText(snapshot.fields[i]);
}

}  // namespace thrustlet
