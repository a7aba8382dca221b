// Grains with inhibited end faces: the area and web rules, the steady burn
// laid out from them, the flow through the ports, and the motor file's
// Inhibited lines.
#include <gtest/gtest.h>

#include <cmath>

#include "model/errors.h"
#include "model/formats/motor_file.h"
#include "model/kn_max.h"
#include "model/motor_run.h"
#include "model/propellant_library.h"
#include "tests/support/grains.h"
#include "tests/support/knsb_motor.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;
using Ends = cGrain::Ends;

class InhibitedEndsTest : public ::testing::Test {
protected:
    static std::shared_ptr<cGrain> Grain(float length, float diameter, float core, Ends ends) {
        auto grain = MakeGrain(length, diameter, core);
        grain->SetInhibited(ends);
        return grain;
    }
    // A millimetre KNSB design (the library's single law) of the grains.
    static cMotor Knsb(std::vector<std::shared_ptr<cGrain>> grains, float throat) {
        return testing::KnsbMotor(grains, throat, 3.0f * throat);
    }
};

// The area rule with one face: the core, and one end face of the outer end
// less the core's, each rounded where the rule rounds; the length shortens
// by one depth. With both ends inhibited the length never changes.
TEST_F(InhibitedEndsTest, AreaAndWebOfEachKind) {
    auto forward = Grain(57.0f, 33.0f, 12.0f, Ends::kForward);
    const double core_end = static_cast<float>(kPi * 36.0);
    const float face = static_cast<float>(static_cast<double>(forward->OuterEndArea()) - core_end);
    const float core_surface = static_cast<float>(57.0 * kPi * 12.0);
    EXPECT_EQ(forward->SurfaceArea(0.0f), static_cast<float>(static_cast<double>(core_surface) + face));
    EXPECT_EQ(forward->WebThickness(), 10.5f);  // the core reaches the outside first

    auto short_one = Grain(5.0f, 33.0f, 12.0f, Ends::kAft);
    EXPECT_EQ(short_one->WebThickness(), 5.0f);  // its one face burns through the length first
    EXPECT_GT(short_one->SurfaceArea(4.9f), 0.0f);
    EXPECT_EQ(short_one->SurfaceArea(5.0f), 0.0f);

    auto both = Grain(57.0f, 33.0f, 12.0f, Ends::kBoth);
    EXPECT_EQ(both->WebThickness(), 10.5f);
    EXPECT_EQ(both->SurfaceArea(5.0f), static_cast<float>(57.0 * kPi * 22.0));
    EXPECT_EQ(both->BurningFaces(), 0);

    // The motor's web is the largest; Kn Max takes the plain scan exactly.
    cMotor motor = Knsb({Grain(57.0f, 33.0f, 12.0f, Ends::kForward), Grain(8.0f, 33.0f, 12.0f, Ends::kAft)}, 8.0f);
    EXPECT_EQ(motor.WebThickness(), 10.5f);
    const KnMaxResult fast = KnMaxWithDepth(motor), literal = LiteralKnMaxWithDepth(motor);
    EXPECT_EQ(fast.kn, literal.kn);
    EXPECT_EQ(fast.depth, literal.depth);
}

// A grain of length 2L burning on both ends is two grains of length L, each
// inhibited where they meet: the same area at every depth, so the same burn,
// the same flow out of the aft port and the same figures.
TEST_F(InhibitedEndsTest, TwoHalvesBurnAsTheWhole) {
    const cMotor whole = Knsb({MakeGrain(114.0f, 33.0f, 12.0f)}, 9.0f);
    const cMotor halves = Knsb({Grain(57.0f, 33.0f, 12.0f, Ends::kAft), Grain(57.0f, 33.0f, 12.0f, Ends::kForward)}, 9.0f);
    cMotor a = whole, b = halves;
    for (float depth : {0.0f, 2.5f, 7.25f, 10.0f}) EXPECT_NEAR(a.BurningAreaSum(depth), b.BurningAreaSum(depth), 1e-2) << depth;
    EXPECT_EQ(a.WebThickness(), b.WebThickness());

    const MotorRun one = RunMotor(whole), two = RunMotor(halves);
    ASSERT_TRUE(one.Figures() && two.Figures()) << two.Outcome().problem;
    const auto near = [](double x, double y) { EXPECT_NEAR(x, y, 1e-9 * std::fabs(y)); };
    near(two.Figures()->burn_time, one.Figures()->burn_time);
    near(two.Figures()->total_impulse, one.Figures()->total_impulse);
    near(two.Figures()->peak_pressure, one.Figures()->peak_pressure);
    near(two.Figures()->propellant_mass, one.Figures()->propellant_mass);
    // The aft half's port carries everything the whole grain burns.
    ASSERT_TRUE(one.Flow().peak_mass_flux && two.Flow().peak_mass_flux);
    near(*two.Flow().peak_mass_flux, *one.Flow().peak_mass_flux);
    EXPECT_EQ(two.Flow().peak_mass_flux_grain, 2);
    // Each half is neutral at half the whole's neutral length.
    EXPECT_DOUBLE_EQ(two.Flow().grains[0].neutral_length, one.Flow().grains[0].neutral_length / 2.0);
}

// With both ends inhibited the grain's area only grows: the pressure rises
// to burnout, and the web is where the core reaches the outside.
TEST_F(InhibitedEndsTest, BothEndsInhibitedIsProgressive) {
    const MotorRun run = RunMotor(Knsb({Grain(100.0f, 33.0f, 12.0f, Ends::kBoth)}, 8.0f));
    ASSERT_TRUE(run.Figures());
    const std::vector<TracePoint> trace = run.Trace();
    for (std::size_t i = 1; i + 1 < trace.size(); ++i) EXPECT_GE(trace[i].pressure, trace[i - 1].pressure);
    EXPECT_NEAR(run.Figures()->peak_pressure_depth, 10.5, 1e-12);
    EXPECT_EQ(run.Flow().grains[0].neutral_length, 0.0);
    // The propellant is the whole cylinder, burnt out at the last step.
    EXPECT_NEAR(run.Figures()->propellant_mass, 1841.0 * kPi / 4.0 * (33.0 * 33.0 - 144.0) * 100.0 * 1e-9, 1e-12);
}

// The motor file keeps an inhibited grain as an Inhibited line after the
// propellant's, and only for such grains; a line naming no grain of the
// motor, or ends it does not know, is refused naming the line.
TEST_F(InhibitedEndsTest, MotorFileLines) {
    cMotor motor = Knsb({MakeGrain(57.0f, 33.0f, 12.0f), Grain(57.0f, 33.0f, 12.0f, Ends::kForward),
                         Grain(57.0f, 33.0f, 14.0f, Ends::kBoth)},
                        8.5f);
    const std::string text = MotorFileText(motor);
    EXPECT_NE(text.find("Inhibited:2,forward\r\nInhibited:3,both\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Inhibited:1"), std::string::npos);
    const MotorFileContent content = ParseMotorFile(text);
    ASSERT_EQ(content.grains.size(), 3u);
    EXPECT_EQ(content.grains[0]->Inhibited(), Ends::kNone);
    EXPECT_EQ(content.grains[1]->Inhibited(), Ends::kForward);
    EXPECT_EQ(content.grains[2]->Inhibited(), Ends::kBoth);

    const std::string base = "Name:\r\nNozzleDia:8\r\nGrain:1,57,33,12\r\nPropellant Data\r\nISP*:0\r\nDensity:0\r\n"
                             "BallisticA:0\r\nBallisticN:0\r\n";
    const struct {
        const char* line;
        const char* problem;
    } refused[] = {
        {"Inhibited:2,aft", "Subscript out of range: Inhibited names grain 2, and the motor has 1 grain: line 9"},
        {"Inhibited:0,aft", "Subscript out of range: Inhibited names grain 0, and the motor has 1 grain: line 9"},
        {"Inhibited:1,top", "Type mismatch: Inhibited takes forward, aft or both, not \"top\": line 9"},
        {"Inhibited:one,aft", "Type mismatch: Inhibited needs a grain's number, then forward, aft or both: line 9"},
    };
    for (const auto& c : refused) {
        try {
            ParseMotorFile(base + c.line + "\r\n");
            ADD_FAILURE() << c.line;
        } catch (const RunTimeError& error) {
            EXPECT_EQ(error.Description().rfind(c.problem, 0), 0u) << error.Description();
        }
    }
}

}  // namespace
}  // namespace thrustlet
