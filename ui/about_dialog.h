#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "platform/registry_api.h"

QT_BEGIN_NAMESPACE
class QFrame;
class QLabel;
class QPushButton;
QT_END_NAMESPACE

namespace thrustlet {

class IDialogs;
class IProcesses;

// Reading access to a key (query, enumerate, notify and read control): the
// lookups of the About box never change the store, and a normal user may
// read the system root but not write it.
inline constexpr uint32_t kKeyRead = 0x20019;

// Reads one value of a key for the About box: text as stored (less its
// terminating NUL), a number as its decimal text; any other stored type
// leaves `value` as it was. False, with `value` emptied, when the key cannot
// be opened or the value is missing or longer than 1024 bytes.
bool GetKeyValue(IRegistryApi& registry, RegHandle KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal);

// The About box: program, version, distributor, description and disclaimer,
// and a button that starts the system-information tool. It is an independent
// window without an owner; the program runs on until it is closed too. Shown
// through Show(), which keeps a single instance.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Shows the About box, or brings the open one to the front. `registry`
    // holds the system root where the tool's location is looked up;
    // `processes` tests for it and starts it.
    static frmAbout* Show(IDialogs& dialogs, IProcesses& processes, IRegistryApi& registry);
    // The open About box, or null.
    static frmAbout* Instance();

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void StartSysInfo();

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* lblDescription;
    std::array<QFrame*, 2> Line1{};
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

protected:
    // Esc presses OK, as Enter does (OK is the default button).
    void keyPressEvent(QKeyEvent* event) override;

private:
    frmAbout(IDialogs& dialogs, IProcesses& processes, IRegistryApi& registry);
    bool StartedSysInfo();
    void FitFont();

    IDialogs& dialogs_;
    IProcesses& processes_;
    IRegistryApi& registry_;
};

// The Help menu: both of its items show the About box.
class HelpMenu {
public:
    HelpMenu(IDialogs& dialogs, IProcesses& processes, IRegistryApi& registry)
        : dialogs_(dialogs), processes_(processes), registry_(registry) {}
    void mnuAbout_Click() { frmAbout::Show(dialogs_, processes_, registry_); }
    void mnuBugReports_Click() { frmAbout::Show(dialogs_, processes_, registry_); }

private:
    IDialogs& dialogs_;
    IProcesses& processes_;
    IRegistryApi& registry_;
};

}  // namespace thrustlet
