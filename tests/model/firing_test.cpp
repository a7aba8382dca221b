// Static firings: reading test-stand logs, what a firing measured (the
// tangent-bisector burnout among it), burn-rate points and the fitted law,
// against synthetic firings made with the model itself.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "model/motor_run.h"
#include "model/burn_rate_fit.h"
#include "model/errors.h"
#include "model/firing_analysis.h"
#include "model/static_firing.h"
#include "model/formats/firing_log.h"
#include "model/motor.h"
#include "model/performance.h"
#include "model/propellant_library.h"
#include "tests/support/grains.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

constexpr double kPsi = 6894.757293168361;
constexpr double kLbf = 4.4482216152605;

// Ten samples of a line in a given form: time, force, pressure.
std::string Log(const std::string& header, const std::string& separator, bool decimal_comma, double time_scale = 1.0) {
    std::string text = header.empty() ? "" : header + "\n";
    for (int i = 0; i < 12; ++i) {
        std::string line;
        for (double value : {i * 0.1 * time_scale, 100.0 + i, 500.0 + 10 * i}) {
            std::string number = std::to_string(value);
            if (decimal_comma) std::replace(number.begin(), number.end(), '.', ',');
            line += (line.empty() ? "" : separator) + number;
        }
        text += line + "\n";
    }
    return text;
}

TEST(FiringLogTest, SeparatorsHeadersAndUnits) {
    FiringReadOptions options;
    options.ambient = 100000.0;
    const struct {
        const char* name;
        std::string text;
        FiringUnits units;
        double time_factor, force_factor, pressure_factor, offset;
    } cases[] = {
        {"commas, SI header", Log("time (s),force (N),pressure (Pa)", ",", false), {}, 1, 1, 1, 100000},
        {"semicolons, decimal comma", Log("Time [ms];Thrust [lbf];Pc [psi]", ";", true, 1000), {}, 1e-3, kLbf, kPsi, 100000},
        {"tabs", Log("t (s)\tload (kgf)\tpressure (MPa)", "\t", false), {}, 1, 9.80665, 1e6, 100000},
        {"spaces, units apart", Log("time (s)  force (N)  P (bar)", "  ", false), {}, 1, 1, 1e5, 100000},
        {"absolute by the header", Log("time(s),thrust(N),pressure(psia)", ",", false), {}, 1, 1, kPsi, 0},
        {"no header, units given", Log("", ",", false, 1000),
         {TimeUnit::kMillisecond, ForceUnit::kPoundForce, PressureUnit::kKilopascal}, 1e-3, kLbf, 1e3, 100000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FiringReadOptions with = options;
        with.units = c.units;
        const Firing firing = ReadFiring(c.text, with);
        ASSERT_EQ(firing.Samples(), 12u);
        EXPECT_NEAR(firing.time[3], 0.3 * c.time_factor * (c.time_factor < 1 ? 1000 : 1), 1e-12);
        EXPECT_NEAR(firing.force[3], 103 * c.force_factor, 1e-9);
        EXPECT_NEAR(firing.pressure[3], 530 * c.pressure_factor + c.offset, 1e-6);
    }
    EXPECT_NEAR(ReadFiring(Log("", ",", false), [] {
                    FiringReadOptions o;
                    o.units = {TimeUnit::kSecond, ForceUnit::kNewton, PressureUnit::kPsi};
                    o.absolute = true;
                    return o;
                }()).pressure[0], 500 * kPsi, 1e-6);
    const FiringUnits parsed = ParseFiringUnits("time=ms, force=LBF,pressure=psi");
    EXPECT_EQ(parsed.time, TimeUnit::kMillisecond);
    EXPECT_EQ(parsed.force, ForceUnit::kPoundForce);
    EXPECT_EQ(parsed.pressure, PressureUnit::kPsi);
    EXPECT_THROW(ParseFiringUnits("force=tons"), RunTimeError);
}

// Comments, a second header and a logger's footer are skipped and counted;
// a force-only log needs no pressure unit.
TEST(FiringLogTest, LinesThatAreNoSamples) {
    std::string text = "# logged by a stand\n" + Log("time (s),thrust (N)", ",", false);
    text.insert(text.find("0.500000"), "time (s),thrust (N)\n");
    text += "end of record\n\n";
    // Only time and thrust: drop the third value of every line.
    std::string two;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        std::string line = text.substr(at, end - at);
        if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) line = line.substr(0, line.rfind(','));
        two += line + "\n";
        at = end + 1;
    }
    const Firing firing = ReadFiring(two, {});
    EXPECT_EQ(firing.Samples(), 12u);
    EXPECT_EQ(firing.skipped_lines, 4);  // the comment, the header, its repeat, the footer
    EXPECT_FALSE(firing.HasPressure());
    EXPECT_TRUE(firing.HasForce());
}

// A long preamble (a million blank lines, a hundred lines of remarks)
// keeps only what the samples need: the header just above them still names
// the units, and the remarks count as skipped lines.
TEST(FiringLogTest, LongPreambleStillFindsTheHeader) {
    std::string text(1000000, '\n');
    for (int i = 0; i < 100; ++i) text += "remark " + std::to_string(i) + ": stand calibrated\n";
    text += Log("time (ms),force (lbf),pressure (psi)", ",", false, 1000.0);
    const Firing firing = ReadFiring(text, {});
    ASSERT_EQ(firing.Samples(), 12u);
    EXPECT_EQ(firing.skipped_lines, 101);  // the remarks and the header
    EXPECT_NEAR(firing.time[1], 0.1, 1e-12);
    EXPECT_NEAR(firing.force[1], 101.0 * kLbf, 1e-9);
    // Gauge psi, as the default: the ambient pressure added.
    EXPECT_GT(firing.pressure[1], 510.0 * kPsi);
    EXPECT_LE(firing.time.capacity(), 2 * text.size() / 20);

    // Blank runs (LF, CR LF or CR alone) are passed counting their lines:
    // a fault is named at its own line.
    for (const std::string end : {"\n", "\r\n", "\r"}) {
        std::string log = end + end + "  \t" + end + "time (s),force (N)" + end;
        for (int i = 0; i < 12; ++i) log += std::to_string(i) + ",5" + end + (i == 5 ? end + end : "");
        log += "11,5" + end;  // line 4 + 12 + 2 blank + 1 = 19
        try {
            ReadFiring(log, {});
            ADD_FAILURE() << "a repeated time read";
        } catch (const RunTimeError& error) {
            EXPECT_EQ(error.Description().rfind("line 19: the time 11 repeats", 0), 0u) << error.Description();
        }
    }
}

TEST(FiringLogTest, BadLogsAreRefusedClearly) {
    const auto message = [](const std::string& text, FiringReadOptions options = {}) {
        try {
            ReadFiring(text, options);
        } catch (const RunTimeError& error) {
            return error.Description();
        }
        return std::string("read");
    };
    std::string backward = Log("time (s),force (N)", ",", false);
    backward.replace(backward.find("0.400000"), 8, "0.200000");
    EXPECT_EQ(message(backward), "line 6: the time 0.2 goes back from the line before's");
    std::string repeated = Log("time (s),force (N)", ",", false);
    repeated.replace(repeated.find("0.400000"), 8, "0.300000");
    EXPECT_EQ(message(repeated), "line 6: the time 0.3 repeats the line before's");
    EXPECT_EQ(message("time (s),force (N)\n0,1\n1,2\n2,3\n3,4\n4,5\n"), "only 5 samples: a firing needs at least 10");
    EXPECT_EQ(message(Log("time (s),humidity (%),temperature (C)", ",", false)),
              "the file has neither a force nor a pressure column");
    std::string nan = Log("time (s),force (N)", ",", false);
    nan.replace(nan.find("105.000000"), 10, "nan");
    EXPECT_EQ(message(nan), "line 7 holds a value that is not a finite number");
    // No unit is guessed: a log of milliseconds headed "time,thrust" would
    // be a burn a thousand times too long.
    EXPECT_EQ(message(Log("time,thrust", ",", false, 1000)).rfind("the time column's unit is not known", 0), 0u);
    EXPECT_EQ(message(Log("time (ms),thrust", ",", false, 1000)).rfind("the force column's unit is not known", 0), 0u);
    FiringReadOptions timed;
    timed.units = {TimeUnit::kSecond, ForceUnit::kNewton, std::nullopt};
    EXPECT_EQ(message(Log("", ",", false), timed).rfind("the pressure column's unit is not known", 0), 0u);
    std::string binary(4096, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>((i * 7919) % 256);
    EXPECT_EQ(message(binary), "no line holds samples (a time and a force or a pressure, as numbers)");
}

// Made with the model: the design's own steady burn, with a rise over the
// first 5 % of the burn, a tail-off after it and 1 % noise, at a c* the
// propellant reaches to `efficiency`.
Firing SyntheticFiring(const cMotor& design, double efficiency, std::mt19937& random) {
    cMotor real = design;
    real.SetISPStar(static_cast<float>(design.ISPStar() * efficiency));
    Firing firing = *RunMotor(real).PredictedFiring();
    const double ambient = design.Performance().AmbientPressure();
    const double burn = ComputePerformance(real).figures->burn_time;
    std::normal_distribution<double> noise(0.0, 0.01);
    double last_pressure = 0, last_force = 0;
    for (std::size_t i = 0; i < firing.time.size(); ++i) {
        const double t = firing.time[i];
        double shape = t < 0.05 * burn ? 1.0 - std::exp(-5.0 * t / (0.05 * burn)) : 1.0;
        if (t >= burn) shape = std::exp(-(t - burn) / (0.02 * burn));
        if (t < burn) last_pressure = firing.pressure[i] - ambient, last_force = firing.force[i];
        const double gauge = (t < burn ? firing.pressure[i] - ambient : last_pressure) * std::max(0.0, shape);
        const double force = (t < burn ? firing.force[i] : last_force) * std::max(0.0, shape);
        firing.pressure[i] = ambient + gauge * (1.0 + noise(random));
        firing.force[i] = force * (1.0 + noise(random));
    }
    return firing;
}

cMotor Design(LengthUnit unit, float throat_mm, std::vector<BurnRatePiece> pieces = {}) {
    cMotor motor;
    const float s = unit == LengthUnit::kInch ? 1.0f / 25.4f : 1.0f;
    for (int i = 0; i < 3; ++i) motor.AddGrain(MakeGrain(57 * s, 38 * s, 16 * s));
    motor.SetNozzleDia(throat_mm * s);
    motor.SetISPStar(900.0f);
    motor.SetDensity(1800.0f);
    motor.SetBallisticA(static_cast<float>(8e-3 * std::pow(1e6, -0.32)));
    motor.SetBallisticN(0.32f);
    PerformanceInputs in;
    in.units = unit;
    in.specific_heat_ratio = 1.04f;
    in.nozzle_exit_dia = 25.0f * s;
    in.burn_rate = std::move(pieces);
    motor.SetPerformance(in);
    return motor;
}

// The law comes back from firings at four throats (average points) and
// from each firing alone (instant points); the impulse is the trapezoid's,
// the c* efficiency the one the firings were made with.
TEST(FiringAnalysisTest, SyntheticFiringsGiveBackTheLaw) {
    std::mt19937 random(42);
    for (LengthUnit unit : {LengthUnit::kMillimetre, LengthUnit::kInch}) {
        SCOPED_TRACE(unit == LengthUnit::kInch ? "inches" : "millimetres");
        std::vector<BurnRatePoint> averages;
        for (float throat : {9.0f, 10.0f, 11.0f, 12.5f}) {
            const cMotor design = Design(unit, throat);
            const Firing firing = SyntheticFiring(design, 0.92, random);
            const FiringFigures figures = AnalyseFiring(firing, RunMotor(design));
            EXPECT_NEAR(*figures.cstar_efficiency, 0.92, 0.02) << throat;
            double trapezoid = 0.0;
            for (std::size_t i = 1; i < firing.Samples(); ++i) {
                const double t0 = std::max(firing.time[i - 1], figures.ignition), t1 = std::min(firing.time[i], figures.end_of_action);
                if (t1 > t0) trapezoid += 0.5 * (firing.force[i - 1] + firing.force[i]) * (t1 - t0);
            }
            EXPECT_NEAR(*figures.total_impulse, trapezoid, 0.005 * trapezoid);
            averages.push_back(AverageBurnRatePoint(figures, RunMotor(design), "firing"));
            const BurnRateFit instant = FitBurnRate(InstantBurnRatePoints(firing, figures, RunMotor(design), "firing"), {});
            ASSERT_TRUE(instant.Ok()) << instant.problem;
            EXPECT_NEAR(instant.pieces[0].n, 0.32, 0.03) << throat;
            const double p = *figures.average_pressure;
            EXPECT_NEAR(instant.pieces[0].a * std::pow(p, instant.pieces[0].n), design.BallisticA() * std::pow(p, 0.32),
                        0.03 * design.BallisticA() * std::pow(p, 0.32)) << throat;
        }
        const BurnRateFit fit = FitBurnRate(averages, {});
        ASSERT_TRUE(fit.Ok());
        EXPECT_NEAR(fit.pieces[0].n, 0.32, 0.03);
        EXPECT_GT(fit.r2, 0.99);
        // One law, kept as a piece over the pressures it was fitted from.
        const FittedLaw law = LawOfFit(fit);
        ASSERT_EQ(law.pieces.size(), 1u);
        EXPECT_EQ(law.pieces[0].p_min, static_cast<float>(fit.pieces[0].p_min));
        EXPECT_EQ(law.pieces[0].p_max, static_cast<float>(fit.pieces[0].p_max));
        const BurnRatePiece& one = law.pieces[0];
        EXPECT_NEAR(one.a * std::pow(3e6, one.n), 8e-3 * std::pow(3.0, 0.32), 0.03 * 8e-3 * std::pow(3.0, 0.32));
    }
}

// Grains of uneven webs step the pressure down at the thinner one's burnout;
// the burn time still runs to the web's, so the rate is the law's.
TEST(FiringAnalysisTest, UnevenWebsBurnOutAtTheThickest) {
    std::mt19937 random(11);
    cMotor design = Design(LengthUnit::kMillimetre, 10.0f);
    design.RemoveGrain(3);
    design.AddGrain(MakeGrain(57, 38, 22));  // an 8 mm web beside the others' 11 mm
    const Firing firing = SyntheticFiring(design, 0.95, random);
    const FiringFigures figures = AnalyseFiring(firing, RunMotor(design));
    const BurnRatePoint point = AverageBurnRatePoint(figures, RunMotor(design), "uneven");
    const double law = design.BallisticA() * std::pow(point.pressure, 0.32);
    EXPECT_NEAR(point.rate, law, 0.03 * law);
}

// A piecewise law comes back piece by piece at the break the user gives.
TEST(FiringAnalysisTest, PiecewiseLawAtAGivenBreak) {
    // 5 mm/s at 1 MPa with n 0.2 below 3 MPa, n 0.6 above (joined there).
    const double a1 = 5e-3 * std::pow(1e6, -0.2), a2 = a1 * std::pow(3e6, 0.2 - 0.6);
    const std::vector<BurnRatePiece> pieces = {{0.0f, 3e6f, static_cast<float>(a1), 0.2f},
                                               {3e6f, 1e9f, static_cast<float>(a2), 0.6f}};
    std::mt19937 random(7);
    std::vector<BurnRatePoint> points;
    for (float throat : {5.5f, 6.0f, 7.0f, 8.0f, 9.5f, 11.0f, 13.0f}) {
        const cMotor design = Design(LengthUnit::kMillimetre, throat, pieces);
        const Firing firing = SyntheticFiring(design, 1.0, random);
        const FiringFigures figures = AnalyseFiring(firing, RunMotor(design));
        for (const BurnRatePoint& point : InstantBurnRatePoints(firing, figures, RunMotor(design), "f")) points.push_back(point);
    }
    const BurnRateFit fit = FitBurnRate(points, {3e6});
    ASSERT_TRUE(fit.Ok()) << fit.problem;
    ASSERT_EQ(fit.pieces.size(), 2u);
    EXPECT_NEAR(fit.pieces[0].n, 0.2, 0.03);
    EXPECT_NEAR(fit.pieces[1].n, 0.6, 0.03);
    const FittedLaw law = LawOfFit(fit);
    ASSERT_EQ(law.pieces.size(), 2u);
    // The outer ends where the points end: a burn beyond them is outside the data.
    EXPECT_EQ(law.pieces[0].p_min, static_cast<float>(fit.pieces[0].p_min));
    EXPECT_EQ(law.pieces[1].p_max, static_cast<float>(fit.pieces[1].p_max));
    EXPECT_EQ(fit.residuals.size(), points.size());
}

// Fewer than two pressures for a piece is no law, named.
TEST(FiringAnalysisTest, FitRefusals) {
    EXPECT_EQ(FitBurnRate({}, {}).problem, "the piece from 0 Pa up has no points: a law needs two pressures at least");
    const std::vector<BurnRatePoint> same = {{2e6, 5e-3, "a"}, {2e6, 5.1e-3, "b"}};
    EXPECT_EQ(FitBurnRate(same, {}).problem,
              "the piece from 0 Pa up has points at only one pressure: a law needs two pressures at least");
    const std::vector<BurnRatePoint> two = {{2e6, 5e-3, "a"}, {3e6, 6e-3, "b"}};
    EXPECT_TRUE(FitBurnRate(two, {}).Ok());
    EXPECT_EQ(FitBurnRate(two, {5e6}).problem,
              "the piece from 5000000 Pa up has no points: a law needs two pressures at least");
    EXPECT_FALSE(FitBurnRate({{0, 1, "zero"}, {1, 1, "x"}}, {}).Ok());

    // Two firings of one motor 1 % apart in pressure and 10 % in rate, or
    // nearly at one pressure: no law a propellant has, never a = inf or NaN.
    for (const std::vector<BurnRatePoint>& close : {std::vector<BurnRatePoint>{{2.89e6, 5e-3, "a"}, {2.92e6, 5.5e-3, "b"}},
                                                    std::vector<BurnRatePoint>{{2e6, 5e-3, "a"}, {2e6 * (1 + 1e-15), 6e-3, "b"}}}) {
        const BurnRateFit fit = FitBurnRate(close, {});
        EXPECT_FALSE(fit.Ok());
        EXPECT_TRUE(fit.pieces.empty());
        EXPECT_NE(fit.problem.find("too close in pressure"), std::string::npos) << fit.problem;
    }
}

// The tangent-bisector on traces drawn by hand: a sharp corner is the
// burnout itself; a rounded knee's lies inside the knee, where the bisector
// of its tangents meets it; noise moves it little.
TEST(FiringAnalysisTest, TangentBisectorOnDrawnTraces) {
    std::vector<double> time, corner, round, noisy, stepped;
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 0.01);
    for (int i = 0; i <= 1500; ++i) {
        const double t = i * 0.001;
        time.push_back(t);
        corner.push_back(t <= 1.0 ? 1.0 : std::max(0.0, 1.0 - 5.0 * (t - 1.0)));
        // A knee rounded over about 0.06 s: the hyperbola under the corner.
        round.push_back(std::max(0.0, 1.0 - 2.5 * ((t - 1.0) + std::sqrt((t - 1.0) * (t - 1.0) + 0.0009))));
        noisy.push_back(round.back() * (1.0 + noise(random)));
        // Grains of two webs: a sheer step at the thinner one's burnout,
        // the web's knee at 1 s with a slower tail-off after it.
        stepped.push_back(t < 0.6 ? 1.0 : t <= 1.0 ? 0.55 : std::max(0.0, 0.55 - 2.0 * (t - 1.0)));
    }
    EXPECT_NEAR(TangentBisectorBurnout(time, corner, 0, 1250).value_or(-1), 1.0, 0.003);
    EXPECT_NEAR(TangentBisectorBurnout(time, stepped, 0, 1240).value_or(-1), 1.0, 0.003);
    const double knee = TangentBisectorBurnout(time, round, 0, 1250).value_or(-1);
    EXPECT_GT(knee, 0.96);
    EXPECT_LT(knee, 1.03);
    EXPECT_NEAR(TangentBisectorBurnout(time, noisy, 0, 1250).value_or(-1), knee, 0.01);
    // A trace that only rises has no knee.
    std::vector<double> rising(time.size());
    for (std::size_t i = 0; i < time.size(); ++i) rising[i] = time[i];
    EXPECT_FALSE(TangentBisectorBurnout(time, rising, 0, 1400).has_value());
}

}  // namespace
}  // namespace thrustlet

namespace thrustlet {
namespace {

// Figures no motor has are named with what to check; a firing like its
// prediction raises nothing.
TEST(FiringAnalysisTest, ImplausibleFiguresAreNamed) {
    FiringFigures predicted;
    predicted.burn_time = 1.0;
    predicted.delivered_isp = 120.0;
    FiringFigures measured = predicted;
    EXPECT_TRUE(ImplausibleFigures(measured, predicted).empty());
    measured.delivered_isp = 113497.0;
    measured.burn_time = 1177.0;
    const std::vector<std::string> found = ImplausibleFigures(measured, predicted);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].rfind("the measured Isp, 113497 s, is more than any motor gives", 0), 0u) << found[0];
    EXPECT_EQ(found[1], "the measured burn time, 1177 s, is far from the prediction's 1 s: check the log's time unit");
    measured.burn_time = 0.2;
    measured.delivered_isp = 100.0;
    EXPECT_EQ(ImplausibleFigures(measured, predicted).size(), 1u);  // a fifth of the prediction
    EXPECT_TRUE(ImplausibleFigures(measured, std::nullopt).empty());
}

}  // namespace
}  // namespace thrustlet

namespace thrustlet {
namespace {

// Decimal commas parted by commas cannot be read either way: refused with
// what to do, where the same log with semicolons reads.
TEST(FiringLogTest, DecimalCommasBetweenCommasAreRefused) {
    const std::string header = "time (s),thrust (N),pressure (MPa)\n";
    try {
        ReadFiring(header + "0,0,0,0,0,1\n0,1,5,0,0,37\n0,2,5,0,1,37\n", {});
        ADD_FAILURE();
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Description().rfind("its lines hold 6 comma-parted numbers under a header of 3 columns", 0), 0u)
            << error.Description();
    }
    std::string lines = "time (s);thrust (N);pressure (MPa)\n";
    for (int i = 0; i < 12; ++i) lines += "0," + std::to_string(10 + i) + ";5,0;0,37\n";
    const Firing semicolons = ReadFiring(lines, {});
    ASSERT_EQ(semicolons.time.size(), 12u);
    EXPECT_DOUBLE_EQ(semicolons.force[1], 5.0);
    EXPECT_DOUBLE_EQ(semicolons.time[1], 0.11);
}

}  // namespace
}  // namespace thrustlet
