// Mass flux through each grain's port, port-to-throat ratios and grain
// figures: hand-checked at ignition, and peaks against an independent dense
// scan of the burn.
#include "model/mass_flux.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/burn_rate_law.h"
#include "model/motor.h"
#include "model/propellant_library.h"
#include "tests/support/grains.h"

namespace thrustlet {
namespace {

using testing::MakeGrain;

constexpr double kPiProgram = 3.141592;

cMotor Motor(LengthUnit unit, std::vector<std::array<float, 3>> grains, float throat, float a, float n,
             std::vector<BurnRatePiece> pieces = {}) {
    cMotor motor;
    for (const auto& g : grains) motor.AddGrain(MakeGrain(g[0], g[1], g[2]));
    motor.SetNozzleDia(throat);
    motor.SetISPStar(900.0f);
    motor.SetDensity(1800.0f);
    motor.SetBallisticA(a);
    motor.SetBallisticN(n);
    PerformanceInputs in;
    in.units = unit;
    in.specific_heat_ratio = 1.2f;
    in.burn_rate = std::move(pieces);
    motor.SetPerformance(in);
    return motor;
}

// Every grain's flux at depth x, written out afresh from the rules: the mass
// the throat passes (P A_t / c*) times the share burnt upstream of the
// grain's aft end (the grains before it, its core and forward face), over
// its port. Grains burnt out (or never holding propellant) are -1.
std::vector<double> FluxesAt(const cMotor& motor, double x) {
    const double throat = kPiProgram / 4 * motor.NozzleDia() * motor.NozzleDia();
    double total = 0;
    std::vector<double> upstream_and_own;
    std::vector<double> ports;
    double upstream = 0;
    for (const auto& g : motor.Grains()) {
        const double c = g->CoreDiameter() + 2 * x, l = g->Length() - 2 * x, d = g->Diameter();
        const bool burning = l > 0 && c < d && g->CoreDiameter() < d;
        const double core = burning ? kPiProgram * c * l : 0, face = burning ? kPiProgram / 4 * (d * d - c * c) : 0;
        upstream_and_own.push_back(burning ? upstream + core + face : -1);
        ports.push_back(kPiProgram / 4 * c * c);
        upstream += core + 2 * face;
        total += core + 2 * face;
    }
    const BurnRateLaw law(motor.Performance().burn_rate, motor.BallisticA(), motor.BallisticN(),
                          static_cast<double>(motor.ISPStar()) * motor.Density());
    const double pressure = law.Pressure(total / throat);
    std::vector<double> fluxes;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        fluxes.push_back(upstream_and_own[i] < 0 ? -1
                                                 : pressure * throat / motor.ISPStar() * upstream_and_own[i] / total / ports[i]);
    }
    return fluxes;
}

// The dense scan: each grain's largest flux over 200,000 depths, where it
// is, and the time it is reached (r = P / (Kn rho c*), summed).
struct Peak {
    double flux = -1, depth = 0, time = 0;
};
std::vector<Peak> DensePeaks(const cMotor& motor, double end) {
    const int steps = 200000;
    std::vector<Peak> peaks(motor.Grains().size());
    const double m = MetresPer(*motor.Performance().units);
    const double throat = kPiProgram / 4 * motor.NozzleDia() * motor.NozzleDia();
    const BurnRateLaw law(motor.Performance().burn_rate, motor.BallisticA(), motor.BallisticN(),
                          static_cast<double>(motor.ISPStar()) * motor.Density());
    double time = 0;
    for (int i = 0; i <= steps; ++i) {
        const double x = end * i / steps;
        const std::vector<double> fluxes = FluxesAt(motor, x);
        for (std::size_t g = 0; g < fluxes.size(); ++g) {
            if (fluxes[g] > peaks[g].flux) peaks[g] = {fluxes[g], x, time};
        }
        // The time to the next depth, by the midpoint.
        const double mid = end * (i + 0.5) / steps;
        double area = 0;
        for (const auto& g : motor.Grains()) {
            const double c = g->CoreDiameter() + 2 * mid, l = g->Length() - 2 * mid, d = g->Diameter();
            if (l > 0 && c < d) area += kPiProgram * c * l + kPiProgram / 2 * (d * d - c * c);
        }
        if (area > 0) {
            const double kn = area / throat, p = law.Pressure(kn);
            time += end / steps * m * kn * motor.ISPStar() * motor.Density() / p;
        }
    }
    return peaks;
}

// At ignition, by hand: one grain of 4 x 2 x 1 in (core 4 pi, faces 3/4 pi
// each) passes its core and forward face through its 1 in port; the second
// and third grains of a stack add the whole areas before them.
TEST(MassFluxTest, HandCheckedAtIgnition) {
    const cMotor one = Motor(LengthUnit::kInch, {{4, 2, 1}}, 0.5f, 5e-5f, 0.3f);
    const MotorFlow flow = ComputeFlow(one);
    ASSERT_EQ(flow.grains.size(), 1u);
    const double throat_area = kPiProgram / 4 * 0.25, total = kPiProgram * (4 + 1.5);
    const double a = 5e-5f, n = 0.3f;  // as the motor keeps them
    const double pressure = std::pow(total / throat_area * a * 1800.0 * 900.0, 1 / (1 - n));
    const double at_ignition = pressure * throat_area / 900.0 * (kPiProgram * (4 + 0.75)) / total / (kPiProgram / 4);
    EXPECT_NEAR(FluxesAt(one, 0)[0], at_ignition, 1e-9 * at_ignition);
    ASSERT_EQ(flow.grains[0].peak_mass_flux_time, 0.0);  // its largest flux is at ignition
    EXPECT_NEAR(*flow.grains[0].peak_mass_flux, at_ignition, 1e-9 * at_ignition);
    EXPECT_EQ(*flow.grains[0].port_throat, 4.0);  // (1 / 0.5)^2
    EXPECT_NEAR(*flow.grains[0].mass, 1800.0 * kPiProgram / 4 * 3 * 4 * std::pow(0.0254, 3), 1e-9);
    EXPECT_EQ(flow.grains[0].neutral_length, 3.5);  // (3 * 2 + 1) / 2
    EXPECT_EQ(flow.grains[0].web, 0.5);

    const cMotor three = Motor(LengthUnit::kMillimetre, {{60, 38, 12}, {60, 38, 14}, {60, 38, 16}}, 9.0f, 5e-5f, 0.3f);
    const MotorFlow stack = ComputeFlow(three);
    const std::vector<double> at0 = FluxesAt(three, 0);
    const double areas[] = {kPiProgram * 12 * 60 + kPiProgram / 2 * (38 * 38 - 12 * 12),
                            kPiProgram * 14 * 60 + kPiProgram / 2 * (38 * 38 - 14 * 14),
                            kPiProgram * 16 * 60 + kPiProgram / 4 * (38 * 38 - 16 * 16)};
    // The last grain's share: both grains before it and its core and face.
    EXPECT_NEAR(at0[2] / at0[0],
                (areas[0] + areas[1] + areas[2]) / (kPiProgram * 12 * 60 + kPiProgram / 4 * (38 * 38 - 12 * 12)) *
                    (12.0 * 12.0) / (16.0 * 16.0),
                1e-12);
    EXPECT_EQ(stack.peak_mass_flux_grain, 3);  // the nozzle end carries the most
    EXPECT_EQ(stack.min_port_throat_grain, 1);
    EXPECT_DOUBLE_EQ(*stack.min_port_throat, (12.0 / 9.0) * (12.0 / 9.0));
    EXPECT_NEAR(*stack.peak_mass_flux, at0[2], 1e-6 * at0[2]);  // here at ignition
    EXPECT_EQ(stack.peak_mass_flux_time, 0.0);
}

// Peaks, their grains and times against the dense scan, for motors of one
// to many grains, inch and millimetre, single and piecewise laws; and a
// law whose exponent rises with the pressure moves the peak later.
TEST(MassFluxTest, PeaksMatchADenseScan) {
    const auto knsb = PropellantLibrary()[0].pieces;
    // Pieces in SI: a gentle law below 2 MPa, a steep one above (n 0.8).
    const std::vector<BurnRatePiece> steep = {
        {0.0f, 2e6f, static_cast<float>(8e-3 * std::pow(1e6, -0.2)), 0.2f},
        {2e6f, 1e9f, static_cast<float>(8e-3 * std::pow(1e6, -0.2) * std::pow(2e6, 0.2 - 0.8)), 0.8f}};
    const struct {
        const char* name;
        cMotor motor;
        double end;
        bool late;  // the peak comes after ignition
    } cases[] = {
        {"one inch grain", Motor(LengthUnit::kInch, {{4, 2, 1}}, 0.5f, 5e-5f, 0.3f), 0.5, false},
        {"KNSB stack", Motor(LengthUnit::kMillimetre, {{57, 38, 12}, {57, 38, 14}, {57, 38, 16}}, 9.0f, 0, 0, knsb), 13.0, false},
        {"mixed lengths", Motor(LengthUnit::kInch, {{2.5f, 1.5f, 0.5f}, {1.0f, 1.5f, 0.6f}, {3.0f, 1.5f, 0.7f}, {2.0f, 1.5f, 0.55f}},
                                0.3f, 5e-5f, 0.35f), 0.5, false},
        {"progressive, steep law", Motor(LengthUnit::kMillimetre, {{300, 50, 10}}, 14.0f, 0, 0, steep), 20.0, true},
        // Twelve grains of other cores and lengths on the library's pieces;
        // grain 9, not the nozzle end, carries the most (the cores after it
        // are wider).
        {"twelve grains, KNSB pieces",
         Motor(LengthUnit::kInch,
               {{2.0f, 1.5f, 0.6f}, {2.5f, 1.5f, 0.7f}, {1.8f, 1.5f, 0.65f}, {2.2f, 1.5f, 0.8f}, {2.0f, 1.5f, 0.75f},
                {3.0f, 1.5f, 0.9f}, {2.4f, 1.5f, 0.7f}, {2.1f, 1.5f, 0.85f}, {2.6f, 1.5f, 0.8f}, {1.9f, 1.5f, 0.9f},
                {2.3f, 1.5f, 0.95f}, {2.0f, 1.5f, 1.2f}},
               0.62f, 0, 0, knsb),
         0.5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MotorFlow flow = ComputeFlow(c.motor);
        const std::vector<Peak> dense = DensePeaks(c.motor, c.end);
        ASSERT_TRUE(flow.peak_mass_flux.has_value());
        std::size_t best = 0;
        for (std::size_t g = 0; g < dense.size(); ++g) {
            ASSERT_TRUE(flow.grains[g].peak_mass_flux.has_value()) << g;
            EXPECT_NEAR(*flow.grains[g].peak_mass_flux, dense[g].flux, 1e-4 * dense[g].flux) << g;
            if (dense[g].flux > dense[best].flux) best = g;
        }
        EXPECT_EQ(flow.peak_mass_flux_grain, static_cast<int>(best) + 1);
        EXPECT_NEAR(flow.peak_mass_flux_time, dense[best].time, 1e-3 * std::max(dense[best].time, 1e-3));
        EXPECT_EQ(flow.peak_mass_flux_time > 0.0, c.late);
        // Mass and port-to-throat ratio of every grain, from its shape.
        const double metre = MetresPer(*c.motor.Performance().units);
        for (std::size_t g = 0; g < flow.grains.size(); ++g) {
            const cGrain& grain = *c.motor.Grains()[g];
            const double d = grain.Diameter(), core = grain.CoreDiameter(), throat = c.motor.NozzleDia();
            const double mass = c.motor.Density() * kPiProgram / 4 * (d * d - core * core) * grain.Length() *
                                metre * metre * metre;
            EXPECT_NEAR(*flow.grains[g].mass, mass, 1e-6 * mass) << g;
            EXPECT_NEAR(*flow.grains[g].port_throat, core * core / (throat * throat), 1e-6) << g;
        }
    }
}

// Without a propellant only the geometric figures; without a throat no
// port-to-throat ratio; a grain holding no propellant has none either.
TEST(MassFluxTest, GeometricFiguresWithoutAPropellant) {
    cMotor motor;
    motor.AddGrain(MakeGrain(4, 2, 1));
    motor.AddGrain(MakeGrain(4, 2, 2));  // no propellant
    MotorFlow flow = ComputeFlow(motor);
    EXPECT_FALSE(flow.grains[0].port_throat);
    motor.SetNozzleDia(0.5f);
    flow = ComputeFlow(motor);
    EXPECT_EQ(*flow.grains[0].port_throat, 4.0);
    EXPECT_FALSE(flow.grains[1].port_throat);
    EXPECT_FALSE(flow.grains[0].mass);
    EXPECT_FALSE(flow.peak_mass_flux);
    EXPECT_EQ(flow.grains[1].neutral_length, 4.0);
}

}  // namespace
}  // namespace thrustlet
