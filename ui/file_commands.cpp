// The File menu: New, Open, Save, Save As, the four recent items, and the
// question about unsaved changes when the window closes. Reading and writing
// belong to the motor; opening a file into the window to open_file.
#include <QAction>
#include <QCloseEvent>

#include "platform/dialogs.h"
#include "platform/text_box.h"
#include "settings/recent_files.h"
#include "ui/main_window.h"

namespace thrustlet {

namespace {

constexpr const char* kFileFilter = "Thrustlet Files(*.tlt)| *.tlt| All Files(*.*)| *.*";
constexpr const char* kDefaultExt = ".tlt";
// Explorer-style, folder must exist, no read-only box; Save As also asks
// before an existing file is overwritten.
constexpr uint32_t kOpenFlags = 0x80804;
constexpr uint32_t kSaveFlags = 0x80806;
constexpr const char* kUnsavedTitle = "Unsaved Changes";

// Runs one step of a command that passes over its failures silently.
template <typename Step>
void Quietly(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
        // The command goes on with its next step.
    }
}

std::string PathFromDialog(const QString& name) { return name.toStdString(); }

}  // namespace

FileDialogRequest frmMain::FileDialogFor(const char* title, uint32_t flags) const {
    FileDialogRequest request;
    request.filter = kFileFilter;
    request.init_dir = QString::fromStdString(state_.sFileDir);
    request.default_ext = kDefaultExt;
    request.title = title;
    request.flags = flags;
    return request;
}

void frmMain::mnuNew_Click() {
    state_.oMotor = std::make_unique<cMotor>();
    PopulateGrainGrid();
    setWindowTitle(QString(kCaptionPrefix) + kProgramTitle);
    for (TextBox* field : {txtCoreDiameter, txtGrainDiameter, txtGrainLength, txtNozzleThroatDia}) {
        field->setText(QString());
    }
    state_.sCurrentFile.clear();
    state_.bChanged = false;
}

// Asks whether the unsaved changes are to be saved first. False when the
// user wanted them saved and they were not (the save dialog was cancelled or
// the write failed): the command that asked must then stop, so the design
// the user asked to keep is not thrown away.
bool frmMain::SaveChangesBeforeLeaving() {
    if (!state_.bChanged) return true;
    const QString text = "The current file, " + QString::fromStdString(state_.sCurrentFile) +
                         ", has unsaved changes.  Save current file?";
    if (dialogs_.MsgBox(text, MsgButtons::kYesNo, MsgIcon::kNone, kUnsavedTitle) != MsgResult::kYes) {
        return true;
    }
    return Save();
}

void frmMain::mnuOpen_Click() {
    if (!SaveChangesBeforeLeaving()) return;
    Quietly([&] { mnuNew_Click(); });
    FileDialogResult chosen;
    Quietly([&] { chosen = dialogs_.ShowOpen(FileDialogFor("Open motor file", kOpenFlags)); });
    if (chosen.file_name.isEmpty()) return;  // the window keeps the new, empty motor
    Quietly([&] { OpenFile(PathFromDialog(chosen.file_name), PathFromDialog(chosen.file_title)); });
}

// Opens the path held in the item's slot (the caption is only its display),
// taken when the item is chosen: saving first may move the list's entries,
// and the file the user chose is still the one to open.
void frmMain::mnuRecent_Click(int index) {
    const std::string path = state_.vRecentFiles.at(static_cast<size_t>(index));
    if (!SaveChangesBeforeLeaving()) return;
    OpenFile(path, FileTitleOf(path));
}

void frmMain::mnuSave_Click() { Save(); }

void frmMain::mnuSaveAs_Click() { SaveAs(); }

bool frmMain::Save() {
    if (state_.sCurrentFile.empty()) return SaveAs();
    bool saved = false;
    Guarded("mnuSave_Click", [&] {
        state_.Motor().SaveToFile(state_.sCurrentFile);
        state_.bChanged = false;
        AddToRecentFileList(state_.sCurrentFile);
        saved = true;
    });
    return saved;
}

// A write that fails is reported and changes nothing else: the caption, the
// recent list, the current file and the unsaved-changes flag stay as they
// were, so the design is not taken for saved.
bool frmMain::SaveAs() {
    FileDialogResult chosen;
    Quietly([&] { chosen = dialogs_.ShowSave(FileDialogFor("Save motor file as", kSaveFlags)); });
    if (chosen.file_name.isEmpty()) return false;
    const std::string path = PathFromDialog(chosen.file_name);
    bool saved = false;
    Guarded("mnuSaveAs_Click", [&] {
        state_.Motor().SaveToFile(path);
        saved = true;
    });
    if (!saved) return false;
    setWindowTitle(QString(kCaptionPrefix) + kProgramTitle + " - " + chosen.file_title);
    AddToRecentFileList(path);
    state_.sCurrentFile = path;
    state_.bChanged = false;
    return true;
}

// Whatever closes the window. `cancel` keeps it open; the reason is ignored.
void frmMain::Form_QueryUnload(bool& cancel, int /*unload_mode*/) {
    if (!state_.bChanged) return;
    const QString text = QString::fromStdString(FileTitleOf(state_.sCurrentFile)) +
                         " has unsaved changes, do you want to save before clossing?";
    switch (dialogs_.MsgBox(text, MsgButtons::kYesNoCancel, MsgIcon::kNone, kUnsavedTitle)) {
        case MsgResult::kYes:
            // A save that was cancelled or failed keeps the window and its design.
            if (!Save()) cancel = true;
            break;
        case MsgResult::kNo:
            break;
        default:
            cancel = true;
            break;
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_QueryUnload(cancel, 0);
    if (cancel) {
        event->ignore();
    } else {
        event->accept();
    }
}

}  // namespace thrustlet
