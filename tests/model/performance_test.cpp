// Performance figures against closed forms, against an independent dense
// integration, and the rules for the burn-rate pieces and refused values.
#include "model/motor_run.h"
#include "model/performance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <array>
#include <functional>

#include "model/motor.h"
#include "tests/support/grains.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

constexpr double kPiProgram = 3.141592;

// A motor with a propellant: KNSB-like SI values, lengths in `unit`.
cMotor MotorWith(LengthUnit unit, std::vector<std::array<float, 3>> grains, float throat) {
    cMotor motor;
    for (const auto& g : grains) motor.AddGrain(MakeGrain(g[0], g[1], g[2]));
    motor.SetNozzleDia(throat);
    motor.SetISPStar(885.0f);
    motor.SetDensity(1800.0f);
    motor.SetBallisticA(8.26e-3f * std::pow(1e-6f, 0.319f));
    motor.SetBallisticN(0.319f);
    PerformanceInputs in;
    in.units = unit;
    in.specific_heat_ratio = 1.042f;
    motor.SetPerformance(in);
    return motor;
}

// The performance by a plain, dense midpoint sum over the burn depth, with
// every rule written out afresh: the reference.
struct Dense {
    double burn_time = 0, impulse = 0, peak_pressure = 0;
};

double IdealExitRatio(double k, double eps) {
    // Newton on the area-Mach relation, supersonic branch.
    if (eps <= 1.0) return std::pow(2.0 / (k + 1.0), k / (k - 1.0));
    double mach = 2.0;
    for (int i = 0; i < 100; ++i) {
        const double h = 1e-7 * mach;
        auto area = [&](double m) {
            return std::pow(2.0 / (k + 1.0) * (1.0 + (k - 1.0) / 2.0 * m * m), (k + 1.0) / (2.0 * (k - 1.0))) / m;
        };
        mach -= (area(mach) - eps) / ((area(mach + h) - area(mach - h)) / (2 * h));
    }
    return std::pow(1.0 + (k - 1.0) / 2.0 * mach * mach, -k / (k - 1.0));
}

Dense DenseIntegration(const cMotor& motor, int steps = 400000) {
    const PerformanceInputs& in = motor.Performance();
    const double m = *in.units == LengthUnit::kInch ? 0.0254 : 0.001;
    const double throat = kPiProgram * motor.NozzleDia() * motor.NozzleDia() / 4.0;
    double end = 0;
    for (const auto& g : motor.Grains()) {
        if (g->CoreDiameter() < g->Diameter()) {
            end = std::max(end, std::min<double>(g->Length(), g->Diameter() - g->CoreDiameter()) / 2.0);
        }
    }
    const double k = in.specific_heat_ratio.value_or(0.0f);
    const double eps = in.NozzleExitDia() > 0 ? std::pow(in.NozzleExitDia() / motor.NozzleDia(), 2.0) : 1.0;
    const double exit = k > 1 ? IdealExitRatio(k, eps) : 0.0;
    Dense dense;
    const double dx = end / steps;
    for (int i = 0; i < steps; ++i) {
        const double x = (i + 0.5) * dx;
        double area = 0;
        for (const auto& g : motor.Grains()) {
            const double c = g->CoreDiameter() + 2 * x, l = g->Length() - 2 * x, d = g->Diameter();
            if (l > 0 && c <= d) area += kPiProgram * c * l + 2 * kPiProgram / 4 * (d * d - c * c);
        }
        if (area <= 0) continue;
        const double kn = area / throat;
        // The first piece that holds its own pressure, else the nearest in log P.
        double a = motor.BallisticA(), n = motor.BallisticN(), pressure = 0, best = 1e300;
        bool held = in.burn_rate.empty();
        if (held) pressure = std::pow(kn * a * motor.Density() * motor.ISPStar(), 1 / (1 - n));
        for (const BurnRatePiece& piece : in.burn_rate) {
            const double p = std::pow(kn * piece.a * motor.Density() * motor.ISPStar(), 1 / (1 - piece.n));
            if (p >= piece.p_min && p <= piece.p_max) {
                pressure = p, a = piece.a, n = piece.n, held = true;
                break;
            }
            const double d = p < piece.p_min ? std::log(piece.p_min / p) : std::log(p / piece.p_max);
            if (d < best) best = d, pressure = p, a = piece.a, n = piece.n;
        }
        const double rate = a * std::pow(pressure, n);
        const double dt = dx * m / rate;
        double cf = 0;
        if (k > 1) {
            cf = std::sqrt(2 * k * k / (k - 1) * std::pow(2 / (k + 1), (k + 1) / (k - 1)) *
                           (1 - std::pow(exit, (k - 1) / k))) +
                 (exit - in.AmbientPressure() / pressure) * eps;
        }
        const double thrust = std::max(0.0, in.NozzleEfficiency() * cf * pressure * throat * m * m);
        dense.burn_time += dt;
        dense.impulse += thrust * dt;
        dense.peak_pressure = std::max(dense.peak_pressure, pressure);
    }
    return dense;
}

double Relative(double value, double reference) { return std::fabs(value - reference) / std::fabs(reference); }

// With n = 0 the burn rate is a at every pressure, so the burn time is the
// burnout depth over a; in vacuum the thrust coefficient is the same at
// every pressure, so the impulse is efficiency x Cf x c* x propellant mass.
TEST(PerformanceTest, ClosedFormsWithAConstantBurnRate) {
    const struct {
        LengthUnit unit;
        float exit;
        float efficiency;
    } cases[] = {{LengthUnit::kInch, 0.0f, 1.0f}, {LengthUnit::kMillimetre, 40.0f, 0.9f}, {LengthUnit::kInch, 1.2f, 0.95f}};
    for (const auto& c : cases) {
        const float scale = c.unit == LengthUnit::kInch ? 1.0f : 25.0f;
        cMotor motor = MotorWith(c.unit, {{4 * scale, 2 * scale, 1 * scale}, {3 * scale, 2 * scale, 0.75f * scale}},
                                 0.5f * scale);
        motor.SetBallisticA(0.005f);  // 5 mm/s
        motor.SetBallisticN(0.0f);
        PerformanceInputs in = motor.Performance();
        in.nozzle_exit_dia = c.exit * (c.unit == LengthUnit::kInch ? 1.0f : 1.0f);
        in.nozzle_efficiency = c.efficiency;
        in.ambient_pressure = 0.0f;
        motor.SetPerformance(in);
        const PerformanceOutcome outcome = ComputePerformance(motor);
        ASSERT_TRUE(outcome.figures) << outcome.problem;
        const Performance& p = *outcome.figures;
        const double m = MetresPer(c.unit);
        EXPECT_LT(Relative(p.burn_time, 0.625 * scale * m / static_cast<double>(0.005f)), 1e-9);  // the second grain's web burns last
        const double volume = kPiProgram / 4 * ((4 - 1) * 4 + (4 - 0.5625) * 3) * scale * scale * scale;
        EXPECT_LT(Relative(p.propellant_mass, 1800.0 * volume * m * m * m), 1e-6);
        const double eps = c.exit > 0 ? std::pow(c.exit / (0.5 * scale), 2.0) : 1.0;
        const double cf = ThrustCoefficient(1.042, eps, 1e6, 0.0);
        EXPECT_LT(Relative(p.total_impulse, c.efficiency * cf * 885.0 * p.propellant_mass), 1e-7);
        EXPECT_LT(Relative(p.average_thrust, p.total_impulse / p.burn_time), 1e-12);
        EXPECT_LT(Relative(p.delivered_isp, p.total_impulse / (p.propellant_mass * 9.80665)), 1e-12);
    }
}

// Motors of every kind against the dense sum: single and piecewise laws,
// inch and millimetre, with and without a divergent nozzle, sea level and
// vacuum, grains burning out early.
TEST(PerformanceTest, FiguresMatchADenseIntegration) {
    std::vector<cMotor> motors;
    motors.push_back(MotorWith(LengthUnit::kInch, {{2.25f, 1.5f, 0.5f}, {2.25f, 1.5f, 0.5f}, {2.25f, 1.5f, 0.625f}}, 0.35f));
    motors.push_back(MotorWith(LengthUnit::kMillimetre, {{70, 38, 14}, {70, 38, 16}, {50, 38, 20}}, 9.5f));
    motors.push_back(MotorWith(LengthUnit::kInch, {{1.0f, 2.0f, 0.5f}, {4.0f, 2.0f, 0.8f}}, 0.5f));  // a short grain
    // Piecewise (KNSB-like pieces in SI), a divergent nozzle, vacuum.
    cMotor piecewise = MotorWith(LengthUnit::kMillimetre, {{90, 54, 20}, {90, 54, 20}, {90, 54, 24}, {90, 54, 24}}, 13.0f);
    PerformanceInputs in = piecewise.Performance();
    const float pieces[][4] = {{0.101f, 0.807f, 10.708f, 0.625f}, {0.807f, 1.503f, 8.763f, -0.314f},
                               {1.503f, 3.792f, 7.852f, -0.013f}, {3.792f, 7.033f, 3.907f, 0.535f},
                               {7.033f, 10.67f, 9.653f, 0.064f}};
    for (const auto& p : pieces) {
        in.burn_rate.push_back({p[0] * 1e6f, p[1] * 1e6f, p[2] * 1e-3f * std::pow(1e-6f, p[3]), p[3]});
    }
    in.nozzle_exit_dia = 35.0f;
    in.ambient_pressure = 0.0f;
    piecewise.SetPerformance(in);
    motors.push_back(piecewise);
    in.ambient_pressure = 101325.0f;  // overexpanded at sea level
    in.nozzle_efficiency = 0.85f;
    piecewise.SetPerformance(in);
    motors.push_back(piecewise);
    for (size_t i = 0; i < motors.size(); ++i) {
        const PerformanceOutcome outcome = ComputePerformance(motors[i]);
        ASSERT_TRUE(outcome.figures) << i << ": " << outcome.problem;
        const Dense dense = DenseIntegration(motors[i]);
        EXPECT_LT(Relative(outcome.figures->burn_time, dense.burn_time), 1e-5) << i;
        EXPECT_LT(Relative(outcome.figures->total_impulse, dense.impulse), 1e-5) << i;
        EXPECT_LT(Relative(outcome.figures->peak_pressure, dense.peak_pressure), 1e-5) << i;
        const auto& curve = outcome.figures->curve;
        for (size_t j = 1; j < curve.size(); ++j) ASSERT_GE(curve[j].time, curve[j - 1].time) << i;
        EXPECT_EQ(curve.back().thrust, 0.0);
        EXPECT_DOUBLE_EQ(curve.back().time, outcome.figures->burn_time);
    }
}

// The first piece (in ascending order) whose range holds its own pressure is
// used: at a shared end the lower piece; in a gap between pieces the one
// nearest in log P, and the figures say the design left the data.
TEST(PerformanceTest, PieceSelectionAtRangeEdgesAndGaps) {
    // n = 0 pieces make P = Kn a rho c*; a single equal-web grain pair keeps
    // Kn in a known band.
    auto with_pieces = [](std::vector<BurnRatePiece> pieces) {
        cMotor motor = MotorWith(LengthUnit::kInch, {{4, 2, 1}}, 0.5f);
        PerformanceInputs in = motor.Performance();
        in.burn_rate = std::move(pieces);
        motor.SetPerformance(in);
        return motor;
    };
    // Kn of this motor runs from 88 to about 98 (area 5.5 pi to about 6.1
    // pi over a throat of pi / 16); with a = 0.001 m/s, rho c* = 1593000.
    const double kn_first = 88.0;
    const double shared = kn_first * 0.001 * 1800 * 885;  // exactly the pressure at Kn 88
    const PerformanceOutcome edge = ComputePerformance(
        with_pieces({{0.0f, static_cast<float>(shared), 0.001f, 0.0f}, {static_cast<float>(shared), 1e9f, 0.002f, 0.0f}}));
    ASSERT_TRUE(edge.figures) << edge.problem;
    // Only at depth 0 does the lower piece hold; the rest burns at a = 0.002.
    EXPECT_NEAR(edge.figures->burn_time, 0.5 * 0.0254 / static_cast<double>(0.002f), 1e-9);
    EXPECT_FALSE(edge.figures->outside_burn_rate_data);

    // A gap above the burn: the nearest piece in log P (the first), flagged.
    const PerformanceOutcome gap =
        ComputePerformance(with_pieces({{1e3f, 2e3f, 0.001f, 0.0f}, {1e9f, 2e9f, 0.002f, 0.0f}}));
    ASSERT_TRUE(gap.figures) << gap.problem;
    EXPECT_TRUE(gap.figures->outside_burn_rate_data);
    EXPECT_NEAR(gap.figures->burn_time, 0.5 * 0.0254 / static_cast<double>(0.001f), 1e-9);
    EXPECT_NEAR(gap.figures->peak_pressure, DenseIntegration(with_pieces({{1e3f, 2e3f, 0.001f, 0.0f}, {1e9f, 2e9f, 0.002f, 0.0f}})).peak_pressure,
                1e-3 * gap.figures->peak_pressure);
}

// Values no burn can have give a clear problem and no figures; a design
// without a unit (a file of the seven-line form) has no figures and no
// problem; without k there are pressure figures but no thrust.
TEST(PerformanceTest, BadValuesAreRefusedClearly) {
    const struct {
        const char* name;
        std::function<void(cMotor&, PerformanceInputs&)> spoil;
        const char* problem;
    } cases[] = {
        {"n = 1", [](cMotor& m, PerformanceInputs&) { m.SetBallisticN(1.0f); }, "the burn-rate exponent n must be below 1, not 1"},
        {"a = 0", [](cMotor& m, PerformanceInputs&) { m.SetBallisticA(0.0f); }, "the burn-rate coefficient a must be above 0, not 0"},
        {"rho < 0", [](cMotor& m, PerformanceInputs&) { m.SetDensity(-1.0f); }, "the density must be above 0, not -1"},
        {"c* = 0", [](cMotor& m, PerformanceInputs&) { m.SetISPStar(0.0f); }, "c* (ISP*) must be above 0, not 0"},
        {"k = 1", [](cMotor&, PerformanceInputs& in) { in.specific_heat_ratio = 1.0f; }, "the specific heat ratio k must be above 1, not 1"},
        {"piece n", [](cMotor&, PerformanceInputs& in) { in.burn_rate = {{0, 1e6f, 1e-4f, 1.2f}}; }, "burn-rate piece 1: n must be below 1, not 1.2"},
        {"narrow exit", [](cMotor&, PerformanceInputs& in) { in.nozzle_exit_dia = 0.25f; }, "the nozzle exit (0.25) is narrower than the throat (0.5)"},
        {"efficiency", [](cMotor&, PerformanceInputs& in) { in.nozzle_efficiency = 1.5f; }, "the nozzle efficiency must be above 0 and at most 1, not 1.5"},
        {"overflow", [](cMotor& m, PerformanceInputs&) { m.SetBallisticN(0.999999f); }, "the figures overflow: check the propellant's values and the grains' sizes"},
        {"65 pieces", [](cMotor&, PerformanceInputs& in) {
             for (int i = 0; i < 65; ++i) in.burn_rate.push_back({i * 1e5f, (i + 1) * 1e5f, 1e-4f, 0.3f});
         }, "a burn-rate law holds at most 64 pieces, not 65"},
    };
    for (const auto& c : cases) {
        cMotor motor = MotorWith(LengthUnit::kInch, {{4, 2, 1}}, 0.5f);
        PerformanceInputs in = motor.Performance();
        c.spoil(motor, in);
        motor.SetPerformance(in);
        const PerformanceOutcome outcome = ComputePerformance(motor);
        EXPECT_FALSE(outcome.figures) << c.name;
        EXPECT_EQ(outcome.problem, c.problem) << c.name;
    }
    cMotor old = MotorWith(LengthUnit::kInch, {{4, 2, 1}}, 0.5f);
    old.SetPerformance({});
    EXPECT_FALSE(ComputePerformance(old).figures);
    EXPECT_EQ(ComputePerformance(old).problem, "");

    cMotor no_k = MotorWith(LengthUnit::kInch, {{4, 2, 1}}, 0.5f);
    PerformanceInputs in = no_k.Performance();
    in.specific_heat_ratio.reset();
    no_k.SetPerformance(in);
    const PerformanceOutcome pressure_only = ComputePerformance(no_k);
    ASSERT_TRUE(pressure_only.figures);
    EXPECT_FALSE(pressure_only.figures->has_thrust);
    EXPECT_GT(pressure_only.figures->burn_time, 0.0);
    EXPECT_EQ(pressure_only.figures->total_impulse, 0.0);
    EXPECT_EQ(pressure_only.figures->designation, "");
}

// A motor whose thrust tails off below 5 % of its peak: the average thrust
// is the impulse from ignition to where the thrust falls below 5 %, over
// that time (a thin-web grain burns out early, a short thick one burns on
// alone at a low pressure). A motor that never tails off keeps impulse over
// burn time.
TEST(PerformanceTest, AverageThrustByTheCertificationRule) {
    cMotor tail = MotorWith(LengthUnit::kInch, {{20.0f, 2.0f, 1.9f}, {0.3f, 2.0f, 0.2f}}, 0.9f);
    const PerformanceOutcome outcome = ComputePerformance(tail);
    ASSERT_TRUE(outcome.figures) << outcome.problem;
    const Performance& p = *outcome.figures;
    // The thin grain burns out at depth 0.05: that is where the thrust drops
    // below 5 % of the peak, and the window ends.
    double window_time = -1, window_impulse = 0;
    for (std::size_t i = 1; i < p.curve.size(); ++i) {
        if (p.curve[i].depth >= 0.05 - 1e-12 && window_time < 0) window_time = p.curve[i].time;
    }
    ASSERT_GT(window_time, 0.0);
    EXPECT_LT(window_time, 0.5 * p.burn_time);
    EXPECT_NEAR(p.thrust_time, window_time, 1e-9 * window_time);
    // The window's impulse by an independent midpoint sum over its depths.
    const double m = 0.0254, throat = kPiProgram * 0.9 * 0.9 / 4 * m * m, rho_cstar = 1800.0 * 885.0;
    const double a = tail.BallisticA(), n = tail.BallisticN();
    const int steps = 200000;
    for (int i = 0; i < steps; ++i) {
        const double x = (i + 0.5) * 0.05 / steps;
        double area = 0;
        for (const auto& g : tail.Grains()) {
            const double c = g->CoreDiameter() + 2 * x, l = g->Length() - 2 * x, d = g->Diameter();
            if (l > 0 && c <= d) area += kPiProgram * c * l + kPiProgram / 2 * (d * d - c * c);
        }
        const double kn = area * m * m / throat;
        const double pressure = std::pow(kn * a * rho_cstar, 1 / (1 - n));
        const double dt = 0.05 / steps * m / (a * std::pow(pressure, n));
        window_impulse += ThrustCoefficient(1.042, 1.0, pressure, 101325.0) * pressure * throat * dt;
    }
    EXPECT_NEAR(p.average_thrust, window_impulse / window_time, 2e-5 * p.average_thrust);
    EXPECT_GT(p.average_thrust, 1.05 * p.total_impulse / p.burn_time);
    EXPECT_EQ(p.designation, Designation(p.total_impulse, p.average_thrust));

    const PerformanceOutcome steady = ComputePerformance(MotorWith(LengthUnit::kInch, {{4, 2, 1}, {4, 2, 1}}, 0.5f));
    ASSERT_TRUE(steady.figures);
    EXPECT_EQ(steady.figures->thrust_time, steady.figures->burn_time);
    EXPECT_EQ(steady.figures->average_thrust, steady.figures->total_impulse / steady.figures->burn_time);
}

// A grain as long as its core has to grow to reach its diameter burns out
// by length and by web at once, to an area of 0 that rounding can leave a
// hair below it: the curve and the figures at every depth stay numbers.
TEST(PerformanceTest, BurnoutAtTheLastAreaIsNeverNaN) {
    const struct {
        LengthUnit unit;
        float diameter, core, throat;
    } cases[] = {{LengthUnit::kMillimetre, 52.7719f, 32.074f, 10.8143f},
                 {LengthUnit::kInch, 1.22949f, 0.70348f, 0.584847f},
                 {LengthUnit::kInch, 2.0f, 1.0f, 0.5f},
                 {LengthUnit::kMillimetre, 38.0f, 14.0f, 9.0f}};
    for (const auto& c : cases) {
        cMotor motor = MotorWith(c.unit, {{c.diameter - c.core, c.diameter, c.core}}, c.throat);
        PerformanceInputs in = motor.Performance();
        const float knsb[][4] = {{0.101f, 0.807f, 10.708f, 0.625f}, {0.807f, 1.503f, 8.763f, -0.314f},
                                 {1.503f, 3.792f, 7.852f, -0.013f}, {3.792f, 7.033f, 3.907f, 0.535f},
                                 {7.033f, 10.67f, 9.653f, 0.064f}};
        for (const auto& p : knsb) in.burn_rate.push_back({p[0] * 1e6f, p[1] * 1e6f, p[2] * 1e-3f * std::pow(1e-6f, p[3]), p[3]});
        motor.SetPerformance(in);
        const PerformanceOutcome outcome = ComputePerformance(motor);
        ASSERT_TRUE(outcome.figures) << outcome.problem;
        std::vector<double> depths;
        for (const PerformancePoint& point : outcome.figures->curve) {
            ASSERT_TRUE(std::isfinite(point.kn) && std::isfinite(point.pressure) && std::isfinite(point.thrust) &&
                        std::isfinite(point.time))
                << c.diameter << " at depth " << point.depth;
            depths.push_back(point.depth);
        }
        double previous = -1.0;
        const std::vector<DepthFigures> at = RunMotor(motor).AtDepths(depths);
        for (std::size_t i = 0; i < at.size(); ++i) {
            ASSERT_TRUE(std::isfinite(at[i].pressure) && std::isfinite(at[i].thrust) && std::isfinite(at[i].time));
            // The time a depth is reached is the curve's own time there.
            EXPECT_NEAR(at[i].time, outcome.figures->curve[i].time, 1e-9 * outcome.figures->burn_time) << i;
            EXPECT_GE(at[i].time, previous);
            previous = at[i].time;
        }
    }
}

// Figures a float cannot hold (a throat so narrow that the pressure runs
// past every real one) are a problem naming the figure, not a crash later.
TEST(PerformanceTest, FiguresPastTheFloatRangeAreNamed) {
    cMotor motor = MotorWith(LengthUnit::kInch, {{4, 2, 1}}, 0.5f);
    motor.SetBallisticN(0.95f);
    motor.SetBallisticA(5e-5f);
    const PerformanceOutcome outcome = ComputePerformance(motor);
    EXPECT_FALSE(outcome.figures);
    EXPECT_NE(outcome.problem.find(") is beyond any motor"), std::string::npos) << outcome.problem;
    EXPECT_EQ(outcome.problem.rfind("the peak pressure (", 0), 0u) << outcome.problem;
}

TEST(PerformanceTest, ClassesAndDesignations) {
    const struct {
        double impulse;
        const char* letters;
    } classes[] = {{0.0, ""}, {0.1, "1/8A"}, {0.3125, "1/8A"}, {0.32, "1/4A"}, {0.625, "1/4A"}, {0.63, "1/2A"},
                   {1.25, "1/2A"}, {1.26, "A"}, {2.5, "A"}, {2.51, "B"}, {5.0, "B"}, {5.01, "C"}, {320.0, "H"},
                   {320.01, "I"}, {640.0, "I"}, {2.5 * std::pow(2.0, 25), "Z"}, {2.5 * std::pow(2.0, 25) + 1, "AA"}};
    for (const auto& c : classes) EXPECT_EQ(ImpulseClass(c.impulse), c.letters) << c.impulse;
    EXPECT_EQ(Designation(600.0, 411.6), "I412");
    EXPECT_EQ(Designation(600.0, 412.5), "I412");  // halves to even, as every rounding here
    EXPECT_EQ(Designation(0.9, 1.4), "1/2A1");
    EXPECT_EQ(Designation(0.0, 0.0), "");
}

TEST(PerformanceTest, NozzleRelations) {
    EXPECT_NEAR(ExitPressureRatio(1.4, 1.0), 0.528282, 1e-6);  // the critical pressure ratio of air
    EXPECT_NEAR(ExitPressureRatio(1.4, 1.6875), 0.1278, 1e-4);  // Mach 2 (A/A* = 1.6875)
    // A vacuum coefficient grows with the expansion; a converging nozzle's
    // at its sonic exit: sqrt(2k^2/(k-1) (2/(k+1))^((k+1)/(k-1)) (1 - pe^((k-1)/k))) + pe.
    EXPECT_GT(ThrustCoefficient(1.2, 10.0, 5e6, 0.0), ThrustCoefficient(1.2, 4.0, 5e6, 0.0));
    EXPECT_NEAR(ThrustCoefficient(1.4, 1.0, 1e6, 0.0), 1.2679, 1e-4);
    EXPECT_EQ(ThrustCoefficient(1.2, 20.0, 2e5, 101325.0), 0.0);  // never below 0
}

}  // namespace
}  // namespace thrustlet
