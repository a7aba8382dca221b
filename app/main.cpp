#include <QApplication>

#include "app/app_state.h"
#include "app/busy_cursor.h"
#include "platform/qt_dialogs.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(thrustlet::kProgramTitle);
    thrustlet::AppState state;
    thrustlet::QtDialogs dialogs;
    thrustlet::QtBusyCursor cursor;
    thrustlet::frmMain window(state, dialogs, cursor);
    dialogs.SetParent(&window);
    window.show();
    return QApplication::exec();
}
