#include "model/nozzle_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "model/errors.h"
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

}  // namespace
}  // namespace thrustlet
