#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <memory>
#include <optional>

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

// The parser of the window program's command line: a motor file, or the
// options that only print text.
struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();
    CommandLine() {
        parser.setApplicationDescription("Kn design aid for solid rocket motors cast as BATES grains.");
        parser.addPositionalArgument("file", "A motor file (.tlt) to open.", "[file]");
    }
};

// Answers --version, --help and a bad option with text (the parser's texts
// are shown here rather than by QCommandLineParser, which on Windows would
// show a message box even in a console); the exit status, or nothing when
// the window is to start.
std::optional<int> AnswerTextOptions(CommandLine& command_line) {
    QCommandLineParser& parser = command_line.parser;
    if (!parser.parse(QCoreApplication::arguments())) {
        thrustlet::ShowCommandLineText(QCoreApplication::applicationName() + ": " + parser.errorText() + "\n", true);
        return 1;
    }
    if (parser.isSet(command_line.version)) {
        thrustlet::ShowCommandLineText(QCoreApplication::applicationName() + " " + thrustlet::kVersion + "\n", false);
        return 0;
    }
    if (parser.isSet(command_line.help)) {
        thrustlet::ShowCommandLineText(parser.helpText(), false);
        return 0;
    }
    return std::nullopt;
}

void NameApplication() {
    QCoreApplication::setApplicationName(thrustlet::kProgramTitle);
    QCoreApplication::setApplicationVersion(thrustlet::kVersion);
}

}  // namespace

int main(int argc, char* argv[]) {
    thrustlet::ConnectConsoleForOptions(argc, argv);
    // Options only print text: where there is an output to print to they
    // are answered before the window's application starts, so they work
    // without a display (over ssh, in a build script).
    bool option = false;
    for (int i = 1; i < argc; ++i) option = option || (argv[i][0] == '-' && argv[i][1] != '\0');
    if (option && thrustlet::HasCommandLineOutput()) {
        QCoreApplication text_only(argc, argv);
        NameApplication();
        CommandLine command_line;
        if (const std::optional<int> status = AnswerTextOptions(command_line)) return *status;
    }

    QApplication app(argc, argv);
    NameApplication();
    CommandLine command_line;
    if (const std::optional<int> status = AnswerTextOptions(command_line)) return *status;
    QCommandLineParser& parser = command_line.parser;

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
