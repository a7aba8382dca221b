// The propellant library and the burn-rate units builders publish in.
#include "model/propellant_library.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "model/performance.h"

namespace thrustlet {
namespace {

// Coefficients published for mm/s and MPa or in/s and psi become SI and
// come back: KNSU's 8.26 mm/s at 1 MPa (n = 0.319) burns at 15.2921 mm/s at
// 1000 psi, i.e. a = 0.0664713 in/s at psi.
TEST(PropellantLibraryTest, BurnRateCoefficientUnits) {
    const float a = CoefficientFromMmPerSecond(8.26, 0.319);
    EXPECT_NEAR(a * std::pow(1e6, 0.319), 8.26e-3, 1e-9);
    EXPECT_NEAR(a * std::pow(1000.0 * kPascalsPerPsi, 0.319) * 1e3, 15.292116673, 1e-5);
    EXPECT_NEAR(CoefficientInInchesPerSecond(a, 0.319), 0.0664712562, 1e-8);
    EXPECT_NEAR(CoefficientInMmPerSecond(a, 0.319), 8.26, 1e-5);
    EXPECT_NEAR(CoefficientFromInchesPerSecond(0.0664712562, 0.319), a, 1e-6 * a);
}

// Every entry gives figures as it stands, names its source, and its pieces
// join end to end in ascending order (each starting where the last ended).
TEST(PropellantLibraryTest, EveryEntryIsUsableAndSourced) {
    std::set<std::string> names;
    for (const LibraryPropellant& entry : PropellantLibrary()) {
        SCOPED_TRACE(entry.name);
        EXPECT_TRUE(names.insert(entry.name).second);
        EXPECT_EQ(entry.source.rfind("http", 0), 0u);
        PerformanceInputs inputs;
        inputs.units = LengthUnit::kMillimetre;
        inputs.burn_rate = entry.pieces;
        inputs.specific_heat_ratio = entry.k;
        EXPECT_EQ(PropellantProblem(entry.c_star, entry.density, entry.a, entry.n, inputs), "");
        for (std::size_t i = 1; i < entry.pieces.size(); ++i) EXPECT_EQ(entry.pieces[i].p_min, entry.pieces[i - 1].p_max);
        // Burn rates of a sugar propellant at 1 to 10 MPa: a few mm/s to a
        // few tens, whichever law holds there.
        for (double mpa : {1.0, 3.0, 6.0, 10.0}) {
            double r = entry.a * std::pow(mpa * 1e6, entry.n);
            for (const BurnRatePiece& piece : entry.pieces) {
                if (mpa * 1e6 >= piece.p_min && mpa * 1e6 <= piece.p_max) r = piece.a * std::pow(mpa * 1e6, piece.n);
            }
            EXPECT_GT(r, 2e-3) << mpa;
            EXPECT_LT(r, 40e-3) << mpa;
        }
    }
    EXPECT_TRUE(names.count("KNSB") && names.count("KNDX") && names.count("KNSU"));
}

}  // namespace
}  // namespace thrustlet
