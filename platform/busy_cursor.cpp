#include "platform/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace thrustlet {

void QtBusyCursor::SetHourglass() {
    if (QGuiApplication::overrideCursor()) {
        QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

void QtBusyCursor::SetDefault() {
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

bool QtBusyCursor::IsHourglass() const {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

}  // namespace thrustlet
