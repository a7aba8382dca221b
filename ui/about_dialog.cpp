// The About box behind both Help items, and the start of the system's
// information tool from it.
#include "ui/about_dialog.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <vector>

#include "platform/dialogs.h"
#include "platform/processes.h"
#include "settings/paths.h"
#include "settings/registry.h"
#include "thrustlet/identity.h"
#include "ui/dialog_font.h"
#include "ui/twips.h"

namespace thrustlet {

namespace {

constexpr int kClientWidthTwips = 5736;
constexpr int kClientHeightTwips = 3948;
constexpr uint32_t kValueBufferSize = 1024;

constexpr const char* kUnavailable = "System Information Is Unavailable At This Time";

QLabel* BlackLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

// A horizontal line drawn as a filled strip of the given colour.
QFrame* Line(QWidget* parent, int index, const QColor& colour, int x1, int y, int x2, int pixels) {
    auto* line = new QFrame(parent);
    line->setObjectName("Line1");
    line->setProperty("Index", index);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    line->setGeometry(Pixels(x1), Pixels(y), Pixels(x2) - Pixels(x1), pixels);
    return line;
}

QPointer<frmAbout>& OpenInstance() {
    static QPointer<frmAbout> instance;
    return instance;
}

}  // namespace

bool GetKeyValue(IRegistryApi& registry, RegHandle KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal) {
    RegHandle key = 0;
    if (registry.OpenKey(KeyRoot, KeyName, kKeyRead, &key) != reg::kSuccess) {
        KeyVal.clear();
        if (key != 0) registry.CloseKey(key);
        return false;
    }
    std::vector<uint8_t> buffer(kValueBufferSize, 0);
    uint32_t type = reg::kTypeNone;
    uint32_t size = kValueBufferSize;
    if (registry.QueryValue(key, SubKeyRef, &type, buffer.data(), &size) != reg::kSuccess ||
        size > kValueBufferSize) {
        KeyVal.clear();
        registry.CloseKey(key);
        return false;
    }
    // The text's terminator is not part of the value.
    if (type == reg::kTypeText) {
        KeyVal = DecodeText(buffer.data(), size, TextEnd::kDropNul);
    } else if (type == reg::kTypeNumber) {
        KeyVal = std::to_string(DecodeNumber(buffer.data()));
    }
    registry.CloseKey(key);
    return true;
}

frmAbout::frmAbout(IDialogs& dialogs, IProcesses& processes, IRegistryApi& registry)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint),
      dialogs_(dialogs),
      processes_(processes),
      registry_(registry) {
    setObjectName("frmAbout");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(Pixels(kClientWidthTwips), Pixels(kClientHeightTwips));

    lblTitle = BlackLabel(this, "lblTitle", QString());
    Place(lblTitle, 1050, 217, 3885, 210);
    lblVersion = new QLabel(this);
    lblVersion->setObjectName("lblVersion");
    lblVersion->setFocusPolicy(Qt::NoFocus);
    Place(lblVersion, 1050, 507, 3885, 225);
    Label1 = BlackLabel(this, "Label1", "Distributed by Veskarn");
    Place(Label1, 1050, 797, 3885, 210);
    Label2 = BlackLabel(this, "Label2", kWebAddress);
    Place(Label2, 1050, 1087, 3885, 210);
    lblDescription = BlackLabel(
        this, "lblDescription",
        QString("This program calculates the kn of a BATES grain solid rocket motor.  Contact ") +
            kContactAddress +
            " for bug reports, suggestions, questions, complaints, threats, fits of rage, etc... ");
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(lblDescription, 1050, 1380, 3885, 885);

    // An etched separator: a grey line with a white one a pixel below it.
    Line1[1] = Line(this, 1, QColor(128, 128, 128), 90, 2447, 5660, 1);
    Line1[0] = Line(this, 0, Qt::white, 105, 2462, 5660, 2);

    lblDisclaimer = BlackLabel(
        this, "lblDisclaimer",
        "Warning:  Rocket motors are dangerous.  Anyone attempting construction of said devices are "
        "responsible for following all necessary safety precautions and legal requirements.  This "
        "program is for informational use only.  No warranty is expressed or implied.");
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(lblDisclaimer, 255, 2625, 3870, 1290);

    cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    Place(cmdOK, 4245, 2625, 1260, 345);
    cmdSysInfo = new QPushButton("&System Info...", this);
    cmdSysInfo->setObjectName("cmdSysInfo");
    cmdSysInfo->setAutoDefault(false);
    Place(cmdSysInfo, 4260, 3075, 1245, 345);
    setTabOrder(cmdOK, cmdSysInfo);

    FitFont();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    Form_Load();
}

// The main window's font, as far as the description and the disclaimer fit
// their labels as designed.
void frmAbout::FitFont() {
    setFont(FittedDialogFont(font(), [&](const QFontMetrics& metrics) {
        for (const QLabel* label : {lblDescription, lblDisclaimer}) {
            const QRect room = label->geometry();
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, room.width(), 1000), Qt::TextWordWrap, label->text());
            if (needed.height() > room.height()) return false;
        }
        return true;
    }));
}

frmAbout* frmAbout::Show(IDialogs& dialogs, IProcesses& processes, IRegistryApi& registry) {
    QPointer<frmAbout>& instance = OpenInstance();
    if (!instance) {
        instance = new frmAbout(dialogs, processes, registry);
        if (const QScreen* screen = instance->screen()) {
            instance->move(screen->availableGeometry().center() - instance->rect().center());
        }
    }
    instance->show();
    instance->raise();
    instance->activateWindow();
    return instance;
}

frmAbout* frmAbout::Instance() { return OpenInstance(); }

void frmAbout::Form_Load() {
    setWindowTitle(QString("About ") + kProgramTitle);
    lblVersion->setText(QString("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
    lblTitle->setText(kProgramTitle);
    cmdOK->setFocus();
}

void frmAbout::cmdOK_Click() { close(); }

void frmAbout::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

// The tool's location comes from the system root: its own path value, or
// else the folder of the shared tools holding MSINFO32.EXE. Anything that
// fails on the way, the start included, ends in the message.
void frmAbout::StartSysInfo() {
    try {
        if (StartedSysInfo()) return;
    } catch (const std::exception&) {
        // Shown as unavailable below.
    }
    dialogs_.MsgBox(kUnavailable, MsgButtons::kOk, MsgIcon::kNone, kProgramTitle);
}

bool frmAbout::StartedSysInfo() {
    std::string path;
    bool found = GetKeyValue(registry_, kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                             "PATH", path);
    if (!found) {
        std::string folder;
        if (GetKeyValue(registry_, kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location",
                        "MSINFO", folder)) {
            path = folder + kPathSeparator + "MSINFO32.EXE";
            found = processes_.FileExists(QString::fromStdString(path));
        }
    }
    return found && !path.empty() && processes_.StartProcess(QString::fromStdString(path));
}

}  // namespace thrustlet
