#include "model/nozzle_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "model/errors.h"
#include "model/kn_max.h"
#include "tests/support/grains.h"
#include "model/motor.h"
#include "model/number_text.h"
#include "model/numeric.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

cMotor ExampleMotor() {
    cMotor motor;
    motor.SetNozzleDia(0.5f);
    motor.AddGrain(MakeGrain(4, 2, 1));
    motor.AddGrain(MakeGrain(4, 2, 1));
    return motor;
}

struct Outcome {
    float result = 0.0f;
    float nozzle = 0.0f;
    int error = 0;
    std::string description;
    bool operator==(const Outcome&) const = default;
};

template <typename Search>
Outcome RunSearch(cMotor motor, float target, Search search) {
    Outcome outcome;
    try {
        outcome.result = search(motor, target);
    } catch (const RunTimeError& e) {
        outcome.error = e.Number();
        outcome.description = e.Description();
    }
    outcome.nozzle = motor.NozzleDia();
    return outcome;
}

void ExpectSameAsLiteral(const cMotor& motor, float target, const std::string& what) {
    EXPECT_EQ(RunSearch(motor, target, SearchNozzleForInitialKn),
              RunSearch(motor, target, LiteralSearchNozzleForInitialKn))
        << what << " initial " << target;
    EXPECT_EQ(RunSearch(motor, target, SearchNozzleForMaxKn), RunSearch(motor, target, LiteralSearchNozzleForMaxKn))
        << what << " max " << target;
}

TEST(NozzleSearchTest, ExampleMotorFindsTheDesignedThroat) {
    cMotor motor = ExampleMotor();
    EXPECT_EQ(RoundDecimals(SearchNozzleForInitialKn(motor, 176.0f), 3), 0.5);
    EXPECT_EQ(motor.KN(0.0f), 176.0);
    motor.SetNozzleDia(0.495f);
    EXPECT_EQ(motor.KN(0.0f), 180.0);  // the trial before still exceeds the target
    cMotor again = ExampleMotor();
    EXPECT_EQ(RoundDecimals(SearchNozzleForMaxKn(again, 197.0f), 3), 0.5);
}

TEST(NozzleSearchTest, EndsOfTheRange) {
    cMotor motor = ExampleMotor();
    EXPECT_EQ(SearchNozzleForInitialKn(motor, 1e9f), 0.1f);  // the first trial meets it
    EXPECT_EQ(motor.NozzleDia(), 0.1f);

    const float past_end = SearchNozzleForMaxKn(motor, -1.0f);
    EXPECT_GT(past_end, 3.0f);
    EXPECT_EQ(RoundDecimals(past_end, 3), 3.0);
    EXPECT_LE(motor.NozzleDia(), 3.0f);  // the motor keeps the 580th trial
    EXPECT_GT(motor.NozzleDia(), 2.99f);

    cMotor empty;
    EXPECT_EQ(SearchNozzleForInitialKn(empty, 0.0f), 0.1f);
    EXPECT_EQ(SearchNozzleForMaxKn(empty, 0.0f), 0.1f);

    // A target above what the narrowest throat gives: that throat is shown,
    // but the target is not met, and the result says so with its Kn.
    const NozzleSizingResult above = SizeNozzleForMaxKn(motor, 1e9f);
    EXPECT_EQ(above.shown, 0.1);
    EXPECT_TRUE(above.reached);
    EXPECT_TRUE(above.above_narrowest);
    EXPECT_FALSE(above.Met());
    EXPECT_EQ(above.narrowest_kn, KnMaxWithDepth(motor).kn);
    const NozzleSizingResult met = SizeNozzleForMaxKn(motor, 200.0f);
    EXPECT_TRUE(met.Met());
    EXPECT_FALSE(met.above_narrowest);
}

TEST(NozzleSearchTest, FailureStopsAtTheFirstTrial) {
    cMotor motor = ExampleMotor();
    motor.AddGrain(MakeGrain(4, 2, 1, 5));
    const Outcome fast = RunSearch(motor, 100.0f, SearchNozzleForMaxKn);
    EXPECT_EQ(fast.error, -1);
    EXPECT_EQ(fast.description, "Unknown Grain Type: 5");
    EXPECT_EQ(fast.nozzle, 0.1f);
    ExpectSameAsLiteral(motor, 100.0f, "unknown type");
}

TEST(NozzleSearchTest, SameResultAsThePlainScanOnManyMotors) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> length(0.5f, 8.0f), diameter(0.5f, 4.0f), fraction(0.0f, 0.95f);
    std::uniform_int_distribution<int> count(1, 6);
    for (int m = 0; m < 25; ++m) {
        cMotor motor;
        const int grains = count(random);
        for (int g = 0; g < grains; ++g) {
            const float d = diameter(random);
            motor.AddGrain(MakeGrain(length(random), d, d * fraction(random)));
        }
        const float kn0 = static_cast<float>(ExampleMotor().KN(0.0f));
        for (float target : {kn0, 50.0f, 123.0f, 400.0f, 1000.0f, 0.0f, 3.5f}) {
            ExpectSameAsLiteral(motor, target, "random " + std::to_string(m));
        }
    }
}

// Odd motors as a motor file can hold them: written as text, read back.
TEST(NozzleSearchTest, SameResultOnOddMotorsReadFromFiles) {
    const struct {
        const char* name;
        std::vector<std::array<float, 3>> grains;
    } motors[] = {
        {"zero web", {{4, 2, 2}}},
        {"core wider than grain", {{4, 2, 3}, {4, 2, 1}}},
        {"negative dimensions", {{-4, -1, -3}, {4, 2, 1}}},
        {"all negative", {{-4, -2, -3}}},
        {"zero dimensions", {{0, 0, 0}, {4, 2, 1}}},
        {"huge grain", {{3e38f, 3e38f, 1}}},
        {"grain burning out by length", {{0.2f, 4, 1}, {4, 2, 1}}},
        {"same grain twice", {{4, 2, 1}, {4, 2, 1}}},
    };
    const std::string path = (std::filesystem::temp_directory_path() / "thrustlet_odd_motor.tlt").string();
    for (const auto& m : motors) {
        std::string text = "Name:\r\nNozzleDia:0.5\r\n";
        for (const auto& g : m.grains) {
            text += "Grain:1," + SingleToText(g[0], '.') + "," + SingleToText(g[1], '.') + "," + SingleToText(g[2], '.') + "\r\n";
        }
        std::ofstream(path, std::ios::binary) << text;
        cMotor motor;
        motor.ReadFromFile(path);
        ASSERT_EQ(motor.GrainCount(), static_cast<int16_t>(m.grains.size())) << m.name;
        for (float target : {-5.0f, 0.0f, 1.0f, 97.0f, 176.0f, 5000.0f, 3e38f}) {
            ExpectSameAsLiteral(motor, target, m.name);
        }
    }
    std::filesystem::remove(path);
}

// A motor in millimetres searches the same physical throats as the motor in
// inches: each trial is the inch grid's throat in millimetres, so both stop
// at the same trial and show the same throat (to the grid's 0.127 mm). An
// inch design searches exactly the specified grid; a target no throat of
// the range reaches says so and shows the range's end.
TEST(NozzleSearchTest, MillimetresFindTheInchDesignsThroat) {
    std::mt19937 random(2212);
    std::uniform_real_distribution<float> length(1.0f, 6.0f), diameter(0.8f, 3.0f), fraction(0.2f, 0.6f);
    int compared = 0;
    for (int m = 0; m < 40; ++m) {
        cMotor inches, millimetres;
        PerformanceInputs in;
        in.units = LengthUnit::kInch;
        inches.SetPerformance(in);
        in.units = LengthUnit::kMillimetre;
        millimetres.SetPerformance(in);
        const int grains = 1 + m % 5;
        for (int g = 0; g < grains; ++g) {
            const float l = length(random), d = diameter(random), c = d * fraction(random);
            inches.AddGrain(MakeGrain(l, d, c));
            millimetres.AddGrain(MakeGrain(l * 25.4f, d * 25.4f, c * 25.4f));
        }
        for (float target : {60.0f, 150.0f, 280.0f, 450.0f, 1.0f}) {
            for (auto size : {SizeNozzleForInitialKn, SizeNozzleForMaxKn}) {
                cMotor a = inches, b = millimetres;
                const NozzleSizingResult in_inches = size(a, target), in_mm = size(b, target);
                EXPECT_EQ(in_mm.reached, in_inches.reached) << m << " " << target;
                EXPECT_EQ(in_mm.shown, RoundDecimals(in_inches.shown * 25.4, 3)) << m << " " << target;
                EXPECT_NEAR(b.NozzleDia(), a.NozzleDia() * 25.4, 1e-5 * b.NozzleDia());
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 400);

    cMotor motor = ExampleMotor();
    const NozzleSizingResult example = SizeNozzleForInitialKn(motor, 176.0f);
    EXPECT_TRUE(example.reached);
    EXPECT_EQ(example.shown, 0.5);
    cMotor legacy = ExampleMotor();
    EXPECT_EQ(example.shown, RoundDecimals(SearchNozzleForInitialKn(legacy, 176.0f), 3));

    const NozzleSizingResult unreachable = SizeNozzleForMaxKn(motor, 1.0f);
    EXPECT_FALSE(unreachable.reached);
    EXPECT_EQ(unreachable.shown, 3.0);
    PerformanceInputs mm;
    mm.units = LengthUnit::kMillimetre;
    motor.SetPerformance(mm);
    EXPECT_EQ(SizeNozzleForMaxKn(motor, -1.0f).shown, 76.2);  // below every Kn: no throat reaches it
    EXPECT_EQ(SearchRangeOf(motor).first, 2.54);
    EXPECT_EQ(SearchRangeOf(motor).last, 76.2);
    EXPECT_EQ(SearchRangeOf(ExampleMotor()).last, 3.0);
}

}  // namespace
}  // namespace thrustlet
