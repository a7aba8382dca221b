#pragma once

#include <string>

namespace thrustlet {

// Text for a terminal: control characters (C0, DEL, C1) and bytes that are
// not UTF-8 are shown as \xNN, so a file's text cannot steer the terminal.
std::string TerminalSafe(const std::string& text);

// A JSON string of `text`: quotes, backslashes and control characters
// escaped, bytes that are not UTF-8 as the replacement character.
std::string JsonString(const std::string& text);

}  // namespace thrustlet
