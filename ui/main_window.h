#pragma once

#include <QMainWindow>
#include <array>

#include "app/app_state.h"
#include "settings/recent_files.h"
#include "settings/registry.h"

QT_BEGIN_NAMESPACE
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
QT_END_NAMESPACE

namespace thrustlet {

class FlexGrid;
class GraphLite;
class IBusyCursor;
class IDialogs;
class IRegistryApi;
class KnMaxOnce;
struct FileDialogRequest;
class RunTimeError;
class TextBox;

// The program's title, used in captions and as every message box's title.
inline constexpr const char* kProgramTitle = "Thrustlet";
inline constexpr const char* kCaptionPrefix = "Veskarn - ";

// The main window: the grain editor, the nozzle and Kn fields with the motor
// summary, the Kn graph and the menus. Positions are designed in twips
// (15 per device-independent pixel). The handlers live in one file per
// concern: grain_editor, kn_summary, kn_graph, nozzle_sizing.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // `registry` is the settings store (the recent files and the last folder).
    frmMain(AppState& state, IDialogs& dialogs, IBusyCursor& cursor, IRegistryApi& registry,
            QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up, run once by the constructor before the window is shown.
    void Form_Load();
    // Layout rule: only the graph follows the window's outer size.
    void Form_Resize();

    void InitGrid();
    void InitGraph();

    // Grain editor.
    void PopulateGrainGrid();
    void grdGrains_Click();
    void cmdAdd_Click();
    void cmdApplyChanges_Click();
    void cmdRemove_Click();

    // Kn summary.
    void CalcKn();

    // Nozzle sizing.
    void SetIntialKn(float target);
    void SetMaxKn(float target);
    void txtKN_KeyPress(int key_ascii);
    void txtKN_LostFocus();
    void txtMaxKn_KeyPress(int key_ascii);
    void txtMaxKn_LostFocus();
    void txtNozzleThroatDia_KeyPress(int key_ascii);
    void txtNozzleThroatDia_LostFocus();

    // Recent files and opening a motor file.
    void InitReg();
    void ReadSettings();
    void ShowRecentItem(int index, const std::string& path);
    void RefreshRecentMenu();
    void AddToRecentFileList(const std::string& path);
    void ShiftRecentFiles(int k);
    void WriteSettings();
    void OpenFile(const std::string& path, const std::string& title);
    void mnuRecent_Click(int index);

    // File commands and the close question.
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void Form_QueryUnload(bool& cancel, int unload_mode);

    // Help: both items show the About box.
    void mnuAbout_Click();
    void mnuBugReports_Click();

    AppState& State() { return state_; }
    GraphLite& Graph() { return *grKN; }

    // Controls, named as the handlers name them.
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    FlexGrid* grdGrains;
    GraphLite* grKN;
    std::array<QLabel*, 10> Label1{};
    TextBox* txtGrainLength;
    TextBox* txtGrainDiameter;
    TextBox* txtCoreDiameter;
    QPushButton* cmdAdd;
    QPushButton* cmdRemove;
    QPushButton* cmdApplyChanges;
    TextBox* txtNozzleThroatDia;
    TextBox* txtKN;
    TextBox* txtMaxKn;
    QLabel* lblVolumeLoading;
    QLabel* lblGNRatio;
    QLabel* lblWeb;
    QMenu* mnuFile;
    QAction* mnuNew;
    QAction* mnuSave;
    QAction* mnuSaveAs;
    QAction* mnuOpen;
    QAction* mnuSeparator;
    std::array<QAction*, 5> mnuRecent{};  // items 1..4; 0 unused
    QMenu* mnuHelp;
    QAction* mnuAbout;
    QAction* mnuBugReports;

    // Outer size in twips, border and title bar included.
    int OuterWidthTwips() const;
    int OuterHeightTwips() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CreateMenus();
    void PlaceWindow();
    void SetTabOrder();
    void FitFont();
    void ConnectSignals();

    // Shows "<description> in <routine>" with the information icon.
    void ReportError(const std::string& description, const char* routine);
    void ShowMessage(const QString& text);
    // Runs a handler; a failure it does not trap itself is reported instead
    // of ending the program.
    template <typename Handler>
    void Guarded(const char* routine, Handler&& handler);

    void RunNozzleSearch(const char* routine, float (*search)(cMotor&, float), float target);
    void KnFieldLeft(TextBox* field, const char* routine, void (frmMain::*search)(float));
    bool ReadGrainFields(float* length, float* diameter, float* core) const;
    void WriteSummary(cMotor& motor, KnMaxOnce& kn_max);
    void SetRatioColour(float ratio);

    // What an open may change, kept to put back should it fail part-way.
    struct OpenSnapshot {
        std::unique_ptr<cMotor> motor;
        std::string current_file;
        std::string file_dir;
        RecentSlots recent;
        bool changed = false;
        QString caption;
        std::array<QString, 6> fields;
        std::array<bool, 5> recent_visible{};
        int row = 0, row_sel = 0, col = 0, col_sel = 0;
    };
    OpenSnapshot TakeOpenSnapshot() const;
    void RestoreOpenSnapshot(OpenSnapshot& snapshot);
    void ShowOpenedFile(const std::string& path, const std::string& title);

    // Save and Save As; true when the motor was written.
    bool Save();
    bool SaveAs();
    bool SaveChangesBeforeLeaving();
    FileDialogRequest FileDialogFor(const char* title, uint32_t flags) const;

    AppState& state_;
    IDialogs& dialogs_;
    IBusyCursor& cursor_;
    IRegistryApi& registry_api_;
    RegFuncs registry_;
};

}  // namespace thrustlet

#include <exception>
#include <new>

#include "model/errors.h"

namespace thrustlet {

template <typename Handler>
void frmMain::Guarded(const char* routine, Handler&& handler) {
    try {
        handler();
    } catch (const RunTimeError& error) {
        ReportError(error.Description(), routine);
    } catch (const std::bad_alloc&) {
        ReportError("Out of memory", routine);
    } catch (const std::exception& error) {
        ReportError(error.what(), routine);
    }
}

}  // namespace thrustlet
