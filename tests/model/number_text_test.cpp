#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include "model/number_text.h"

#include <gtest/gtest.h>

#include "model/errors.h"

namespace thrustlet {
namespace {

int ErrorNumberOf(void (*fn)()) {
    try {
        fn();
    } catch (const RunTimeError& e) {
        return e.Number();
    }
    return 0;
}

TEST(NumberTextTest, NumericTestAcceptsPlainDecimalsOnly) {
    for (const char* yes : {"1", " 1 ", "-2.5", "+3", ".5", "5.", "1e3", "1E-07", "\t7\t", "1e+38",
                            "0", "-0", "1e400"}) {
        EXPECT_TRUE(IsNumericText(yes, '.')) << yes;
    }
    for (const char* no : {"", " ", "abc", "1,5", "1.2.3", "e5", "1e", "--1", "0x10", "inf", "nan",
                           "1 2", "N/A", "+", ".", "1e+"}) {
        EXPECT_FALSE(IsNumericText(no, '.')) << no;
    }
}

TEST(NumberTextTest, CommaLocaleUsesItsOwnSeparator) {
    EXPECT_TRUE(IsNumericText("0,5", ','));
    EXPECT_FALSE(IsNumericText("0.5", ','));
    EXPECT_EQ(TextToSingle(" 0,5 ", ','), 0.5f);
    EXPECT_EQ(SingleToText(0.25f, ','), "0,25");
    EXPECT_EQ(DoubleToText(67.3, ','), "67,3");
}

TEST(NumberTextTest, ConversionsAndTheirFailures) {
    EXPECT_EQ(TextToSingle("0.1", '.'), 0.1f);
    EXPECT_EQ(TextToSingle("3.4028234e38", '.'), 3.4028234e38f);
    EXPECT_EQ(TextToSingle("1e-50", '.'), 0.0f);
    EXPECT_EQ(TextToSingle("1e-999", '.'), 0.0f);
    EXPECT_EQ(TextToInteger("1.5", '.'), 2);
    EXPECT_EQ(TextToInteger("2.5", '.'), 2);
    EXPECT_EQ(TextToInteger("-32768", '.'), -32768);
    EXPECT_EQ(ErrorNumberOf([] { TextToSingle("1e39", '.'); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { TextToDouble("1e999", '.'); }), 6);
    EXPECT_EQ(ErrorNumberOf([] { TextToSingle("", '.'); }), 13);
    EXPECT_EQ(ErrorNumberOf([] { TextToSingle("abc", '.'); }), 13);
    EXPECT_EQ(ErrorNumberOf([] { TextToInteger("32767.5", '.'); }), 6);  // rounds to 32768
    EXPECT_EQ(ErrorNumberOf([] { TextToInteger("-32768.5", '.'); }), 0);  // rounds to -32768
}

TEST(NumberTextTest, ShortestTextOfAFloat) {
    const struct {
        float value;
        const char* text;
    } cases[] = {{176.0f, "176"},       {0.1f, "0.1"},         {1.0f / 3.0f, "0.3333333"},
                 {1.5f, "1.5"},         {-0.5f, "-0.5"},       {900.0f, "900"},
                 {2e10f, "2E+10"},      {1234567.0f, "1234567"}, {12345678.0f, "1.234568E+07"},
                 {0.0001f, "0.0001"},   {0.00001f, "1E-05"},   {-0.0f, "0"},
                 {3.4028235e38f, "3.402823E+38"}};
    for (const auto& c : cases) EXPECT_EQ(SingleToText(c.value, '.'), c.text) << c.text;
    EXPECT_EQ(DoubleToText(176.0, '.'), "176");
    EXPECT_EQ(DoubleToText(0.35, '.'), "0.35");
}

// The exact form reads back as the very same float: short where seven
// digits already say it, longer where they do not; 0x15AE43FD is the one
// positive float whose shortest text reads back one step off through a
// double, and the largest float's shortest text reads back as an overflow.
TEST(NumberTextTest, ExactTextReadsBackAsTheSameFloat) {
    auto bits = [](uint32_t pattern) {
        float value;
        std::memcpy(&value, &pattern, sizeof value);
        return value;
    };
    const struct {
        float value;
        const char* text;  // "" where only the round trip matters
    } cases[] = {{0.1f, "0.1"},           {1.042f, "1.042"},       {101325.0f, "101325"},
                 {1.0f / 3.0f, "0.33333334"}, {1.9048781e-06f, "1.9048781E-06"}, {-0.0f, "0"},
                 {bits(0x15AE43FDu), ""}, {std::numeric_limits<float>::max(), ""},
                 {std::numeric_limits<float>::denorm_min(), ""}, {-std::numeric_limits<float>::min(), ""}};
    for (const auto& c : cases) {
        const std::string text = SingleToExactText(c.value, '.');
        EXPECT_EQ(TextToSingle(text, '.'), c.value) << text;
        if (*c.text) {
            EXPECT_EQ(text, c.text);
        }
        EXPECT_EQ(SingleToExactText(c.value, ','), [&] {
            std::string comma = text;
            std::replace(comma.begin(), comma.end(), '.', ',');
            return comma;
        }());
    }
    // Seeded sample of every exponent: the exact form never loses a bit.
    std::mt19937 random(20261208);
    for (int i = 0; i < 200000; ++i) {
        const float value = bits(random() & 0x7F7FFFFFu);
        ASSERT_EQ(TextToSingle(SingleToExactText(value, '.'), '.'), value) << SingleToExactText(value, '.');
    }
}

}  // namespace
}  // namespace thrustlet
