#pragma once

#include <QString>
#include <optional>
#include <string>

namespace thrustlet {

class Document;
class IDialogs;

// File > Export Thrust Curve: the motor's thrust curve as a RASP engine file
// (.eng) or a RockSim one (.rse) for a flight simulator, the same files
// `thrustlet-kn --eng` and `--rse` print, with the ejection delays asked for.
class ThrustCurveExport {
public:
    ThrustCurveExport(Document& document, IDialogs& dialogs);
    // Says why there is no curve (no propellant, no k, no impulse) instead
    // of asking for a file.
    void mnuExportThrustCurve_Click();

private:
    // Asks for the ejection delays the file lists until they are ones it can
    // hold; nothing when the user cancelled.
    std::optional<std::string> AskDelays();

    Document& document_;
    IDialogs& dialogs_;
    QString delays_ = "P";  // offered first: the last given, plugged at first
};

}  // namespace thrustlet
