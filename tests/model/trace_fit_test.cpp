// The trace fit: synthetic firings made by the full model from known
// values must give those values back, whatever law the design starts from.
#include <gtest/gtest.h>

#include <cmath>

#include "model/firing_analysis.h"
#include "model/motor_run.h"
#include "model/trace_fit.h"
#include "tests/support/grains.h"
#include "tests/support/knsb_motor.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

class TraceFitTest : public ::testing::Test {
protected:
    // The 38 mm KNSB motor as its builder typed it: the published law.
    static cMotor Typed() {
        return testing::KnsbMotor({MakeGrain(57.0f, 33.0f, 12.0f), MakeGrain(57.0f, 33.0f, 12.0f),
                                   MakeGrain(57.0f, 33.0f, 12.0f)},
                                  8.5f, 22.0f);
    }
    // The motor as it fires: another law, a c* and a nozzle efficiency,
    // and maybe erosive burning.
    static cMotor AsItFires(float a_scale, float n, float combustion, float nozzle, float alpha = 0.0f, float beta = 0.0f) {
        cMotor motor = Typed();
        motor.SetBallisticA(motor.BallisticA() * a_scale * std::pow(3e6f, 0.319f - n));
        motor.SetBallisticN(n);
        PerformanceInputs in = motor.Performance();
        in.model = BurnModel::kFull;
        in.combustion_efficiency = combustion;
        in.nozzle_efficiency = nozzle;
        if (alpha > 0.0f) {
            in.erosive_alpha = alpha;
            in.erosive_beta = beta;
        }
        motor.SetPerformance(in);
        return motor;
    }
    // Its log: sampled every 2 ms, lit at 0.5 s, as the typed design reads it.
    static TraceFitFiring Logged(const cMotor& truth) {
        TraceFitFiring logged;
        logged.design = Typed();
        logged.firing = ModelledFiring(truth, 0.5, 0.002, 3.0);
        logged.figures = AnalyseFiring(logged.firing, RunMotor(logged.design));
        logged.source = "synthetic.csv";
        return logged;
    }
};

// One firing of a near-neutral motor spans too few pressures to part a
// from n, but the burn rate over them, the combustion efficiency and the
// nozzle efficiency come back, and the fitted trace lies on the measured
// one; two firings at different throats give back a and n themselves.
TEST_F(TraceFitTest, GivesBackTheLawAndEfficiencies) {
    const cMotor truth = AsItFires(1.15f, 0.36f, 0.87f, 0.92f);
    const TraceFit fit = FitTraces({Logged(truth)}, {});
    ASSERT_TRUE(fit.Ok()) << fit.problem;
    const auto rate = [](double a, double n) { return a * std::pow(5e6, n); };
    EXPECT_NEAR(rate(fit.law.a, fit.law.n) / rate(truth.BallisticA(), truth.BallisticN()), 1.0, 0.005);
    EXPECT_NEAR(fit.combustion_efficiency, 0.87, 0.005);
    ASSERT_TRUE(fit.nozzle_efficiency);
    EXPECT_NEAR(*fit.nozzle_efficiency, 0.92, 0.005);
    ASSERT_EQ(fit.pressure_rms_pa.size(), 1u);
    EXPECT_LT(fit.pressure_rms_pa[0], 0.01 * fit.mean_pressure_pa[0]);
    EXPECT_GT(fit.mean_pressure_pa[0], 4e6);
    EXPECT_FALSE(fit.erosive_alpha);

    // The design with the fit: the full model, the law and both efficiencies.
    const cMotor fitted = WithTraceFit(Typed(), fit);
    EXPECT_EQ(fitted.Performance().Model(), BurnModel::kFull);
    EXPECT_EQ(fitted.Performance().combustion_efficiency, static_cast<float>(fit.combustion_efficiency));
    const Performance p = *RunMotor(fitted).Figures(), want = *RunMotor(truth).Figures();
    EXPECT_NEAR(p.total_impulse, want.total_impulse, 0.01 * want.total_impulse);
    EXPECT_NEAR(p.burn_time, want.burn_time, 0.01 * want.burn_time);

    cMotor narrow_truth = truth;
    narrow_truth.SetNozzleDia(7.5f);
    TraceFitFiring narrow = Logged(narrow_truth);
    narrow.design.SetNozzleDia(7.5f);
    narrow.figures = AnalyseFiring(narrow.firing, RunMotor(narrow.design));
    const TraceFit both = FitTraces({Logged(truth), narrow}, {});
    ASSERT_TRUE(both.Ok()) << both.problem;
    EXPECT_NEAR(both.law.n, truth.BallisticN(), 0.01);
    EXPECT_NEAR(both.law.a / truth.BallisticA(), 1.0, 0.05);
    EXPECT_NEAR(both.combustion_efficiency, 0.87, 0.005);
}

// Two firings of different throats pin a law in pieces, joined at the
// break; and a firing with erosive burning gives its coefficients back
// closely enough that the trace follows.
TEST_F(TraceFitTest, PiecesAndErosion) {
    const cMotor truth = AsItFires(1.0f, 0.319f, 0.9f, 1.0f, 2e-5f, 100.0f);
    TraceFitOptions options;
    options.erosive = true;
    const TraceFit fit = FitTraces({Logged(truth)}, options);
    ASSERT_TRUE(fit.Ok()) << fit.problem;
    ASSERT_TRUE(fit.erosive_alpha && fit.erosive_beta);
    EXPECT_NEAR(fit.combustion_efficiency, 0.9, 0.01);
    EXPECT_LT(fit.pressure_rms_pa[0], 0.01 * fit.mean_pressure_pa[0]);
    // Without erosion the same trace is followed less well.
    const TraceFit plain = FitTraces({Logged(truth)}, {});
    ASSERT_TRUE(plain.Ok());
    EXPECT_GT(plain.pressure_rms_pa[0], 1.5 * fit.pressure_rms_pa[0]);

    TraceFitOptions pieces;
    pieces.breaks = {3e6};
    cMotor narrow = Typed();
    narrow.SetNozzleDia(7.5f);
    cMotor narrow_truth = AsItFires(1.1f, 0.33f, 0.88f, 1.0f);
    narrow_truth.SetNozzleDia(7.5f);
    TraceFitFiring second = Logged(narrow_truth);
    second.design = narrow;
    second.figures = AnalyseFiring(second.firing, RunMotor(narrow));
    const TraceFit joined = FitTraces({Logged(AsItFires(1.1f, 0.33f, 0.88f, 1.0f)), second}, pieces);
    ASSERT_TRUE(joined.Ok()) << joined.problem;
    ASSERT_EQ(joined.law.pieces.size(), 2u);
    const BurnRatePiece& low = joined.law.pieces[0];
    const BurnRatePiece& high = joined.law.pieces[1];
    const double at_break_low = low.a * std::pow(3e6, static_cast<double>(low.n));
    const double at_break_high = high.a * std::pow(3e6, static_cast<double>(high.n));
    EXPECT_NEAR(at_break_low, at_break_high, 1e-5 * at_break_low);
    EXPECT_NEAR(joined.combustion_efficiency, 0.88, 0.01);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_LT(joined.pressure_rms_pa[i], 0.02 * joined.mean_pressure_pa[i]);
}

// Nothing to fit is said, not guessed.
TEST_F(TraceFitTest, RefusesWhatItCannotFit) {
    EXPECT_FALSE(FitTraces({}, {}).Ok());
    TraceFitFiring thrust_only = Logged(AsItFires(1.0f, 0.319f, 1.0f, 1.0f));
    thrust_only.firing.pressure.clear();
    const TraceFit fit = FitTraces({thrust_only}, {});
    EXPECT_EQ(fit.problem, "synthetic.csv has no chamber pressure to fit the trace to");
}

}  // namespace
}  // namespace thrustlet
