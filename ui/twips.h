#pragma once

#include <QWidget>

namespace thrustlet {

// The windows are designed in twips (1/1440 inch) and laid out at 15 twips
// to a device-independent pixel (96 per inch).
inline constexpr int kTwipsPerPixel = 15;

inline int Pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

// Puts a control at its designed place and size.
inline void Place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

// Shows or hides a panel beside the designed frames, to the right of the
// designed window: the window widens by `twips` while it shows (unless
// maximized or full screen), so nothing designed moves.
inline void ShowBeside(QWidget* window, QWidget* panel, bool visible, int twips) {
    if (panel->isVisibleTo(window) == visible) return;
    panel->setVisible(visible);
    if (!(window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        window->resize(window->width() + (visible ? 1 : -1) * Pixels(twips), window->height());
    }
}

}  // namespace thrustlet
