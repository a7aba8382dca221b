#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>
#include <functional>

namespace thrustlet {

// The windows' font, like the classic 8-point dialog font, shrunk a pixel
// at a time, down to 8, while `fits` says some caption would not fit its
// control as designed. On Windows it is the system's own UI font (Segoe UI,
// or whatever the system names), from its own size; elsewhere Liberation
// Sans (when installed) from 11 pixels.
inline QFont FittedDialogFont(QFont font, const std::function<bool(const QFontMetrics&)>& fits) {
#ifdef _WIN32
    font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const int largest = std::max(8, QFontInfo(font).pixelSize());
#else
    if (QFontDatabase::families().contains("Liberation Sans")) font.setFamily("Liberation Sans");
    const int largest = 11;
#endif
    for (int pixels = largest; pixels >= 8; --pixels) {
        font.setPixelSize(pixels);
        if (fits(QFontMetrics(font))) break;
    }
    return font;
}

}  // namespace thrustlet
