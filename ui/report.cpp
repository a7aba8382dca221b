#include "ui/report.h"

#include <QString>

#include "platform/dialogs.h"
#include "thrustlet/identity.h"

namespace thrustlet {

void ReportError(IDialogs& dialogs, std::string description, const char* routine) {
    while (!description.empty() && (description.back() == '\r' || description.back() == '\n')) description.pop_back();
    dialogs.MsgBox(QString::fromStdString(description) + " in " + routine, MsgButtons::kOk, MsgIcon::kInformation,
                   kProgramTitle);
}

}  // namespace thrustlet
