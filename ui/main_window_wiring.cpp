// The main window's menus, its units and the wiring between them: every
#include "ui/named.h"
// event of a control or a menu item goes to the unit whose concern it is.
#include <QAction>
#include <QMenuBar>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include "platform/flex_grid.h"
#include "platform/graph_lite.h"
#include "platform/text_box.h"
#include "ui/about_dialog.h"
#include "ui/design_history.h"
#include "ui/design_sheet.h"
#include "ui/document.h"
#include "ui/file_commands.h"
#include "ui/grain_editor.h"
#include "ui/grains_panel.h"
#include "ui/graph_export.h"
#include "ui/kn_summary.h"
#include "ui/main_window.h"
#include "ui/motor_comparison.h"
#include "ui/motor_performance.h"
#include "ui/nozzle_sizing.h"
#include "ui/recent_menu.h"
#include "ui/static_firings.h"
#include "ui/thrust_curve_export.h"
#include "ui/undo_history.h"

namespace thrustlet {

void frmMain::CreateMenus() {
    mnuFile = Named(menuBar()->addMenu("&File"), "mnuFile");
    mnuNew = Named(mnuFile->addAction("&New"), "mnuNew");
    mnuNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuSave = Named(mnuFile->addAction("&Save"), "mnuSave");
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSaveAs = Named(mnuFile->addAction("Save &As"), "mnuSaveAs");
    // The platform's own Save As shortcut too.
    mnuSaveAs->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    mnuOpen = Named(mnuFile->addAction("&Open"), "mnuOpen");
    mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    // openMotor's and BurnSim's motor files, offered by their own file types.
    mnuImportMotor = Named(mnuFile->addAction("&Import Motor\u2026"), "mnuImportMotor");
    mnuSaveInOtherFormat = Named(mnuFile->addAction("Save in Other &Format\u2026"), "mnuSaveInOtherFormat");
    mnuExportSheet = Named(mnuFile->addAction("&Export Sheet\u2026"), "mnuExportSheet");
    mnuPrint = Named(mnuFile->addAction("&Print\u2026"), "mnuPrint");
    mnuPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuExportThrustCurve = Named(mnuFile->addAction("Export &Thrust Curve\u2026"), "mnuExportThrustCurve");
    mnuSeparator = Named(mnuFile->addSeparator(), "mnuSeparator");
    mnuFile->setToolTipsVisible(true);  // a shortened recent path shows in full
    for (int i = 1; i <= 4; ++i) {
        QAction* item = mnuFile->addAction(QString());
        item->setObjectName(QString("mnuRecent%1").arg(i));
        item->setVisible(i == 1);
        mnuRecent[static_cast<size_t>(i)] = item;
    }
    mnuFile->addSeparator();
    mnuExit = Named(mnuFile->addAction("E&xit"), "mnuExit");
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuEdit = Named(menuBar()->addMenu("&Edit"), "mnuEdit");
    mnuUndo = Named(mnuEdit->addAction("&Undo"), "mnuUndo");
    mnuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuRedo = Named(mnuEdit->addAction("&Redo"), "mnuRedo");
    mnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    mnuUndo->setEnabled(false);
    mnuRedo->setEnabled(false);
    mnuMotor = Named(menuBar()->addMenu("&Motor"), "mnuMotor");
    mnuPropellant = Named(mnuMotor->addAction("&Propellant\u2026"), "mnuPropellant");
    mnuLimits = Named(mnuMotor->addAction("&Limits\u2026"), "mnuLimits");
    mnuStaticFiring = Named(mnuMotor->addAction("&Static Firing\u2026"), "mnuStaticFiring");
    mnuMotor->addSeparator();
    mnuShowPressure = Named(mnuMotor->addAction("Show &Chamber Pressure"), "mnuShowPressure");
    mnuShowThrust = Named(mnuMotor->addAction("Show &Thrust Curve"), "mnuShowThrust");
    mnuShowMassFlux = Named(mnuMotor->addAction("Show &Mass Flux"), "mnuShowMassFlux");
    for (QAction* view : {mnuShowPressure, mnuShowThrust, mnuShowMassFlux}) {
        view->setCheckable(true);
        view->setEnabled(false);
    }
    mnuMotor->addSeparator();
    mnuFullModel = Named(mnuMotor->addAction("&Full Model (Marched in Time)"), "mnuFullModel");
    mnuFullModel->setCheckable(true);
    mnuFullModel->setEnabled(false);
    mnuCompareWith = Named(mnuMotor->addAction("Compare &With\u2026"), "mnuCompareWith");
    mnuStopComparing = Named(mnuMotor->addAction("St&op Comparing"), "mnuStopComparing");
    mnuHelp = Named(menuBar()->addMenu("&Help"), "mnuHelp");
    mnuAbout = Named(mnuHelp->addAction("&About"), "mnuAbout");
    mnuBugReports = Named(mnuHelp->addAction("&Bug Reports"), "mnuBugReports");
    for (QAction* action : {mnuNew, mnuSave, mnuSaveAs, mnuOpen, mnuPrint, mnuUndo, mnuRedo, mnuExit}) {
        action->setShortcutContext(Qt::WindowShortcut);
    }

    // The graph's own menu: right-click on it, or the context-menu key
    // anywhere in the window.
    mnuCopyImage = Named(new QAction("Copy Image", grKN), "mnuCopyImage");
    mnuSaveImage = Named(new QAction("Save Image\u2026", grKN), "mnuSaveImage");
    mnuSaveData = Named(new QAction("Save Data\u2026", grKN), "mnuSaveData");
    grKN->addActions({mnuCopyImage, mnuSaveImage, mnuSaveData});
    grKN->setContextMenuPolicy(Qt::ActionsContextMenu);
    const char* ends[][2] = {{"Both Ends Burn", "mnuInhibitNone"},
                             {"Inhibit the Forward End", "mnuInhibitForward"},
                             {"Inhibit the Aft End", "mnuInhibitAft"},
                             {"Inhibit Both Ends", "mnuInhibitBoth"}};
    for (std::size_t i = 0; i < mnuInhibited.size(); ++i) {
        mnuInhibited[i] = Named(new QAction(ends[i][0], grdGrains), ends[i][1]);
        grdGrains->addAction(mnuInhibited[i]);
    }
    grdGrains->setContextMenuPolicy(Qt::ActionsContextMenu);
    mnuGraphKey = new QShortcut(QKeySequence(Qt::Key_Menu), this);
}

void frmMain::CreateUnits(IDialogs& dialogs, IProcesses& processes, IBusyCursor& cursor, IRegistryApi& registry) {
    document_ = std::make_unique<Document>(registry, dialogs);
    history_ = std::make_unique<DesignHistory>(*document_);
    performance_ = std::make_unique<MotorPerformance>(
        *document_,
        MotorPerformance::Controls{this, Frame4, lblPerformance, grKN, mnuPropellant, mnuShowPressure, mnuShowThrust,
                                   mnuShowMassFlux, mnuFullModel, txtNozzleThroatDia, lblLengthUnit});
    grains_panel_ = std::make_unique<GrainsPanel>(*document_,
                                                  GrainsPanel::Controls{this, Frame5, grdGrainFigures, lblAlerts, mnuLimits});
    performance_->Attach(*grains_panel_);
    comparison_ = std::make_unique<MotorComparison>(*document_, dialogs, cursor,
                                                    MotorComparison::Controls{this, mnuCompareWith, mnuStopComparing});
    performance_->Attach(*comparison_);
    firings_ = std::make_unique<StaticFirings>(*document_, this);
    summary_ = std::make_unique<KnSummary>(
        *document_, dialogs, cursor,
        KnSummary::Controls{txtNozzleThroatDia, txtKN, txtMaxKn, lblWeb, lblGNRatio, lblVolumeLoading, grKN});
    grains_ = std::make_unique<GrainEditor>(
        *document_, dialogs, *summary_,
        GrainEditor::Controls{grdGrains, txtGrainLength, txtGrainDiameter, txtCoreDiameter, cmdApplyChanges});
    sizing_ = std::make_unique<NozzleSizing>(*document_, dialogs, cursor, *summary_,
                                             NozzleSizing::Controls{txtNozzleThroatDia, txtKN, txtMaxKn});
    recent_ = std::make_unique<RecentMenu>(*document_, dialogs, mnuRecent);
    files_ = std::make_unique<FileCommands>(
        *document_, dialogs, cursor, *grains_, *summary_, *sizing_, *recent_, *history_,
        FileCommands::Controls{grdGrains, txtGrainLength, txtGrainDiameter, txtCoreDiameter, txtNozzleThroatDia,
                               mnuRecent});
    help_ = std::make_unique<HelpMenu>(dialogs, processes, registry);
    graph_export_ = std::make_unique<GraphExport>(*document_, dialogs,
                                                  GraphExport::Controls{grKN, mnuShowPressure, mnuShowThrust, mnuShowMassFlux});
    sheet_ = std::make_unique<DesignSheet>(*document_, dialogs, *summary_, *performance_, this);
    sheet_->Attach(*comparison_);
    thrust_export_ = std::make_unique<ThrustCurveExport>(*document_, dialogs);
    summary_->Attach(*performance_);
    performance_->SetRecalculation([this] { summary_->CalcKn(); });
    comparison_->SetRedraw([this] { summary_->RedrawGraph(); });
    grains_panel_->SetRecalculation([this] { summary_->CalcKn(); });
    firings_->SetRecalculation([this] { summary_->CalcKn(); });
    performance_->SetLengthsConverted([this](double factor) {
        grains_->ShowGrains();
        grains_->ScaleFields(factor);
    });
    history_->Attach(*grains_, *summary_, *sizing_, txtNozzleThroatDia, performance_.get());
    connect(document_.get(), &Document::EditMade, this, [this](const QString& label) { history_->Record(label); });
}

void frmMain::ConnectSignals() {
    connect(cmdAdd, &QPushButton::clicked, this, [this] { grains_->cmdAdd_Click(); });
    connect(cmdRemove, &QPushButton::clicked, this, [this] { grains_->cmdRemove_Click(); });
    connect(cmdApplyChanges, &QPushButton::clicked, this, [this] { grains_->cmdApplyChanges_Click(); });
    connect(grdGrains, &FlexGrid::Click, this, [this] { grains_->grdGrains_Click(); });
    const cGrain::Ends ends[] = {cGrain::Ends::kNone, cGrain::Ends::kForward, cGrain::Ends::kAft, cGrain::Ends::kBoth};
    for (std::size_t i = 0; i < mnuInhibited.size(); ++i) {
        connect(mnuInhibited[i], &QAction::triggered, this, [this, end = ends[i]] { grains_->SetInhibited(end); });
    }
    connect(txtKN, &TextBox::KeyPress, this, [this](int key) { sizing_->txtKN_KeyPress(key); });
    connect(txtKN, &TextBox::LostFocus, this, [this] { sizing_->txtKN_LostFocus(); });
    connect(txtMaxKn, &TextBox::KeyPress, this, [this](int key) { sizing_->txtMaxKn_KeyPress(key); });
    connect(txtMaxKn, &TextBox::LostFocus, this, [this] { sizing_->txtMaxKn_LostFocus(); });
    connect(txtNozzleThroatDia, &TextBox::KeyPress, this, [this](int key) { sizing_->txtNozzleThroatDia_KeyPress(key); });
    connect(txtNozzleThroatDia, &TextBox::LostFocus, this, [this] { sizing_->txtNozzleThroatDia_LostFocus(); });
    connect(mnuNew, &QAction::triggered, this, [this] { files_->mnuNew_Click(); });
    connect(mnuOpen, &QAction::triggered, this, [this] { files_->mnuOpen_Click(); });
    connect(mnuImportMotor, &QAction::triggered, this, [this] { files_->mnuImportMotor_Click(); });
    connect(mnuSaveInOtherFormat, &QAction::triggered, this, [this] { files_->mnuSaveInOtherFormat_Click(); });
    connect(mnuSave, &QAction::triggered, this, [this] { files_->mnuSave_Click(); });
    connect(mnuSaveAs, &QAction::triggered, this, [this] { files_->mnuSaveAs_Click(); });
    for (int i = 1; i <= 4; ++i) {
        connect(mnuRecent[static_cast<size_t>(i)], &QAction::triggered, this, [this, i] { files_->mnuRecent_Click(i); });
    }
    connect(mnuUndo, &QAction::triggered, this, [this] { history_->mnuUndo_Click(); });
    connect(mnuRedo, &QAction::triggered, this, [this] { history_->mnuRedo_Click(); });
    connect(mnuPropellant, &QAction::triggered, this, [this] { performance_->mnuPropellant_Click(); });
    connect(mnuShowPressure, &QAction::triggered, this, [this] { performance_->mnuShowPressure_Click(); });
    connect(mnuShowThrust, &QAction::triggered, this, [this] { performance_->mnuShowThrust_Click(); });
    connect(mnuShowMassFlux, &QAction::triggered, this, [this] { performance_->mnuShowMassFlux_Click(); });
    connect(mnuFullModel, &QAction::triggered, this, [this] { performance_->mnuFullModel_Click(); });
    connect(mnuCompareWith, &QAction::triggered, this, [this] { comparison_->mnuCompareWith_Click(); });
    connect(mnuStopComparing, &QAction::triggered, this, [this] { comparison_->mnuStopComparing_Click(); });
    connect(mnuLimits, &QAction::triggered, this, [this] { grains_panel_->mnuLimits_Click(); });
    connect(mnuStaticFiring, &QAction::triggered, this, [this] { firings_->mnuStaticFiring_Click(); });
    connect(mnuExportSheet, &QAction::triggered, this, [this] { sheet_->mnuExportSheet_Click(); });
    connect(mnuPrint, &QAction::triggered, this, [this] { sheet_->mnuPrint_Click(); });
    connect(mnuExportThrustCurve, &QAction::triggered, this, [this] { thrust_export_->mnuExportThrustCurve_Click(); });
    // Exit closes the window, which asks about unsaved changes as ever.
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuCopyImage, &QAction::triggered, this, [this] { graph_export_->mnuCopyImage_Click(); });
    connect(mnuSaveImage, &QAction::triggered, this, [this] { graph_export_->mnuSaveImage_Click(); });
    connect(mnuSaveData, &QAction::triggered, this, [this] { graph_export_->mnuSaveData_Click(); });
    connect(mnuGraphKey, &QShortcut::activated, this,
            [this] { QMenu::exec(grKN->actions(), grKN->mapToGlobal(grKN->rect().center()), nullptr, grKN); });
    connect(mnuAbout, &QAction::triggered, this, [this] { help_->mnuAbout_Click(); });
    connect(mnuBugReports, &QAction::triggered, this, [this] { help_->mnuBugReports_Click(); });

    connect(document_.get(), &Document::CaptionChanged, this, &QWidget::setWindowTitle);
    connect(document_.get(), &Document::Saved, this,
            [this](const std::string& path, const std::string& replaces) { recent_->Saved(path, replaces); });
    // The Edit items say what they would undo or redo ("&Undo Add Grain").
    UndoHistory& history = document_->History();
    connect(&history, &UndoHistory::canUndoChanged, mnuUndo, &QAction::setEnabled);
    connect(&history, &UndoHistory::canRedoChanged, mnuRedo, &QAction::setEnabled);
    connect(&history, &UndoHistory::undoTextChanged, this,
            [this](const QString& text) { mnuUndo->setText(text.isEmpty() ? "&Undo" : "&Undo " + text); });
    connect(&history, &UndoHistory::redoTextChanged, this,
            [this](const QString& text) { mnuRedo->setText(text.isEmpty() ? "&Redo" : "&Redo " + text); });
}

}  // namespace thrustlet
