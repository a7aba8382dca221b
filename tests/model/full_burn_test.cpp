// The full model: the burn marched in time, slice by slice, with erosive
// burning, the throat's change and the chamber's gas storage. It must give
// the steady figures back when none of those is on, converge, and keep the
// closed forms each of them has.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "model/burn.h"
#include "model/errors.h"
#include "model/formats/motor_file.h"
#include "model/full_burn.h"
#include "model/motor_run.h"
#include "tests/support/grains.h"
#include "tests/support/knsb_motor.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

class FullBurnTest : public ::testing::Test {
protected:
    // A 38 mm three-grain KNSB motor (port-to-throat 2.0 at the start),
    // changed by `change`.
    static cMotor Motor(const std::function<void(PerformanceInputs&)>& change = {}) {
        return testing::ThreeGrainKnsb([&](PerformanceInputs& in) {
            in.model = BurnModel::kFull;
            if (change) change(in);
        });
    }
    static Performance Figures(const cMotor& motor) {
        const MotorRun run = RunMotor(motor);
        EXPECT_TRUE(run.Figures()) << run.Outcome().problem;
        return run.Figures().value_or(Performance{});
    }
    static cMotor Steady(cMotor motor) {
        PerformanceInputs in = motor.Performance();
        in.model = BurnModel::kSteady;
        motor.SetPerformance(in);
        return motor;
    }
    // The propellant's mass the throat passed: the integral of P A_t / c*.
    static double MassThroughThroat(const cMotor& motor, const Performance& p) {
        const double metres = MetresPer(*motor.Performance().units);
        const double throat = kPi / 4.0 * std::pow(motor.NozzleDia() * metres, 2.0);
        double mass = 0.0;
        for (std::size_t i = 1; i < p.curve.size(); ++i) {
            mass += 0.5 * (p.curve[i].pressure + p.curve[i - 1].pressure) * (p.curve[i].time - p.curve[i - 1].time);
        }
        return mass * throat / DeliveredCStar(motor);
    }
    static void ExpectWithin(double got, double want, double share, const std::string& what) {
        EXPECT_NEAR(got, want, share * std::fabs(want)) << what;
    }
};

// With no erosion, no throat change and no gas storage every slice burns
// alike and the march gives the steady figures back: plain grains, an
// inhibited one, uneven cores that burn out apart, a web threshold, the
// piecewise KNSB law, an efficiency on c*.
TEST_F(FullBurnTest, QuasiSteadyGivesTheSteadyFigures) {
    const struct {
        const char* what;
        std::function<void(cMotor&)> change;
    } cases[] = {
        {"plain", [](cMotor&) {}},
        {"forward face inhibited",
         [](cMotor& m) { m.Grains()[0]->SetInhibited(cGrain::Ends::kForward); }},
        {"both ends of a short grain inhibited",
         [](cMotor& m) { m.Grains()[2]->SetInhibited(cGrain::Ends::kBoth); }},
        {"uneven cores", [](cMotor& m) { m.Grains()[2]->SetCoreDiameter(16.0f); }},
        {"web threshold and c* efficiency",
         [](cMotor& m) {
             PerformanceInputs in = m.Performance();
             in.web_burnout = 0.5f;
             in.combustion_efficiency = 0.9f;
             m.SetPerformance(in);
         }},
        {"piecewise law",
         [](cMotor& m) {
             PerformanceInputs in = m.Performance();
             in.burn_rate = {{101000.0f, 807000.0f, 1.9041815e-06f, 0.625f},
                             {807000.0f, 1503000.0f, 0.6708923f, -0.314f},
                             {1503000.0f, 3792000.0f, 0.009396806f, -0.013f},
                             {3792000.0f, 7033000.0f, 2.4090366e-06f, 0.535f},
                             {7033000.0f, 1.067e+07f, 0.0039871475f, 0.064f}};
             m.SetPerformance(in);
         }},
    };
    for (const auto& c : cases) {
        cMotor motor = Motor([](PerformanceInputs& in) { in.gas_storage = false; });
        c.change(motor);
        const Performance full = Figures(motor), steady = Figures(Steady(motor));
        for (const auto& [got, want, name] : {std::tuple{full.burn_time, steady.burn_time, "burn time"},
                                              std::tuple{full.total_impulse, steady.total_impulse, "impulse"},
                                              std::tuple{full.peak_pressure, steady.peak_pressure, "peak pressure"},
                                              std::tuple{full.average_thrust, steady.average_thrust, "average thrust"},
                                              std::tuple{full.thrust_time, steady.thrust_time, "thrust time"},
                                              std::tuple{full.peak_thrust, steady.peak_thrust, "peak thrust"}}) {
            ExpectWithin(got, want, 1e-4, std::string(c.what) + ": " + name);
        }
        EXPECT_EQ(full.designation, steady.designation) << c.what;
        EXPECT_EQ(full.propellant_mass, steady.propellant_mass) << c.what;
    }
}

// Halving the time step and the slices moves impulse and peak pressure by
// less than 0.1 %, with every extra on.
TEST_F(FullBurnTest, ConvergedAtTheDefaultResolution) {
    const cMotor motor = Motor([](PerformanceInputs& in) {
        in.erosive_alpha = 2e-5f;
        in.erosive_beta = 100.0f;
        in.nozzle_erosion = 1e-12f;
        in.nozzle_slag = 1e-3f;
    });
    const MotorRun run = RunMotor(Steady(motor));
    ASSERT_TRUE(run.BurnLayout());
    const double steady_time = run.Figures()->burn_time;
    const Performance base = MarchBurn(motor, *run.BurnLayout(), steady_time);
    const Performance fine = MarchBurn(motor, *run.BurnLayout(), steady_time, {2.0, 2.0});
    ExpectWithin(base.total_impulse, fine.total_impulse, 1e-3, "impulse");
    ExpectWithin(base.peak_pressure, fine.peak_pressure, 1e-3, "peak pressure");
    ExpectWithin(base.burn_time, fine.burn_time, 1e-3, "burn time");
}

// Every kilogram burnt leaves through the throat: the integral of P A_t / c*
// is the propellant's mass, with erosion shifting the burn and with the gas
// the chamber holds given back in the blowdown.
TEST_F(FullBurnTest, MassLeavesThroughTheThroat) {
    for (const bool storage : {false, true}) {
        const cMotor motor = Motor([&](PerformanceInputs& in) {
            in.gas_storage = storage;
            in.erosive_alpha = 2e-5f;
            in.erosive_beta = 100.0f;
        });
        const Performance p = Figures(motor);
        // With storage, the blowdown stops once the throat unchokes: the
        // little gas left then is not counted.
        ExpectWithin(MassThroughThroat(motor, p), p.propellant_mass, storage ? 5e-3 : 2e-4,
                     storage ? "with gas storage" : "quasi-steady");
    }
}

// After the last grain is spent the chamber blows down through the choked
// throat: dP/dt = -P / tau, tau = V c* / (R T A_t), V the whole chamber,
// R T = c*^2 k (2 / (k + 1))^((k + 1) / (k - 1)).
TEST_F(FullBurnTest, BlowdownDecaysAtTheChambersTimeConstant) {
    const cMotor motor = Motor([](PerformanceInputs& in) {
        in.case_diameter = 40.0f;
        in.case_length = 200.0f;
    });
    const Performance p = Figures(motor);
    const double k = 1.137, cstar = 909.0, metres = 1e-3;
    const double rt = cstar * cstar * k * std::pow(2.0 / (k + 1.0), (k + 1.0) / (k - 1.0));
    const double volume = kPi / 4.0 * std::pow(40.0 * metres, 2.0) * 200.0 * metres;
    const double throat = kPi / 4.0 * std::pow(8.5 * metres, 2.0);
    const double tau = volume * cstar / (rt * throat);
    // Two points well inside the blowdown: after the area has gone, before
    // the throat unchokes.
    std::size_t last_burning = 0;
    for (std::size_t i = 0; i < p.curve.size(); ++i) {
        if (p.curve[i].kn > 0.0) last_burning = i;
    }
    ASSERT_LT(last_burning + 12, p.curve.size());
    const PerformancePoint& a = p.curve[last_burning + 3];
    const PerformancePoint& b = p.curve[last_burning + 10];
    ASSERT_GT(b.pressure, 2.0 * 101325.0);
    const double measured = (b.time - a.time) / std::log(a.pressure / b.pressure);
    ExpectWithin(measured, tau, 0.02, "blowdown time constant");
    // The pressure starts from the atmosphere's and rises.
    EXPECT_DOUBLE_EQ(p.curve.front().pressure, 101325.0);
    EXPECT_GT(p.curve[5].pressure, p.curve.front().pressure);
}

// Erosive burning where the port is narrow: the burn runs faster and harder
// at first, the aft end burns through first and leaves a tail-off; a threshold no slice's port-to-throat ratio is
// below leaves the burn as it was.
TEST_F(FullBurnTest, ErosiveBurning) {
    const Performance plain = Figures(Motor([](PerformanceInputs& in) { in.gas_storage = false; }));
    const Performance eroding = Figures(Motor([](PerformanceInputs& in) {
        in.gas_storage = false;
        in.erosive_alpha = 2e-5f;
        in.erosive_beta = 100.0f;
    }));
    EXPECT_GT(eroding.curve.front().pressure, 1.02 * plain.curve.front().pressure);
    EXPECT_LT(eroding.peak_pressure_time, plain.peak_pressure_time);
    ExpectWithin(eroding.total_impulse, plain.total_impulse, 0.03, "the same propellant's impulse");

    const Performance threshold = Figures(Motor([](PerformanceInputs& in) {
        in.gas_storage = false;
        in.erosive_threshold = 1.5f;  // the narrowest effective ratio here is about 2
        in.erosive_velocity_coefficient = 0.3f;
    }));
    ExpectWithin(threshold.total_impulse, plain.total_impulse, 1e-9, "below the threshold");
    ExpectWithin(threshold.burn_time, plain.burn_time, 1e-9, "below the threshold");
    const Performance above = Figures(Motor([](PerformanceInputs& in) {
        in.gas_storage = false;
        in.erosive_threshold = 4.0f;
        in.erosive_velocity_coefficient = 0.3f;
    }));
    EXPECT_GT(above.curve.front().pressure, 1.02 * plain.curve.front().pressure);
}

// The throat grows with erosion (lower Kn, lower pressure late in the burn)
// and shrinks with slag (higher pressure).
TEST_F(FullBurnTest, ThroatErosionAndSlag) {
    const auto figures = [&](float erosion, float slag) {
        return Figures(Motor([&](PerformanceInputs& in) {
            in.gas_storage = false;
            in.nozzle_erosion = erosion;
            in.nozzle_slag = slag;
        }));
    };
    const Performance plain = figures(0.0f, 0.0f), eroded = figures(2e-11f, 0.0f), slagged = figures(0.0f, 1000.0f);
    // Kn just before the burnout: the area is the same, the throat is not.
    const auto final_kn = [](const Performance& p) {
        double kn = 0.0;
        for (const PerformancePoint& point : p.curve) {
            if (point.kn > 0.0) kn = point.kn;
        }
        return kn;
    };
    EXPECT_LT(final_kn(eroded), 0.97 * final_kn(plain));
    EXPECT_GT(final_kn(slagged), 1.01 * final_kn(plain));
    EXPECT_LT(eroded.peak_pressure, plain.peak_pressure);
    EXPECT_GT(slagged.peak_pressure, plain.peak_pressure);
    // The first moment has the design's throat.
    EXPECT_DOUBLE_EQ(eroded.curve.front().pressure, plain.curve.front().pressure);
}

// The views against burn depth read the march's own curve: with erosion
// the pressure at a depth is the marched one, not the steady law's.
TEST_F(FullBurnTest, FiguresAtDepthsFollowTheMarch) {
    const cMotor motor = Motor([](PerformanceInputs& in) {
        in.erosive_alpha = 2e-5f;
        in.erosive_beta = 100.0f;
    });
    const MotorRun run = RunMotor(motor);
    const Performance& p = *run.Figures();
    // Early in the burn, where the port is narrowest and erosion strongest.
    const PerformancePoint& middle =
        *std::find_if(p.curve.begin(), p.curve.end(), [&](const PerformancePoint& q) { return q.time > 0.1 * p.burn_time; });
    const DepthFigures at = run.AtDepths({middle.depth})[0];
    EXPECT_NEAR(at.pressure, middle.pressure, 1e-3 * middle.pressure);
    EXPECT_NEAR(at.time, middle.time, 1e-3 * p.burn_time);
    const DepthFigures steady = RunMotor(Steady(motor)).AtDepths({middle.depth})[0];
    EXPECT_GT(std::fabs(at.pressure - steady.pressure), 1e-3 * steady.pressure);
    EXPECT_EQ(run.AtDepths({1e3})[0].pressure, 0.0);  // past the burn
}

// Model, GasStorage and the erosive lines: kept by the motor file, refused
// with the line named when out of range.
TEST_F(FullBurnTest, MotorFileLines) {
    const cMotor motor = Motor([](PerformanceInputs& in) {
        in.gas_storage = false;
        in.erosive_alpha = 2e-5f;
        in.erosive_beta = 150.0f;
        in.erosive_threshold = 2.0f;
        in.erosive_velocity_coefficient = 0.05f;
    });
    const std::string text = MotorFileText(motor);
    EXPECT_NE(text.find("Model:full\r\nGasStorage:off\r\n"), std::string::npos) << text;
    const MotorFileContent content = ParseMotorFile(text);
    EXPECT_EQ(content.performance, motor.Performance());
    // A design that never chose keeps no Model line and reads as steady.
    EXPECT_EQ(MotorFileText(testing::KnsbMotor({MakeGrain(57.0f, 33.0f, 12.0f)}, 8.5f, 22.0f)).find("Model:"),
              std::string::npos);

    const std::string base = "Name:\r\nNozzleDia:8\r\nGrain:1,57,33,12\r\nPropellant Data\r\nISP*:909\r\nDensity:1841\r\n"
                             "BallisticA:0.0001\r\nBallisticN:0.3\r\nUnits:mm\r\n";
    const struct {
        const char* line;
        const char* problem;
    } refused[] = {
        {"Model:warp", "Type mismatch: Model must be steady or full, not \"warp\": line 10"},
        {"GasStorage:maybe", "Type mismatch: GasStorage must be on or off, not \"maybe\": line 10"},
        {"ErosiveAlpha:-1", "Invalid procedure call or argument: ErosiveAlpha must be 0 or more, not -1: line 10"},
        {"ErosiveBeta:nan", "ErosiveBeta"},
        {"ErosiveThreshold:inf", "ErosiveThreshold"},
        {"ErosiveVelocityCoefficient:-0.5", "Invalid procedure call or argument: ErosiveVelocityCoefficient must be"},
    };
    for (const auto& c : refused) {
        try {
            ParseMotorFile(base + c.line + "\r\n");
            ADD_FAILURE() << c.line;
        } catch (const RunTimeError& error) {
            EXPECT_NE(error.Description().find(c.problem), std::string::npos) << error.Description();
            EXPECT_NE(error.Description().find("line 10"), std::string::npos) << error.Description();
        }
    }
}

}  // namespace
}  // namespace thrustlet
