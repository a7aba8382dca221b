#include "ui/main_window.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

#include "app/busy_cursor.h"
#include "platform/dialogs.h"
#include "platform/flex_grid.h"
#include "platform/graph_lite.h"
#include "platform/text_box.h"
#include "ui/about_dialog.h"
#include "ui/dialog_font.h"

namespace thrustlet {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidthTwips = 6024;
constexpr int kClientHeightTwips = 8616;

int Pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

void Place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

// A label whose light text (the yellow warning) is drawn with a thin dark
// rim around the glyphs, in the label's own text colour: yellow stays yellow
// and still reads on the light panel. Darker colours are drawn as usual.
class RimmedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        const QColor colour = palette().color(QPalette::WindowText);
        const double luminance = 0.299 * colour.red() + 0.587 * colour.green() + 0.114 * colour.blue();
        if (luminance < 160.0) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QFontMetricsF metrics(font());
        const QRectF room = contentsRect();
        const double baseline = room.top() + (room.height() + metrics.ascent() - metrics.descent()) / 2;
        QPainterPath path;
        path.addText(room.left() + indent(), baseline, font(), text());
        painter.strokePath(path, QPen(QColor(64, 64, 64), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(path, colour);
    }
};

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace

frmMain::frmMain(AppState& state, IDialogs& dialogs, IBusyCursor& cursor, IRegistryApi& registry,
                 QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs), cursor_(cursor), registry_api_(registry), registry_(registry) {
    setObjectName("frmMain");
    CreateControls();
    CreateMenus();
    SetTabOrder();
    FitFont();
    PlaceWindow();
    txtGrainLength->setFocus();  // the first control in tab order, as a form starts
    ConnectSignals();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::CreateControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
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

    auto label = [&](int index, QWidget* parent, const char* caption, int left, int top, int width,
                     int height) {
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
    auto button = [&](QWidget* parent, const char* name, const char* caption, int left, int top,
                      int width, int height) {
        auto* widget = Named(new QPushButton(caption, parent), name);
        widget->setAutoDefault(false);
        Place(widget, left, top, width, height);
        return widget;
    };
    auto output_label = [&](QWidget* parent, const char* name, int left, int top, int width, int height) {
        QLabel* widget = Named(std::string_view(name) == "lblGNRatio" ? new RimmedLabel(parent) : new QLabel(parent), name);
        Place(widget, left, top, width, height);
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
    lblVolumeLoading = output_label(Frame2, "lblVolumeLoading", 3400, 315, 700, 240);
    label(7, Frame2, "Nozzle/Grain core area ratio:", 2200, 640, 1200, 480)->setWordWrap(true);
    lblGNRatio = output_label(Frame2, "lblGNRatio", 3400, 720, 700, 240);
    QPalette yellow = lblGNRatio->palette();
    yellow.setColor(QPalette::WindowText, QColor(255, 255, 0));
    lblGNRatio->setPalette(yellow);
    lblGNRatio->setIndent(4);  // clear of its wrapped caption
    label(8, Frame2, "Web:", 2200, 1125, 1200, 240);
    lblWeb = output_label(Frame2, "lblWeb", 3400, 1125, 700, 240);

    QLabel* note = label(9, Frame3, "Bottom Grain Is Nozzle End", 650, 2275, 2500, 200);
    QFont italic = note->font();
    italic.setItalic(true);
    note->setFont(italic);
    // The grid is drawn over its frame.
    grdGrains->raise();

}

// The client area at its designed size below the menu bar; the window opens
// centred on the screen.
void frmMain::PlaceWindow() {
    resize(Pixels(kClientWidthTwips), Pixels(kClientHeightTwips) + menuBar()->sizeHint().height());
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void frmMain::CreateMenus() {
    mnuFile = Named(menuBar()->addMenu("&File"), "mnuFile");
    mnuNew = Named(mnuFile->addAction("&New"), "mnuNew");
    mnuNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuSave = Named(mnuFile->addAction("&Save"), "mnuSave");
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSaveAs = Named(mnuFile->addAction("Save &As"), "mnuSaveAs");
    mnuSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuOpen = Named(mnuFile->addAction("&Open"), "mnuOpen");
    mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSeparator = Named(mnuFile->addSeparator(), "mnuSeparator");
    for (int i = 1; i <= 4; ++i) {
        QAction* item = mnuFile->addAction(QString());
        item->setObjectName(QString("mnuRecent%1").arg(i));
        item->setVisible(i == 1);
        mnuRecent[static_cast<size_t>(i)] = item;
    }
    mnuHelp = Named(menuBar()->addMenu("&Help"), "mnuHelp");
    mnuAbout = Named(mnuHelp->addAction("&About"), "mnuAbout");
    mnuBugReports = Named(mnuHelp->addAction("&Bug Reports"), "mnuBugReports");
    for (QAction* action : {mnuNew, mnuSave, mnuSaveAs, mnuOpen}) {
        action->setShortcutContext(Qt::WindowShortcut);
    }
}

void frmMain::SetTabOrder() {
    QWidget* order[] = {txtGrainLength, txtGrainDiameter, txtCoreDiameter, cmdAdd,
                        cmdRemove,      cmdApplyChanges,  grdGrains,       txtNozzleThroatDia,
                        txtKN,          txtMaxKn};
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
    QFont italic = font;
    italic.setItalic(true);
    Label1[9]->setFont(italic);
    menuBar()->setFont(font);
}

void frmMain::ConnectSignals() {
    connect(cmdAdd, &QPushButton::clicked, this, &frmMain::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmMain::cmdRemove_Click);
    connect(cmdApplyChanges, &QPushButton::clicked, this, &frmMain::cmdApplyChanges_Click);
    connect(grdGrains, &FlexGrid::Click, this, &frmMain::grdGrains_Click);
    connect(txtKN, &TextBox::KeyPress, this, &frmMain::txtKN_KeyPress);
    connect(txtKN, &TextBox::LostFocus, this, &frmMain::txtKN_LostFocus);
    connect(txtMaxKn, &TextBox::KeyPress, this, &frmMain::txtMaxKn_KeyPress);
    connect(txtMaxKn, &TextBox::LostFocus, this, &frmMain::txtMaxKn_LostFocus);
    connect(txtNozzleThroatDia, &TextBox::KeyPress, this, &frmMain::txtNozzleThroatDia_KeyPress);
    connect(txtNozzleThroatDia, &TextBox::LostFocus, this, &frmMain::txtNozzleThroatDia_LostFocus);
    connect(mnuNew, &QAction::triggered, this, &frmMain::mnuNew_Click);
    connect(mnuOpen, &QAction::triggered, this, &frmMain::mnuOpen_Click);
    connect(mnuSave, &QAction::triggered, this, &frmMain::mnuSave_Click);
    connect(mnuSaveAs, &QAction::triggered, this, &frmMain::mnuSaveAs_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
    connect(mnuBugReports, &QAction::triggered, this, &frmMain::mnuBugReports_Click);
    for (int i = 1; i <= 4; ++i) {
        connect(mnuRecent[static_cast<size_t>(i)], &QAction::triggered, this, [this, i] { mnuRecent_Click(i); });
    }
}

void frmMain::Form_Load() {
    InitGrid();
    InitGraph();
    state_.bBusy = false;
    state_.bChanged = false;
    InitReg();
    setWindowTitle(QString(kCaptionPrefix) + kProgramTitle);
    RefreshRecentMenu();
}

void frmMain::mnuAbout_Click() { frmAbout::Show(dialogs_, registry_api_); }

void frmMain::mnuBugReports_Click() { frmAbout::Show(dialogs_, registry_api_); }

int frmMain::OuterWidthTwips() const { return frameGeometry().width() * kTwipsPerPixel; }

int frmMain::OuterHeightTwips() const { return frameGeometry().height() * kTwipsPerPixel; }

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize() {
    const int width = OuterWidthTwips() - 420;
    if (width >= 0) grKN->resize(Pixels(width), grKN->height());
    const float height = static_cast<float>(OuterHeightTwips()) - 5160.0f;
    if (height > 0) grKN->resize(grKN->width(), Pixels(static_cast<int>(height)));
    grKN->Redraw();
}

void frmMain::InitGrid() {
    grdGrains->SetFormatString("^Grain #|Length|Diameter|Core Dia.");
    grdGrains->SetRows(1);
    for (int col = 0; col <= 3; ++col) grdGrains->SetColWidth(col, 800);
    grdGrains->SetRow(0);
    grdGrains->SetRowSel(0);
    grdGrains->SetCol(0);
    grdGrains->SetColSel(3);
}

void frmMain::ReportError(const std::string& description, const char* routine) {
    ShowMessage(QString::fromStdString(description) + " in " + routine);
}

void frmMain::ShowMessage(const QString& text) {
    dialogs_.MsgBox(text, MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
}

}  // namespace thrustlet
