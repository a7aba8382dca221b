#pragma once

#include <exception>
#include <new>
#include <string>

#include "model/errors.h"

namespace thrustlet {

class IDialogs;

// Shows "<description> in <routine>" with the information icon, a single OK
// button and the program's title. A line break the system ends its message
// texts with ("Access is denied.\r\n") is not part of the report.
void ReportError(IDialogs& dialogs, std::string description, const char* routine);

// Runs a handler; a failure it does not trap itself is reported under
// `routine` instead of ending the program. True when it ran to its end.
template <typename Handler>
bool Guarded(IDialogs& dialogs, const char* routine, Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const RunTimeError& error) {
        ReportError(dialogs, error.Description(), routine);
    } catch (const std::bad_alloc&) {
        ReportError(dialogs, "Out of memory", routine);
    } catch (const std::exception& error) {
        ReportError(dialogs, error.what(), routine);
    }
    return false;
}

// Runs one step of a command that passes over its failures silently: the
// command goes on with its next step.
template <typename Step>
void Quietly(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace thrustlet
