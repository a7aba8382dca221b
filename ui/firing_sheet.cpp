#include "ui/firing_sheet.h"

#include <QPainter>
#include <algorithm>

#include "model/burn_rate_fit.h"
#include "model/firing_analysis.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "ui/firing_graphs.h"
#include "ui/firing_records.h"
#include "ui/sheet_painter.h"

namespace thrustlet {

namespace {
constexpr std::size_t kMostColumns = 4;  // firings side by side in the table
constexpr std::size_t kMostGraphs = 4;
}  // namespace

SheetFirings FiringsOfDesign(const cMotor& design) {
    SheetFirings page;
    const MotorRun run = RunMotor(design);
    const DisplayUnits units = run.Units();
    page.captions = FiringCaptions(units);
    const std::optional<FiringFigures> predicted = PredictedFiringFigures(run);
    const auto predicted_values = FiringValues(predicted ? &*predicted : nullptr, units);
    for (const auto& value : predicted_values) page.predicted << FiringFigureText(value);
    std::vector<BurnRatePoint> points;
    for (const PerformanceInputs::StaticFiring& source : design.Performance().static_firings) {
        const FiringRecord record(LoadFiring(source, run));
        SheetFirings::Column column;
        column.name = record.FileName();
        column.problem = record.Problem();
        if (record.figures) {
            const auto measured = FiringValues(&*record.figures, units);
            for (std::size_t r = 0; r < measured.size(); ++r) {
                column.measured << FiringFigureText(measured[r]);
                column.difference << FiringDifferenceText(measured[r], predicted_values[r]);
            }
            GraphLite graph;
            DrawFiringOverPrediction(graph, run, &*record.firing, record.figures->ignition);
            graph.SetTitle(column.name + " over the prediction");
            column.graph = graph.Shown();
            for (const BurnRatePoint& point : BurnRatePointsOf(record, run, PointsMethod::kAverage, source.path)) {
                points.push_back(point);
            }
        }
        page.firings.push_back(column);
    }
    if (!points.empty()) {
        GraphLite graph;
        DrawBurnRatePoints(graph, design, points, std::nullopt);
        page.burn_rate = graph.Shown();
    }
    return page;
}

void PaintFiringsPage(QPainter& painter, const QRectF& page, const SheetFirings& firings, const QString& program,
                      const QString& file) {
    painter.save();
    painter.setPen(Qt::black);
    SheetPainter sheet(painter, page);
    const double left = page.left(), width = page.width();
    double y = sheet.Heading("Static firings", program, {"File: " + file});

    // The figures: the prediction, then each readable firing's measured
    // figure with its difference.
    std::vector<const SheetFirings::Column*> readable, unreadable;
    for (const auto& column : firings.firings) (column.measured.isEmpty() ? unreadable : readable).push_back(&column);
    const std::size_t shown = std::min(readable.size(), kMostColumns);
    const double caption = sheet.Mm(45);
    const double cell = (width - caption) / static_cast<double>(1 + shown);
    sheet.Text(left + caption, y, "Predicted", 8, true, cell, Qt::AlignRight);
    for (std::size_t k = 0; k < shown; ++k) {
        sheet.Text(left + caption + cell * static_cast<double>(k + 1), y, readable[k]->name, 8, true, cell, Qt::AlignRight);
    }
    y += sheet.Mm(4.5);
    painter.drawLine(QPointF(left, y - sheet.Mm(0.7)), QPointF(page.right(), y - sheet.Mm(0.7)));
    for (qsizetype r = 0; r < firings.captions.size(); ++r) {
        sheet.Text(left, y, firings.captions[r], 8, false, caption);
        sheet.Text(left + caption, y, firings.predicted.value(r), 8, false, cell, Qt::AlignRight);
        for (std::size_t k = 0; k < shown; ++k) {
            const QString figure = readable[k]->measured.value(r) + " (" + readable[k]->difference.value(r) + ")";
            sheet.Text(left + caption + cell * static_cast<double>(k + 1), y, figure, 8, false, cell, Qt::AlignRight);
        }
        y += sheet.Mm(4.2);
    }
    if (readable.size() > shown) {
        y += sheet.Text(left, y, QString("... and %1 more firings: see Motor > Static Firing.").arg(readable.size() - shown), 8, true);
    }
    for (const auto* column : unreadable) {
        y += sheet.Wrapped(left, y, column->name + ": " + column->problem, 8, width);
    }
    y += sheet.Mm(3);

    // The burn-rate points across the page, the firings' graphs two a row
    // under them, in what is left.
    const double gap = sheet.Mm(4);
    std::vector<const GraphLite::State*> graphs;
    for (const auto* column : readable) {
        if (column->graph && graphs.size() < kMostGraphs) graphs.push_back(&*column->graph);
    }
    const double room = page.bottom() - y;
    const int graph_rows = static_cast<int>((graphs.size() + 1) / 2);
    const double rate_height = firings.burn_rate ? std::min(sheet.Mm(75), room / (1 + graph_rows)) : 0.0;
    if (firings.burn_rate) {
        PaintGraph(painter, *firings.burn_rate, QRectF(left, y, width, rate_height - gap));
        y += rate_height;
    }
    if (graph_rows > 0) {
        const double height = std::min(sheet.Mm(70), (page.bottom() - y) / graph_rows);
        const double graph_width = graphs.size() == 1 ? width : (width - gap) / 2;
        for (std::size_t k = 0; k < graphs.size(); ++k) {
            const double x = left + static_cast<double>(k % 2) * (graph_width + gap);
            const double top = y + static_cast<double>(k / 2) * height;
            PaintGraph(painter, *graphs[k], QRectF(x, top, graph_width, height - gap));
        }
    }
    painter.restore();
}

}  // namespace thrustlet
