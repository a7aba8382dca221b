#pragma once

#include <array>
#include <string>

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QAction;
QT_END_NAMESPACE

namespace thrustlet {

struct FileDialogRequest;
struct ReadOutcome;

class DesignHistory;
class Document;
class FlexGrid;
class GrainEditor;
class IBusyCursor;
class IDialogs;
class KnSummary;
class NozzleSizing;
class RecentMenu;
class TextBox;

// The open dialog's file types for a motor file of any program the design
// reads, its own first (Compare With, the propellant's Import from File).
extern const char* const kMotorFilesFilter;

// The File menu: New, Open, Save, Save As and the recent items, opening a
// motor file into the window, and the question when the window closes.
// Every command first takes a motor field the user is still typing in, and
// every command that would drop unsaved changes asks first.
class FileCommands {
public:
    struct Controls {
        FlexGrid* grdGrains;
        TextBox* txtGrainLength;
        TextBox* txtGrainDiameter;
        TextBox* txtCoreDiameter;
        TextBox* txtNozzleThroatDia;
        std::array<QAction*, 5> mnuRecent;  // items 1..4; 0 unused
    };
    FileCommands(Document& document, IDialogs& dialogs, IBusyCursor& cursor, GrainEditor& grains,
                 KnSummary& summary, NozzleSizing& sizing, RecentMenu& recent, DesignHistory& history,
                 const Controls& controls);

    void mnuNew_Click();
    void mnuOpen_Click();
    // File > Import Motor: Open with the other programs' files offered
    // first (Open reads them too, by their content).
    void mnuImportMotor_Click();
    // File > Save in Other Format: Save As with their formats offered.
    void mnuSaveInOtherFormat_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuRecent_Click(int index);
    // Whatever closes the window; `cancel` keeps it open. The reason for
    // closing is ignored.
    void Form_QueryUnload(bool& cancel, int unload_mode);

    // Opens a motor file into the current motor and the window, all or
    // nothing: a failure is reported (" in OpenFile") and changes nothing.
    void OpenFile(const std::string& path, const std::string& title);

private:
    enum class Into { kCurrentMotor, kNewMotor };
    void Open(const std::string& path, const std::string& title, Into into);
    // New's steps: an empty motor, table, caption and fields, no file.
    void NewDesign();
    void ShowOpenedFile(const std::string& path, const std::string& title);
    void OpenChosen(const FileDialogRequest& request);
    void SayWhatDidNotCome(const std::string& title, const ReadOutcome& outcome);
    void SayWhichThroatIsSaved();

    Document& document_;
    IDialogs& dialogs_;
    IBusyCursor& cursor_;
    GrainEditor& grains_;
    KnSummary& summary_;
    NozzleSizing& sizing_;
    RecentMenu& recent_;
    DesignHistory& history_;
    Controls ui_;
};

}  // namespace thrustlet
