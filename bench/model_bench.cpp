#include <benchmark/benchmark.h>

#include "bench/bench_motors.h"
#include "model/kn_curve.h"
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
BENCHMARK(BM_KNMax)->Arg(4)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

void BM_SampleKnCurve(benchmark::State& state) {
    cMotor motor = MakeMotor(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(thrustlet::SampleKnCurve(motor));
}
BENCHMARK(BM_SampleKnCurve)->Arg(4)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
