// The burn-rate law: the pieces' rule for r(P), the lowest steady pressure
// at a Kn, and that pressure never falling as Kn rises, whatever the pieces.
#include "model/burn_rate_law.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "model/propellant_library.h"

namespace thrustlet {
namespace {

constexpr double kRhoCstar = 1800.0 * 900.0;

// P for n = 0 pieces is linear in Kn: P = Kn a rho c*.
BurnRatePiece Flat(double p_min, double p_max, double a) {
    return {static_cast<float>(p_min), static_cast<float>(p_max), static_cast<float>(a), 0.0f};
}

// The defining rule, checked directly: P balances (P >= Kn rho c* r(P),
// where r jumps down at P as its limit from above) and no pressure a little
// lower does.
void ExpectLowestBalance(const BurnRateLaw& law, double kn) {
    const double p = law.Pressure(kn);
    ASSERT_GT(p, 0.0) << kn;
    const double above = p * (1 + 1e-12);
    EXPECT_GE(above * (1 + 1e-9), kn * kRhoCstar * law.Rate(above)) << kn;
    for (double below : {p * (1 - 1e-6), p * 0.9, p * 0.5}) {
        EXPECT_LT(below, kn * kRhoCstar * law.Rate(below) * (1 + 1e-9)) << kn << " at " << below;
    }
}

TEST(BurnRateLawTest, SingleLawIsTheClosedForm) {
    const BurnRateLaw law({}, 5e-5, 0.3, kRhoCstar);
    for (double kn : {1.0, 150.0, 400.0}) {
        EXPECT_DOUBLE_EQ(law.Pressure(kn), std::pow(kn * 5e-5 * kRhoCstar, 1.0 / 0.7));
        EXPECT_FALSE(law.Outside(law.Select(kn)));
    }
    EXPECT_TRUE(law.SwitchingKn().empty());
}

// Where r falls at a boundary (a = 2e-3 below 1 MPa, 1e-3 above), a band of
// Kn balances at the boundary itself, inside the data; where r rises the
// lower balance holds until the lower piece's range ends.
TEST(BurnRateLawTest, JumpsInTheRateHoldOrSkipTheBoundary) {
    const BurnRateLaw falls({Flat(0, 1e6, 2e-3), Flat(1e6, 1e8, 1e-3)}, 0, 0, kRhoCstar);
    const double low_end = 1e6 / (2e-3 * kRhoCstar), high_start = 1e6 / (1e-3 * kRhoCstar);
    EXPECT_NEAR(falls.Pressure(0.5 * low_end), 0.5e6, 1.0);  // a is a float: P to its 7 digits
    for (double kn : {low_end * 1.01, 0.5 * (low_end + high_start), high_start * 0.99}) {
        EXPECT_EQ(falls.Pressure(kn), 1e6) << kn;
        EXPECT_TRUE(falls.Select(kn).at_boundary);
        EXPECT_FALSE(falls.Outside(falls.Select(kn)));
        ExpectLowestBalance(falls, kn);
    }
    EXPECT_NEAR(falls.Pressure(2 * high_start), 2e6, 1.0);

    const BurnRateLaw rises({Flat(0, 1e6, 1e-3), Flat(1e6, 1e8, 2e-3)}, 0, 0, kRhoCstar);
    const double top = 1e6 / (1e-3 * kRhoCstar);
    EXPECT_NEAR(rises.Pressure(top * 0.99), 0.99e6, 1.0);
    EXPECT_NEAR(rises.Pressure(top * 1.01), 2.02e6, 1.0);  // the rate doubles: so does the pressure
}

// Below every range the lowest piece holds, above every range the highest,
// in a gap the nearer in log P (the gap's middle is the geometric mean);
// each is outside the data.
TEST(BurnRateLawTest, BelowAboveAndInGaps) {
    const BurnRateLaw law({Flat(1e6, 2e6, 1e-3), Flat(8e6, 9e6, 2e-3)}, 0, 0, kRhoCstar);
    const auto& regions = law.Regions();
    ASSERT_EQ(regions.size(), 6u);
    const struct {
        double from, to;
        std::size_t piece;
        bool inside;
    } expected[] = {{0, 1e6, 0, false},   {1e6, 2e6, 0, true}, {2e6, 4e6, 0, false},  // sqrt(2e6 8e6) splits the gap
                    {4e6, 8e6, 1, false}, {8e6, 9e6, 1, true}, {9e6, INFINITY, 1, false}};
    for (std::size_t r = 0; r < 6; ++r) {
        EXPECT_DOUBLE_EQ(regions[r].from, expected[r].from) << r;
        EXPECT_DOUBLE_EQ(regions[r].to, expected[r].to) << r;
        EXPECT_EQ(regions[r].piece, expected[r].piece) << r;
        EXPECT_EQ(regions[r].inside, expected[r].inside) << r;
    }
    EXPECT_FLOAT_EQ(law.Rate(0.5e6), 1e-3);
    EXPECT_FLOAT_EQ(law.Rate(3e6), 1e-3);
    EXPECT_FLOAT_EQ(law.Rate(5e6), 2e-3);
    EXPECT_FLOAT_EQ(law.Rate(20e6), 2e-3);
    const double kn_gap = 3e6 / (1e-3 * kRhoCstar);
    EXPECT_NEAR(law.Pressure(kn_gap), 3e6, 1.0);
    EXPECT_TRUE(law.Outside(law.Select(kn_gap)));
    EXPECT_FALSE(law.Outside(law.Select(1.5e6 / (1e-3 * kRhoCstar))));
}

// Over every published law of the library and many made-up ones (pieces
// with gaps, overlaps, rising and falling jumps, negative exponents), the
// pressure from Kn 1 to 1000 never falls, and each is the lowest balance.
TEST(BurnRateLawTest, PressureNeverFallsAsKnRises) {
    std::vector<BurnRateLaw> laws;
    for (const LibraryPropellant& entry : PropellantLibrary()) {
        laws.emplace_back(entry.pieces, entry.a, entry.n, static_cast<double>(entry.c_star) * entry.density);
    }
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 200; ++i) {
        std::vector<BurnRatePiece> pieces;
        double p = 0.05e6 + unit(random) * 0.5e6;
        const int count = 1 + static_cast<int>(unit(random) * 8);
        for (int k = 0; k < count; ++k) {
            const double width = 0.2e6 + unit(random) * 4e6;
            const double n = -0.6 + unit(random) * 1.4;
            const double rate = 2e-3 + unit(random) * 20e-3;  // m/s at 1 MPa
            pieces.push_back({static_cast<float>(p), static_cast<float>(p + width),
                              static_cast<float>(rate * std::pow(1e6, -n)), static_cast<float>(n)});
            p += width * (0.6 + unit(random) * 0.8);  // overlaps and gaps
        }
        laws.emplace_back(pieces, 0.0, 0.0, 1700.0 * 1000.0);
    }
    for (std::size_t l = 0; l < laws.size(); ++l) {
        double previous = 0.0;
        for (int step = 0; step <= 6000; ++step) {
            const double kn = std::pow(1000.0, step / 6000.0);
            const double p = laws[l].Pressure(kn);
            ASSERT_GE(p, previous) << "law " << l << " at Kn " << kn;
            previous = p;
        }
    }
    const BurnRateLaw knsb(PropellantLibrary()[0].pieces, 0, 0, kRhoCstar);
    for (double kn : {50.0, 120.0, 250.0, 400.0, 700.0}) ExpectLowestBalance(knsb, kn);
}

// The library's newer entries carry c* derived from their published T0, M
// and k, as their sources give it.
TEST(BurnRateLawTest, DerivedCharacteristicVelocities) {
    EXPECT_NEAR(CharacteristicVelocity(1608, 38.58, 1.14), 924.7, 0.05);   // KNER
    EXPECT_NEAR(CharacteristicVelocity(3500, 23.67, 1.21), 1704.6, 0.05);  // Cherry Limeade
    EXPECT_NEAR(CharacteristicVelocity(3500, 23.67, 1.25), 1684.9, 0.05);  // Ocean Water
    EXPECT_NEAR(CharacteristicVelocity(1600, 39.90, 1.137), 907.9, 0.05);  // KNSB, the second source
}

}  // namespace
}  // namespace thrustlet
