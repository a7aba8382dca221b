#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/recent_files.h"
#include "settings/registry.h"
#include "ui/undo_history.h"

namespace thrustlet {

class cMotor;
class IDialogs;
struct FileDialogRequest;

// The open or the save dialog for motor files, starting in `folder`.
FileDialogRequest MotorFileDialog(bool save, const std::string& folder);

// The design the window works on and everything that says what it is and
// whether it may be dropped: the motor, the file it belongs to, the
// unsaved-changes flag, the busy flag, the folder of the last file opened,
// the recent-file list with its settings store, and the edit history. The
// window's units keep no copy of any of it.
class Document : public QObject {
    Q_OBJECT
public:
    // `store` keeps the settings; `dialogs` asks the unsaved-changes
    // questions and the save dialog, and shows the reports of saving.
    Document(IRegistryApi& store, IDialogs& dialogs, QObject* parent = nullptr);
    ~Document() override;

    // The current motor, created empty on first use.
    cMotor& Motor();
    // Takes `motor` as the design.
    void ReplaceMotor(std::unique_ptr<cMotor> motor);

    // The path of the design's file, "" while it has none.
    const std::string& CurrentFile() const { return current_file_; }
    // The one place that names the design's file and sets the caption:
    // "Veskarn - Thrustlet" and, for a file, " - " and its `title`.
    void SetCurrentFile(const std::string& path, const std::string& title);
    // The design was read from another program's file (`path`, named
    // `title`, of `program`): it has no file of its own yet, so Save asks
    // for one (offering the same name as a Thrustlet file), and the caption
    // says where it came from.
    void SetImportedFrom(const std::string& path, const std::string& title, const QString& program);
    const std::string& ImportedFrom() const { return imported_from_; }
    const QString& Caption() const { return caption_; }
    // The folder an export dialog (an image, data, a sheet, a thrust curve)
    // starts in: the last one exported to, else the design's own folder,
    // else the user's documents, whichever the user can write to first (a
    // design opened from Program Files does not send exports there).
    QString ExportFolder() const;
    // An export was written to `file`: its folder is where the next starts.
    void ExportedTo(const QString& file);
    // A name for a file made from the design (an image, a sheet): the
    // design file's name with `extension` in place of its own, or "motor"
    // and `extension` while it has no file.
    QString ExportName(const QString& extension) const;

    // A handler may have changed the design: the edit history takes a step
    // named `label` ("Add Grain") when it did. The window's controllers
    // report their edits here, never to the history itself.
    void DesignChanged(const QString& label) { emit EditMade(label); }

    // Unsaved changes.
    bool Changed() const { return changed_; }
    void SetChanged(bool changed) { changed_ = changed; }
    // The window is filling the Kn fields itself: leaving them sizes nothing.
    bool Busy() const { return busy_; }
    void SetBusy(bool busy) { busy_ = busy; }

    // The folder of the last file opened, with its separator; "" when none.
    const std::string& FileDir() const { return file_dir_; }
    void SetFileDir(const std::string& dir) { file_dir_ = dir; }
    // Slots 1 to 4, most recent first; "" is a free slot.
    RecentSlots& RecentFiles() { return recent_; }
    // The paths put on the list since it was last written to the store,
    // oldest first: the write puts them on the list as stored.
    std::vector<std::string>& UnwrittenRecentFiles() { return unwritten_recent_; }
    RegFuncs& Registry() { return registry_; }
    IRegistryApi& Store() { return store_; }

    // The edit history of the design.
    UndoHistory& History() { return *history_; }

    // Whether the design may be dropped: for another one (New, Open, a
    // recent item) or because the window closes. With unsaved changes the
    // user is asked; Yes saves it (through Save As when it has no file).
    // False when the user cancelled, or wanted it saved and it was not.
    enum class Leaving { kForAnotherDesign, kClosing };
    bool MayDrop(Leaving why);
    // Save writes the design's file, or asks for one through Save As. True
    // when the design was written; failures are reported.
    bool Save();
    bool SaveAs();
    // A copy of the design with openMotor's and BurnSim's formats offered
    // first. A file in another program's format is written in it once the
    // user has agreed to what it cannot hold; the design keeps its own file,
    // caption and unsaved state.
    bool SaveInOtherFormat();
    // Runs just before a save writes the design (the window says there what
    // the file will hold where a field does not).
    void SetBeforeWrite(std::function<void()> before) { before_write_ = std::move(before); }

    // The document as it is now, to put back should an open fail part-way.
    // Only the document reads it.
    class Checkpoint {
        friend class Document;
        std::shared_ptr<cMotor> motor;
        std::string current_file, file_dir, imported_from;
        QString caption;
        bool changed = false;
        RecentSlots recent;
        std::vector<std::string> unwritten_recent;
    };
    std::unique_ptr<Checkpoint> MakeCheckpoint() const;
    void RollBack(const Checkpoint& checkpoint);

signals:
    // DesignChanged was called.
    void EditMade(const QString& label);
    void CaptionChanged(const QString& caption);
    // A save wrote the design to `path`: the recent list takes it (and
    // drops `replaces`, the other program's file an import came from).
    void Saved(const std::string& path, const std::string& replaces);

private:
    IRegistryApi& store_;
    IDialogs& dialogs_;
    RegFuncs registry_;
    std::shared_ptr<cMotor> motor_;
    bool Write(const std::string& path, const char* routine);
    bool SaveChosen(const FileDialogRequest& request, const std::vector<QString>& extensions, bool copy = false);

    std::string current_file_;
    std::string imported_from_;
    QString caption_;
    bool changed_ = false;
    bool busy_ = false;
    std::string file_dir_;
    RecentSlots recent_;
    std::vector<std::string> unwritten_recent_;
    UndoHistory* history_;
    std::function<void()> before_write_;
    QString export_folder_;
};

}  // namespace thrustlet
