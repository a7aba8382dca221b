#pragma once

#include <array>
#include <memory>
#include <string>

#include "model/motor.h"

namespace thrustlet {

// The document state the window's handlers share.
struct AppState {
    // The current motor, created empty on first use.
    cMotor& Motor() {
        if (!oMotor) oMotor = std::make_unique<cMotor>();
        return *oMotor;
    }

    std::unique_ptr<cMotor> oMotor;
    std::string sCurrentFile;  // "" while the motor has no file
    bool bChanged = false;     // unsaved changes
    bool bBusy = false;        // the window is filling the Kn fields itself
    std::string sFileDir;      // folder of the last file opened, with its separator
    std::array<std::string, 5> vRecentFiles;  // slots 1..4, most recent first; 0 unused
};

}  // namespace thrustlet
