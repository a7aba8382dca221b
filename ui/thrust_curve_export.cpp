#include "ui/thrust_curve_export.h"

#include <QFileInfo>
#include <cctype>

#include "model/motor_run.h"
#include "model/formats/engine_file.h"
#include "model/formats/rse_file.h"
#include "model/motor.h"
#include "model/performance.h"
#include "platform/dialogs.h"
#include "platform/durable_file.h"
#include "thrustlet/identity.h"
#include "ui/document.h"
#include "ui/report.h"

namespace thrustlet {

ThrustCurveExport::ThrustCurveExport(Document& document, IDialogs& dialogs) : document_(document), dialogs_(dialogs) {}

void ThrustCurveExport::mnuExportThrustCurve_Click() {
    const auto say = [&](const QString& text) {
        dialogs_.MsgBox(text, MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
    };
    const cMotor& motor = document_.Motor();
    if (!motor.Performance().HasPropellant()) {
        say("There is no thrust curve without a propellant: choose one with Motor > Propellant first.");
        return;
    }
    const MotorRun run = RunMotor(motor);
    if (!run.Figures()) {
        say("There is no thrust curve: " + QString::fromStdString(run.Outcome().problem) + ".");
        return;
    }
    const QString source = document_.CurrentFile().empty()
                               ? QString("an unsaved design")
                               : QFileInfo(QString::fromStdString(document_.CurrentFile())).fileName();
    // The curve is checked before the dialog: a motor without one is said
    // at once.
    try {
        EngineFileText(run, source.toStdString());
    } catch (const RunTimeError& error) {
        QString why = QString::fromStdString(error.Description());
        why[0] = why[0].toUpper();
        say(why + ".");
        return;
    }
    Guarded(dialogs_, "ExportThrustCurve", [&] {
        const FileDialogRequest request{
            "RASP Engine Files(*.eng)| *.eng| RockSim Engine Files(*.rse)| *.rse| All Files(*.*)| *.*",
            document_.ExportFolder(), ".eng", "Export thrust curve", 0x2 | 0x800, document_.ExportName(".eng")};
        const FileDialogResult chosen = dialogs_.ShowSave(request);
        if (chosen.file_name.isEmpty()) return;
        const std::optional<std::string> delays = AskDelays();
        if (!delays) return;
        // RockSim's form (with the motor's mass and centre of gravity) for a
        // .rse name, RASP's for any other.
        const bool rse = chosen.file_name.endsWith(".rse", Qt::CaseInsensitive);
        const std::string text =
            rse ? RseFileText(run, source.toStdString(), *delays) : EngineFileText(run, source.toStdString(), *delays);
        WriteFileAtomically(chosen.file_name.toStdString(), text);
        document_.ExportedTo(chosen.file_name);
    });
}

std::optional<std::string> ThrustCurveExport::AskDelays() {
    QString note;
    for (;;) {
        const std::optional<QString> typed = dialogs_.InputBox(
            note + "The motor's ejection delays, in whole seconds parted by dashes (4-6-8), or P for a plugged motor "
                   "(no ejection charge):",
            "Export thrust curve", delays_);
        if (!typed) return std::nullopt;
        std::string problem;
        if (const std::optional<std::string> delays = EngineDelays(typed->toStdString(), &problem)) {
            delays_ = QString::fromStdString(*delays);
            return delays;
        }
        problem[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(problem[0])));
        note = QString::fromStdString(problem) + ".\n\n";
    }
}

}  // namespace thrustlet
