#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

QT_BEGIN_NAMESPACE
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QShortcut;
class QTableWidget;
QT_END_NAMESPACE

namespace thrustlet {

class DesignHistory;
class Document;
class FileCommands;
class FlexGrid;
class GraphLite;
class GrainEditor;
class HelpMenu;
class IBusyCursor;
class IDialogs;
class IProcesses;
class IRegistryApi;
class KnSummary;
class MotorComparison;
class MotorPerformance;
class DesignSheet;
class GraphExport;
class GrainsPanel;
class StaticFirings;
class ThrustCurveExport;
class NozzleSizing;
class RecentMenu;
class TextBox;

// The main window: its controls, named and placed as designed (in twips),
// its menus, the wiring of their events to the units that handle them, and
// the one layout rule on resizing. The document and the units own
// everything else; controls are found by their object names.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // `registry` keeps the settings (the recent files and the last folder);
    // `processes` starts the About box's system-information tool.
    frmMain(IDialogs& dialogs, IProcesses& processes, IBusyCursor& cursor, IRegistryApi& registry,
            QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up, run once by the constructor before the window is shown.
    void Form_Load();
    // Layout rule: only the graph follows the window's outer size.
    void Form_Resize();
    // Outer size in twips, border and title bar included.
    int OuterWidthTwips() const;
    int OuterHeightTwips() const;

    Document& Doc() { return *document_; }
    FileCommands& Files() { return *files_; }
    GrainEditor& Grains() { return *grains_; }
    KnSummary& Summary() { return *summary_; }
    NozzleSizing& Sizing() { return *sizing_; }
    RecentMenu& Recent() { return *recent_; }
    DesignHistory& History() { return *history_; }
    MotorPerformance& Performance() { return *performance_; }
    GrainsPanel& GrainsFigures() { return *grains_panel_; }
    StaticFirings& Firings() { return *firings_; }
    GraphExport& Export() { return *graph_export_; }
    DesignSheet& Sheet() { return *sheet_; }
    ThrustCurveExport& ThrustExport() { return *thrust_export_; }
    MotorComparison& Comparison() { return *comparison_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CreatePerformanceGroup(QWidget* client);
    void CreateGrainsPanel(QWidget* client);
    void CreateMenus();
    void CreateUnits(IDialogs& dialogs, IProcesses& processes, IBusyCursor& cursor, IRegistryApi& registry);
    void PlaceWindow();
    void SetTabOrder();
    void FitFont();
    void ConnectSignals();

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
    QGroupBox* Frame4;  // the performance group, beside the frames
    std::array<QLabel*, 2> lblLengthUnit{};
    QGroupBox* Frame5;  // the grains panel, beside the performance group
    QTableWidget* grdGrainFigures;
    QLabel* lblAlerts;  // the unit of lengths, in the titles of Frames 1 and 2
    std::array<QLabel*, 11> lblPerformance{};
    QMenu* mnuFile;
    QAction* mnuNew;
    QAction* mnuSave;
    QAction* mnuSaveAs;
    QAction* mnuOpen;
    QAction* mnuImportMotor;
    QAction* mnuSaveInOtherFormat;
    QAction* mnuExportSheet;
    QAction* mnuPrint;
    QAction* mnuExportThrustCurve;
    QAction* mnuExit;
    QAction* mnuSeparator;
    std::array<QAction*, 5> mnuRecent{};  // items 1..4; 0 unused
    QMenu* mnuEdit;
    QAction* mnuUndo;
    QAction* mnuRedo;
    QMenu* mnuMotor;
    QAction* mnuPropellant;
    QAction* mnuLimits;
    QAction* mnuStaticFiring;
    QAction* mnuShowPressure;
    QAction* mnuShowThrust;
    QAction* mnuShowMassFlux;
    QAction* mnuFullModel;
    QAction* mnuCompareWith;
    QAction* mnuStopComparing;
    QMenu* mnuHelp;
    QAction* mnuAbout;
    QAction* mnuBugReports;
    // The grain table's context menu: the selected grains' inhibited ends.
    std::array<QAction*, 4> mnuInhibited{};  // none, forward, aft, both
    QAction* mnuCopyImage;  // the graph's context menu
    QAction* mnuSaveImage;
    QAction* mnuSaveData;
    QShortcut* mnuGraphKey;

    QSize sized_for_;  // the outer size the graph was last sized for

    std::unique_ptr<Document> document_;
    std::unique_ptr<DesignHistory> history_;
    std::unique_ptr<MotorPerformance> performance_;
    std::unique_ptr<GrainsPanel> grains_panel_;
    std::unique_ptr<StaticFirings> firings_;
    std::unique_ptr<KnSummary> summary_;
    std::unique_ptr<GrainEditor> grains_;
    std::unique_ptr<NozzleSizing> sizing_;
    std::unique_ptr<RecentMenu> recent_;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<HelpMenu> help_;
    std::unique_ptr<GraphExport> graph_export_;
    std::unique_ptr<DesignSheet> sheet_;
    std::unique_ptr<ThrustCurveExport> thrust_export_;
    std::unique_ptr<MotorComparison> comparison_;
};

}  // namespace thrustlet
