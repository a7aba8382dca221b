#include <benchmark/benchmark.h>

#include "bench/bench_motors.h"
#include "model/kn_curve.h"
#include "model/kn_max.h"
#include "model/motor.h"

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

}  // namespace
