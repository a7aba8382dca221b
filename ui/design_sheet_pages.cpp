// The design sheet's pages as painted: the layout of the first page and of
// the compared motors' page, in millimetres and points whatever the device.
#include <QPainter>
#include <algorithm>

#include "ui/design_sheet.h"
#include "ui/sheet_painter.h"

namespace thrustlet {

namespace {

// The alerts the first page has room for (`room` of them): all, or one
// fewer than the room with a last line counting the rest.
std::vector<QString> AlertsThatFit(const std::vector<QString>& alerts, std::size_t room) {
    if (alerts.size() <= room) return alerts;
    std::vector<QString> shown(alerts.begin(), alerts.begin() + static_cast<std::ptrdiff_t>(room > 0 ? room - 1 : 0));
    shown.push_back(QString("\u2026 and %1 more alerts, listed in the window's Grains and Limits panel and in "
                                "thrustlet-kn's report.")
                        .arg(alerts.size() - shown.size()));
    return shown;
}


}  // namespace

void PaintSheet(QPainter& painter, const QRectF& page, const SheetContent& content) {
    painter.save();
    painter.setPen(Qt::black);
    SheetPainter sheet(painter, page);
    const double left = page.left(), width = page.width();
    double y = sheet.Heading("Motor design sheet", content.program,
                                   {"File: " + content.file, "Date: " + content.date});

    // The figures side by side: the nozzle and the Kn figures, then the
    // performance with where its propellant's values come from.
    const double first = std::min(width * 0.5, sheet.Mm(90)), caption = sheet.Mm(50);
    double left_y = y;
    left_y += sheet.Text(left, left_y, "Nozzle", 10, true) * 1.2;
    left_y = sheet.Pairs(left, left_y, caption, {{"Throat:", content.throat}, {"Exit:", content.exit}}, first);
    left_y += sheet.Mm(2);
    left_y += sheet.Text(left, left_y, "Kn figures", 10, true) * 1.2;
    left_y = sheet.Pairs(left, left_y, caption, content.summary, first);
    double right_y = y;
    if (!content.performance.empty()) {
        const double right = left + first + sheet.Mm(5), right_width = page.right() - right;
        right_y += sheet.Text(right, right_y, "Performance", 10, true) * 1.2;
        right_y += sheet.Wrapped(right, right_y, content.propellant, 7, right_width) + sheet.Mm(1);
        right_y = sheet.Pairs(right, right_y, sheet.Mm(32), content.performance, right_width);
        if (!content.performance_note.isEmpty()) {
            right_y += sheet.Wrapped(right, right_y, content.performance_note, 7, right_width);
        }
    }
    y = std::max(left_y, right_y) + sheet.Mm(3);
    // What the figures come from, two pairs a row.
    if (!content.design_block.empty()) {
        y += sheet.Text(left, y, "Propellant, nozzle and hardware", 10, true) * 1.2;
        const double column = first + sheet.Mm(5);  // as the columns above
        const std::size_t rows = (content.design_block.size() + 1) / 2;
        double bottom = y;
        for (std::size_t c = 0; c < 2; ++c) {
            const auto from = content.design_block.begin() + static_cast<std::ptrdiff_t>(std::min(c * rows, content.design_block.size()));
            const auto to = content.design_block.begin() + static_cast<std::ptrdiff_t>(std::min((c + 1) * rows, content.design_block.size()));
            bottom = std::max(bottom, sheet.Pairs(left + c * column, y, c == 0 ? caption : sheet.Mm(32), {from, to},
                                                  c == 0 ? first : page.right() - left - column));
        }
        y = bottom + sheet.Mm(3);
    }

    // The lower part of the page: the limits and alerts, the grains (room
    // kept for a table of eight whatever the alerts), and at the foot the
    // graphs (the Kn graph and the thrust curve) as tall as the rest leaves
    // them, from a smallest readable height up to their full one: one under
    // the other, or side by side where the page is short of room.
    const int graph_count = (content.kn_graph ? 1 : 0) + (content.thrust_graph ? 1 : 0);
    const double tallest = sheet.Mm(content.thrust_graph ? 68 : 90), shortest = sheet.Mm(45), gap = sheet.Mm(4);
    const auto grains_room = [&](std::size_t rows) {
        return sheet.Mm(7) + static_cast<double>(rows + 2) * sheet.Mm(3.9);  // heading, headings and units, rows
    };
    // The limits and the alerts, each a sentence, as many as leave that room.
    if (!content.limits.isEmpty()) {
        y += sheet.Text(left, y, "Limits and alerts", 10, true) * 1.2;
        y += sheet.Wrapped(left, y, content.limits, 8, width) + sheet.Mm(0.5);
        const double alert_line = sheet.Mm(3.6);  // one line of 8-point type
        const double free = page.bottom() - y - grains_room(std::min<std::size_t>(content.grains.size(), 8)) -
                            (graph_count > 0 ? shortest + gap : 0.0) - sheet.Mm(3);
        const auto room = static_cast<std::size_t>(std::max(1.0, free / (alert_line * 2.0)));  // two lines each at most
        for (const QString& alert : AlertsThatFit(content.alerts, room)) {
            y += sheet.Wrapped(left, y, "\u2022 " + alert, 8, width) + sheet.Mm(0.3);
        }
        if (content.alerts.empty()) y += sheet.Wrapped(left, y, "No limit crossed.", 8, width);
        y += sheet.Mm(3);
    }
    const double available = page.bottom() - y - grains_room(content.grains.size()) - gap;
    const bool side_by_side = graph_count == 2 && (available - gap) / 2 < sheet.Mm(52);
    double graph_height = 0.0, graphs_top = page.bottom();
    if (graph_count > 0) {
        graph_height = side_by_side ? std::clamp(available, shortest, tallest)
                                    : std::clamp((available - gap * (graph_count - 1)) / graph_count, shortest, tallest);
        graphs_top = page.bottom() - (graph_height + gap) * (side_by_side ? 1 : graph_count);
    }
    y += sheet.Text(left, y, "Grains (the bottom grain is the nozzle end)", 10, true) * 1.2;
    sheet.Grains(left, y, width, graphs_top - sheet.Mm(3), content);
    const double graph_width = side_by_side ? (width - gap) / 2 : width;
    if (content.kn_graph) PaintGraph(painter, *content.kn_graph, QRectF(left, graphs_top, graph_width, graph_height));
    if (content.thrust_graph) {
        const QPointF at = side_by_side ? QPointF(left + graph_width + gap, graphs_top)
                                        : QPointF(left, graphs_top + (content.kn_graph ? graph_height + gap : 0.0));
        PaintGraph(painter, *content.thrust_graph, QRectF(at, QSizeF(graph_width, graph_height)));
    }
    painter.restore();
}

void PaintComparisonPage(QPainter& painter, const QRectF& page, const SheetContent& content) {
    if (!content.comparison) return;
    const SheetContent::Comparison& compared = *content.comparison;
    painter.save();
    painter.setPen(Qt::black);
    SheetPainter sheet(painter, page);
    const double left = page.left(), width = page.width();
    double y = sheet.Heading("Motors compared", content.program, {"File: " + content.file, "Date: " + content.date});
    y = sheet.Table(left, y, width, compared.headings, compared.units, compared.rows) + sheet.Mm(1);
    y += sheet.Wrapped(left, y, "Pressures are absolute. The compared motors are dashed over the design's curves.", 8,
                       width) + sheet.Mm(4);
    const int graphs = (compared.pressure_graph ? 1 : 0) + (compared.thrust_graph ? 1 : 0);
    if (graphs > 0) {
        const double height = std::min(sheet.Mm(100), (page.bottom() - y - sheet.Mm(4) * (graphs - 1)) / graphs);
        for (const auto* graph : {&compared.pressure_graph, &compared.thrust_graph}) {
            if (!*graph) continue;
            PaintGraph(painter, **graph, QRectF(left, y, width, height));
            y += height + sheet.Mm(4);
        }
    }
    painter.restore();
}

}  // namespace thrustlet
