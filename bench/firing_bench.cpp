// Static firings: a test-stand log of a million samples (a 10 kHz logger
// over 100 s) read from its file and analysed against a design, and the
// pressure-integral burn-rate points of it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/motor_run.h"
#include "model/burn_rate_fit.h"
#include "model/firing_analysis.h"
#include "model/formats/firing_log.h"
#include "model/grain.h"
#include "model/motor.h"
#include "model/trace_fit.h"
#include "model/units.h"

namespace {

constexpr int kSamples = 1000000;

// Time (ms), thrust (lbf) and gauge pressure (psi): a rise, a falling
// plateau, a knee at 80 % of the log and a tail-off, with a little ripple.
std::string WriteLog() {
    const auto path = (std::filesystem::temp_directory_path() / "thrustlet_bench_firing.csv").string();
    std::ofstream out(path, std::ios::binary);
    out << "time [ms];thrust [lbf];Pc [psi]\n";
    char line[96];
    for (int i = 0; i < kSamples; ++i) {
        const double u = static_cast<double>(i) / kSamples;
        double shape = u < 0.02 ? u / 0.02 : u < 0.8 ? 1.0 - 0.1 * (u - 0.02) : std::max(0.0, 0.922 * (1 - (u - 0.8) / 0.1));
        shape *= 1.0 + 0.005 * std::sin(i * 0.37);
        std::snprintf(line, sizeof line, "%.4f;%.3f;%.3f\n", u * 100000.0, 90.0 * shape, 700.0 * shape);
        out << line;
    }
    return path;
}

thrustlet::cMotor Design() {
    thrustlet::cMotor motor;
    for (int i = 0; i < 4; ++i) motor.AddGrain(std::make_shared<thrustlet::cGrain>());
    for (const auto& grain : motor.Grains()) {
        grain->SetLength(90);
        grain->SetDiameter(54);
        grain->SetCoreDiameter(20);
    }
    motor.SetNozzleDia(12);
    motor.SetISPStar(900);
    motor.SetDensity(1800);
    motor.SetBallisticA(static_cast<float>(8e-3 * std::pow(1e6, -0.32)));
    motor.SetBallisticN(0.32f);
    thrustlet::PerformanceInputs in;
    in.units = thrustlet::LengthUnit::kMillimetre;
    in.specific_heat_ratio = 1.04f;
    motor.SetPerformance(in);
    return motor;
}

void BM_ReadAMillionSamples(benchmark::State& state) {
    const std::string path = WriteLog();
    for (auto _ : state) benchmark::DoNotOptimize(thrustlet::ReadFiringFile(path, {}).Samples());
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadAMillionSamples)->Unit(benchmark::kMillisecond);

void BM_ReadAndAnalyseAMillionSamples(benchmark::State& state) {
    const std::string path = WriteLog();
    const thrustlet::MotorRun run = thrustlet::RunMotor(Design());
    for (auto _ : state) {
        const thrustlet::Firing firing = thrustlet::ReadFiringFile(path, {});
        const thrustlet::FiringFigures figures = thrustlet::AnalyseFiring(firing, run);
        benchmark::DoNotOptimize(figures.burn_time);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadAndAnalyseAMillionSamples)->Unit(benchmark::kMillisecond);

void BM_InstantPointsOfAMillionSamples(benchmark::State& state) {
    const std::string path = WriteLog();
    const thrustlet::MotorRun run = thrustlet::RunMotor(Design());
    const thrustlet::Firing firing = thrustlet::ReadFiringFile(path, {});
    const thrustlet::FiringFigures figures = thrustlet::AnalyseFiring(firing, run);
    for (auto _ : state) {
        benchmark::DoNotOptimize(thrustlet::InstantBurnRatePoints(firing, figures, run, "bench").size());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_InstantPointsOfAMillionSamples)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// Two firings of a 152 mm four-grain KNSB motor at two throats, each about
// 10 s, made by the full model from a known law and logged at 1 kHz; the
// trace fit starts from the published law. Arg: with erosive burning (1).
void BM_TraceFitTwoTenSecondFirings(benchmark::State& state) {
    using namespace thrustlet;
    const auto design = [](float throat) {
        cMotor motor;
        for (int i = 0; i < 4; ++i) {
            auto grain = std::make_shared<cGrain>();
            grain->SetGrainType(cGrain::kBates);
            grain->SetLength(230.0f);
            grain->SetDiameter(152.0f);
            grain->SetCoreDiameter(50.0f);
            motor.AddGrain(grain);
        }
        motor.SetNozzleDia(throat);
        motor.SetISPStar(909.0f);
        motor.SetDensity(1841.0f);
        motor.SetBallisticA(CoefficientFromMmPerSecond(8.26, 0.319));
        motor.SetBallisticN(0.319f);
        PerformanceInputs in;
        in.units = LengthUnit::kMillimetre;
        in.specific_heat_ratio = 1.137f;
        in.nozzle_exit_dia = 3.0f * throat;
        motor.SetPerformance(in);
        return motor;
    };
    std::vector<TraceFitFiring> firings;
    for (float throat : {38.0f, 42.0f}) {
        cMotor truth = design(throat);
        truth.SetBallisticA(truth.BallisticA() * 0.48f);
        PerformanceInputs in = truth.Performance();
        in.model = BurnModel::kFull;
        in.combustion_efficiency = 0.87f;
        truth.SetPerformance(in);
        TraceFitFiring firing;
        firing.design = design(throat);
        firing.firing = ModelledFiring(truth, 0.5, 0.001, 16.0);
        firing.figures = AnalyseFiring(firing.firing, RunMotor(firing.design));
        firing.source = "bench.csv";
        firings.push_back(std::move(firing));
    }
    TraceFitOptions options;
    options.erosive = state.range(0) != 0;
    for (auto _ : state) benchmark::DoNotOptimize(FitTraces(firings, options));
    state.counters["burn_s"] = firings.front().figures.burn_time;
}
BENCHMARK(BM_TraceFitTwoTenSecondFirings)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
