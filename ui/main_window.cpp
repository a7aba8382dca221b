#include "ui/main_window.h"
#include "ui/named.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QScrollArea>
#include <QTableWidget>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include "platform/flex_grid.h"
#include "platform/graph_lite.h"
#include "platform/text_box.h"
#include "ui/about_dialog.h"
#include "ui/design_history.h"
#include "ui/design_sheet.h"
#include "ui/dialog_font.h"
#include "ui/document.h"
#include "ui/file_commands.h"
#include "ui/grain_editor.h"
#include "ui/grains_panel.h"
#include "ui/graph_export.h"
#include "ui/kn_summary.h"
#include "ui/motor_comparison.h"
#include "ui/motor_performance.h"
#include "ui/nozzle_sizing.h"
#include "ui/recent_menu.h"
#include "ui/static_firings.h"
#include "ui/thrust_curve_export.h"
#include "ui/rimmed_label.h"
#include "ui/twips.h"

namespace thrustlet {

namespace {

constexpr int kClientWidthTwips = 6024;
constexpr int kClientHeightTwips = 8616;

}  // namespace

frmMain::frmMain(IDialogs& dialogs, IProcesses& processes, IBusyCursor& cursor, IRegistryApi& registry,
                 QWidget* parent)
    : QMainWindow(parent) {
    setObjectName("frmMain");
    QIcon icon;
    for (int size : {48, 64, 128, 256}) icon.addFile(QString(":/thrustlet/icons/thrustlet-%1.png").arg(size));
    setWindowIcon(icon);
    CreateControls();
    CreateMenus();
    CreateUnits(dialogs, processes, cursor, registry);
    SetTabOrder();
    FitFont();
    PlaceWindow();
    txtGrainLength->setFocus();  // the first control in tab order, as a form starts
    ConnectSignals();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::CreateControls() {
    auto* client = Named(new QWidget(this), "client");
    setCentralWidget(client);

    // Frames first, so the grid and the graph lie above them.
    Frame1 = Named(new QGroupBox("Grain Properties", client), "Frame1");
    Place(Frame1, 150, 105, 2370, 2505);
    Frame3 = Named(new QGroupBox(client), "Frame3");
    Place(Frame3, 2700, 105, 3240, 2505);
    Frame2 = Named(new QGroupBox("Motor Properties", client), "Frame2");
    Place(Frame2, 150, 2700, 5784, 1500);

    grdGrains = Named(new FlexGrid(client), "grdGrains");
    Place(grdGrains, 2688, 180, 3240, 2208);
    grKN = Named(new GraphLite(client), "grKN");
    Place(grKN, 150, 4290, 5775, 4065);

    auto label = [&](int index, QWidget* parent, const char* caption, int left, int top, int width, int height) {
        auto* widget = Named(new QLabel(caption, parent), "Label1");
        widget->setProperty("Index", index);
        Place(widget, left, top, width, height);
        Label1[static_cast<size_t>(index)] = widget;
        return widget;
    };
    auto text_box = [&](QWidget* parent, const char* name, int left, int top, int width, int height) {
        auto* widget = Named(new TextBox(parent), name);
        Place(widget, left, top, width, height);
        return widget;
    };
    auto button = [&](QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                      int height) {
        auto* widget = Named(new QPushButton(caption, parent), name);
        widget->setAutoDefault(false);
        Place(widget, left, top, width, height);
        return widget;
    };
    auto output_label = [&](QLabel* widget, const char* name, int left, int top, int width, int height) {
        Place(Named(widget, name), left, top, width, height);
        return widget;
    };

    label(0, Frame1, "Length:", 135, 315, 1100, 240);
    txtGrainLength = text_box(Frame1, "txtGrainLength", 1215, 270, 1000, 315);
    label(4, Frame1, "Diameter:", 135, 720, 1100, 240);
    txtGrainDiameter = text_box(Frame1, "txtGrainDiameter", 1215, 675, 1000, 315);
    label(3, Frame1, "Core Diameter:", 135, 1125, 1100, 240);
    txtCoreDiameter = text_box(Frame1, "txtCoreDiameter", 1215, 1080, 1000, 315);
    cmdAdd = button(Frame1, "cmdAdd", "&Add Grain", 90, 1560, 850, 350);
    cmdRemove = button(Frame1, "cmdRemove", "&Remove Grain", 1020, 1560, 1260, 350);
    cmdApplyChanges = button(Frame1, "cmdApplyChanges", "Apply &Changes", 555, 2040, 1215, 350);

    label(1, Frame2, "Nozzle Throat:", 135, 315, 1100, 240);
    txtNozzleThroatDia = text_box(Frame2, "txtNozzleThroatDia", 1215, 270, 800, 315);
    label(2, Frame2, "Initial kn:", 135, 720, 1095, 240);
    txtKN = text_box(Frame2, "txtKN", 1215, 675, 800, 315);
    label(5, Frame2, "Max kn:", 135, 1125, 1095, 240);
    txtMaxKn = text_box(Frame2, "txtMaxKn", 1215, 1080, 800, 315);
    label(6, Frame2, "Vol. Loading", 2200, 315, 1200, 240);
    lblVolumeLoading = output_label(new QLabel(Frame2), "lblVolumeLoading", 3400, 315, 700, 240);
    label(7, Frame2, "Nozzle/Grain core area ratio:", 2200, 640, 1200, 480)->setWordWrap(true);
    lblGNRatio = output_label(new RimmedLabel(Frame2), "lblGNRatio", 3400, 720, 700, 240);
    QPalette yellow = lblGNRatio->palette();
    yellow.setColor(QPalette::WindowText, QColor(255, 255, 0));
    lblGNRatio->setPalette(yellow);
    lblGNRatio->setIndent(4);  // clear of its wrapped caption
    label(8, Frame2, "Web:", 2200, 1125, 1200, 240);
    lblWeb = output_label(new QLabel(Frame2), "lblWeb", 3400, 1125, 700, 240);

    QLabel* note = label(9, Frame3, "Bottom Grain Is Nozzle End", 650, 2275, 2500, 200);
    QFont italic = note->font();
    italic.setItalic(true);
    note->setFont(italic);
    grdGrains->raise();  // the grid is drawn over its frame
    // The unit of the design's lengths, on the right of the two frames'
    // title lines (a design without a unit shows nothing there).
    const char* unit_names[] = {"lblGrainLengthUnit", "lblMotorLengthUnit"};
    QGroupBox* unit_frames[] = {Frame1, Frame2};
    for (int i = 0; i < 2; ++i) {
        QLabel* unit = Named(new QLabel(unit_frames[i]), unit_names[i]);
        unit->setAlignment(Qt::AlignRight | Qt::AlignTop);
        Place(unit, unit_frames[i] == Frame1 ? 1290 : 3700, 0, unit_frames[i] == Frame1 ? 1000 : 1990, 240);
        unit->hide();
        lblLengthUnit[static_cast<size_t>(i)] = unit;
    }
    CreatePerformanceGroup(client);
}

// The performance figures, to the right of the designed window: hidden (and
// the window its designed width) until the design has a propellant.
void frmMain::CreatePerformanceGroup(QWidget* client) {
    Frame4 = Named(new QGroupBox("Performance", client), "Frame4");
    Place(Frame4, 6060, 105, 3000, 4095);
    const char* names[] = {"lblPeakPressure", "lblBurnTime",      "lblTotalImpulse", "lblAverageThrust",
                           "lblPeakThrust",   "lblPropellantMass", "lblDeliveredIsp", "lblDesignation",
                           "lblPeakMassFlux", "lblMinPortThroat",  "lblPerformanceNote"};
    constexpr int kRow = 300;  // twips from one figure to the next
    for (int i = 0; i < MotorPerformance::kFigures; ++i) {
        lblPerformance[static_cast<size_t>(i)] = Named(new QLabel(Frame4), names[i]);
        if (i + 1 < MotorPerformance::kFigures) {
            auto* caption = new QLabel(MotorPerformance::kCaptions[static_cast<size_t>(i)], Frame4);
            Place(caption, 120, 300 + i * kRow, 1260, 240);
            Place(lblPerformance[static_cast<size_t>(i)], 1400, 300 + i * kRow, 1560, 240);
        }
    }
    QLabel* note = lblPerformance.back();
    Place(note, 120, 300 + (MotorPerformance::kFigures - 1) * kRow, 2760, 4095 - 360 - (MotorPerformance::kFigures - 1) * kRow);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Frame4->setFocusPolicy(Qt::NoFocus);
    Frame4->hide();
    CreateGrainsPanel(client);
}

// Each grain's figures and the alerts, to the right of the performance
// group, shown with it.
void frmMain::CreateGrainsPanel(QWidget* client) {
    Frame5 = Named(new QGroupBox("Grains and Limits", client), "Frame5");
    Place(Frame5, 9186, 105, 4200, 4095);
    grdGrainFigures = Named(new QTableWidget(0, 5, Frame5), "grdGrainFigures");
    Place(grdGrainFigures, 120, 270, 3960, 2040);
    grdGrainFigures->verticalHeader()->hide();
    grdGrainFigures->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdGrainFigures->horizontalHeader()->setStretchLastSection(true);
    grdGrainFigures->setSelectionMode(QAbstractItemView::NoSelection);
    grdGrainFigures->setFocusPolicy(Qt::NoFocus);
    grdGrainFigures->setWordWrap(false);
    auto* scroll = new QScrollArea(Frame5);
    Place(scroll, 120, 2370, 3960, 1620);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);
    lblAlerts = Named(new QLabel(scroll), "lblAlerts");
    lblAlerts->setWordWrap(true);
    lblAlerts->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblAlerts->setTextFormat(Qt::RichText);
    scroll->setWidget(lblAlerts);
    Frame5->setFocusPolicy(Qt::NoFocus);
    Frame5->hide();
}

// The client area at its designed size below the menu bar; the window opens
// centred on the screen.
void frmMain::PlaceWindow() {
    resize(Pixels(kClientWidthTwips), Pixels(kClientHeightTwips) + menuBar()->sizeHint().height());
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

void frmMain::SetTabOrder() {
    QWidget* order[] = {txtGrainLength,  txtGrainDiameter, txtCoreDiameter,    cmdAdd, cmdRemove,
                        cmdApplyChanges, grdGrains,        txtNozzleThroatDia, txtKN,  txtMaxKn};
    for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
    for (QLabel* label : Label1) label->setFocusPolicy(Qt::NoFocus);
    for (QGroupBox* frame : {Frame1, Frame2, Frame3}) frame->setFocusPolicy(Qt::NoFocus);
    grKN->setFocusPolicy(Qt::NoFocus);
}

// Every caption of the window fits its control as designed.
void frmMain::FitFont() {
    const QFont font = FittedDialogFont(this->font(), [&](const QFontMetrics& metrics) {
        for (QLabel* label : Label1) {
            const QRect room = label->geometry();
            const int flags = label->wordWrap() ? Qt::TextWordWrap : 0;
            const QRect needed = metrics.boundingRect(QRect(0, 0, room.width(), 1000), flags, label->text());
            if (needed.width() > room.width() || needed.height() > room.height() + 2) return false;
        }
        for (QPushButton* button : {cmdAdd, cmdRemove, cmdApplyChanges}) {
            if (metrics.horizontalAdvance(QString(button->text()).remove('&')) + 8 > button->width()) return false;
        }
        return true;
    });
    setFont(font);
    grdGrainFigures->setFont(font);
    lblAlerts->setFont(font);
    grdGrainFigures->horizontalHeader()->setFont(font);
    grdGrainFigures->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    QFont italic = font;
    italic.setItalic(true);
    Label1[9]->setFont(italic);
    menuBar()->setFont(font);
}

void frmMain::Form_Load() {
    grains_->InitGrid();
    summary_->InitGraph();
    document_->SetBusy(false);
    document_->SetChanged(false);
    recent_->InitReg();
    document_->SetCurrentFile("", "");
    recent_->RefreshRecentMenu();
    history_->Reset();
}

int frmMain::OuterWidthTwips() const { return frameGeometry().width() * kTwipsPerPixel; }

int frmMain::OuterHeightTwips() const { return frameGeometry().height() * kTwipsPerPixel; }

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

// The window manager adds the title bar and borders after the window is
// first shown, without resizing it: the outer size grows then, and the
// graph follows as on any resize. No one event reports the new frame on
// every system, so the size is looked at on those that follow it.
bool frmMain::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Show:
        case QEvent::WindowActivate:
        case QEvent::UpdateRequest:
            if (frameGeometry().size() != sized_for_) Form_Resize();
            break;
        default:
            break;
    }
    return handled;
}

void frmMain::Form_Resize() {
    sized_for_ = frameGeometry().size();
    const int width = OuterWidthTwips() - 420;
    if (width >= 0) grKN->resize(Pixels(width), grKN->height());
    const float height = static_cast<float>(OuterHeightTwips()) - 5160.0f;
    if (height > 0) grKN->resize(grKN->width(), Pixels(static_cast<int>(height)));
    grKN->Redraw();
}

void frmMain::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    files_->Form_QueryUnload(cancel, 0);
    if (cancel) {
        event->ignore();
    } else {
        event->accept();
    }
}

}  // namespace thrustlet
