#pragma once

#include <optional>
#include <string>

namespace thrustlet {

// Text for a terminal: control characters (C0, DEL, C1) and bytes that are
// not UTF-8 are shown as \xNN, so a file's text cannot steer the terminal.
std::string TerminalSafe(const std::string& text);

// A JSON string of `text`: quotes, backslashes and control characters
// escaped, bytes that are not UTF-8 as the replacement character.
std::string JsonString(const std::string& text);

// A JSON number: the shortest text that reads back as `value`, "." as the
// point whatever the locale; `null` for a figure that is absent.
std::string JsonNumber(double value);
std::string JsonNumber(const std::optional<double>& value);

// A figure of the text reports: seven significant digits, as the window
// shows them; beyond the float range, the double's own digits.
std::string ReportNumber(double value);

}  // namespace thrustlet
