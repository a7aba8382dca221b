#pragma once

class QString;

namespace thrustlet {

// Where --version, --help and a command-line error go from the window
// program. Elsewhere than on Windows, standard output and standard error.
// On Windows the program has no console of its own: when one of its
// arguments is an option, its text goes to the output it was given (a file
// or a pipe), else to the console of the program that started it (cmd,
// PowerShell). With neither (a shortcut, a double-click) the text shows in a
// message box.
void ConnectConsoleForOptions(int argc, char* argv[]);

// Whether the program has an output to print its texts to (always, but
// for a Windows program started without a console or a redirection).
bool HasCommandLineOutput();

// Shows a text the command line asked for: on standard output (standard
// error for an `error`), or in a message box where the program has neither.
// Needs the QApplication only for the message box.
void ShowCommandLineText(const QString& text, bool error);

}  // namespace thrustlet
