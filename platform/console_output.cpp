#include "platform/console_output.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace thrustlet {

namespace {
// Whether the program has somewhere to print to.
bool has_output = true;
}  // namespace

#ifdef _WIN32
namespace {

bool Usable(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void ConnectConsoleForOptions(int argc, char* argv[]) {
    bool option = false;
    for (int i = 1; i < argc; ++i) option = option || argv[i][0] == '-';
    has_output = Usable(STD_OUTPUT_HANDLE);
    if (!option || has_output) return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::FILE* reopened = nullptr;
        has_output = freopen_s(&reopened, "CONOUT$", "w", stdout) == 0;
        freopen_s(&reopened, "CONOUT$", "w", stderr);
    }
}
#else
void ConnectConsoleForOptions(int /*argc*/, char* /*argv*/[]) {}
#endif

bool HasCommandLineOutput() { return has_output; }

void ShowCommandLineText(const QString& text, bool error) {
    if (has_output) {
        std::FILE* stream = error ? stderr : stdout;
        std::fputs(text.toLocal8Bit().constData(), stream);
        std::fflush(stream);
        return;
    }
    QMessageBox box(error ? QMessageBox::Warning : QMessageBox::Information, QApplication::applicationName(),
                    text.trimmed(), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace thrustlet
