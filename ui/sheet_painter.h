#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>
#include <Qt>

#include "platform/graph_lite.h"

QT_BEGIN_NAMESPACE
class QPainter;
QT_END_NAMESPACE

namespace thrustlet {

struct SheetContent;

// A graph with the given settings painted into `box` (painter units). The
// graph lays itself out in screen pixels, so the painter is scaled from
// the screen's 96 to the device's dots per inch: on a 600 dpi page the
// graph looks as on the screen, its lines and text still vectors.
void PaintGraph(QPainter& painter, const GraphLite::State& state, const QRectF& box);

// Lays out the printed pages of a design: text, wrapped text, caption and
// figure pairs and tables, in millimetres and points whatever the device.
class SheetPainter {
public:
    SheetPainter(QPainter& painter, const QRectF& page);

    double Mm(double millimetres) const { return millimetres * mm_; }

    // One line of text at (x, y) (its top); the height it took.
    double Text(double x, double y, const QString& text, double points, bool bold = false, double width = 0.0,
                Qt::Alignment align = Qt::AlignLeft);
    // A page's heading across the top: the title in large bold type with
    // the program's name on the right, a line of small type for each of
    // `lines`, and a rule below; the top of what follows.
    double Heading(const QString& title, const QString& program, const QStringList& lines);
    // Text wrapped at word breaks within `width`, at (x, y); the height taken.
    double Wrapped(double x, double y, const QString& text, double points, double width);
    // Caption and figure pairs, one a line, at (x, y); the bottom reached.
    double Pairs(double x, double y, double caption_width, const std::vector<std::pair<QString, QString>>& pairs,
                 double width);
    // The grain table at (x, y) across `width`, in as many columns (up to
    // four, side by side) and as small a type (down to 5 points) as its rows
    // need to end above `bottom`; rows that still do not fit are counted in a
    // last line. With the grains' figures, each row carries them too.
    double Grains(double x, double y, double width, double bottom, const SheetContent& content);

    // A table at (x, y) across at most `width`: bold headings with their
    // units on a row of small type below, a rule, and the rows; each column
    // as wide as its widest text, the type made smaller (down to 5 points)
    // until the table fits. Figures are right-aligned, the first column
    // left. The bottom reached.
    double Table(double x, double y, double width, const QStringList& headings, const QStringList& units,
                 const std::vector<QStringList>& rows, double points = 9.0);

    QPainter& painter() { return painter_; }

private:
    QPainter& painter_;
    QRectF page_;
    double mm_;
};

}  // namespace thrustlet
