// The chamber's and the nozzle's departures from the ideal: the combustion
// efficiency on c*, the nozzle's divergence, throat length and skin
// friction on the thrust, openMotor's web burnout threshold, and the motor
// file's lines for them.
#include <gtest/gtest.h>

#include <cmath>

#include "model/burn.h"
#include "model/errors.h"
#include "model/formats/motor_file.h"
#include "model/motor_run.h"
#include "model/propellant_library.h"
#include "tests/support/grains.h"
#include "tests/support/knsb_motor.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

class NozzleLossesTest : public ::testing::Test {
protected:
    // A 38 mm KNSB motor on one law (n = 0.319), in millimetres.
    static cMotor Motor(const std::function<void(PerformanceInputs&)>& change = {}) {
        return testing::ThreeGrainKnsb(change);
    }
};

TEST_F(NozzleLossesTest, LossFactorsOfTheCharts) {
    EXPECT_DOUBLE_EQ(DivergenceLoss(0.0), 1.0);
    EXPECT_NEAR(DivergenceLoss(15.0), 0.982963, 1e-6);
    EXPECT_DOUBLE_EQ(ThroatLengthLoss(0.0, 10.0), 0.99);
    EXPECT_DOUBLE_EQ(ThroatLengthLoss(3.0, 10.0), 0.99 - 0.0333 * 0.3);
    EXPECT_DOUBLE_EQ(ThroatLengthLoss(5.0, 10.0), 0.95);  // past L/D 0.45 the chart is flat
}

// The thrust at any pressure is the ideal one times the divergence and
// throat-length losses, on a coefficient skin friction takes 1 % of; a
// design without the shape's lines keeps the ideal nozzle exactly.
TEST_F(NozzleLossesTest, ShapeLossesOnTheThrust) {
    const cMotor ideal = Motor();
    const cMotor shaped = Motor([](PerformanceInputs& in) {
        in.nozzle_divergence = 15.0f;
        in.nozzle_throat_length = 4.25f;  // L/D 0.5
    });
    const ThrustOf plain(ideal), lossy(shaped);
    EXPECT_FALSE(plain.shape_losses);
    for (double pressure : {1e6, 3e6, 7e6}) {
        const double cf = plain.nozzle.Coefficient(pressure, 101325.0);
        EXPECT_NEAR(lossy(pressure), plain(pressure) * DivergenceLoss(15.0) * 0.95 * (0.99 + 0.01 / cf), 1e-9 * plain(pressure));
    }
    const MotorRun a = RunMotor(ideal), b = RunMotor(shaped);
    // The chamber does not feel the nozzle's shape: the same pressure and time.
    EXPECT_EQ(b.Figures()->peak_pressure, a.Figures()->peak_pressure);
    EXPECT_EQ(b.Figures()->burn_time, a.Figures()->burn_time);
    // Skin friction's share lies between 0.99 and 1 of the coefficient.
    const double ratio = b.Figures()->total_impulse / a.Figures()->total_impulse;
    EXPECT_GT(ratio, DivergenceLoss(15.0) * 0.95 * 0.99);
    EXPECT_LT(ratio, DivergenceLoss(15.0) * 0.95);
}

// A combustion efficiency eta scales c*: on one law the pressure goes as
// eta^(1/(1-n)), the burn time as eta^(-n/(1-n)); the propellant is the same.
TEST_F(NozzleLossesTest, CombustionEfficiencyScalesCStar) {
    const double n = 0.319f, eta = 0.88;
    const MotorRun a = RunMotor(Motor());
    const MotorRun b = RunMotor(Motor([&](PerformanceInputs& in) { in.combustion_efficiency = static_cast<float>(eta); }));
    ASSERT_TRUE(a.Figures() && b.Figures());
    const double e = static_cast<float>(eta);
    EXPECT_NEAR(b.Figures()->peak_pressure / a.Figures()->peak_pressure, std::pow(e, 1.0 / (1.0 - n)), 1e-9);
    EXPECT_NEAR(b.Figures()->burn_time / a.Figures()->burn_time, std::pow(e, -n / (1.0 - n)), 1e-9);
    EXPECT_EQ(b.Figures()->propellant_mass, a.Figures()->propellant_mass);
    // The flow through the ports is the propellant burnt: it scales as the rate.
    EXPECT_NEAR(*b.Flow().peak_mass_flux / *a.Flow().peak_mass_flux, std::pow(e, n / (1.0 - n)), 1e-6);
}

// A grain is spent with the threshold's web left: the burn ends that much
// earlier in depth, and less impulse is had from the same propellant.
TEST_F(NozzleLossesTest, WebBurnoutThresholdEndsEachGrainEarly) {
    const MotorRun a = RunMotor(Motor());
    const MotorRun b = RunMotor(Motor([](PerformanceInputs& in) { in.web_burnout = 0.5f; }));
    EXPECT_NEAR(b.BurnLayout()->Burnout(), a.BurnLayout()->Burnout() - 0.5, 1e-12);
    EXPECT_LT(b.Figures()->total_impulse, a.Figures()->total_impulse);
    EXPECT_EQ(b.Figures()->propellant_mass, a.Figures()->propellant_mass);
}

// Each value has its line, written only when set and read back exactly; a
// value out of its range is refused naming the line.
TEST_F(NozzleLossesTest, MotorFileLines) {
    const cMotor motor = Motor([](PerformanceInputs& in) {
        in.combustion_efficiency = 0.9f;
        in.nozzle_divergence = 12.0f;
        in.nozzle_convergence = 45.0f;
        in.nozzle_throat_length = 3.0f;
        in.nozzle_erosion = 2e-9f;
        in.nozzle_slag = 0.0f;
        in.web_burnout = 0.0254f;
        in.thrust_burnout = 0.1f;
    });
    const std::string text = MotorFileText(motor);
    for (const char* line : {"CombustionEfficiency:0.9\r\n", "NozzleDivergence:12\r\n", "NozzleConvergence:45\r\n",
                             "NozzleThroatLength:3\r\n", "NozzleErosion:2E-09\r\n", "NozzleSlag:0\r\n",
                             "WebBurnout:0.0254\r\n", "ThrustBurnout:0.1\r\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
    }
    EXPECT_EQ(ParseMotorFile(text).performance, motor.Performance());
    for (const char* key : {"Combustion", "NozzleDivergence", "NozzleConvergence", "NozzleThroat", "NozzleErosion",
                            "NozzleSlag", "WebBurnout", "ThrustBurnout"}) {
        EXPECT_EQ(MotorFileText(Motor()).find(key), std::string::npos) << key;
    }

    const std::string base = MotorFileText(Motor());
    for (const char* line : {"CombustionEfficiency:0", "CombustionEfficiency:1.2", "NozzleDivergence:90",
                             "NozzleConvergence:-1", "NozzleErosion:-1E-9", "WebBurnout:-0.1", "ThrustBurnout:100"}) {
        try {
            ParseMotorFile(base + line + "\r\n");
            ADD_FAILURE() << line;
        } catch (const RunTimeError& error) {
            EXPECT_NE(error.Description().find(std::string(line).substr(0, std::string(line).find(':')) + " must be"),
                      std::string::npos)
                << error.Description();
            EXPECT_NE(error.Description().find("(\"" + std::string(line) + "\")"), std::string::npos) << error.Description();
        }
    }
}

}  // namespace
}  // namespace thrustlet

namespace thrustlet {
namespace {

// A limit line of 0 or less is refused naming the line, as a malformed one.
TEST(LimitLinesTest, ZeroOrNegativeLimitsAreRefused) {
    const std::string base = "Name:\r\nNozzleDia:8\r\nGrain:1,57,33,12\r\nPropellant Data\r\nISP*:0\r\nDensity:0\r\n"
                             "BallisticA:0\r\nBallisticN:0\r\n";
    for (const char* line : {"MaxPressure:0", "MaxMassFlux:-5", "MinPortThroat:0"}) {
        try {
            ParseMotorFile(base + line + "\r\n");
            ADD_FAILURE() << line;
        } catch (const RunTimeError& error) {
            EXPECT_NE(error.Description().find("must be above 0"), std::string::npos) << error.Description();
            EXPECT_NE(error.Description().find("line 9"), std::string::npos) << error.Description();
        }
    }
    EXPECT_EQ(ParseMotorFile(base + "MaxPressure:2000000\r\n").performance.max_pressure, 2e6f);
}

}  // namespace
}  // namespace thrustlet
