#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <memory>

#include "app/app_state.h"
#include "app/busy_cursor.h"
#include "platform/qt_dialogs.h"
#include "settings/recent_files.h"
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
    QApplication app(argc, argv);
    QApplication::setApplicationName(thrustlet::kProgramTitle);
    QApplication::setApplicationVersion(THRUSTLET_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription("Kn design aid for solid rocket motors cast as BATES grains.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("file", "A motor file (.tlt) to open.", "[file]");
    parser.process(app);

    thrustlet::AppState state;
    thrustlet::QtDialogs dialogs;
    thrustlet::QtBusyCursor cursor;
    const auto store = SettingsStore();
    thrustlet::frmMain window(state, dialogs, cursor, *store);
    dialogs.SetParent(&window);
    window.show();
    if (!parser.positionalArguments().isEmpty()) {
        const std::string path = PathToOpen(parser.positionalArguments().first());
        QTimer::singleShot(0, &window, [&window, path] { window.OpenFile(path, thrustlet::FileTitleOf(path)); });
    }
    return QApplication::exec();
}
