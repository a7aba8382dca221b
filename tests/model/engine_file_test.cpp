// The RASP engine file of a thrust curve, read back as a simulator reads it
// (OpenRocket's rules: seven header fields, a time and a thrust a line,
// times rising, the trapezoid impulse).
#include "model/motor_run.h"
#include "model/formats/engine_file.h"
#include "model/formats/rse_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "model/errors.h"
#include "model/motor.h"
#include "model/propellant_library.h"
#include "tests/support/grains.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

struct Engine {
    std::vector<std::string> header;
    std::vector<std::pair<double, double>> points;
    // As simulators sum it: from the (0, 0) the format implies.
    double Impulse() const {
        double impulse = points.empty() ? 0.0 : 0.5 * points.front().second * points.front().first;
        for (std::size_t i = 1; i < points.size(); ++i) {
            impulse += 0.5 * (points[i].second + points[i - 1].second) * (points[i].first - points[i - 1].first);
        }
        return impulse;
    }
};

Engine Read(const std::string& text) {
    Engine engine;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == ';') continue;
        std::istringstream fields(line);
        if (engine.header.empty()) {
            for (std::string field; fields >> field;) engine.header.push_back(field);
            continue;
        }
        double time = 0, thrust = 0;
        std::string rest;
        EXPECT_TRUE(fields >> time >> thrust) << line;
        EXPECT_FALSE(fields >> rest) << line;
        engine.points.emplace_back(time, thrust);
    }
    return engine;
}

// A simulator's checks: the header, the curve from just after ignition (the
// format implies (0, 0)), times strictly rising, no negative thrust, ending
// at 0; the impulse within 1 %.
void ExpectLoadable(const cMotor& motor, const std::string& what) {
    SCOPED_TRACE(what);
    const PerformanceOutcome outcome = ComputePerformance(motor);
    ASSERT_TRUE(outcome.figures) << outcome.problem;
    const Engine engine = Read(EngineFileText(RunMotor(motor), *outcome.figures, what));
    ASSERT_EQ(engine.header.size(), 7u);
    EXPECT_EQ(engine.header[0], outcome.figures->designation);
    EXPECT_LE(std::stod(engine.header[4]), std::stod(engine.header[5]));  // propellant no more than the total
    ASSERT_GE(engine.points.size(), 2u);
    EXPECT_GT(engine.points.front().first, 0.0);
    EXPECT_LE(engine.points.front().first, 0.001 * outcome.figures->burn_time * (1 + 1e-5));
    for (std::size_t i = 1; i < engine.points.size(); ++i) {
        ASSERT_GT(engine.points[i].first, engine.points[i - 1].first) << i;
        ASSERT_GE(engine.points[i].second, 0.0) << i;
    }
    EXPECT_EQ(engine.points.back().second, 0.0);
    EXPECT_NEAR(engine.points.back().first, outcome.figures->burn_time, 1e-5 * outcome.figures->burn_time);
    EXPECT_NEAR(engine.Impulse(), outcome.figures->total_impulse, 0.01 * outcome.figures->total_impulse);
}

cMotor WithPropellant(LengthUnit unit, bool piecewise) {
    cMotor motor;
    motor.SetISPStar(909.0f);
    motor.SetDensity(1841.0f);
    PerformanceInputs in;
    in.units = unit;
    in.specific_heat_ratio = 1.042f;
    if (piecewise) {
        in.burn_rate = PropellantLibrary()[0].pieces;  // KNSB
    } else {
        motor.SetBallisticA(CoefficientFromMmPerSecond(8.26, 0.319));
        motor.SetBallisticN(0.319f);
    }
    motor.SetPerformance(in);
    return motor;
}

// 200 random stacks of 1 to 64 grains, stepped and mixed cores and
// lengths, inches and millimetres, single and piecewise laws.
TEST(EngineFileTest, RandomStacksLoadWithTheirImpulse) {
    std::mt19937 random(8122026);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int m = 0; m < 200; ++m) {
        const bool inches = m % 2 == 0;
        cMotor motor = WithPropellant(inches ? LengthUnit::kInch : LengthUnit::kMillimetre, m % 3 == 0);
        const double scale = inches ? 1.0 / 25.4 : 1.0;
        const double diameter = 25 + unit(random) * 75;
        const int grains = 1 + static_cast<int>(unit(random) * 64);
        double core_area = 0;
        for (int g = 0; g < grains; ++g) {
            const double core = diameter * (0.2 + 0.4 * unit(random));
            const double length = diameter * (0.5 + 2.0 * unit(random));
            motor.AddGrain(MakeGrain(static_cast<float>(length * scale), static_cast<float>(diameter * scale),
                                     static_cast<float>(core * scale)));
            core_area = core * core;
        }
        // A throat near the last core's half, so the Kn stays sensible.
        motor.SetNozzleDia(static_cast<float>(std::sqrt(core_area) * (0.4 + 0.2 * unit(random)) * std::sqrt(grains / 4.0 + 0.5) * scale));
        ExpectLoadable(motor, "random motor " + std::to_string(m));
    }
}

// The most grains a motor holds, each core a step wider: the curve has a
// burnout every step, and the file still sums to the motor's impulse.
TEST(EngineFileTest, ThirtyTwoThousandSteppedGrains) {
    cMotor motor = WithPropellant(LengthUnit::kMillimetre, true);
    for (int g = 0; g < cMotor::kMaxGrains; ++g) {
        motor.AddGrain(MakeGrain(50.0f, 40.0f, 10.0f + 20.0f * static_cast<float>(g) / cMotor::kMaxGrains));
    }
    motor.SetNozzleDia(220.0f);
    ExpectLoadable(motor, "32767 grains");
}

// The header names the case and the hardware's mass where the design gives
// them; a motor without impulse, or without k, is no engine.
TEST(EngineFileTest, HardwareAndRefusals) {
    cMotor motor = WithPropellant(LengthUnit::kMillimetre, false);
    motor.AddGrain(MakeGrain(57, 38, 14));
    motor.AddGrain(MakeGrain(57, 38, 16));
    motor.SetNozzleDia(9.0f);
    PerformanceInputs in = motor.Performance();
    in.case_diameter = 41.3f;
    in.case_length = 152.0f;
    in.hardware_mass = 0.35f;
    motor.SetPerformance(in);
    const PerformanceOutcome outcome = ComputePerformance(motor);
    ASSERT_TRUE(outcome.figures);
    const std::string text = EngineFileText(RunMotor(motor), *outcome.figures, "case.tlt");
    const Engine engine = Read(text);
    ASSERT_EQ(engine.header.size(), 7u);
    EXPECT_EQ(engine.header[1], "41.3");
    EXPECT_EQ(engine.header[2], "152");
    EXPECT_NEAR(std::stod(engine.header[5]) - std::stod(engine.header[4]), 0.35, 1e-5);
    EXPECT_NE(text.find("0.35 kg of hardware"), std::string::npos) << text;
    EXPECT_NEAR(EngineFileImpulse(text), engine.Impulse(), 1e-9);

    Performance none = *outcome.figures;
    none.total_impulse = 0.0;
    EXPECT_THROW(EngineFileText(RunMotor(motor), none, "x"), RunTimeError);
    none = *outcome.figures;
    none.has_thrust = false;
    try {
        EngineFileText(RunMotor(motor), none, "x");
        ADD_FAILURE() << "no k, yet a curve";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Description(), "no thrust curve: the design has no specific heat ratio (SpecificHeatRatio)");
    }
}

}  // namespace
}  // namespace thrustlet

namespace thrustlet {
namespace {

// The delays a user types become the header's field: P for none, else
// whole seconds parted by dashes; anything else is refused with why.
TEST(EngineFileTest, DelaysAsTypedAndAsWritten) {
    const struct {
        const char* typed;
        const char* delays;  // nullptr: refused
    } cases[] = {{"", "P"},          {"p", "P"},          {" P ", "P"},   {"6", "6"},         {"4-6-8", "4-6-8"},
                 {"4, 6,8", "4-6-8"}, {"4 6", "4-6"},     {"0-3", "0-3"}, {"4--6", "4-6"},    {"x", nullptr},
                 {"123", nullptr},   {"-", nullptr},     {"4.5", nullptr}, {"P4", nullptr}, {"4-x", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        std::string problem;
        const std::optional<std::string> delays = EngineDelays(c.typed, &problem);
        if (c.delays) {
            EXPECT_EQ(delays, std::string(c.delays));
        } else {
            EXPECT_FALSE(delays);
            EXPECT_EQ(problem.rfind("the delays are P for a plugged motor", 0), 0u) << problem;
        }
    }
    cMotor motor = WithPropellant(LengthUnit::kMillimetre, false);
    motor.AddGrain(MakeGrain(57, 38, 14));
    motor.SetNozzleDia(9.0f);
    const MotorRun run = RunMotor(motor);
    EXPECT_EQ(Read(EngineFileText(run, "d.tlt", "4-6-8")).header[3], "4-6-8");
    EXPECT_EQ(Read(EngineFileText(run, "d.tlt")).header[3], "P");
    EXPECT_NE(RseFileText(run, "d.tlt", "4-6-8").find(" delays=\"4,6,8\" "), std::string::npos);
}

}  // namespace
}  // namespace thrustlet
