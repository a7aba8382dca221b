#include "ui/sheet_painter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QStringList>
#include <algorithm>

#include "model/units.h"
#include "ui/design_sheet.h"

namespace thrustlet {

void PaintGraph(QPainter& painter, const GraphLite::State& state, const QRectF& box) {
    GraphLite graph;
    graph.Show(state);
    const double scale = painter.device()->logicalDpiX() / 96.0;
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(scale, scale);
    graph.render(painter, QRectF(0, 0, box.width() / scale, box.height() / scale));
    painter.restore();
}

SheetPainter::SheetPainter(QPainter& painter, const QRectF& page)
    : painter_(painter), page_(page), mm_(painter.device()->logicalDpiY() / kMillimetresPerInch) {}

double SheetPainter::Text(double x, double y, const QString& text, double points, bool bold, double width,
                          Qt::Alignment align) {
    QFont font("Liberation Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    painter_.setFont(font);
    const double height = painter_.fontMetrics().height();
    const QRectF box(x, y, width > 0.0 ? width : page_.right() - x, height);
    painter_.drawText(box, align | Qt::AlignVCenter | Qt::TextSingleLine,
                      painter_.fontMetrics().elidedText(text, Qt::ElideRight, static_cast<int>(box.width())));
    return height;
}

double SheetPainter::Heading(const QString& title, const QString& program, const QStringList& lines) {
    const double left = page_.left(), width = page_.width();
    double y = page_.top();
    const double title_height = Text(left, y, title, 16, true, width * 0.6);
    Text(left + width * 0.6, y, program, 9, false, width * 0.4, Qt::AlignRight);
    y += title_height + Mm(1);
    for (const QString& line : lines) y += Text(left, y, line, 9);
    painter_.drawLine(QPointF(left, y + Mm(1.5)), QPointF(page_.right(), y + Mm(1.5)));
    return y + Mm(4);
}

double SheetPainter::Wrapped(double x, double y, const QString& text, double points, double width) {
    QFont font("Liberation Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    painter_.setFont(font);
    QRectF used;
    painter_.drawText(QRectF(x, y, width, page_.bottom() - y), Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere,
                      text, &used);
    return used.height();
}

double SheetPainter::Pairs(double x, double y, double caption_width,
                           const std::vector<std::pair<QString, QString>>& pairs, double width) {
    for (const auto& [caption, figure] : pairs) {
        Text(x, y, caption, 9, false, caption_width);
        y += Text(x + caption_width, y, figure, 9, true, width - caption_width) * 1.15;
    }
    return y;
}

double SheetPainter::Table(double x, double y, double width, const QStringList& headings, const QStringList& units,
                           const std::vector<QStringList>& rows, double points) {
    const auto font_of = [](double size, bool bold) {
        QFont font("Liberation Sans");
        font.setStyleHint(QFont::SansSerif);
        font.setPointSizeF(size);
        font.setBold(bold);
        return font;
    };
    const int cells = static_cast<int>(headings.size());
    std::vector<double> widths;
    for (;;) {
        widths.assign(static_cast<size_t>(cells), 0.0);
        const QFontMetricsF bold(font_of(points, true), painter_.device()), plain(font_of(points, false), painter_.device());
        for (int c = 0; c < cells; ++c) {
            double& w = widths[static_cast<size_t>(c)];
            w = std::max(w, bold.horizontalAdvance(headings[c]));
            if (c < units.size()) w = std::max(w, plain.horizontalAdvance(units[c]));
            for (const QStringList& row : rows) {
                if (c < row.size()) w = std::max(w, plain.horizontalAdvance(row[c]));
            }
            w += Mm(3);  // the gap to the next column
        }
        double total = 0.0;
        for (double w : widths) total += w;
        if (total <= width || points <= 5.0) {
            if (total > width) {
                for (double& w : widths) w *= width / total;
            }
            break;
        }
        points -= 0.5;
    }
    const auto cell_x = [&](int c) {
        double left = x;
        for (int i = 0; i < c; ++i) left += widths[static_cast<size_t>(i)];
        return left;
    };
    const auto cell = [&](int c, double row_y, const QString& text, double size, bool bold) {
        const double w = widths[static_cast<size_t>(c)] - Mm(3);
        return Text(cell_x(c), row_y, text, size, bold, w, c == 0 ? Qt::AlignLeft : Qt::AlignRight);
    };
    double height = 0.0;
    for (int c = 0; c < cells; ++c) height = std::max(height, cell(c, y, headings[c], points, true));
    y += height;
    bool any_unit = false;
    for (const QString& unit : units) any_unit = any_unit || !unit.isEmpty();
    if (any_unit) {
        height = 0.0;
        for (int c = 0; c < cells && c < units.size(); ++c) height = std::max(height, cell(c, y, units[c], points - 1.0, false));
        y += height;
    }
    painter_.drawLine(QPointF(x, y + Mm(0.3)), QPointF(cell_x(cells), y + Mm(0.3)));
    y += Mm(0.8);
    for (const QStringList& row : rows) {
        height = 0.0;
        for (int c = 0; c < cells && c < row.size(); ++c) height = std::max(height, cell(c, y, row[c], points, false));
        y += height * 1.1;
    }
    return y;
}

double SheetPainter::Grains(double x, double y, double width, double bottom, const SheetContent& content) {
    // Short headings with their units on a row below, so eight columns fit
    // the page's width at a readable size.
    const QString& unit = content.length_unit;
    QStringList header = {"Grain", "Length", "Diameter", "Core"};
    QStringList units = {"", unit, unit, unit};
    const bool figures = !content.grain_figures.empty();
    if (figures) {
        header << "Mass" << "Port/throat" << "Peak flux" << "Neutral L.";
        units << "g" << "" << content.flux_unit << unit;
    }
    const int cells = static_cast<int>(header.size());
    const int count = static_cast<int>(content.grains.size());
    double points = 9.0;
    int columns = 1, rows = count;
    auto line_height = [&](double size) { return size / 72.0 * painter_.device()->logicalDpiY() * 1.35; };
    // One table while a smaller type (down to 7 points) lets it fit; then
    // tables side by side, the type smaller still if four do not fit.
    for (;;) {
        const int fit = std::max(1, static_cast<int>((bottom - y) / line_height(points)) - 2);
        columns = std::clamp((count + fit - 1) / fit, 1, 4);
        rows = std::min(fit, (count + columns - 1) / columns);
        if (columns > 1 && points > 7.0) {
            points -= 0.5;
            continue;
        }
        if (rows * columns >= count || points <= 5.0) break;
        points -= 0.5;
    }
    const double gap = Mm(6), column_width = (width - gap * (columns - 1)) / columns;
    const double step = line_height(points), cell = std::min(column_width, Mm(figures ? 180 : 110)) / cells;
    double lowest = y;
    for (int column = 0; column < columns; ++column) {
        const double left = x + column * (column_width + gap);
        double row_y = y;
        for (int c = 0; c < cells; ++c) Text(left + c * cell, row_y, header[c], points, true, cell);
        row_y += step;
        for (int c = 0; c < cells; ++c) Text(left + c * cell, row_y, units[c], points - 1.0, false, cell);
        row_y += step;
        painter_.drawLine(QPointF(left, row_y - step * 0.1), QPointF(left + cells * cell, row_y - step * 0.1));
        for (int r = 0; r < rows; ++r) {
            const int index = column * rows + r;
            if (index >= count) break;
            const auto& grain = content.grains[static_cast<size_t>(index)];
            Text(left, row_y, QString::number(index + 1), points, false, cell);
            for (int c = 0; c < 3; ++c) Text(left + (c + 1) * cell, row_y, grain[static_cast<size_t>(c)], points, false, cell);
            if (figures && static_cast<size_t>(index) < content.grain_figures.size()) {
                const auto& more = content.grain_figures[static_cast<size_t>(index)];
                for (int c = 0; c < 4; ++c) Text(left + (c + 4) * cell, row_y, more[static_cast<size_t>(c)], points, false, cell);
            }
            row_y += step;
        }
        lowest = std::max(lowest, row_y);
    }
    if (rows * columns < count) {
        lowest += Text(x, lowest, QString("... and %1 more grains: see the motor file.").arg(count - rows * columns),
                       points, true);
    }
    return lowest;
}

}  // namespace thrustlet
