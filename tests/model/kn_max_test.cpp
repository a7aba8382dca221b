// The maximum Kn found from bounded quadratic pieces must be the plain
// scan's, to the bit, depth of the first maximum included, on seeded random
// motors of several kinds: 100,000 of each small kind per run, fewer of the
// slow ones (tiny webs, thousands of grains, whole curves).
// THRUSTLET_KNMAX_SCALE multiplies every count for a longer run.
#include "model/kn_max.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "model/errors.h"
#include "model/kn_curve.h"
#include "model/motor.h"
#include "tests/support/grains.h"

#ifndef THRUSTLET_EXAMPLES_DIR
#error "THRUSTLET_EXAMPLES_DIR must name the examples folder"
#endif

namespace thrustlet {
namespace {

using testing::MakeGrain;

struct Outcome {
    float kn = 0.0f;
    float depth = 0.0f;
    int32_t error = 0;
    std::string description;
};

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

template <typename Compute>
Outcome Run(cMotor motor, Compute compute) {
    Outcome outcome;
    try {
        const KnMaxResult result = compute(motor);
        outcome.kn = result.kn;
        outcome.depth = result.depth;
    } catch (const RunTimeError& error) {
        outcome.error = error.Number();
        outcome.description = error.Description();
    }
    return outcome;
}

// Compares the two on one motor; returns false (with a message) on a
// difference.
::testing::AssertionResult SameAsTheScan(const cMotor& motor) {
    const Outcome fast = Run(motor, KnMaxWithDepth);
    const Outcome scan = Run(motor, LiteralKnMaxWithDepth);
    if (SameBits(fast.kn, scan.kn) && SameBits(fast.depth, scan.depth) && fast.error == scan.error &&
        fast.description == scan.description) {
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "fast " << fast.kn << " at " << fast.depth << " (" << fast.description << "), scan " << scan.kn
            << " at " << scan.depth << " (" << scan.description << "); nozzle " << motor.NozzleDia()
            << ", grains:";
    for (const auto& grain : motor.Grains()) {
        failure << " [" << grain->GrainType() << " " << grain->Length() << " " << grain->Diameter() << " "
                << grain->CoreDiameter() << "]";
    }
    return failure;
}

int Scaled(int count) {
    const char* scale = std::getenv("THRUSTLET_KNMAX_SCALE");
    return scale ? count * std::max(1, std::atoi(scale)) : count;
}

class KnMaxTest : public ::testing::Test {
protected:
    float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); }
    // A value on a grid of sixteenths: exact in binary, so ties are common.
    float Grid(int low, int high) { return static_cast<float>(std::uniform_int_distribution<int>(low, high)(random)) / 16.0f; }
    int Count(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    // Runs `make` `motors` times; stops at the first difference.
    void Check(int motors, const std::function<cMotor()>& make, int* fast_path = nullptr) {
        for (int i = 0; i < motors; ++i) {
            const cMotor motor = make();
            ASSERT_TRUE(SameAsTheScan(motor)) << "motor " << i;
            double largest = 0;
            cMotor copy = motor;
            if (fast_path && LargestAreaSum(copy, &largest)) ++*fast_path;
        }
    }

    std::mt19937_64 random{20261208};
};

TEST_F(KnMaxTest, MixedSmallMotors) {
    int fast = 0;
    const int motors = Scaled(100000);
    Check(motors, [&] {
        cMotor motor;
        for (int n = Count(1, 5); n > 0; --n) {
            const float diameter = Uniform(0.3f, 6.0f);
            motor.AddGrain(MakeGrain(Uniform(0.1f, 12.0f), diameter, Uniform(0.0f, diameter * 1.1f)));
        }
        motor.SetNozzleDia(Uniform(0.05f, 3.0f));
        return motor;
    }, &fast);
    EXPECT_GT(fast, motors * 9 / 10);  // the bounds, not the fallback, did the work
}

TEST_F(KnMaxTest, EqualGrainsOnAGrid) {
    Check(Scaled(100000), [&] {
        cMotor motor;
        const float diameter = Grid(8, 96);
        auto grain = MakeGrain(Grid(4, 160), diameter, Grid(0, static_cast<int>(diameter * 16.0f)));
        for (int n = Count(1, 8); n > 0; --n) motor.AddGrain(grain);
        motor.SetNozzleDia(Grid(1, 48));
        return motor;
    });
}

// The area's crest lies halfway between two scanned depths (a single grain's
// area peaks at depth (length - 2 core) / 6), or two grains' areas trade
// places: the two depths' Kn then differ by rounding alone.
TEST_F(KnMaxTest, NearTiesBetweenTwoDepths) {
    Check(Scaled(100000), [&] {
        cMotor motor;
        const float diameter = Grid(16, 64);
        const float core = Grid(0, 8);
        const float web = (diameter - core) / 2.0f;
        const float step = web / 1000.0f;
        const float crest = (static_cast<float>(Count(1, 998)) + 0.5f) * step;
        const float length = 6.0f * crest + 2.0f * core + Uniform(-1e-6f, 1e-6f);
        motor.AddGrain(MakeGrain(length, diameter, core));
        if (Count(0, 1) == 1) motor.AddGrain(MakeGrain(length, diameter, core + Grid(0, 2)));
        motor.SetNozzleDia(Uniform(0.01f, 0.5f));
        return motor;
    });
}

// Motors the fast path hands to the scan, and motors at its edges: the
// results and the failures must still be the scan's.
TEST_F(KnMaxTest, OddMotors) {
    const float odd_values[] = {0.0f, -1.0f, 1e-40f, 1e-20f, 1e14f, 1e16f, 1e30f, FLT_MAX, -0.0f, 3.0f};
    Check(Scaled(100000), [&] {
        cMotor motor;
        for (int n = Count(1, 4); n > 0; --n) {
            float dims[3] = {Uniform(0.1f, 10.0f), Uniform(0.5f, 5.0f), Uniform(0.0f, 4.0f)};
            for (float& dim : dims) {
                if (Count(0, 5) == 0) dim = odd_values[Count(0, 9)];
            }
            const int16_t type = Count(0, 30) == 0 ? static_cast<int16_t>(Count(0, 3)) : cGrain::kBates;
            motor.AddGrain(MakeGrain(dims[0], dims[1], dims[2], type));
        }
        const float nozzles[] = {0.0f, 1e-20f, 1e-3f, 0.5f, 1e10f};
        motor.SetNozzleDia(Count(0, 3) == 0 ? nozzles[Count(0, 4)] : Uniform(0.05f, 3.0f));
        return motor;
    });
}

TEST_F(KnMaxTest, ZeroAndTinyWebs) {
    Check(Scaled(20000), [&] {
        cMotor motor;
        if (Count(0, 1) == 0) {  // a web lost to rounding, or none
            const float diameter = Uniform(0.5f, 4.0f);
            const float gap = std::ldexp(1.0f, -Count(0, 140));
            motor.AddGrain(MakeGrain(Uniform(0.1f, 8.0f), diameter, std::max(0.0f, diameter - gap)));
        } else {  // a whole grain at a tiny scale, down to denormal webs
            const float diameter = std::ldexp(Uniform(1.0f, 2.0f), -Count(0, 140));
            motor.AddGrain(MakeGrain(diameter * Uniform(0.5f, 4.0f), diameter, diameter * Uniform(0.0f, 0.9f)));
        }
        motor.SetNozzleDia(Uniform(0.05f, 3.0f));
        return motor;
    });
}

TEST_F(KnMaxTest, ManyGrains) {
    Check(Scaled(60), [&] {
        cMotor motor;
        const int n = Count(1, 2000);
        for (int i = 0; i < n; ++i) {
            const float diameter = Uniform(0.5f, 3.0f);
            motor.AddGrain(MakeGrain(Uniform(0.5f, 6.0f), diameter, Uniform(0.1f, diameter)));
        }
        motor.SetNozzleDia(Uniform(0.5f, 3.0f));
        return motor;
    });
}

// At the fast path's limits (dimensions of 10^15 either way, thousands of
// grains) every area sum is still a finite number, so the bounds hold and
// the fast path is taken; past them the plain scan is.
TEST_F(KnMaxTest, SumsAtTheFastPathsLimitsAreFinite) {
    const float limits[] = {1e15f, -1e15f, 0.0f};
    for (int i = 0; i < Scaled(40); ++i) {
        cMotor motor;
        for (int n = Count(1, 3000); n > 0; --n) {
            motor.AddGrain(MakeGrain(limits[Count(0, 2)], std::fabs(limits[Count(0, 1)]), limits[Count(0, 2)]));
        }
        motor.SetNozzleDia(Uniform(0.5f, 3.0f));
        double largest = NAN;
        cMotor copy = motor;
        ASSERT_TRUE(LargestAreaSum(copy, &largest)) << i;
        EXPECT_TRUE(std::isfinite(largest)) << i;
        ASSERT_TRUE(SameAsTheScan(motor)) << i;
    }
    cMotor beyond;
    beyond.AddGrain(MakeGrain(2e15f, 4.0f, 1.0f));
    double largest = 0.0;
    EXPECT_FALSE(LargestAreaSum(beyond, &largest));
}

// The curve settles most samples from the same bounds; every sample must
// still be the plain sampling's.
TEST_F(KnMaxTest, CurveSamplesAreThePlainSamplings) {
    auto outcome = [](cMotor motor, KnCurve (*sample)(cMotor&)) {
        std::string text;
        try {
            const KnCurve curve = sample(motor);
            text = std::to_string(curve.last_column) + "/" + std::to_string(curve.samples) + "/";
            for (size_t i = 0; i < curve.kn.size(); ++i) {
                float kn = curve.kn[i] ? *curve.kn[i] : -1.0f;
                uint32_t bits = 0;
                std::memcpy(&bits, &kn, sizeof bits);
                text += std::to_string(bits) + "@" + (curve.labels[i] ? std::to_string(*curve.labels[i]) : "-") + ",";
            }
        } catch (const RunTimeError& error) {
            text = error.Description();
        }
        return text;
    };
    const float odd_values[] = {0.0f, -1.0f, 1e-20f, 1e16f, FLT_MAX};
    for (int i = 0; i < Scaled(4000); ++i) {
        cMotor motor;
        for (int n = Count(1, 4); n > 0; --n) {
            const float diameter = i % 2 ? Grid(8, 64) : Uniform(0.3f, 6.0f);
            float dims[3] = {i % 2 ? Grid(4, 128) : Uniform(0.1f, 12.0f), diameter,
                             i % 2 ? Grid(0, static_cast<int>(diameter * 16)) : Uniform(0.0f, diameter)};
            if (i % 50 == 0) dims[Count(0, 2)] = odd_values[Count(0, 4)];
            motor.AddGrain(MakeGrain(dims[0], dims[1], dims[2]));
        }
        motor.SetNozzleDia(i % 2 ? Grid(1, 40) : Uniform(0.02f, 3.0f));
        ASSERT_EQ(outcome(motor, SampleKnCurve), outcome(motor, LiteralSampleKnCurve)) << "motor " << i;
    }
}

TEST_F(KnMaxTest, ExampleMotors) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(THRUSTLET_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".tlt") continue;
        cMotor motor;
        motor.ReadFromFile(entry.path().string());
        EXPECT_TRUE(SameAsTheScan(motor)) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 4);
}

TEST_F(KnMaxTest, ExampleMotorFiguresAndDepth) {
    cMotor motor;
    motor.AddGrain(MakeGrain(4, 2, 1));
    motor.AddGrain(MakeGrain(4, 2, 1));
    motor.SetNozzleDia(0.5f);
    const KnMaxResult result = KnMaxWithDepth(motor);
    EXPECT_EQ(result.kn, 197.0f);
    EXPECT_EQ(result.kn, motor.KNMax());
    EXPECT_GT(result.depth, 0.0f);
    EXPECT_EQ(motor.KN(result.depth), 197.0);
}

}  // namespace
}  // namespace thrustlet
