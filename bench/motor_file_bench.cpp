// Reading very large motor files (a 50 MB file of grain lines must fail or
// succeed cleanly, and quickly) and saving a motor durably.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/errors.h"
#include "model/motor.h"

namespace {

std::string MakeFile(const std::string& name, const std::string& body) {
    const auto path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary) << body;
    return path;
}

// Reads the file again and again; a failing read is part of what is timed.
void ReadRepeatedly(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        thrustlet::cMotor motor;
        try {
            motor.ReadFromFile(path);
        } catch (const thrustlet::RunTimeError&) {
        }
        benchmark::DoNotOptimize(motor.GrainCount());
    }
    std::remove(path.c_str());
}

// 50 MB of grain lines: more grains than a motor holds, so the read fails.
void BM_Read50MBOfGrainLines(benchmark::State& state) {
    std::string body = "Name:\r\nNozzleDia:0.5\r\n";
    const std::string line = "Grain:1,3.5,2,0.8\r\n";
    while (body.size() < 50u * 1000 * 1000) body += line;
    ReadRepeatedly(state, MakeFile("thrustlet_bench_50mb.tlt", body));
}
BENCHMARK(BM_Read50MBOfGrainLines)->Unit(benchmark::kMillisecond);

// A single 50 MB line in the grain list: read whole, then refused.
void BM_Read50MBLine(benchmark::State& state) {
    std::string body = "Name:\r\nNozzleDia:0.5\r\nGrain:1,";
    body.append(50u * 1000 * 1000, '1');
    body += ",2,1\r\n";
    ReadRepeatedly(state, MakeFile("thrustlet_bench_50mb_line.tlt", body));
}
BENCHMARK(BM_Read50MBLine)->Unit(benchmark::kMillisecond);

// The largest motor a file can hold: 32767 grains, read successfully.
void BM_ReadMaximalMotor(benchmark::State& state) {
    std::string body = "Name:\r\nNozzleDia:0.5\r\n";
    for (int i = 0; i < 32767; ++i) body += "Grain:1,3.5,2,0.8\r\n";
    body += "Propellant Data\r\nISP*:900\r\nDensity:0.06\r\nBallisticA:0.05\r\nBallisticN:0.3\r\n";
    const std::string path = MakeFile("thrustlet_bench_max.tlt", body);
    for (auto _ : state) {
        thrustlet::cMotor motor;
        motor.ReadFromFile(path);
        benchmark::DoNotOptimize(motor.GrainCount());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadMaximalMotor)->Unit(benchmark::kMillisecond);

// Saving a 100-grain motor: written, flushed to the disk (file and folder)
// and renamed over the previous file.
void BM_Save100Grains(benchmark::State& state) {
    thrustlet::cMotor motor;
    for (int i = 0; i < 100; ++i) {
        auto grain = std::make_shared<thrustlet::cGrain>();
        grain->SetGrainType(1);
        grain->SetLength(3.5f);
        grain->SetDiameter(2.0f);
        grain->SetCoreDiameter(0.8f + 0.001f * static_cast<float>(i));
        motor.AddGrain(grain);
    }
    const auto path = (std::filesystem::temp_directory_path() / "thrustlet_bench_save.tlt").string();
    for (auto _ : state) motor.SaveToFile(path);
    std::remove(path.c_str());
}
BENCHMARK(BM_Save100Grains)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
