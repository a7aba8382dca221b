// Motors side by side: the key figures each view and the sheet read, and the
// curves an overlay samples at another motor's times.
#include "model/motor_comparison.h"

#include <gtest/gtest.h>

#include "model/mass_flux.h"
#include "model/motor_run.h"
#include "model/performance.h"
#include "tests/support/grains.h"
#include "tests/support/knsb_motor.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

class MotorComparisonTest : public ::testing::Test {
protected:
    // A pressure trace rising 0 → 4 MPa over 1 s, holding 1 s, a burnout
    // at 2 s (two points, 4 then 2 MPa), then falling to 0 at 3 s; the
    // thrust is 100 N per MPa.
    static Performance Trapezoid() {
        Performance p;
        p.burn_time = 3.0;
        p.curve = {{0, 0.0, 0, 0.0, 0.0},   {0, 1.0, 0, 4e6, 400.0}, {0, 2.0, 0, 4e6, 400.0},
                   {0, 2.0, 0, 2e6, 200.0}, {0, 3.0, 0, 0.0, 0.0}};
        return p;
    }
};

TEST_F(MotorComparisonTest, MeanPressureIsTheTimeIntegralOverTheBurn) {
    // 2 (rise) + 4 (hold) + 1 (fall from 2 MPa) MPa·s over 3 s.
    EXPECT_DOUBLE_EQ(MeanPressure(Trapezoid()), 7e6 / 3.0);
    Performance none;
    EXPECT_EQ(MeanPressure(none), 0.0);
}

TEST_F(MotorComparisonTest, CurvesAreLinearBetweenPointsAndZeroOutsideTheBurn) {
    const Performance p = Trapezoid();
    const struct {
        double time, pressure, thrust;
    } cases[] = {{-0.1, 0, 0}, {0.0, 0, 0},         {0.25, 1e6, 100}, {1.5, 4e6, 400},
                 {2.0, 2e6, 200},  // at a burnout the level after it holds
                 {2.5, 1e6, 100}, {3.0, 0, 0},       {3.5, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        EXPECT_DOUBLE_EQ(PressureAt(p, c.time), c.pressure);
        EXPECT_DOUBLE_EQ(ThrustAt(p, c.time), c.thrust);
    }
}

TEST_F(MotorComparisonTest, HighestFluxSkipsSpentGrains) {
    FluxCurve curve;
    curve.times = {0.0, 1.0, 2.0};
    curve.grains = {1, 2};
    curve.flux = {{300.0, 200.0, -1.0}, {100.0, 250.0, 150.0}};
    EXPECT_DOUBLE_EQ(*HighestFluxAt(curve, 0.0), 300.0);
    EXPECT_DOUBLE_EQ(*HighestFluxAt(curve, 0.5), 250.0);
    // Grain 1 is spent at 2 s: its last figure holds to then, not a line to -1.
    EXPECT_DOUBLE_EQ(*HighestFluxAt(curve, 1.5), 200.0);
    EXPECT_DOUBLE_EQ(*HighestFluxAt(curve, 2.0), 200.0);
    EXPECT_FALSE(HighestFluxAt(curve, 2.5));
    EXPECT_FALSE(HighestFluxAt(FluxCurve{}, 0.0));
}

TEST_F(MotorComparisonTest, KeyFiguresComeFromTheRun) {
    cMotor motor;
    for (int i = 0; i < 2; ++i) motor.AddGrain(MakeGrain(57.0f, 33.0f, 12.0f));
    motor.SetNozzleDia(8.0f);
    const KeyFigures bare = KeyFiguresOf(RunMotor(motor));
    EXPECT_FALSE(bare.total_impulse);
    EXPECT_FALSE(bare.peak_pressure);
    EXPECT_TRUE(bare.designation.empty());

    motor = testing::KnsbMotor({MakeGrain(57.0f, 33.0f, 12.0f), MakeGrain(57.0f, 33.0f, 12.0f)}, 8.0f, 20.0f);
    const MotorRun run = RunMotor(motor);
    ASSERT_TRUE(run.Figures());
    const KeyFigures key = KeyFiguresOf(run);
    EXPECT_EQ(key.total_impulse, run.Figures()->total_impulse);
    EXPECT_EQ(key.designation, run.Figures()->designation);
    EXPECT_EQ(key.peak_pressure, run.Figures()->peak_pressure);
    EXPECT_EQ(key.burn_time, run.Figures()->burn_time);
    EXPECT_EQ(key.peak_mass_flux, run.Flow().peak_mass_flux);
    ASSERT_TRUE(key.average_pressure);
    EXPECT_GT(*key.average_pressure, 0.3 * *key.peak_pressure);
    EXPECT_LT(*key.average_pressure, *key.peak_pressure);
}

}  // namespace
}  // namespace thrustlet
