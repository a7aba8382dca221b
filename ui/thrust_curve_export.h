#pragma once

namespace thrustlet {

class Document;
class IDialogs;

// File > Export Thrust Curve: the motor's thrust curve as a RASP engine file
// (.eng) for a flight simulator, the same file `thrustlet-kn --eng` prints.
class ThrustCurveExport {
public:
    ThrustCurveExport(Document& document, IDialogs& dialogs);
    // Says why there is no curve (no propellant, no k, no impulse) instead
    // of asking for a file.
    void mnuExportThrustCurve_Click();

private:
    Document& document_;
    IDialogs& dialogs_;
};

}  // namespace thrustlet
