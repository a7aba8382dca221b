#include "model/grain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/errors.h"

namespace thrustlet {
namespace {

// Expected areas were worked out by hand (each stored quantity rounded to
// float in turn) with an independent script, and are given as exact hex.
class GrainTest : public ::testing::Test {
protected:
    static cGrain Bates(float length, float diameter, float core) {
        cGrain grain;
        grain.SetGrainType(cGrain::kBates);
        grain.SetLength(length);
        grain.SetDiameter(diameter);
        grain.SetCoreDiameter(core);
        return grain;
    }
};

TEST_F(GrainTest, NewGrainIsAllZeroWithUnknownType) {
    cGrain grain;
    EXPECT_EQ(grain.Length(), 0.0f);
    EXPECT_EQ(grain.Diameter(), 0.0f);
    EXPECT_EQ(grain.CoreDiameter(), 0.0f);
    EXPECT_EQ(grain.GrainType(), 0);
}

TEST_F(GrainTest, SurfaceAreaOfTheReferenceGrainAlongTheBurn) {
    cGrain grain = Bates(4, 2, 1);
    const struct {
        float depth;
        float area;
    } cases[] = {
        {0.0f, 0x1.1475c8p+4f},   // 1.5 pi end faces + 4 pi core
        {0.25f, 0x1.33e044p+4f},  // 7/8 pi end faces + 21/4 pi core
        {0.5f, 0x1.2d97c4p+4f},   // core reaches the outside: pi * 3 * 2
        {0.5000001f, 0.0f},
        {0.6f, 0.0f},
        {3.0f, 0.0f},
    };
    for (const auto& c : cases) EXPECT_EQ(grain.SurfaceArea(c.depth), c.area) << c.depth;
    EXPECT_EQ(grain.WebThickness(), 0.5f);
    EXPECT_EQ(grain.Volume(), 0x1.921fb0p+3f);            // 4 pi
    EXPECT_EQ(grain.VolumePropellant(), 0x1.2d97c4p+3f);  // 3 pi
}

TEST_F(GrainTest, ShortGrainBurnsOutByLengthBeforeItsWeb) {
    cGrain grain = Bates(1, 2, 1);
    EXPECT_GT(grain.SurfaceArea(0.4999f), 0.0f);
    EXPECT_EQ(grain.SurfaceArea(0.5f), 0.0f);
}

TEST_F(GrainTest, CoreAsWideAsOrWiderThanTheGrain) {
    cGrain equal = Bates(4, 2, 2);
    EXPECT_EQ(equal.WebThickness(), 0.0f);
    EXPECT_EQ(equal.SurfaceArea(0.0f), 0x1.921fb0p+4f);  // pi * 4 * 2, no end faces
    EXPECT_EQ(equal.SurfaceArea(0.001f), 0.0f);

    cGrain wider = Bates(4, 2, 3);
    EXPECT_EQ(wider.WebThickness(), -0.5f);
    EXPECT_EQ(wider.SurfaceArea(0.0f), 0.0f);
    EXPECT_EQ(wider.SurfaceArea(1.0f), 0.0f);
}

TEST_F(GrainTest, UnknownTypeFailsAreaAndWebButNotVolumes) {
    for (int16_t code : {int16_t{0}, int16_t{2}, int16_t{-7}}) {
        cGrain grain = Bates(4, 2, 1);
        grain.SetGrainType(code);
        const float area_before = 0.0f;
        try {
            grain.SurfaceArea(0.0f);
            ADD_FAILURE() << code;
        } catch (const RunTimeError& e) {
            EXPECT_EQ(e.Number(), -1);
            EXPECT_EQ(e.Description(), "Unknown Grain Type: " + std::to_string(code));
        }
        EXPECT_THROW(grain.WebThickness(), RunTimeError);
        EXPECT_EQ(grain.Volume(), 0x1.921fb0p+3f);
        EXPECT_EQ(grain.VolumePropellant(), 0x1.2d97c4p+3f);
        grain.SetGrainType(cGrain::kBates);
        EXPECT_NE(grain.SurfaceArea(0.0f), area_before);
    }
}

TEST_F(GrainTest, NegativeDepthLengthensTheGrain) {
    cGrain grain = Bates(4, 2, 1);
    EXPECT_EQ(grain.SurfaceArea(-0.1f), 0x1.faad0cp+3f);  // length 4.2, core 0.8
    EXPECT_EQ(Bates(4, 2, -1).WebThickness(), 1.5f);
}

TEST_F(GrainTest, HostileDimensionsGiveANumberOrOverflow) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float dims[] = {0.0f, -1.0f, 3e38f, -3e38f, inf, -inf, nan, 1e-45f};
    for (float length : dims) {
        for (float diameter : dims) {
            for (float core : dims) {
                cGrain grain = Bates(length, diameter, core);
                for (float depth : {0.0f, 1.0f, 3e38f, nan}) {
                    try {
                        const float area = grain.SurfaceArea(depth);
                        EXPECT_FALSE(std::isnan(area));
                        EXPECT_FALSE(std::isinf(area));
                    } catch (const RunTimeError& e) {
                        EXPECT_EQ(e.Number(), 6);
                    }
                }
                try {
                    EXPECT_TRUE(std::isfinite(grain.WebThickness()));
                    EXPECT_TRUE(std::isfinite(grain.Volume()));
                    EXPECT_TRUE(std::isfinite(grain.VolumePropellant()));
                } catch (const RunTimeError& e) {
                    EXPECT_EQ(e.Number(), 6);
                }
            }
        }
    }
}

}  // namespace
}  // namespace thrustlet
