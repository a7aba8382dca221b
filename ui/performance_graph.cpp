#include "ui/performance_graph.h"

#include <QString>
#include <algorithm>
#include <iterator>
#include <cmath>
#include <optional>
#include <vector>

#include "model/alerts.h"
#include "model/kn_curve.h"
#include "model/mass_flux.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "model/performance.h"
#include "model/propellant_library.h"
#include "platform/graph_lite.h"
#include "ui/kn_graph.h"

namespace thrustlet {

namespace {

// Samples of the thrust curve between two ticks of its time axis.
constexpr int kSamplesPerTick = 40;

// The time graphs' common finish: the title, the value axis from 0 to
// `maximum` in `step`s, a time label every tick, a white back, drawn.
void FinishTimeGraph(GraphLite& graph, const QString& title, double maximum, double step) {
    graph.SetTitle(title);
    graph.SetVerticalMinimum(0);
    graph.SetVerticalMaximum(maximum);
    graph.SetVerticalStep(std::max<int32_t>(1, static_cast<int32_t>(step)));
    graph.SetHorizontalLabelStep(kSamplesPerTick);
    graph.SetColourOption(kGraphWhite);
    graph.Redraw();
}

}  // namespace

void AddPressureCurve(GraphLite& graph, const MotorRun& run, const KnCurve& curve) {
    if (!run.Figures()) return;
    const Performance& figures = *run.Figures();
    const DisplayUnits units = run.Units();
    const double per_unit = units.PascalsPerPressure();
    std::vector<double> depths(curve.depths.begin(), curve.depths.end());
    const std::vector<DepthFigures> figures_at = run.AtDepths(depths);
    GraphTable table = graph.Shown().table;
    table.rows.resize(3);
    table.rows[2].assign(table.rows[0].size(), std::nullopt);
    for (std::size_t j = 0; j < figures_at.size() && j < table.rows[2].size(); ++j) {
        table.rows[2][j] = figures_at[j].pressure / per_unit;
    }
    double step = 0, maximum = 0;
    GraphLite::RoundAxis(figures.peak_pressure / per_unit, &step, &maximum);
    graph.SetData(table);
    graph.SetSecondaryAxis(0, maximum, step, units.PressureWord());  // the Kn graph styles it green, "Pc"
    graph.Redraw();
}

void DrawThrustCurve(GraphLite& graph, const Performance& figures, double horizon) {
    // Thrust against time on a round time axis: the ticks fall on round
    // times, each tick split into the same number of samples; the thrust
    // is 0 once the burn is over.
    double tick = 0, end = 0;
    GraphLite::RoundAxis(std::max(figures.burn_time, horizon), &tick, &end);
    const int samples = static_cast<int>(std::lround(end / tick)) * kSamplesPerTick;
    GraphTable table;
    table.rows.assign(2, std::vector<std::optional<double>>(static_cast<size_t>(samples) + 1));
    std::size_t at = 1;
    for (int j = 0; j <= samples; ++j) {
        const double time = tick * j / kSamplesPerTick;
        double thrust = 0.0;
        if (time <= figures.burn_time) {
            while (at + 1 < figures.curve.size() && figures.curve[at].time < time) ++at;
            const PerformancePoint& a = figures.curve[at - 1];
            const PerformancePoint& b = figures.curve[at];
            const double along = b.time > a.time ? std::clamp((time - a.time) / (b.time - a.time), 0.0, 1.0) : 1.0;
            thrust = a.thrust + along * (b.thrust - a.thrust);
        }
        table.rows[0][static_cast<size_t>(j)] = time;
        table.rows[1][static_cast<size_t>(j)] = thrust;
    }
    double step = 0, maximum = 0;
    GraphLite::RoundAxis(figures.peak_thrust, &step, &maximum);
    graph.ClearSecondaryAxis();
    graph.SetData(table);
    graph.SetSeriesStyle(0, kGraphBlue, "thrust");
    FinishTimeGraph(graph, "Thrust (N) vs. Time (s)", maximum, step);
}

void DrawMassFluxCurve(GraphLite& graph, const MotorRun& run, double horizon) {
    const FluxCurve& curve = run.FluxTrace();
    const double limit = run.Limits().max_mass_flux;
    const DisplayUnits units = run.Units();
    const double per = units.MassFluxPer();
    const double end = curve.times.empty() ? 0.0 : curve.times.back();
    double tick = 0, last = 0;
    GraphLite::RoundAxis(std::max(end, horizon), &tick, &last);
    const int samples = static_cast<int>(std::lround(last / tick)) * kSamplesPerTick;
    GraphTable table;
    table.rows.assign(curve.grains.size() + 2, std::vector<std::optional<double>>(static_cast<size_t>(samples) + 1));
    double highest = limit / per;
    std::size_t at = 0;
    for (int j = 0; j <= samples; ++j) {
        const double time = tick * j / kSamplesPerTick;
        table.rows[0][static_cast<size_t>(j)] = time;
        // The limit across the whole burn, as a line of its own.
        table.rows.back()[static_cast<size_t>(j)] = limit / per;
        if (curve.times.size() < 2 || time > end) continue;
        while (at + 2 < curve.times.size() && curve.times[at + 1] < time) ++at;
        const double t0 = curve.times[at], t1 = curve.times[at + 1];
        const double along = t1 > t0 ? std::clamp((time - t0) / (t1 - t0), 0.0, 1.0) : 0.0;
        for (std::size_t g = 0; g < curve.grains.size(); ++g) {
            const double a = curve.flux[g][at], b = curve.flux[g][at + 1];
            if (a < 0.0) continue;  // burnt out
            const double value = (b < 0.0 ? a : a + along * (b - a)) / per;
            table.rows[g + 1][static_cast<size_t>(j)] = value;
            highest = std::max(highest, value);
        }
    }
    double step = 0, maximum = 0;
    GraphLite::RoundAxis(highest, &step, &maximum);
    graph.ClearSecondaryAxis();
    if (graph.Shown().value_axis) graph.SetHorizontalValueAxis(false);
    graph.SetData(table);
    // One colour per grain, from the head end; the limit in the warning red.
    static const int32_t kGrainColours[] = {kGraphBlue, 0x008000, 0x800080, 0x0080C0, 0x808000, 0x004080,
                                            0xC08000, 0x008080, 0x404040, 0x8000C0, 0x00A0A0, 0x6040A0};
    for (std::size_t g = 0; g < curve.grains.size(); ++g) {
        graph.SetSeriesStyle(static_cast<int16_t>(g), kGrainColours[g % std::size(kGrainColours)],
                             QString("grain %1").arg(curve.grains[g]));
    }
    graph.SetSeriesStyle(static_cast<int16_t>(curve.grains.size()), kGraphRed, "limit");
    FinishTimeGraph(graph, QString("Mass flux (%1) vs. Time (s)").arg(units.MassFluxWord()), maximum, step);
}

}  // namespace thrustlet
