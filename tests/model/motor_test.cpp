#include "model/motor.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "model/errors.h"
#include "tests/support/grains.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

int ErrorNumber(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const RunTimeError& e) {
        return e.Number();
    }
    return 0;
}

class MotorTest : public ::testing::Test {
protected:
    // Two grains of length 4, diameter 2, core 1 behind a 0.5 throat.
    void MakeExampleMotor() {
        motor.SetNozzleDia(0.5f);
        motor.AddGrain(MakeGrain(4, 2, 1));
        motor.AddGrain(MakeGrain(4, 2, 1));
    }
    cMotor motor;
};

TEST_F(MotorTest, NewMotorIsEmpty) {
    EXPECT_EQ(motor.GrainCount(), 0);
    EXPECT_EQ(motor.NozzleDia(), 0.0f);
    EXPECT_EQ(motor.NozzleThroatArea(), 0.0f);
    EXPECT_EQ(motor.Name(), "");
    EXPECT_EQ(motor.ISPStar(), 0.0f);
}

TEST_F(MotorTest, ExampleMotorFigures) {
    MakeExampleMotor();
    EXPECT_EQ(motor.NozzleThroatArea(), static_cast<float>(0.0625 * 3.141592));
    EXPECT_EQ(motor.KN(0.0f), 176.0);
    EXPECT_EQ(motor.KNMax(), 197.0f);
    EXPECT_EQ(motor.WebThickness(), 0.5f);
    EXPECT_EQ(motor.VolumeLoadingPercent(), 75.0f);
    motor.SetISPStar(100);
    motor.SetBallisticA(0.5f);
    motor.SetBallisticN(0.5f);
    motor.SetDensity(0.1f);
    EXPECT_EQ(motor.ChamberPressure(0.0f), 774400.0f);
}

// Motors generated at random and worked out with an independent script.
struct ReferenceMotor {
    std::vector<std::array<float, 3>> grains;  // length, diameter, core
    float nozzle;
    double kn0;
    float kn_max;
    float web;
    float volume_loading;
    float first_grain_area_at_0_1;
};

TEST_F(MotorTest, MatchesIndependentlyComputedMotorsToTheBit) {
    const ReferenceMotor motors[] = {
        {{{0x1.e8a4c8p+2f, 0x1.179cbap+1f, 0x1.6e3592p+0f},
          {0x1.56877ep+0f, 0x1.bb5e8cp+1f, 0x1.1089d0p+0f},
          {0x1.a8ae58p+0f, 0x1.5fca64p+1f, 0x1.55e740p-1f}},
         0x1.7cbc42p-1f, 172, 180, 0x1.3319a4p+0f, 0x1.21ff94p+6f, 0x1.4b3d2ap+5f},
        {{{0x1.a28ec6p+0f, 0x1.2303f0p+1f, 0x1.6abe88p-1f},
          {0x1.b26e04p+2f, 0x1.5f1474p+0f, 0x1.68b60ep-1f}},
         0x1.6e98f8p+0f, 17, 22, 0x1.90a89cp-1f, 0x1.410366p+6f, 0x1.5d65e8p+3f},
        {{{0x1.465294p+2f, 0x1.2615a8p+0f, 0x1.27e1c2p-2f},
          {0x1.4616dep+1f, 0x1.55c262p+1f, 0x1.4beb0cp+0f},
          {0x1.eea636p+0f, 0x1.20f30cp+1f, 0x1.53badep-1f},
          {0x1.323a2ep+2f, 0x1.5b3b1ap+1f, 0x1.59724ep-1f},
          {0x1.3afecap+2f, 0x1.85e398p+1f, 0x1.b1998cp+0f}},
         0x1.de0b26p-1f, 137, 153, 0x1.04de86p+0f, 0x1.44612ap+6f, 0x1.271d0ep+3f},
        {{{0x1.4642680p+0f, 0x1.80984ap+1f, 0x1.78dcd8p+0f},
          {0x1.96871ap+2f, 0x1.5c0abep+1f, 0x1.29fed2p+0f},
          {0x1.c836ccp+2f, 0x1.f0f546p+0f, 0x1.341b24p+0f},
          {0x1.777e08p+2f, 0x1.643cf0p+1f, 0x1.df06ccp+0f}},
         0x1.a1f5b8p-1f, 231, 253, 0x1.8e16aap-1f, 0x1.0ecf6ap+6f, 0x1.eddd8cp+3f},
    };
    for (const auto& ref : motors) {
        cMotor m;
        for (const auto& g : ref.grains) m.AddGrain(MakeGrain(g[0], g[1], g[2]));
        m.SetNozzleDia(ref.nozzle);
        EXPECT_EQ(m.Grain(1)->SurfaceArea(0.1f), ref.first_grain_area_at_0_1);
        EXPECT_EQ(m.KN(0.0f), ref.kn0);
        EXPECT_EQ(m.KNMax(), ref.kn_max);
        EXPECT_EQ(m.WebThickness(), ref.web);
        EXPECT_EQ(m.VolumeLoadingPercent(), ref.volume_loading);
    }
}

TEST_F(MotorTest, NoGrains) {
    motor.SetNozzleDia(0.5f);
    for (float depth : {0.0f, 0.3f, -1.0f}) EXPECT_EQ(motor.KN(depth), 0.0);
    EXPECT_EQ(motor.WebThickness(), 0.0f);
    EXPECT_EQ(motor.KNMax(), 0.0f);
    EXPECT_EQ(ErrorNumber([&] { motor.VolumeLoadingPercent(); }), 6);  // 0 / 0
}

TEST_F(MotorTest, UnsetThroatNeverTouchesTheGrains) {
    auto unknown = std::make_shared<cGrain>();  // type 0
    motor.AddGrain(MakeGrain(4, 2, 1));
    motor.AddGrain(unknown);
    EXPECT_EQ(motor.KN(0.0f), 0.0);
    motor.SetBallisticN(0.5f);
    EXPECT_EQ(motor.ChamberPressure(0.0f), 0.0f);
    EXPECT_EQ(ErrorNumber([&] { motor.WebThickness(); }), -1);
    motor.SetNozzleDia(0.5f);
    EXPECT_EQ(ErrorNumber([&] { motor.KN(0.0f); }), -1);
    EXPECT_EQ(ErrorNumber([&] { motor.KNMax(); }), -1);
    EXPECT_EQ(ErrorNumber([&] { motor.VolumeLoadingPercent(); }), 0);
}

TEST_F(MotorTest, ZeroWebScansTheSingleDepthZero) {
    motor.SetNozzleDia(0.5f);
    motor.AddGrain(MakeGrain(4, 2, 2));  // web 0, area pi*4*2 at depth 0
    EXPECT_EQ(motor.WebThickness(), 0.0f);
    EXPECT_EQ(motor.KNMax(), static_cast<float>(motor.KN(0.0f)));
    EXPECT_EQ(motor.KNMax(), 128.0f);
    cMotor wider;
    wider.SetNozzleDia(0.5f);
    wider.AddGrain(MakeGrain(4, 2, 3));
    EXPECT_EQ(wider.KNMax(), 0.0f);
}

TEST_F(MotorTest, TinyWebsStillEndTheScan) {
    motor.SetNozzleDia(1e-20f);
    motor.AddGrain(MakeGrain(1e-38f, 3e-44f, 0.0f));  // step underflows to zero
    EXPECT_GE(motor.KNMax(), 0.0f);
    cMotor denormal;
    denormal.SetNozzleDia(1.0f);
    denormal.AddGrain(MakeGrain(1.0f, 2e-42f, 0.0f));
    EXPECT_EQ(denormal.KNMax(), 0.0f);
}

TEST_F(MotorTest, CollectionPositions) {
    auto a = MakeGrain(1, 2, 1), b = MakeGrain(2, 2, 1), c = MakeGrain(3, 2, 1);
    motor.AddGrain(a);
    motor.AddGrain(b);
    motor.AddGrain(c);
    EXPECT_EQ(motor.Grain(2), b);  // the same object, not a copy
    for (int16_t bad : {int16_t{0}, int16_t{4}, int16_t{-1}}) {
        EXPECT_EQ(ErrorNumber([&] { motor.Grain(bad); }), 9);
        EXPECT_EQ(ErrorNumber([&] { motor.RemoveGrain(bad); }), 9);
        motor.DeleteGrain(bad);
        EXPECT_EQ(motor.GrainCount(), 3);
    }
    motor.DeleteGrain(2);
    EXPECT_EQ(motor.Grain(2), c);
    motor.RemoveGrain(1);
    EXPECT_EQ(motor.Grain(1), c);
    EXPECT_EQ(motor.GrainCount(), 1);
    EXPECT_EQ(ErrorNumber([&] { motor.AddGrain(nullptr); }), 91);
}

TEST_F(MotorTest, GrainChangedThroughTheMotorIsTheMotorsGrain) {
    MakeExampleMotor();
    motor.Grain(2)->SetCoreDiameter(2.0f);
    EXPECT_EQ(motor.Grain(2)->CoreDiameter(), 2.0f);
    EXPECT_NE(motor.KN(0.0f), 176.0);
}

TEST_F(MotorTest, SameGrainTwiceCountsTwice) {
    auto grain = MakeGrain(4, 2, 1);
    motor.SetNozzleDia(0.5f);
    motor.AddGrain(grain);
    const double single = motor.KN(0.0f);
    motor.AddGrain(grain);
    EXPECT_EQ(motor.KN(0.0f), 176.0);
    EXPECT_EQ(single, 88.0);
    EXPECT_EQ(motor.VolumeLoadingPercent(), 75.0f);
}

TEST_F(MotorTest, GrainCountStopsAtTheSixteenBitLimit) {
    auto grain = MakeGrain(1, 2, 1);
    for (int i = 0; i < cMotor::kMaxGrains; ++i) motor.AddGrain(grain);
    EXPECT_EQ(motor.GrainCount(), 32767);
    EXPECT_EQ(ErrorNumber([&] { motor.AddGrain(grain); }), 6);
    EXPECT_EQ(motor.GrainCount(), 32767);
    EXPECT_EQ(motor.Grain(32767), grain);
}

TEST_F(MotorTest, ChamberPressureArithmeticFailures) {
    MakeExampleMotor();
    motor.SetISPStar(100);
    motor.SetBallisticA(0.5f);
    motor.SetDensity(0.1f);
    motor.SetBallisticN(1.0f);
    EXPECT_EQ(ErrorNumber([&] { motor.ChamberPressure(0.0f); }), 11);
    motor.SetBallisticN(2.0f);  // exponent -1
    motor.SetDensity(0.0f);
    EXPECT_EQ(ErrorNumber([&] { motor.ChamberPressure(0.0f); }), 11);
    motor.SetDensity(1e30f);
    motor.SetBallisticN(0.9f);  // exponent 10: far beyond float
    EXPECT_EQ(ErrorNumber([&] { motor.ChamberPressure(0.0f); }), 6);
}

TEST_F(MotorTest, HostileNozzleAndGrainsNeverHang) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float nozzle : {0.0f, -0.5f, 3e38f, inf, nan, 1e-30f}) {
        for (float dim : {-1.0f, 3e38f, inf, nan}) {
            cMotor m;
            ErrorNumber([&] { m.SetNozzleDia(nozzle); });
            m.AddGrain(MakeGrain(4, 2, 1));
            m.AddGrain(MakeGrain(dim, 2, 1));
            m.AddGrain(MakeGrain(4, dim, 1));
            for (auto fn : std::vector<std::function<void()>>{
                     [&] { m.KN(0.0f); }, [&] { m.KNMax(); }, [&] { m.WebThickness(); },
                     [&] { m.VolumeLoadingPercent(); }, [&] { m.ChamberPressure(0.0f); }}) {
                const int number = ErrorNumber(fn);
                EXPECT_TRUE(number == 0 || number == 6 || number == 11 || number == 5) << number;
            }
        }
    }
}

}  // namespace
}  // namespace thrustlet

namespace thrustlet {
namespace {

// The design's parts are given and taken whole, and setting one leaves the
// others as they were: a new propellant keeps the limits and firings, new
// limits keep the propellant.
TEST(DesignPartsTest, EachPartSetsOnlyItself) {
    cMotor motor;
    PerformanceInputs in;
    in.units = LengthUnit::kMillimetre;
    in.ambient_pressure = 90000.0f;
    in.static_firings = {{"/logs/a.csv", "time=ms", true}};
    motor.SetPerformance(in);

    const PropellantPart knsb{std::string("KNSB"), 909.0f, 1841.0f, 0.0f, 0.0f, {{1e5f, 8e5f, 1.9e-6f, 0.625f}}, 1.042f, 39.9f};
    motor.SetPropellant(knsb);
    const LimitsPart limits{2e6f, std::nullopt, 2.5f};
    motor.SetLimits(limits);
    const NozzlePart nozzle{8.5f, 22.0f, 0.85f};
    motor.SetNozzle(nozzle);
    const HardwarePart hardware{38.0f, 250.0f, 0.4f};
    motor.SetHardware(hardware);

    EXPECT_EQ(motor.Propellant(), knsb);
    EXPECT_EQ(motor.Limits(), limits);
    EXPECT_EQ(motor.Nozzle(), nozzle);
    EXPECT_EQ(motor.Hardware(), hardware);
    EXPECT_EQ(motor.ISPStar(), 909.0f);
    EXPECT_EQ(motor.NozzleDia(), 8.5f);
    EXPECT_GT(motor.NozzleThroatArea(), 0.0f);
    EXPECT_EQ(motor.Unit(), LengthUnit::kMillimetre);
    EXPECT_EQ(motor.Performance().ambient_pressure, 90000.0f);
    ASSERT_EQ(motor.StaticFirings().size(), 1u);
    EXPECT_EQ(motor.StaticFirings()[0].units, "time=ms");

    PropellantPart fitted = motor.Propellant();
    fitted.pieces.clear();
    fitted.a = 8e-5f;
    fitted.n = 0.32f;
    motor.SetPropellant(fitted);
    EXPECT_EQ(motor.Limits(), limits);
    EXPECT_EQ(motor.Nozzle(), nozzle);
    EXPECT_EQ(motor.StaticFirings().size(), 1u);
    EXPECT_TRUE(motor.Performance().burn_rate.empty());
    EXPECT_EQ(motor.BallisticA(), 8e-5f);
}

}  // namespace
}  // namespace thrustlet
