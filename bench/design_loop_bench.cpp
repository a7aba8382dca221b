// The design loop's costs: a full recalculation in the window (graph, Kn,
// summary) and the maximum-Kn nozzle search, plain scan against the fast one.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <cstdlib>

#include "bench/bench_motors.h"
#include "model/motor.h"
#include "model/nozzle_search.h"
#include "platform/busy_cursor.h"
#include "platform/dialogs.h"
#include "platform/memory_registry.h"
#include "platform/processes.h"
#include "platform/text_box.h"
#include "ui/document.h"
#include "ui/kn_summary.h"
#include "ui/main_window.h"

namespace {

using namespace thrustlet;

class SilentDialogs : public IDialogs {
public:
    MsgResult MsgBox(const QString&, MsgButtons, MsgIcon, const QString&) override { return MsgResult::kOk; }
    FileDialogResult ShowOpen(const FileDialogRequest&) override { return {}; }
    FileDialogResult ShowSave(const FileDialogRequest&) override { return {}; }
};

class NoProcesses : public IProcesses {
public:
    bool StartProcess(const QString&) override { return false; }
    bool FileExists(const QString&) override { return false; }
};

class NoCursor : public IBusyCursor {
public:
    void SetHourglass() override {}
    void SetDefault() override {}
    bool IsHourglass() const override { return false; }
};

void BM_CalcKn(benchmark::State& state) {
    SilentDialogs dialogs;
    NoProcesses processes;
    NoCursor cursor;
    MemoryRegistry registry;
    frmMain window(dialogs, processes, cursor, registry);
    bench::AddBenchGrains(window.Doc().Motor(), static_cast<int>(state.range(0)));
    window.findChild<TextBox*>("txtNozzleThroatDia")->setText("0.5");
    for (auto _ : state) window.Summary().CalcKn();
}
BENCHMARK(BM_CalcKn)->Arg(4)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// A recalculation of an inch design with a propellant while every view the
// window has is shown: the Performance group, the grains panel with its
// alerts, and the graph's heaviest view, the grains' mass flux.
void BM_CalcKnEveryView(benchmark::State& state) {
    SilentDialogs dialogs;
    NoProcesses processes;
    NoCursor cursor;
    MemoryRegistry registry;
    frmMain window(dialogs, processes, cursor, registry);
    cMotor& motor = window.Doc().Motor();
    bench::AddBenchGrains(motor, static_cast<int>(state.range(0)));
    PerformanceInputs inputs;
    inputs.units = LengthUnit::kInch;
    inputs.specific_heat_ratio = 1.042f;
    inputs.nozzle_exit_dia = 3.0f;
    motor.SetISPStar(909.0f);
    motor.SetDensity(1841.0f);
    motor.SetBallisticA(1.0e-4f);
    motor.SetBallisticN(0.319f);
    motor.SetPerformance(inputs);
    window.findChild<TextBox*>("txtNozzleThroatDia")->setText(state.range(0) > 10 ? "1.5" : "0.5");
    window.Summary().CalcKn();
    QAction* mass_flux = window.findChild<QAction*>("mnuShowMassFlux");
    if (!mass_flux || !mass_flux->isEnabled()) {
        state.SkipWithError("the mass flux view is not available");
        return;
    }
    mass_flux->setChecked(true);
    for (auto _ : state) window.Summary().CalcKn();
}
BENCHMARK(BM_CalcKnEveryView)->Arg(4)->Arg(100)->Unit(benchmark::kMillisecond);

// A target no throat in range meets: all 580 trials run.
template <float (*Search)(cMotor&, float)>
void BM_SetMaxKnWorstCase(benchmark::State& state) {
    cMotor motor;
    bench::AddBenchGrains(motor, static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(Search(motor, -1.0f));
}
BENCHMARK_TEMPLATE(BM_SetMaxKnWorstCase, SearchNozzleForMaxKn)->Arg(4)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SetMaxKnWorstCase, LiteralSearchNozzleForMaxKn)->Arg(4)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
