// One run of a design: every figure from one integration of the burn, a
// copy of the design that later edits never reach, and the curves readers
// draw agreeing with the figures.
#include "model/motor_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "model/propellant_library.h"
#include "tests/support/grains.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

class MotorRunTest : public ::testing::Test {
protected:
    // A 38 mm KNSB motor of three grains, on the library's pieces.
    static cMotor Knsb() {
        cMotor motor;
        for (float core : {12.0f, 12.0f, 14.0f}) motor.AddGrain(MakeGrain(57.0f, 33.0f, core));
        motor.SetNozzleDia(8.5f);
        const LibraryPropellant& knsb = PropellantLibrary().front();
        motor.SetISPStar(knsb.c_star);
        motor.SetDensity(knsb.density);
        motor.SetBallisticA(knsb.a);
        motor.SetBallisticN(knsb.n);
        PerformanceInputs in;
        in.units = LengthUnit::kMillimetre;
        in.burn_rate = knsb.pieces;
        in.specific_heat_ratio = knsb.k;
        in.nozzle_exit_dia = 22.0f;
        in.max_pressure = 2.0e6f;
        motor.SetPerformance(in);
        return motor;
    }
};

TEST_F(MotorRunTest, OneIntegrationGivesEveryReaderTheSameBurn) {
    const cMotor motor = Knsb();
    const std::uint64_t before = MotorRunsMade();
    const MotorRun run = RunMotor(motor);
    EXPECT_EQ(MotorRunsMade() - before, 1u);
    ASSERT_TRUE(run.Figures()) << run.Outcome().problem;
    const Performance& p = *run.Figures();
    ASSERT_NE(run.BurnLayout(), nullptr);
    EXPECT_FALSE(run.Steps().empty());
    // The flow and the alerts belong to the same burn: the peak flux is
    // found on its steps, and the 2 MPa rating is crossed by its peak.
    ASSERT_TRUE(run.Flow().peak_mass_flux);
    EXPECT_LE(run.Flow().peak_mass_flux_time, p.burn_time);
    ASSERT_FALSE(run.Alerts().empty());
    EXPECT_EQ(run.Alerts().front().kind, AlertKind::kPressure);
    EXPECT_EQ(run.FluxTrace().grains.size(), 3u);
    EXPECT_EQ(run.FluxTrace(1).grains.size(), 1u);
}

// The trace is the curve the window draws: its thrust sums (trapezoid) to
// the impulse and its highest pressure is the peak, both within 0.5 %.
TEST_F(MotorRunTest, TraceAgreesWithTheFigures) {
    const MotorRun run = RunMotor(Knsb());
    ASSERT_TRUE(run.Figures());
    const std::vector<TracePoint> trace = run.Trace();
    ASSERT_GT(trace.size(), 32u);
    EXPECT_EQ(trace.front().time, 0.0);
    double impulse = 0.0, peak = 0.0;
    for (std::size_t i = 1; i < trace.size(); ++i) {
        EXPECT_GE(trace[i].time, trace[i - 1].time);
        impulse += 0.5 * (trace[i].thrust + trace[i - 1].thrust) * (trace[i].time - trace[i - 1].time);
    }
    for (const TracePoint& point : trace) peak = std::max(peak, point.pressure);
    EXPECT_NEAR(impulse, run.Figures()->total_impulse, 0.005 * run.Figures()->total_impulse);
    EXPECT_NEAR(peak, run.Figures()->peak_pressure, 0.005 * run.Figures()->peak_pressure);

    // Depth figures by the same law: the burn's start and the time at its end.
    const std::vector<DepthFigures> at = run.AtDepths({0.0, 100.0});
    EXPECT_DOUBLE_EQ(at[0].pressure, trace.front().pressure);
    EXPECT_DOUBLE_EQ(at[1].time, run.Figures()->burn_time);
    // The predicted firing rests at ambient before ignition and burns after.
    const std::optional<Firing> predicted = run.PredictedFiring();
    ASSERT_TRUE(predicted);
    EXPECT_EQ(predicted->pressure.front(), run.Design().Performance().AmbientPressure());
    EXPECT_GT(predicted->At(predicted->pressure, 0.5 * run.Figures()->burn_time), 1e6);
}

// The run keeps its own copy: editing the design's grains afterwards, as
// the window does, never changes a run made before.
TEST_F(MotorRunTest, LaterEditsNeverReachARun) {
    cMotor motor = Knsb();
    const MotorRun run = RunMotor(motor);
    const double impulse = run.Figures()->total_impulse;
    motor.Grain(1)->SetLength(200.0f);
    motor.SetNozzleDia(4.0f);
    EXPECT_EQ(run.Design().Grain(1)->Length(), 57.0f);
    EXPECT_EQ(run.Design().NozzleDia(), 8.5f);
    EXPECT_EQ(run.Figures()->total_impulse, impulse);
    EXPECT_EQ(RunMotor(run.Design()).Figures()->total_impulse, impulse);
}

// A design without a propellant, and one whose values give no figures:
// the geometric flow and alerts only, no curves.
TEST_F(MotorRunTest, DesignsWithoutFiguresGiveTheGeometryAlone) {
    cMotor kn_only;
    kn_only.AddGrain(MakeGrain(4.0f, 2.0f, 1.0f));
    kn_only.SetNozzleDia(0.9f);
    const MotorRun plain = RunMotor(kn_only);
    EXPECT_FALSE(plain.HasPropellant());
    EXPECT_FALSE(plain.Figures());
    EXPECT_EQ(plain.Outcome().problem, "");
    EXPECT_TRUE(plain.Trace().empty());
    EXPECT_FALSE(plain.PredictedFiring());
    EXPECT_EQ(plain.AtDepths({0.0, 0.1}).size(), 2u);
    EXPECT_EQ(plain.AtDepths({0.0})[0].pressure, 0.0);
    ASSERT_EQ(plain.Flow().grains.size(), 1u);
    EXPECT_TRUE(plain.Flow().min_port_throat);
    EXPECT_FALSE(plain.Flow().peak_mass_flux);
    ASSERT_EQ(plain.Alerts().size(), 1u);  // a port narrower than twice the throat
    EXPECT_EQ(plain.Alerts()[0].kind, AlertKind::kPortThroat);

    cMotor broken = Knsb();
    broken.SetISPStar(0.0f);
    const MotorRun failed = RunMotor(broken);
    EXPECT_FALSE(failed.Figures());
    EXPECT_NE(failed.Outcome().problem.find("c*"), std::string::npos) << failed.Outcome().problem;
    EXPECT_EQ(failed.BurnLayout(), nullptr);
    EXPECT_TRUE(failed.FluxTrace().times.empty());
}

TEST(DisplayUnitsTest, WordsAndFactorsOfEachUnit) {
    const DisplayUnits inch(LengthUnit::kInch), mm(LengthUnit::kMillimetre), none(std::nullopt);
    EXPECT_STREQ(inch.LengthWord(), "in");
    EXPECT_STREQ(mm.LengthWord(), "mm");
    EXPECT_STREQ(none.LengthWord(), "");
    EXPECT_STREQ(none.LengthAbbreviation(), "mm");
    EXPECT_EQ(inch.PascalsPerPressure(), kPascalsPerPsi);
    EXPECT_EQ(mm.PascalsPerPressure(), kPascalsPerMegapascal);
    EXPECT_EQ(none.PascalsPerPressure(), kPascalsPerMegapascal);
    EXPECT_EQ(inch.MassFluxPer(), kMassFluxPerLbPerSquareInchSecond);
    EXPECT_NEAR(kMassFluxPerLbPerSquareInchSecond, 703.0696, 1e-4);
    EXPECT_NEAR(kKilogramsPerCubicMetrePerPoundPerCubicInch, 27679.9047, 1e-4);
    // A coefficient shown and read back is the stored float again.
    for (const DisplayUnits& units : {inch, mm}) {
        const float a = 1.0e-4f;
        EXPECT_EQ(units.CoefficientFromShown(units.ShownCoefficient(a, 0.319), 0.319), a);
    }
    EXPECT_NEAR(mm.ShownCoefficient(CoefficientFromMmPerSecond(8.26, 0.319), 0.319), 8.26, 1e-5);
    EXPECT_NEAR(inch.ShownCoefficient(CoefficientFromInchesPerSecond(0.0665, 0.319), 0.319), 0.0665, 1e-8);
}

}  // namespace
}  // namespace thrustlet
