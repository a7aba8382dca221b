#include "model/numeric.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "model/errors.h"

namespace thrustlet {
namespace {

struct RoundCase {
    double in;
    double whole;
};

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
    const RoundCase cases[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},     {3.5, 4},   {-0.5, -0},
                               {-1.5, -2}, {-2.5, -2}, {2.4999, 2},  {2.5001, 3}, {175.99999, 176},
                               {1e300, 1e300}, {4503599627370497.0, 4503599627370497.0}};
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.whole) << c.in;
}

TEST(RoundDecimalsTest, RoundsAtTheGivenPlace) {
    EXPECT_EQ(RoundDecimals(0.125, 2), 0.12);
    EXPECT_EQ(RoundDecimals(0.375, 2), 0.38);
    EXPECT_EQ(RoundDecimals(0.5, 2), 0.5);
    EXPECT_EQ(RoundDecimals(67.25, 1), 67.2);
    EXPECT_EQ(RoundDecimals(67.35, 1), 67.4);  // 673.5 scaled, odd below
    EXPECT_EQ(RoundDecimals(static_cast<float>(0.43000001), 3), 0.43);
    EXPECT_EQ(RoundDecimals(2.5, 0), 2.0);
}

TEST(ToSingleTest, StoresInRangeValuesAndRejectsTheRest) {
    EXPECT_EQ(ToSingle(0.1), 0.1f);
    EXPECT_EQ(ToSingle(-3e38), -3e38f);
    EXPECT_EQ(ToSingle(static_cast<double>(FLT_MAX) + 0x1p102), FLT_MAX);  // rounds down
    for (double bad : {static_cast<double>(FLT_MAX) + 0x1p103, 1e39, -1e39,
                       std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
        try {
            ToSingle(bad);
            ADD_FAILURE() << bad;
        } catch (const RunTimeError& e) {
            EXPECT_EQ(e.Number(), 6);
            EXPECT_EQ(e.Description(), "Overflow");
        }
    }
    EXPECT_EQ(ToSingle(1e-50), 0.0f);  // underflow is not an error
}

TEST(CheckedDivideTest, ClassicArithmeticFailures) {
    EXPECT_EQ(CheckedDivide(3.0, 4.0), 0.75);
    try {
        CheckedDivide(0.0, 0.0);
        ADD_FAILURE();
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.Number(), 6);
    }
    try {
        CheckedDivide(1.0, 0.0);
        ADD_FAILURE();
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.Number(), 11);
        EXPECT_EQ(e.Description(), "Division by zero");
    }
}

}  // namespace
}  // namespace thrustlet
