// The Propellant dialog's Import from File: the propellant of a motor file
// of Thrustlet, openMotor, BurnSim or Meteor into the dialog.
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <new>

#include "model/errors.h"
#include "model/formats/motor_formats.h"
#include "platform/dialogs.h"
#include "thrustlet/identity.h"
#include "ui/file_commands.h"
#include "ui/propellant_dialog.h"

#include <new>

namespace thrustlet {

void PropellantDialog::ImportPropellant() {
    FileDialogRequest request;
    request.filter = kMotorFilesFilter;
    request.title = "Take the propellant of a motor file";
    request.flags = 0x80804;
    const FileDialogResult chosen = messages_.ShowOpen(request);
    if (chosen.file_name.isEmpty()) return;
    const QString name = QFileInfo(chosen.file_name).fileName();
    cMotor source;
    ReadOutcome outcome;
    try {
        outcome = ReadAnyMotorFile(chosen.file_name.toStdString(), source);
    } catch (const RunTimeError& error) {
        messages_.MsgBox(name + " gives no propellant: " + QString::fromStdString(error.Description()), MsgButtons::kOk,
                         MsgIcon::kInformation, kProgramTitle);
        return;
    } catch (const std::bad_alloc&) {
        messages_.MsgBox(name + " gives no propellant: it is too large to read in the memory free.", MsgButtons::kOk,
                         MsgIcon::kInformation, kProgramTitle);
        return;
    }
    const PerformanceInputs& from = source.Performance();
    if (!from.HasPropellant()) {
        messages_.MsgBox(name + " has no propellant the program can use: its design names no unit.", MsgButtons::kOk,
                         MsgIcon::kInformation, kProgramTitle);
        return;
    }
    PropellantChoice choice;
    choice.c_star = source.ISPStar();
    choice.density = source.Density();
    choice.a = source.BallisticA();
    choice.n = source.BallisticN();
    choice.inputs.units = Unit().value_or(LengthUnit::kMillimetre);
    choice.inputs.propellant_name = from.propellant_name;
    choice.inputs.burn_rate = from.burn_rate;
    choice.inputs.specific_heat_ratio = from.specific_heat_ratio;
    molar_mass_ = from.molar_mass;
    ShowPropellant(choice);  // the nozzle's fields stay as they are
    // Where the values came from, with what of the propellant the file held
    // that the design cannot (the rest of its motor is not taken).
    QString source_text = "Propellant taken from " + name + " (" + ProgramOf(outcome.format) + ").";
    for (const std::string& note : outcome.not_carried) {
        for (const char* word : {"Tab ", "c*", "molar mass", "specific heat"}) {
            if (note.find(word) != std::string::npos) {
                source_text += " " + QString::fromStdString(note);
                break;
            }
        }
    }
    cboLibrary->setCurrentIndex(0);
    lblSource->setText(source_text);
    lblSource->show();
    adjustSize();
}

}  // namespace thrustlet
