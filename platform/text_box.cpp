#include "platform/text_box.h"

#include <QKeyEvent>

namespace thrustlet {

bool TextBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // The window's menu shortcuts the line edit would take for itself:
        // Ctrl+Shift+S (Save As), and undo and redo, which undo the design
        // rather than the typing in one field. Ctrl+A selects the field's
        // text, as in every text field (Save As elsewhere in the window).
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        const bool ctrl = modifiers == Qt::ControlModifier;
        const bool ctrl_shift = modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
        if ((ctrl && (key->key() == Qt::Key_Z || key->key() == Qt::Key_Y)) ||
            (ctrl_shift && (key->key() == Qt::Key_S || key->key() == Qt::Key_Z))) {
            event->ignore();  // let the menu shortcut have it
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit KeyPress(13);
    } else if (!event->text().isEmpty()) {
        emit KeyPress(event->text().at(0).unicode());
    }
    QLineEdit::keyPressEvent(event);
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Opening a menu (with the mouse or with Alt and its access key) or
    // switching to another window does not leave the field.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
        reason != Qt::MenuBarFocusReason) {
        emit LostFocus();
    }
}

}  // namespace thrustlet
