#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <memory>

#include "platform/busy_cursor.h"
#include "platform/console_output.h"
#include "platform/processes.h"
#include "platform/qt_dialogs.h"
#include "settings/paths.h"
#include "thrustlet/identity.h"
#include "ui/file_commands.h"
#include "ui/main_window.h"

#ifdef _WIN32
#include "platform/windows_registry.h"
#else
#include "platform/file_registry.h"
#endif

namespace {

std::unique_ptr<thrustlet::IRegistryApi> SettingsStore() {
#ifdef _WIN32
    return std::make_unique<thrustlet::WindowsRegistry>();
#else
    return thrustlet::FileRegistry::ForThisSystem();
#endif
}

// A file named on the command line (or by the desktop) opens with its full
// path, as the recent list keeps it; a blank name stays blank and fails.
std::string PathToOpen(const QString& argument) {
    if (argument.trimmed().isEmpty()) return argument.toStdString();
    return QFile::encodeName(QDir::toNativeSeparators(QFileInfo(argument).absoluteFilePath())).toStdString();
}

}  // namespace

int main(int argc, char* argv[]) {
    thrustlet::ConnectConsoleForOptions(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(thrustlet::kProgramTitle);
    QApplication::setApplicationVersion(thrustlet::kVersion);

    // The parser's texts are shown here rather than by QCommandLineParser,
    // which on Windows would show a message box even in a console.
    QCommandLineParser parser;
    parser.setApplicationDescription("Kn design aid for solid rocket motors cast as BATES grains.");
    const QCommandLineOption help_option = parser.addHelpOption();
    const QCommandLineOption version_option = parser.addVersionOption();
    parser.addPositionalArgument("file", "A motor file (.tlt) to open.", "[file]");
    if (!parser.parse(QApplication::arguments())) {
        thrustlet::ShowCommandLineText(QApplication::applicationName() + ": " + parser.errorText() + "\n", true);
        return 1;
    }
    if (parser.isSet(version_option)) {
        thrustlet::ShowCommandLineText(QApplication::applicationName() + " " + thrustlet::kVersion + "\n", false);
        return 0;
    }
    if (parser.isSet(help_option)) {
        thrustlet::ShowCommandLineText(parser.helpText(), false);
        return 0;
    }

    thrustlet::QtDialogs dialogs;
    thrustlet::QtProcesses processes;
    thrustlet::QtBusyCursor cursor;
    const auto store = SettingsStore();
    thrustlet::frmMain window(dialogs, processes, cursor, *store);
    dialogs.SetParent(&window);
    window.show();
    if (!parser.positionalArguments().isEmpty()) {
        const std::string path = PathToOpen(parser.positionalArguments().first());
        QTimer::singleShot(0, &window, [&window, path] { window.Files().OpenFile(path, thrustlet::FileTitleOf(path)); });
    }
    return QApplication::exec();
}
