#include <benchmark/benchmark.h>

#include <cmath>

#include "bench/bench_motors.h"
#include "model/kn_curve.h"
#include "model/kn_max.h"
#include "model/motor.h"
#include "model/performance.h"
#include "model/units.h"

namespace {

using thrustlet::cMotor;

cMotor MakeMotor(int grains) {
    cMotor motor;
    motor.SetNozzleDia(0.5f);
    thrustlet::bench::AddBenchGrains(motor, grains);
    return motor;
}

void BM_KN(benchmark::State& state) {
    cMotor motor = MakeMotor(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(motor.KN(0.26f));
}
BENCHMARK(BM_KN)->Arg(4)->Arg(100)->Arg(1000);

void BM_KNMax(benchmark::State& state) {
    cMotor motor = MakeMotor(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(motor.KNMax());
}
BENCHMARK(BM_KNMax)->Arg(4)->Arg(100)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);

// The plain 1001-depth scan, side by side with the above.
void BM_LiteralKNMax(benchmark::State& state) {
    cMotor motor = MakeMotor(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(thrustlet::LiteralKnMaxWithDepth(motor));
}
BENCHMARK(BM_LiteralKNMax)->Arg(4)->Arg(100)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);

// The model work of one recalculation of the window: the curve, the maximum
// (once), the initial Kn, the web, the area ratio and the volume loading.
void BM_RecalculationModelWork(benchmark::State& state) {
    cMotor motor = MakeMotor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(thrustlet::SampleKnCurve(motor));
        thrustlet::KnMaxOnce kn_max(motor);
        benchmark::DoNotOptimize(kn_max.Value());
        benchmark::DoNotOptimize(kn_max.Value());
        benchmark::DoNotOptimize(motor.KN(0.0f));
        benchmark::DoNotOptimize(motor.WebThickness());
        benchmark::DoNotOptimize(motor.NozzleThroatArea() / motor.Grain(motor.GrainCount())->CoreDiameter());
        benchmark::DoNotOptimize(motor.VolumeLoadingPercent());
    }
}
BENCHMARK(BM_RecalculationModelWork)->Arg(100)->Unit(benchmark::kMicrosecond);

// The same with the plain sampling and two plain scans, as before.
void BM_LiteralRecalculationModelWork(benchmark::State& state) {
    cMotor motor = MakeMotor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(thrustlet::LiteralSampleKnCurve(motor));
        benchmark::DoNotOptimize(thrustlet::LiteralKnMaxWithDepth(motor));
        benchmark::DoNotOptimize(thrustlet::LiteralKnMaxWithDepth(motor));
        benchmark::DoNotOptimize(motor.KN(0.0f));
        benchmark::DoNotOptimize(motor.WebThickness());
        benchmark::DoNotOptimize(motor.NozzleThroatArea() / motor.Grain(motor.GrainCount())->CoreDiameter());
        benchmark::DoNotOptimize(motor.VolumeLoadingPercent());
    }
}
BENCHMARK(BM_LiteralRecalculationModelWork)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

void BM_SampleKnCurve(benchmark::State& state) {
    cMotor motor = MakeMotor(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(thrustlet::SampleKnCurve(motor));
}
BENCHMARK(BM_SampleKnCurve)->Arg(4)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_LiteralSampleKnCurve(benchmark::State& state) {
    cMotor motor = MakeMotor(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(thrustlet::LiteralSampleKnCurve(motor));
}
BENCHMARK(BM_LiteralSampleKnCurve)->Arg(4)->Arg(100)->Unit(benchmark::kMicrosecond);

// The whole performance of a motor with a propellant (piecewise KNSB-like
// law, divergent nozzle): pressure, burn time, thrust, impulse and curve.
void BM_Performance(benchmark::State& state) {
    using namespace thrustlet;
    cMotor motor;
    bench::AddBenchGrains(motor, static_cast<int>(state.range(0)));
    motor.SetNozzleDia(0.5f * std::sqrt(static_cast<float>(state.range(0))));
    motor.SetISPStar(885.0f);
    motor.SetDensity(1800.0f);
    PerformanceInputs in;
    in.units = LengthUnit::kInch;
    in.specific_heat_ratio = 1.042f;
    in.nozzle_exit_dia = 1.5f * motor.NozzleDia();
    const float pieces[][4] = {{0.101f, 0.807f, 10.708f, 0.625f}, {0.807f, 1.503f, 8.763f, -0.314f},
                               {1.503f, 3.792f, 7.852f, -0.013f}, {3.792f, 7.033f, 3.907f, 0.535f},
                               {7.033f, 10.67f, 9.653f, 0.064f}};
    for (const auto& p : pieces) {
        in.burn_rate.push_back({p[0] * 1e6f, p[1] * 1e6f, p[2] * 1e-3f * std::pow(1e-6f, p[3]), p[3]});
    }
    motor.SetPerformance(in);
    for (auto _ : state) benchmark::DoNotOptimize(ComputePerformance(motor));
}
BENCHMARK(BM_Performance)->Arg(4)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The full model at its default resolution, each figure the window shows:
// arg 0 the grains, arg 1 with erosive burning (0 or 1). With the
// chamber's gas storage, as a new design has it.
void BM_FullModel(benchmark::State& state) {
    using namespace thrustlet;
    cMotor motor;
    bench::AddBenchGrains(motor, static_cast<int>(state.range(0)));
    motor.SetNozzleDia(0.5f * std::sqrt(static_cast<float>(state.range(0))));
    motor.SetISPStar(885.0f);
    motor.SetDensity(1800.0f);
    motor.SetBallisticA(CoefficientFromMmPerSecond(8.26, 0.319));
    motor.SetBallisticN(0.319f);
    PerformanceInputs in;
    in.units = LengthUnit::kInch;
    in.specific_heat_ratio = 1.137f;
    in.nozzle_exit_dia = 1.5f * motor.NozzleDia();
    in.model = BurnModel::kFull;
    if (state.range(1)) {
        in.erosive_alpha = 2e-5f;
        in.erosive_beta = 100.0f;
    }
    motor.SetPerformance(in);
    for (auto _ : state) benchmark::DoNotOptimize(ComputePerformance(motor));
}
BENCHMARK(BM_FullModel)->Args({4, 0})->Args({4, 1})->Args({100, 0})->Args({100, 1})->Unit(benchmark::kMillisecond);

}  // namespace
