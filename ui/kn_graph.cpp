// The Kn-versus-burn-depth graph: the placeholder at start-up and the curve
// drawn by every recalculation.
#include "ui/kn_graph.h"

#include <cmath>

#include "model/errors.h"
#include "model/kn_curve.h"
#include "model/kn_max.h"
#include "model/motor.h"
#include "platform/dialogs.h"
#include "platform/graph_lite.h"
#include "ui/report.h"

namespace thrustlet {

namespace {

GraphTable TableFrom(const KnCurve& curve) {
    GraphTable table;
    table.rows.resize(2);
    table.rows[0] = curve.labels;
    table.rows[1].reserve(curve.kn.size());
    for (const auto& kn : curve.kn) {
        table.rows[1].push_back(kn ? std::optional<double>(*kn) : std::nullopt);
    }
    return table;
}

}  // namespace

void DrawPlaceholder(GraphLite& graph) {
    // A pressure axis or a depth axis of values left from a design's view
    // goes with it, as does a note about its figures.
    if (graph.Shown().secondary) graph.ClearSecondaryAxis();
    if (graph.Shown().value_axis) graph.SetHorizontalValueAxis(false);
    if (!graph.Shown().note.isEmpty()) graph.SetNote(QString());
    if (graph.Shown().faded) graph.SetFaded(false);
    GraphTable table;
    table.rows.assign(2, std::vector<std::optional<double>>(286));
    for (int i = 1; i <= 285; ++i) {
        table.rows[0][static_cast<size_t>(i)] = i;
        table.rows[1][static_cast<size_t>(i)] = 100.0 * std::sin(43.96 * i);
    }
    graph.SetIntegerOption1(1);
    graph.SetIntegerOption2(0);
    graph.SetYesNoOption1(true);
    graph.SetData(table);
    graph.SetSeriesStyle(0, kGraphRed, "Kn");
    graph.SetTitle("Waiting for Data");
    graph.SetVerticalMinimum(0);
    graph.SetVerticalMaximum(100);
    graph.SetVerticalStep(50);
    graph.SetHorizontalLabelStep(50);
    graph.SetColourOption(kGraphWhite);
    graph.Redraw();
}

bool GraphKn(cMotor& motor, GraphLite& graph, IDialogs& dialogs, KnMaxOnce& kn_max, KnCurve* sampled) {
    try {
        KnCurve curve = SampleKnCurve(motor);
        // A millimetre design's depth axis has its ticks at true depths.
        const bool true_depths = motor.Performance().units == LengthUnit::kMillimetre;
        if (graph.Shown().value_axis != true_depths) graph.SetHorizontalValueAxis(true_depths);
        graph.SetIntegerOption1(1);
        graph.SetIntegerOption2(0);
        graph.SetYesNoOption1(true);
        graph.SetData(TableFrom(curve));
        graph.SetSeriesStyle(0, kGraphRed, "kn");
        graph.SetSeriesStyle(1, kGraphGreen, "Pc");
        graph.SetTitle("kn vs. Burn Depth");
        graph.SetVerticalMinimum(0);
        const float largest = kn_max.Value();
        graph.SetVerticalMaximum(static_cast<double>(largest) + 50.0);
        graph.SetVerticalStep(VerticalStepFor(largest));
        graph.SetHorizontalLabelStep(LabelStepFor(motor.WebThickness(), curve.step));
        graph.SetColourOption(kGraphWhite);
        graph.SetYesNoOption2(true);
        graph.Redraw();
        if (sampled) *sampled = std::move(curve);
        return true;
    } catch (const RunTimeError& error) {
        ReportError(dialogs, error.Description(), "GraphKn");
    } catch (const std::exception& error) {
        ReportError(dialogs, error.what(), "GraphKn");
    }
    return false;
}

}  // namespace thrustlet
