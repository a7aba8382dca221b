// The builder's limits and the alerts: each raised exactly when its limit
// is crossed (at the limit, nothing), in the design's units, and the limits'
// file lines.
#include "model/alerts.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/motor.h"
#include "model/motor_run.h"
#include "model/propellant_library.h"
#include <algorithm>
#include "model/formats/motor_file.h"
#include "tests/support/grains.h"
#include "tests/support/knsb_motor.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

cMotor Motor(LengthUnit unit) {
    cMotor motor;
    const float s = unit == LengthUnit::kInch ? 1.0f : 25.4f;
    for (int i = 0; i < 3; ++i) motor.AddGrain(MakeGrain(4 * s, 2 * s, 0.8f * s));
    motor.SetNozzleDia(0.5f * s);
    motor.SetISPStar(900.0f);
    motor.SetDensity(1800.0f);
    motor.SetBallisticA(5e-5f);
    motor.SetBallisticN(0.3f);
    PerformanceInputs in;
    in.units = unit;
    in.specific_heat_ratio = 1.2f;
    motor.SetPerformance(in);
    return motor;
}

std::vector<Alert> AlertsOf(const cMotor& motor) {
    return DesignAlerts(motor, ComputePerformance(motor).figures, ComputeFlow(motor));
}

int Count(const std::vector<Alert>& alerts, AlertKind kind) {
    return static_cast<int>(std::count_if(alerts.begin(), alerts.end(), [&](const Alert& a) { return a.kind == kind; }));
}

// Each limit set just over, at and just under the motor's own figure: an
// alert exactly when the figure is past it.
TEST(AlertsTest, EachLimitJustUnderAtAndJustOver) {
    const cMotor base = Motor(LengthUnit::kMillimetre);
    const Performance figures = *ComputePerformance(base).figures;
    const MotorFlow flow = ComputeFlow(base);
    const float pressure = static_cast<float>(figures.peak_pressure);
    const float flux = static_cast<float>(*flow.peak_mass_flux);
    const float ratio = static_cast<float>(*flow.min_port_throat);
    const struct {
        AlertKind kind;
        std::function<void(PerformanceInputs&, float)> limit;
        float figure;
        bool maximum;  // a maximum alerts above it; a minimum below it
    } limits[] = {
        {AlertKind::kPressure, [](PerformanceInputs& in, float v) { in.max_pressure = v; }, pressure, true},
        {AlertKind::kMassFlux, [](PerformanceInputs& in, float v) { in.max_mass_flux = v; }, flux, true},
        {AlertKind::kPortThroat, [](PerformanceInputs& in, float v) { in.min_port_throat = v; }, ratio, false},
    };
    for (const auto& l : limits) {
        SCOPED_TRACE(AlertKindName(l.kind));
        for (const auto& [value, alerted] :
             {std::pair{std::nextafter(l.figure, 0.0f), l.maximum}, std::pair{l.figure, false},
              std::pair{std::nextafter(l.figure, 1e30f), !l.maximum}}) {
            cMotor motor = base;
            PerformanceInputs in = motor.Performance();
            in.max_mass_flux = 1e9f;  // the other limits out of the way
            in.min_port_throat = 0.0f;
            l.limit(in, value);
            motor.SetPerformance(in);
            // The figure compared is the one kept in full; at the limit's own
            // float the motor's figure rounds to it or just below.
            const std::vector<Alert> alerts = AlertsOf(motor);
            const bool raised = Count(alerts, l.kind) > 0;
            if (value == l.figure) {
                EXPECT_EQ(raised, l.maximum ? static_cast<double>(value) < (l.kind == AlertKind::kPressure ? figures.peak_pressure : *flow.peak_mass_flux)
                                            : static_cast<double>(value) > *flow.min_port_throat);
            } else {
                EXPECT_EQ(raised, alerted) << value;
            }
        }
    }
}

// The sentences name the grain and the figure against its limit in the
// design's units; without a propellant only the geometric alerts remain.
TEST(AlertsTest, SentencesInTheDesignsUnits) {
    cMotor motor = Motor(LengthUnit::kInch);
    motor.Grain(2)->SetCoreDiameter(1.0f);  // a thinner web than the others'
    PerformanceInputs in = motor.Performance();
    in.max_pressure = 1e5f;    // 14.5 psi
    in.max_mass_flux = 100.0f;
    in.min_port_throat = 3.0f;
    motor.SetPerformance(in);
    const std::vector<Alert> alerts = AlertsOf(motor);
    ASSERT_GE(alerts.size(), 4u);
    EXPECT_EQ(alerts[0].kind, AlertKind::kPressure);
    EXPECT_EQ(alerts[0].grain, 0);
    EXPECT_TRUE(alerts[0].Severe());
    EXPECT_NE(alerts[0].message.find("psi, is above the casing's rating of 14.5 psi."), std::string::npos)
        << alerts[0].message;
    const auto flux = std::find_if(alerts.begin(), alerts.end(), [](const Alert& a) { return a.kind == AlertKind::kMassFlux; });
    ASSERT_NE(flux, alerts.end());
    EXPECT_EQ(flux->message.rfind("Grain 1's peak mass flux, ", 0), 0u) << flux->message;
    EXPECT_NE(flux->message.find("lb/(in\u00b2\u00b7s), is above the limit of 0.142 lb/(in\u00b2\u00b7s): erosive burning"),
              std::string::npos) << flux->message;
    EXPECT_EQ(Count(alerts, AlertKind::kPortThroat), 2);  // 2.56, 4 and 2.56 against 3: grains 1 and 3
    const auto port = std::find_if(alerts.begin(), alerts.end(), [](const Alert& a) { return a.kind == AlertKind::kPortThroat; });
    EXPECT_EQ(port->message, "Grain 1's port-to-throat area ratio, 2.56, is below the limit of 3: its port may choke the "
                             "flow to the nozzle.");
    const auto web = std::find_if(alerts.begin(), alerts.end(), [](const Alert& a) { return a.kind == AlertKind::kUnevenWeb; });
    ASSERT_NE(web, alerts.end());
    EXPECT_EQ(web->grain, 2);
    EXPECT_EQ(web->message, "Grain 2's web, 0.5 in, is thinner than the others' 0.6 in by 16.7 %: it burns out first and "
                            "the motor tails off early.");

    cMotor kn_only = motor;
    kn_only.SetPerformance({});
    const std::vector<Alert> geometric = AlertsOf(kn_only);
    EXPECT_EQ(Count(geometric, AlertKind::kPressure) + Count(geometric, AlertKind::kMassFlux), 0);
    EXPECT_EQ(Count(geometric, AlertKind::kUnevenWeb), 1);
    EXPECT_EQ(Count(geometric, AlertKind::kPortThroat), 0);  // 4, 6.25, 4 over the default 2
    EXPECT_NE(std::find_if(geometric.begin(), geometric.end(), [](const Alert& a) { return a.message.find("0.5,") != std::string::npos; }),
              geometric.end());  // no unit named without one
}

// A web within 5 % of the others' raises nothing; the burn-rate note is an
// alert of its own.
TEST(AlertsTest, WebsWithinFivePercentAndTheBurnRateRange) {
    cMotor motor = Motor(LengthUnit::kMillimetre);
    motor.Grain(3)->SetCoreDiameter(0.8f * 25.4f + 2 * 0.049f * 0.6f * 25.4f);  // web 4.9 % thinner
    EXPECT_EQ(Count(AlertsOf(motor), AlertKind::kUnevenWeb), 0);
    PerformanceInputs in = motor.Performance();
    in.burn_rate = {{1e3f, 2e3f, 5e-5f, 0.3f}};
    motor.SetPerformance(in);
    EXPECT_EQ(Count(AlertsOf(motor), AlertKind::kBurnRateRange), 1);
}

// The limits are kept with the design: written only when set, read in any
// order, a malformed value failing at its line; the defaults otherwise.
TEST(AlertsTest, LimitLinesAndDefaults) {
    PerformanceInputs none;
    EXPECT_FALSE(LimitsOf(none).max_pressure);
    EXPECT_EQ(LimitsOf(none).max_mass_flux, 1406.0);
    EXPECT_EQ(LimitsOf(none).min_port_throat, 2.0);
    EXPECT_NEAR(kDefaultMaxMassFlux / kMassFluxPerLbPerSquareInchSecond, 2.0, 0.001);  // the rule of thumb

    cMotor motor = Motor(LengthUnit::kMillimetre);
    EXPECT_EQ(MotorFileText(motor).find("Max"), std::string::npos);
    PerformanceInputs in = motor.Performance();
    in.max_pressure = 5.5e6f;
    in.max_mass_flux = 1200.0f;
    in.min_port_throat = 1.8f;
    motor.SetPerformance(in);
    const std::string text = MotorFileText(motor);
    EXPECT_NE(text.find("\r\nMaxPressure:5500000\r\nMaxMassFlux:1200\r\nMinPortThroat:1.8\r\n"), std::string::npos) << text;
    const MotorFileContent read = ParseMotorFile(text);
    EXPECT_EQ(read.performance, in);
    try {
        ParseMotorFile(text.substr(0, text.find("MaxPressure")) + "MinPortThroat:two\r\n");
        ADD_FAILURE() << "a malformed limit read";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.Description().rfind("Type mismatch: line ", 0), 0u) << e.Description();
    }
}

}  // namespace
}  // namespace thrustlet

namespace thrustlet {
namespace {

// Summerfield's criterion: an exit far too wide for the chamber's pressure
// leaves the exit below 0.4 of ambient, and the alert names the share of
// the burn; the same motor with a fitting exit raises none.
TEST(FlowSeparationTest, AnOverExpandedNozzle) {
    // A low Kn (an 11 mm throat): about 1 MPa, into a 60 mm exit.
    cMotor motor = testing::KnsbMotor({testing::MakeGrain(57.0f, 33.0f, 12.0f), testing::MakeGrain(57.0f, 33.0f, 12.0f)},
                                      11.0f, 60.0f);
    PerformanceInputs in = motor.Performance();
    const MotorRun wide = RunMotor(motor);
    ASSERT_TRUE(wide.Figures());
    const auto separation = std::find_if(wide.Alerts().begin(), wide.Alerts().end(),
                                         [](const Alert& a) { return a.kind == AlertKind::kFlowSeparation; });
    ASSERT_NE(separation, wide.Alerts().end());
    EXPECT_STREQ(AlertKindName(separation->kind), "flow_separation");
    EXPECT_NE(separation->message.find("below 0.4 of the ambient for 100 % of the burn"), std::string::npos)
        << separation->message;
    EXPECT_FALSE(separation->Severe());

    in.nozzle_exit_dia = 22.0f;
    motor.SetPerformance(in);
    const MotorRun fitting = RunMotor(motor);
    for (const Alert& alert : fitting.Alerts()) EXPECT_NE(alert.kind, AlertKind::kFlowSeparation);
}

}  // namespace
}  // namespace thrustlet
