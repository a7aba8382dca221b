// RockSim engine files: the thrust curve with the motor's mass and centre
// of gravity at every point, read back here as OpenRocket reads them.
#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "model/errors.h"
#include "model/formats/rse_file.h"
#include "model/motor_run.h"
#include "tests/support/grains.h"
#include "tests/support/knsb_motor.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

struct RsePoint {
    double t, f, m, cg;
};

class RseFileTest : public ::testing::Test {
protected:
    static cMotor Motor(std::vector<std::shared_ptr<cGrain>> grains, float hardware, float case_length) {
        cMotor motor = testing::KnsbMotor(grains, 8.5f, 22.0f);
        PerformanceInputs in = motor.Performance();
        if (hardware > 0.0f) in.hardware_mass = hardware;
        if (case_length > 0.0f) in.case_length = case_length;
        motor.SetPerformance(in);
        return motor;
    }
    static double Attribute(const std::string& text, const std::string& name) {
        std::smatch match;
        EXPECT_TRUE(std::regex_search(text, match, std::regex(" " + name + "=\"([^\"]*)\""))) << name;
        return std::stod(match[1]);
    }
public:
    static std::vector<RsePoint> Points(const std::string& text) {
        std::vector<RsePoint> points;
        const std::regex row("<eng-data t=\"([^\"]+)\" f=\"([^\"]+)\" m=\"([^\"]+)\" cg=\"([^\"]+)\"/>");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), row); it != std::sregex_iterator(); ++it) {
            points.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])});
        }
        return points;
    }
};

// The header's masses, the impulse of the points within 1 % of the motor's,
// the mass falling from propellant and hardware to the hardware alone, and
// a centre of gravity inside the case at every point.
TEST_F(RseFileTest, MassCentreOfGravityAndImpulse) {
    const cMotor motor = Motor({MakeGrain(57.0f, 33.0f, 12.0f), MakeGrain(57.0f, 33.0f, 12.0f)}, 0.35f, 200.0f);
    const MotorRun run = RunMotor(motor);
    const std::string text = RseFileText(run, "a & b.tlt");
    const Performance& p = *run.Figures();
    EXPECT_NEAR(Attribute(text, "propWt"), p.propellant_mass * 1000.0, 1e-4 * p.propellant_mass * 1000.0);
    EXPECT_NEAR(Attribute(text, "initWt"), (p.propellant_mass + 0.35) * 1000.0, 0.01);
    EXPECT_EQ(Attribute(text, "len"), 200.0);
    EXPECT_NE(text.find("a &amp; b.tlt"), std::string::npos);
    const std::vector<RsePoint> points = Points(text);
    ASSERT_GE(points.size(), 32u);
    double impulse = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        impulse += 0.5 * (points[i].f + points[i - 1].f) * (points[i].t - points[i - 1].t);
        EXPECT_LE(points[i].m, points[i - 1].m) << i;
    }
    EXPECT_NEAR(impulse, p.total_impulse, 0.01 * p.total_impulse);
    EXPECT_DOUBLE_EQ(points.front().m, Attribute(text, "initWt"));
    EXPECT_NEAR(points.back().m, 350.0, 1e-9);
    EXPECT_NEAR(points.back().cg, 100.0, 1e-9);  // the hardware alone: the case's middle
    for (const RsePoint& point : points) {
        EXPECT_GT(point.cg, 0.0);
        EXPECT_LT(point.cg, 200.0);
    }
}

// Closed forms without hardware: a grain burning at both ends keeps its
// centre (the stack sits against the nozzle's end: 200 - 57 / 2 = 171.5 mm);
// one inhibited at its forward face burns from the aft end only, so its
// centre moves forward by half the depth burnt.
TEST_F(RseFileTest, CentreOfGravityOfTheGrains) {
    const std::vector<RsePoint> both = Points(RseFileText(RunMotor(Motor({MakeGrain(57.0f, 33.0f, 12.0f)}, 0.0f, 200.0f)), "m"));
    for (std::size_t i = 0; i + 1 < both.size(); ++i) EXPECT_NEAR(both[i].cg, 171.5, 1e-3) << i;

    auto grain = MakeGrain(57.0f, 33.0f, 12.0f);
    grain->SetInhibited(cGrain::Ends::kForward);
    const MotorRun run = RunMotor(Motor({grain}, 0.0f, 0.0f));  // the case is the grain: 57 mm
    const std::vector<RsePoint> forward = Points(RseFileText(run, "m"));
    ASSERT_GE(forward.size(), 3u);
    EXPECT_NEAR(forward.front().cg, 28.5, 1e-3);
    // What is left spans 0 to 57 - x: its centre falls from 28.5 mm to
    // (57 - 10.5) / 2 = 23.25 mm at burnout (web 10.5 mm).
    const RsePoint& middle = forward[forward.size() / 2];
    EXPECT_LT(middle.cg, 28.5);
    EXPECT_GT(middle.cg, 23.25);
    EXPECT_NEAR(forward[forward.size() - 2].cg, 23.25, 0.3);
}

// What OpenRocket's RockSim loader makes of a file: it needs the header's
// maker, code, diameter, length and masses (propellant no more than the
// whole), takes the points' masses and centres of gravity as given when
// auto-calc-mass and auto-calc-cg are "0", adds (0, 0) before a curve that
// does not start there and a point of no thrust after one that does not
// end so, then refuses a curve whose times do not strictly increase, a
// negative thrust, a negative mass or a centre of gravity outside the
// motor's length. An empty answer is a file it loads.
std::string OpenRocketRefusal(const std::string& text) {
    std::smatch header;
    if (!std::regex_search(text, header, std::regex("<engine ([^>]*)>"))) return "no engine";
    const std::string attributes = header[1];
    const auto attribute = [&](const std::string& name) -> std::optional<std::string> {
        std::smatch match;
        if (!std::regex_search(attributes, match, std::regex("(^| )" + name + "=\"([^\"]*)\""))) return std::nullopt;
        return match[2].str();
    };
    for (const char* name : {"mfg", "code", "dia", "len", "initWt", "propWt"}) {
        if (!attribute(name)) return std::string(name) + " missing";
    }
    if (attribute("auto-calc-mass") != "0" || attribute("auto-calc-cg") != "0") return "masses not taken as given";
    const double length = std::stod(*attribute("len"));
    if (std::stod(*attribute("propWt")) > std::stod(*attribute("initWt"))) return "propellant over the whole mass";
    std::vector<RsePoint> points = RseFileTest::Points(text);
    if (points.empty()) return "no data";
    if (points.front().t != 0.0 || points.front().f != 0.0) points.insert(points.begin(), {0.0, 0.0, points.front().m, points.front().cg});
    if (points.back().f != 0.0) points.push_back({points.back().t, 0.0, points.back().m, points.back().cg});
    for (std::size_t i = 0; i < points.size(); ++i) {
        const RsePoint& p = points[i];
        if (i > 0 && !(p.t > points[i - 1].t)) return "two thrust values at t = " + std::to_string(p.t);
        if (p.f < 0.0) return "negative thrust";
        if (p.m < 0.0) return "negative mass";
        if (p.cg < 0.0 || p.cg > length) return "centre of gravity " + std::to_string(p.cg) + " mm outside the motor";
    }
    return {};
}

// Steady and full designs, at full thrust or none at ignition, with and
// without hardware, a case or a case too short for its grains: OpenRocket
// loads each, with the whole mass at ignition and the impulse within 1 %.
TEST_F(RseFileTest, OpenRocketLoadsEveryDesign) {
    struct Case {
        const char* name;
        BurnModel model;
        float hardware, case_length;
        cGrain::Ends inhibited;
    };
    const Case cases[] = {
        {"steady, full thrust at ignition", BurnModel::kSteady, 0.0f, 0.0f, cGrain::Ends::kNone},
        {"steady with hardware in a longer case", BurnModel::kSteady, 0.4f, 140.0f, cGrain::Ends::kNone},
        {"full, from ambient pressure", BurnModel::kFull, 0.4f, 140.0f, cGrain::Ends::kNone},
        {"a case shorter than its grains", BurnModel::kSteady, 0.2f, 100.0f, cGrain::Ends::kForward},
        {"full with both ends inhibited", BurnModel::kFull, 0.0f, 0.0f, cGrain::Ends::kBoth},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::shared_ptr<cGrain>> grains;
        for (int i = 0; i < 2; ++i) {
            grains.push_back(MakeGrain(57.0f, 33.0f, 12.0f));
            grains.back()->SetInhibited(c.inhibited);
        }
        cMotor motor = Motor(grains, c.hardware, c.case_length);
        PerformanceInputs in = motor.Performance();
        in.model = c.model;
        motor.SetPerformance(in);
        const MotorRun run = RunMotor(motor);
        const std::string text = RseFileText(run, "m.tlt");
        EXPECT_EQ(OpenRocketRefusal(text), "");
        const std::vector<RsePoint> points = Points(text);
        ASSERT_GE(points.size(), 3u);
        EXPECT_EQ(points.front().t, 0.0);
        EXPECT_EQ(points.front().f, 0.0);
        EXPECT_NEAR(points.front().m, (run.Figures()->propellant_mass + c.hardware) * 1000.0, 1e-3);
        double impulse = 0.0;
        for (std::size_t i = 1; i < points.size(); ++i) impulse += 0.5 * (points[i].f + points[i - 1].f) * (points[i].t - points[i - 1].t);
        EXPECT_NEAR(impulse, run.Figures()->total_impulse, 0.01 * run.Figures()->total_impulse);
    }
}

// A design without thrust figures has no engine file, as for .eng.
TEST_F(RseFileTest, NoCurveNoFile) {
    cMotor motor = Motor({MakeGrain(57.0f, 33.0f, 12.0f)}, 0.0f, 0.0f);
    PerformanceInputs in = motor.Performance();
    in.specific_heat_ratio.reset();
    motor.SetPerformance(in);
    EXPECT_THROW(RseFileText(RunMotor(motor), "m"), RunTimeError);
}

}  // namespace
}  // namespace thrustlet
