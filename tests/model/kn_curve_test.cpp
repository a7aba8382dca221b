#include "model/kn_curve.h"

#include <gtest/gtest.h>

#include "model/motor.h"

namespace thrustlet {
namespace {

class KnCurveTest : public ::testing::Test {
protected:
    // One or more grains of length 4 and diameter 2 + 2 * web with a core of 2.
    static cMotor MotorWithWeb(float web, int grains = 2, float nozzle = 0.5f) {
        cMotor motor;
        motor.SetNozzleDia(nozzle);
        for (int i = 0; i < grains; ++i) {
            auto grain = std::make_shared<cGrain>();
            grain->SetGrainType(1);
            grain->SetLength(40);
            grain->SetCoreDiameter(1);
            grain->SetDiameter(1 + 2 * web);
            motor.AddGrain(grain);
        }
        return motor;
    }
};

TEST_F(KnCurveTest, ExampleMotor) {
    cMotor motor;
    motor.SetNozzleDia(0.5f);
    for (int i = 0; i < 2; ++i) {
        auto grain = std::make_shared<cGrain>();
        grain->SetGrainType(1);
        grain->SetLength(4);
        grain->SetDiameter(2);
        grain->SetCoreDiameter(1);
        motor.AddGrain(grain);
    }
    const KnCurve curve = SampleKnCurve(motor);
    EXPECT_EQ(curve.step, 0.001f);
    EXPECT_EQ(curve.last_column, 501);
    ASSERT_EQ(curve.kn.size(), 502u);
    EXPECT_EQ(curve.samples, 501);
    EXPECT_TRUE(curve.kn[500].has_value());
    EXPECT_FALSE(curve.kn[501].has_value());
    EXPECT_FALSE(curve.labels[501].has_value());
    EXPECT_EQ(*curve.kn[0], 176.0f);
    EXPECT_EQ(*curve.labels[0], 0.0);
    EXPECT_EQ(*curve.labels[1], 0.001);
    EXPECT_EQ(*curve.labels[500], 0.5);  // just below 0.5, shown to 4 decimals
    const float kn_max = motor.KNMax();
    EXPECT_EQ(kn_max + 50.0, 247.0);
    EXPECT_EQ(VerticalStepFor(kn_max), 50);
    EXPECT_EQ(LabelStepFor(curve.web, curve.step), 125.0f);
}

TEST_F(KnCurveTest, QuarterWebLeavesTwoEmptyColumns) {
    cMotor motor = MotorWithWeb(0.25f);
    const KnCurve curve = SampleKnCurve(motor);
    EXPECT_EQ(curve.last_column, 251);
    EXPECT_EQ(curve.samples, 250);
    EXPECT_FALSE(curve.kn[250].has_value());
    EXPECT_FALSE(curve.kn[251].has_value());
}

TEST_F(KnCurveTest, StepDoublesUntilUnderAThousandColumns) {
    const struct {
        float web;
        float step;
        int last_column;
        bool whole_labels;
    } cases[] = {
        {1.0f, 0.002f, 501, false},
        {2.0f, 0.004f, 501, false},
        {10.0f, 0.016f, 626, true},
        {0.998f, 0.001f, 999, false},
        {0.9995f, 0.002f, 501, false},  // 999.5 rounds to 1000 (even): doubled
    };
    for (const auto& c : cases) {
        cMotor motor = MotorWithWeb(c.web);
        const KnCurve curve = SampleKnCurve(motor);
        EXPECT_EQ(curve.step, c.step) << c.web;
        EXPECT_EQ(curve.last_column, c.last_column) << c.web;
        EXPECT_LT(curve.samples, 1000) << c.web;
        const double label = *curve.labels[1];
        EXPECT_EQ(label == static_cast<double>(static_cast<long long>(label)), c.whole_labels) << c.web;
    }
    cMotor thick = MotorWithWeb(10.0f);
    const KnCurve curve = SampleKnCurve(thick);
    EXPECT_EQ(LabelStepFor(curve.web, curve.step), static_cast<float>(10.0 / 0.016f / 5.0));
}

TEST_F(KnCurveTest, TwoZeroSamplesEndTheCurve) {
    cMotor motor = MotorWithWeb(0.5f, 2, 0.0f);  // no throat: Kn 0 everywhere
    const KnCurve curve = SampleKnCurve(motor);
    EXPECT_EQ(curve.samples, 2);
    EXPECT_EQ(curve.last_column, 2);
    ASSERT_EQ(curve.kn.size(), 3u);
    EXPECT_EQ(*curve.kn[1], 0.0f);
    EXPECT_FALSE(curve.kn[2].has_value());
}

TEST_F(KnCurveTest, ZeroWebAndNoGrainsGiveAShortCurve) {
    cMotor empty;
    empty.SetNozzleDia(0.5f);
    const KnCurve curve = SampleKnCurve(empty);
    EXPECT_EQ(curve.web, 0.0f);
    EXPECT_EQ(curve.last_column, 1);
    EXPECT_EQ(curve.samples, 1);
}

TEST_F(KnCurveTest, HugeWebFailsInsteadOfRunningAway) {
    cMotor motor = MotorWithWeb(1e37f);
    EXPECT_THROW(SampleKnCurve(motor), std::exception);
}

TEST(KnAxisTest, VerticalStepThresholds) {
    const struct {
        float kn_max;
        int step;
    } cases[] = {{0, 50},       {500, 50},       {500.5f, 250},     {600, 250},
                 {40000, 250},  {40001, 10000},  {50000, 10000},    {100000, 10000},
                 {100001, 50000}, {3e38f, 50000}};
    for (const auto& c : cases) EXPECT_EQ(VerticalStepFor(c.kn_max), c.step) << c.kn_max;
}

}  // namespace
}  // namespace thrustlet
