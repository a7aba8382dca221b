#pragma once

#include <QLineEdit>

namespace thrustlet {

// A text box with the two events the window's handlers use: KeyPress (with
// the character code, 13 for Enter) before the box handles the key itself,
// and LostFocus when the focus moves to another control of the window.
// Focus that leaves because a menu opened (also from the keyboard, through
// the menu bar) or another window became active is not a focus loss here.
// Ctrl+A selects the box's text (Save As elsewhere in the window);
// Ctrl+Shift+S is left to the window's "Save As", and Ctrl+Z, Ctrl+Y and
// Ctrl+Shift+Z to its Undo and Redo.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    void KeyPress(int key_ascii);
    void LostFocus();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace thrustlet
