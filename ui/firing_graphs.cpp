#include "ui/firing_graphs.h"

#include <QString>
#include <algorithm>
#include <cmath>

#include "model/burn_rate_law.h"
#include "model/firing_analysis.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "model/propellant_library.h"
#include "platform/graph_lite.h"
#include "ui/kn_graph.h"

namespace thrustlet {

namespace {

constexpr int kSamples = 400;
constexpr int32_t kGraphPoints = 0x404040;

// A series of a firing at `t`; nothing (NaN) outside its times.
double ValueAt(const Firing& firing, const std::vector<double>& values, double t) {
    return values.empty() || !firing.Covers(t) ? NAN : firing.At(values, t);
}

}  // namespace

void DrawFiringOverPrediction(GraphLite& graph, const MotorRun& run, const Firing* measured, double ignition,
                              const Firing* fitted) {
    const DisplayUnits units = run.Units();
    const double per = units.PascalsPerPressure();
    const double ambient = run.Design().Performance().AmbientPressure();
    const std::optional<Firing> predicted = run.PredictedFiring();
    // Times from ignition: the log's shifted, the prediction's as they are.
    double end = predicted ? predicted->time.back() : 1.0;
    double start = predicted ? predicted->time.front() : 0.0;
    Firing shifted;
    if (measured) {
        end = std::max(end, measured->time.back() - ignition);
        start = std::min(start, measured->time.front() - ignition);
        shifted = *measured;
        for (double& t : shifted.time) t -= ignition;
    }
    Firing fitted_shifted;
    if (fitted && measured && !fitted->time.empty()) {
        fitted_shifted = *fitted;
        for (double& t : fitted_shifted.time) t -= ignition;
    }
    const bool with_fit = !fitted_shifted.time.empty();
    GraphTable table;
    table.rows.assign(with_fit ? 6 : 5, std::vector<std::optional<double>>(kSamples + 1));
    double force_top = 0.0, pressure_top = 0.0;
    const auto put = [](std::optional<double>& cell, double value, double* top) {
        if (std::isnan(value)) return;
        cell = value;
        *top = std::max(*top, value);
    };
    for (int j = 0; j <= kSamples; ++j) {
        const double t = start + (end - start) * j / kSamples;
        table.rows[0][static_cast<size_t>(j)] = t;
        if (predicted) {
            put(table.rows[1][static_cast<size_t>(j)], ValueAt(*predicted, predicted->force, t), &force_top);
            put(table.rows[3][static_cast<size_t>(j)], (ValueAt(*predicted, predicted->pressure, t) - ambient) / per, &pressure_top);
        }
        if (measured) {
            put(table.rows[2][static_cast<size_t>(j)], ValueAt(shifted, shifted.force, t), &force_top);
            put(table.rows[4][static_cast<size_t>(j)], (ValueAt(shifted, shifted.pressure, t) - ambient) / per, &pressure_top);
        }
        if (with_fit) {
            put(table.rows[5][static_cast<size_t>(j)], (ValueAt(fitted_shifted, fitted_shifted.pressure, t) - ambient) / per,
                &pressure_top);
        }
    }
    double step = 0, maximum = 0, pressure_step = 0, pressure_maximum = 0;
    GraphLite::RoundAxis(force_top, &step, &maximum);
    GraphLite::RoundAxis(pressure_top, &pressure_step, &pressure_maximum);
    graph.SetData(table);
    graph.SetIntegerOption1(1);
    graph.SetYesNoOption1(true);
    graph.SetSeriesStyle(0, kGraphBlue, "thrust, predicted");
    graph.SetSeriesStyle(1, kGraphBlue, "thrust, measured");
    graph.SetSeriesLook(1, true, false);
    graph.SetSeriesStyle(2, kGraphGreen, "Pc, predicted");
    graph.SetSeriesStyle(3, kGraphGreen, "Pc, measured");
    graph.SetSeriesLook(3, true, false);
    if (with_fit) graph.SetSeriesStyle(4, kGraphRed, "Pc, fitted trace");
    graph.SetSecondaryAxis(0, pressure_maximum, pressure_step, units.PressureWord(), 2);
    graph.SetHorizontalValueAxis(true);
    graph.SetLogScales(false, false);
    graph.SetTitle("Firing over the prediction: thrust (N) and pressure vs. time (s)");
    graph.SetVerticalMinimum(0);
    graph.SetVerticalMaximum(maximum);
    graph.SetVerticalStep(std::max<int32_t>(1, static_cast<int32_t>(step)));
    graph.SetColourOption(kGraphWhite);
    graph.SetYesNoOption2(true);
    graph.Redraw();
}

void DrawBurnRatePoints(GraphLite& graph, const cMotor& design, const std::vector<BurnRatePoint>& points,
                        const std::optional<FittedLaw>& fitted) {
    const DisplayUnits units(design.Performance().units);
    const double pressure_per = units.PascalsPerPressure();
    const double rate_per = units.MetresPerSecondPerRate();
    double low = INFINITY, high = 0.0;
    for (const BurnRatePoint& point : points) low = std::min(low, point.pressure), high = std::max(high, point.pressure);
    if (!(high > 0.0)) low = 0.5e6, high = 10e6;
    low /= 2.0;
    high *= 2.0;
    // The laws over a grid of pressures, then the points at their own.
    constexpr int kGrid = 60;
    GraphTable table;
    table.rows.assign(4, std::vector<std::optional<double>>(kGrid + 1 + points.size()));
    const BurnRateLaw current(design.Performance().burn_rate, design.BallisticA(), design.BallisticN(), 1.0);
    std::optional<BurnRateLaw> fit;
    if (fitted) fit.emplace(fitted->pieces, fitted->a, fitted->n, 1.0);
    double rate_low = INFINITY, rate_high = 0.0;
    const auto seen = [&](double rate) {
        if (rate > 0.0 && std::isfinite(rate)) rate_low = std::min(rate_low, rate), rate_high = std::max(rate_high, rate);
    };
    for (int j = 0; j <= kGrid; ++j) {
        const double p = low * std::pow(high / low, static_cast<double>(j) / kGrid);
        table.rows[0][static_cast<size_t>(j)] = p / pressure_per;
        const double r = current.Rate(p) / rate_per;
        if (r > 0.0) table.rows[2][static_cast<size_t>(j)] = r, seen(r);
        if (fit) {
            const double f = fit->Rate(p) / rate_per;
            if (f > 0.0) table.rows[3][static_cast<size_t>(j)] = f, seen(f);
        }
    }
    for (std::size_t k = 0; k < points.size(); ++k) {
        table.rows[0][kGrid + 1 + k] = points[k].pressure / pressure_per;
        table.rows[1][kGrid + 1 + k] = points[k].rate / rate_per;
        seen(points[k].rate / rate_per);
    }
    if (!(rate_high > 0.0)) rate_low = 1.0, rate_high = 10.0;
    graph.SetData(table);
    graph.SetIntegerOption1(1);
    graph.SetYesNoOption1(true);
    graph.ClearSecondaryAxis();
    graph.SetSeriesStyle(0, kGraphPoints, "points");
    graph.SetSeriesLook(0, false, true);
    graph.SetSeriesStyle(1, kGraphBlue, "design's law");
    graph.SetSeriesStyle(2, kGraphRed, "fitted");
    graph.SetSeriesLook(2, true, false);
    graph.SetHorizontalValueAxis(true);
    graph.SetLogScales(true, true);
    graph.SetTitle(QString("Burn rate (%1) vs. pressure (%2)").arg(units.RateWord(), units.PressureWord()));
    const double rate_bottom = GraphLite::LogStepBelow(rate_low);
    const double rate_top = GraphLite::LogStepAbove(rate_high);
    graph.SetVerticalMinimum(rate_bottom);
    graph.SetVerticalMaximum(rate_top > rate_bottom ? rate_top : GraphLite::LogStepAbove(rate_bottom * 1.5));
    graph.SetVerticalStep(1);
    graph.SetColourOption(kGraphWhite);
    graph.SetYesNoOption2(true);
    graph.Redraw();
}

}  // namespace thrustlet
