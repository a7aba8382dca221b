#pragma once

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace thrustlet {

// A label whose light text (the yellow warning) is drawn with a thin dark
// rim around the glyphs, in the label's own text colour: yellow stays yellow
// and still reads on the light panel. Darker colours are drawn as usual.
class RimmedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        const QColor colour = palette().color(QPalette::WindowText);
        const double luminance = 0.299 * colour.red() + 0.587 * colour.green() + 0.114 * colour.blue();
        if (luminance < 160.0) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QFontMetricsF metrics(font());
        const QRectF room = contentsRect();
        const double baseline = room.top() + (room.height() + metrics.ascent() - metrics.descent()) / 2;
        QPainterPath path;
        path.addText(room.left() + indent(), baseline, font(), text());
        painter.strokePath(path, QPen(QColor(64, 64, 64), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(path, colour);
    }
};

}  // namespace thrustlet
