#include "ui/file_commands.h"

#include <QAction>

#include "model/formats/motor_formats.h"
#include "model/motor.h"
#include "platform/busy_cursor.h"
#include "platform/dialogs.h"
#include "platform/flex_grid.h"
#include "platform/locale_number.h"
#include "platform/text_box.h"
#include "settings/paths.h"
#include "thrustlet/identity.h"
#include "ui/design_history.h"
#include "ui/document.h"
#include "ui/grain_editor.h"
#include "ui/kn_summary.h"
#include "ui/nozzle_sizing.h"
#include "ui/recent_menu.h"
#include "ui/report.h"

namespace thrustlet {

FileCommands::FileCommands(Document& document, IDialogs& dialogs, IBusyCursor& cursor, GrainEditor& grains,
                           KnSummary& summary, NozzleSizing& sizing, RecentMenu& recent, DesignHistory& history,
                           const Controls& controls)
    : document_(document),
      dialogs_(dialogs),
      cursor_(cursor),
      grains_(grains),
      summary_(summary),
      sizing_(sizing),
      recent_(recent),
      history_(history),
      ui_(controls) {
    document_.SetBeforeWrite([this] { SayWhichThroatIsSaved(); });
}

// The throat field that holds no throat is not what the file keeps: the
// motor's throat (of the figures last calculated) is, and the user is told.
void FileCommands::SayWhichThroatIsSaved() {
    const QString text = ui_.txtNozzleThroatDia->text();
    bool usable = false;
    Quietly([&] { usable = IsNumeric(text) && FieldToDouble(text) > 0.0; });
    const float kept = document_.Motor().NozzleDia();
    if (usable || (text.trimmed().isEmpty() && !(kept > 0.0f))) return;  // nothing typed, nothing kept
    const QString field = text.trimmed().isEmpty() ? QString("The nozzle throat field is empty")
                                                   : "The nozzle throat field holds \"" + text.trimmed() +
                                                         "\", which is no throat";
    dialogs_.MsgBox(field + ": the file keeps " +
                        (kept > 0.0f ? "the throat " + TextOfSingle(kept) + ", the last one calculated."
                                     : QString("no throat (0).")),
                    MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
}

void FileCommands::NewDesign() {
    document_.ReplaceMotor(std::make_unique<cMotor>());
    grains_.PopulateGrainGrid();
    // The recalculation of an empty motor writes only "N/A": the rest of the
    // figures would still be the last design's.
    summary_.ShowEmptyDesign();
    document_.SetCurrentFile("", "");
    grains_.ClearFields();
    ui_.txtNozzleThroatDia->setText(QString());
    document_.SetChanged(false);
}

// Unsaved changes are asked about first, as Open asks.
void FileCommands::mnuNew_Click() {
    sizing_.CommitEditedField();
    if (!document_.MayDrop(Document::Leaving::kForAnotherDesign)) return;
    NewDesign();
    history_.Reset();
}

// The design is dropped only once a file has been chosen and read: a
// cancelled dialog or a file that cannot be read leaves it as it was.
void FileCommands::mnuOpen_Click() { OpenChosen(MotorFileDialog(false, document_.FileDir())); }

const char* const kMotorFilesFilter =
    "All Motor Files(*.tlt;*.ric;*.bsx;*.json)| *.tlt;*.ric;*.bsx;*.json| Thrustlet Files(*.tlt)| *.tlt| "
    "openMotor Files(*.ric)| *.ric| BurnSim Files(*.bsx)| *.bsx| Meteor Files(*.json)| *.json| All Files(*.*)| *.*";

void FileCommands::mnuImportMotor_Click() {
    FileDialogRequest request = MotorFileDialog(false, document_.FileDir());
    request.filter = "All Motor Files(*.tlt;*.ric;*.bsx;*.json)| *.tlt;*.ric;*.bsx;*.json| openMotor Files(*.ric)| *.ric| "
                     "BurnSim Files(*.bsx)| *.bsx| Meteor Files(*.json)| *.json| Thrustlet Files(*.tlt)| *.tlt| "
                     "All Files(*.*)| *.*";
    request.title = "Open a motor file of Thrustlet, openMotor, BurnSim or Meteor";
    OpenChosen(request);
}

void FileCommands::OpenChosen(const FileDialogRequest& request) {
    sizing_.CommitEditedField();
    if (!document_.MayDrop(Document::Leaving::kForAnotherDesign)) return;
    FileDialogResult chosen;
    Quietly([&] { chosen = dialogs_.ShowOpen(request); });
    if (chosen.file_name.isEmpty()) return;
    Quietly([&] { Open(chosen.file_name.toStdString(), chosen.file_title.toStdString(), Into::kNewMotor); });
}

void FileCommands::mnuSaveInOtherFormat_Click() {
    sizing_.CommitEditedField();
    document_.SaveInOtherFormat();
}

// Opens the path held in the item's slot (the caption is only its display),
// taken when the item is chosen: saving first may move the list's entries,
// and the file the user chose is still the one to open.
void FileCommands::mnuRecent_Click(int index) {
    const std::string path = document_.RecentFiles().at(static_cast<size_t>(index));
    sizing_.CommitEditedField();
    if (!document_.MayDrop(Document::Leaving::kForAnotherDesign)) return;
    OpenFile(path, FileTitleOf(path));
}

void FileCommands::mnuSave_Click() {
    sizing_.CommitEditedField();
    document_.Save();
}

void FileCommands::mnuSaveAs_Click() {
    sizing_.CommitEditedField();
    document_.SaveAs();
}

void FileCommands::Form_QueryUnload(bool& cancel, int /*unload_mode*/) {
    sizing_.CommitEditedField();
    if (!document_.MayDrop(Document::Leaving::kClosing)) cancel = true;
}

void FileCommands::OpenFile(const std::string& path, const std::string& title) {
    Open(path, title, Into::kCurrentMotor);
}

// The file is read into a motor of its own first (a copy of the current one,
// so that a file without propellant lines keeps the current propellant data,
// or an empty one for the Open command), and only a successful read takes
// the window's place. Should a later step fail, the document and the window
// are put back as they were, so a following Save can never write another
// design over the file the window still names.
void FileCommands::Open(const std::string& path, const std::string& title, Into into) {
    BusyCursor busy(cursor_);
    std::unique_ptr<cMotor> loaded;
    ReadOutcome outcome;
    Guarded(dialogs_, "OpenFile", [&] {
        auto motor = into == Into::kNewMotor ? std::make_unique<cMotor>() : std::make_unique<cMotor>(document_.Motor());
        outcome = ReadAnyMotorFile(path, *motor);  // the program's own, openMotor's or BurnSim's
        loaded = std::move(motor);
    });
    if (!loaded) return;

    // The document keeps its own state; the window keeps what it shows.
    const auto checkpoint = document_.MakeCheckpoint();
    const KnSummary::Figures figures = summary_.Shown();
    TextBox* const fields[] = {ui_.txtGrainLength, ui_.txtGrainDiameter, ui_.txtCoreDiameter, ui_.txtNozzleThroatDia};
    QString texts[4];
    for (int i = 0; i < 4; ++i) texts[i] = fields[i]->text();
    const int row = ui_.grdGrains->Row(), row_sel = ui_.grdGrains->RowSel(), col = ui_.grdGrains->Col(),
              col_sel = ui_.grdGrains->ColSel();
    std::array<bool, 5> visible{};
    for (int i = 1; i <= 4; ++i) visible[static_cast<size_t>(i)] = ui_.mnuRecent[static_cast<size_t>(i)]->isVisible();

    const bool opened = Guarded(dialogs_, "OpenFile", [&] {
        if (into == Into::kNewMotor) NewDesign();
        document_.ReplaceMotor(std::move(loaded));
        ShowOpenedFile(path, title);
        if (outcome.format != MotorFormat::kThrustlet) document_.SetImportedFrom(path, title, ProgramOf(outcome.format));
    });
    if (opened) {
        if (!outcome.not_carried.empty()) SayWhatDidNotCome(title, outcome);
        return;
    }
    document_.RollBack(*checkpoint);
    Guarded(dialogs_, "OpenFile", [&] {
        grains_.ShowGrains();
        summary_.Show(figures);
        recent_.RefreshRecentMenu();
        for (int i = 1; i <= 4; ++i) ui_.mnuRecent[static_cast<size_t>(i)]->setVisible(visible[static_cast<size_t>(i)]);
        for (int i = 0; i < 4; ++i) fields[i]->setText(texts[i]);
        ui_.grdGrains->SetRow(row);
        ui_.grdGrains->SetCol(col);
        ui_.grdGrains->SetRowSel(row_sel);
        ui_.grdGrains->SetColSel(col_sel);
    });
}

// After another program's file: what it held that the design cannot.
void FileCommands::SayWhatDidNotCome(const std::string& title, const ReadOutcome& outcome) {
    QString text = QString::fromStdString(title) + " is " + ProgramOf(outcome.format) +
                   "'s motor file: the design is new and not saved (Save keeps it as a Thrustlet file). What it "
                   "held that the design cannot:\n";
    for (const std::string& note : outcome.not_carried) text += "\n\u2022 " + QString::fromStdString(note);
    dialogs_.MsgBox(text, MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
}

// The steps of an open once the motor holds the file's design.
void FileCommands::ShowOpenedFile(const std::string& path, const std::string& title) {
    document_.SetCurrentFile(path, title);
    ui_.txtNozzleThroatDia->setText(TextOfSingle(document_.Motor().NozzleDia()));
    grains_.PopulateGrainGrid();
    // While the window fills the grain fields itself, leaving a Kn field
    // must not size the nozzle: it stays as read from the file.
    document_.SetBusy(true);
    if (ui_.grdGrains->Rows() > 1) {  // a motor file may hold no grains at all
        ui_.grdGrains->SetRowSel(1);
        ui_.grdGrains->SetCol(1);
        ui_.grdGrains->SetColSel(3);
        grains_.grdGrains_Click();
    }
    ui_.txtNozzleThroatDia->setText(TextOfSingle(document_.Motor().NozzleDia()));
    document_.SetBusy(false);
    document_.SetChanged(false);
    document_.SetFileDir(FolderOf(path));
    recent_.AddToRecentFileList(path);
    recent_.RefreshRecentMenu();
    recent_.WriteSettings();
    history_.Reset();
}

}  // namespace thrustlet
