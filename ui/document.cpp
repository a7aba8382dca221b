#include "ui/document.h"

#include <QDir>
#include <algorithm>
#include <QFileInfo>
#include <QStandardPaths>


#include "model/formats/motor_formats.h"
#include "model/motor.h"
#include "platform/dialogs.h"
#include "platform/folders.h"
#include "thrustlet/identity.h"
#include "ui/report.h"

namespace thrustlet {

namespace {

constexpr const char* kCaptionPrefix = "Veskarn - ";
constexpr const char* kUnsavedTitle = "Unsaved Changes";

}  // namespace

FileDialogRequest MotorFileDialog(bool save, const std::string& folder) {
    FileDialogRequest request;
    request.filter = "Thrustlet Files(*.tlt)| *.tlt| All Files(*.*)| *.*";
    request.init_dir = QString::fromStdString(folder);
    request.default_ext = ".tlt";
    request.title = save ? "Save motor file as" : "Open motor file";
    // Explorer-style, folder must exist, no read-only box; Save As also asks
    // before an existing file is overwritten.
    request.flags = save ? 0x80806 : 0x80804;
    return request;
}

Document::Document(IRegistryApi& store, IDialogs& dialogs, QObject* parent)
    : QObject(parent),
      store_(store),
      dialogs_(dialogs),
      registry_(store),
      caption_(QString(kCaptionPrefix) + kProgramTitle),
      history_(new UndoHistory(this)) {}

Document::~Document() = default;

cMotor& Document::Motor() {
    if (!motor_) motor_ = std::make_shared<cMotor>();
    return *motor_;
}

void Document::ReplaceMotor(std::unique_ptr<cMotor> motor) { motor_ = std::move(motor); }

void Document::SetCurrentFile(const std::string& path, const std::string& title) {
    current_file_ = path;
    imported_from_.clear();
    caption_ = QString(kCaptionPrefix) + kProgramTitle;
    if (!title.empty()) caption_ += " - " + QString::fromStdString(title);
    emit CaptionChanged(caption_);
}

void Document::SetImportedFrom(const std::string& path, const std::string& title, const QString& program) {
    current_file_.clear();
    imported_from_ = path;
    caption_ = QString(kCaptionPrefix) + kProgramTitle + " - " + QString::fromStdString(title) + " (" + program +
               ", not saved)";
    emit CaptionChanged(caption_);
}

bool Document::MayDrop(Leaving why) {
    if (!changed_) return true;
    const QString text =
        why == Leaving::kClosing
            ? QString::fromStdString(FileTitleOf(current_file_)) +
                  " has unsaved changes, do you want to save before clossing?"
            : "The current file, " + QString::fromStdString(current_file_) +
                  ", has unsaved changes.  Save current file?";
    switch (dialogs_.MsgBox(text, MsgButtons::kYesNoCancel, MsgIcon::kNone, kUnsavedTitle)) {
        case MsgResult::kYes:
            // A save that was cancelled or failed keeps the design: the
            // command that asked stops there.
            return Save();
        case MsgResult::kNo:
            return true;
        default:
            return false;
    }
}

bool Document::Save() {
    if (current_file_.empty()) return SaveAs();
    if (!Write(current_file_, "mnuSave_Click")) return false;
    changed_ = false;
    emit Saved(current_file_, std::string());
    return true;
}

// The design written at `path` in the format its name asks for. Another
// program's format first says what it cannot hold and asks; No writes
// nothing (as a cancelled save). Failures are reported for `routine`.
bool Document::Write(const std::string& path, const char* routine) {
    if (before_write_) before_write_();
    const MotorFormat format = FormatOfName(path);
    if (format != MotorFormat::kThrustlet) {
        std::vector<std::string> lost;
        if (!Guarded(dialogs_, routine, [&] { lost = NotCarriedIn(Motor(), format); })) return false;
        if (!lost.empty()) {
            QString text = QString::fromStdString(FileTitleOf(path)) + " will be " + ProgramOf(format) +
                           "'s motor file, which cannot hold all of the design:\n";
            for (const std::string& note : lost) text += "\n\u2022 " + QString::fromStdString(note);
            text += "\n\nSave it in " + QString(ProgramOf(format)) + "'s format?";
            if (dialogs_.MsgBox(text, MsgButtons::kYesNo, MsgIcon::kInformation, kProgramTitle) != MsgResult::kYes) {
                return false;
            }
        }
    }
    return Guarded(dialogs_, routine, [&] { SaveMotorIn(Motor(), path); });
}

// A write that fails is reported and changes nothing else: the caption, the
// recent list, the current file and the unsaved-changes flag stay as they
// were, so the design is not taken for saved.
bool Document::SaveChosen(const FileDialogRequest& request, const std::vector<QString>& extensions, bool copy) {
    FileDialogResult chosen;
    Quietly([&] { chosen = dialogs_.ShowSave(request); });
    if (chosen.file_name.isEmpty()) return false;
    // A name typed without an extension takes the chosen file type's; the
    // dialog asked before replacing only the name as typed.
    if (!extensions.empty() && QFileInfo(chosen.file_name).suffix().isEmpty()) {
        chosen.file_name += extensions[static_cast<size_t>(std::clamp(chosen.filter_index, 0, static_cast<int>(extensions.size()) - 1))];
        chosen.file_title = QFileInfo(chosen.file_name).fileName();
        if (QFileInfo::exists(chosen.file_name) &&
            dialogs_.MsgBox(chosen.file_title + " already exists.\nDo you want to replace it?", MsgButtons::kYesNo,
                            MsgIcon::kInformation, kProgramTitle) != MsgResult::kYes) {
            return false;
        }
    }
    const std::string path = chosen.file_name.toStdString();
    if (!Write(path, "mnuSaveAs_Click")) return false;
    // A copy for another program: the design keeps its own file, caption
    // and unsaved changes (Save goes on writing the design's own file).
    if (copy) return true;
    const std::string imported = imported_from_;
    SetCurrentFile(path, chosen.file_title.toStdString());
    emit Saved(path, imported);
    changed_ = false;
    return true;
}

bool Document::SaveAs() {
    FileDialogRequest request = MotorFileDialog(true, file_dir_);
    // A design from another program's file is offered its name as a
    // Thrustlet file, beside it.
    if (!imported_from_.empty()) request.initial_name = QFileInfo(QString::fromStdString(imported_from_)).completeBaseName() + ".tlt";
    return SaveChosen(request, {});
}

bool Document::SaveInOtherFormat() {
    FileDialogRequest request = MotorFileDialog(true, file_dir_);
    request.filter = "openMotor Files(*.ric)| *.ric| BurnSim Files(*.bsx)| *.bsx| Thrustlet Files(*.tlt)| *.tlt";
    request.default_ext.clear();  // the file type chosen gives it
    request.title = "Save motor file for another program";
    request.initial_name = ExportName(".ric");
    return SaveChosen(request, {".ric", ".bsx", ".tlt"}, true);
}

std::unique_ptr<Document::Checkpoint> Document::MakeCheckpoint() const {
    auto checkpoint = std::make_unique<Checkpoint>();
    checkpoint->motor = motor_;
    checkpoint->current_file = current_file_;
    checkpoint->imported_from = imported_from_;
    checkpoint->file_dir = file_dir_;
    checkpoint->caption = caption_;
    checkpoint->changed = changed_;
    checkpoint->recent = recent_;
    checkpoint->unwritten_recent = unwritten_recent_;
    return checkpoint;
}

void Document::RollBack(const Checkpoint& checkpoint) {
    motor_ = checkpoint.motor;
    current_file_ = checkpoint.current_file;
    imported_from_ = checkpoint.imported_from;
    file_dir_ = checkpoint.file_dir;
    changed_ = checkpoint.changed;
    busy_ = false;
    recent_ = checkpoint.recent;
    unwritten_recent_ = checkpoint.unwritten_recent;
    caption_ = checkpoint.caption;
    emit CaptionChanged(caption_);
}

QString Document::ExportFolder() const {
    const QString design_folder =
        current_file_.empty() ? QString::fromStdString(file_dir_) : QFileInfo(QString::fromStdString(current_file_)).absolutePath();
    for (const QString& folder : {export_folder_, design_folder, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                  QDir::homePath()}) {
        if (!folder.isEmpty() && FolderIsWritable(folder)) return folder;
    }
    return QString();
}

void Document::ExportedTo(const QString& file) { export_folder_ = QFileInfo(file).absolutePath(); }

QString Document::ExportName(const QString& extension) const {
    const QString file = QString::fromStdString(current_file_.empty() ? imported_from_ : current_file_);
    return (file.isEmpty() ? QString("motor") : QFileInfo(file).completeBaseName()) + extension;
}

}  // namespace thrustlet
