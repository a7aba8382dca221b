#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <functional>

namespace thrustlet {

// The windows' font, like the classic 8-point dialog font: Liberation Sans
// (when installed) at 11 pixels, shrunk a pixel at a time, down to 8, while
// `fits` says some caption would not fit its control as designed.
inline QFont FittedDialogFont(QFont font, const std::function<bool(const QFontMetrics&)>& fits) {
    if (QFontDatabase::families().contains("Liberation Sans")) font.setFamily("Liberation Sans");
    for (int pixels = 11; pixels >= 8; --pixels) {
        font.setPixelSize(pixels);
        if (fits(QFontMetrics(font))) break;
    }
    return font;
}

}  // namespace thrustlet
