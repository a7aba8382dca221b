#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "model/burn_rate_law.h"
#include "model/performance.h"

namespace thrustlet {

class cMotor;

// How finely the full model marches: 1 is the default; tests halve both to
// see that the figures have converged.
struct MarchResolution {
    double steps = 1.0;   // times the default number of time steps
    double slices = 1.0;  // times the default number of slices per grain
};

// The steady burn of a design laid out for integration, shared by its
// performance figures, the mass flux through each grain and the analysis of
// a static firing.

// c + b x + a x^2.
struct Quadratic {
    double a = 0.0, b = 0.0, c = 0.0;
    double At(double x) const { return c + x * (b + x * a); }
};

// The roots of q(x) = value strictly inside (low, high), appended to `out`.
void CrossingsInside(const Quadratic& q, double value, double low, double high, std::vector<double>* out);

// The parts of the thrust coefficient that depend on the nozzle alone: the
// momentum term and the exit pressure ratio.
struct Nozzle {
    double momentum = 0.0, exit = 0.0, area_ratio = 1.0;
    Nozzle(double k, double ratio);
    double Coefficient(double chamber, double ambient) const;
};

// The thrust (N) of a design at a chamber pressure (Pa): its nozzle, its
// efficiency and the ambient pressure; 0 without a specific heat ratio.
// With the nozzle's shape given, its losses too: the thrust coefficient is
// `shape` (divergence and throat length) times (skin Cf + 1 - skin).
struct ThrustOf {
    explicit ThrustOf(const cMotor& motor);
    double operator()(double pressure) const {
        if (!has_thrust) return 0.0;
        if (!shape_losses) return efficiency * nozzle.Coefficient(pressure, ambient) * pressure * throat_m2;
        const double ideal = nozzle.Coefficient(pressure, ambient);
        return efficiency * shape * (kSkinFriction * ideal + (1.0 - kSkinFriction)) * pressure * throat_m2;
    }
    // The share of the thrust coefficient skin friction on the nozzle's
    // wall leaves (the DTIC nozzle-loss method's usual value).
    static constexpr double kSkinFriction = 0.99;
    bool has_thrust;
    double efficiency, ambient, throat_m2;
    bool shape_losses = false;
    double shape = 1.0;  // the divergence and throat-length losses
    Nozzle nozzle;
};

// The divergence loss of a conical nozzle of half angle `degrees`,
// (1 + cos a) / 2, and the throat-length loss of a throat `length` long over
// its `diameter` (0.99 - 0.0333 L/D, 0.95 past L/D = 0.45).
double DivergenceLoss(double degrees);
double ThroatLengthLoss(double length, double diameter);

// Each grain with propellant burns from depth 0 to its burnout, its area a
// quadratic in the depth meanwhile (the area rules in exact arithmetic: core
// c0 + 2x, length L0 - f x, the f end faces that burn). Between burnouts the stack's
// area is one quadratic; within such a stretch the law changes state only
// where Kn crosses a switching value, so the stretch is cut there into
// segments of one state each, and each segment into integration steps.
// Only for a design with a unit whose values give figures.
// The density times the c* the chamber delivers (the propellant's c* times
// the combustion efficiency, where the design gives one).
double DeliveredRhoCStar(const cMotor& motor);
// The c* the chamber delivers (m/s).
double DeliveredCStar(const cMotor& motor);

class Burn {
public:
    // A grain that holds propellant, in the motor's order.
    struct Grain {
        std::size_t position = 0;  // 0-based, head end first
        double core = 0.0, length = 0.0, diameter = 0.0;
        double end = 0.0;  // its burnout depth
        int faces = 2;     // the end faces that burn
        bool forward_face = true;  // its forward (head-end) face burns
        Quadratic area;    // its whole burning area (core and the faces that burn)
        // Its length at depth x.
        double LengthAt(double x) const { return length - faces * x; }
    };
    struct Segment {
        double x0 = 0.0, x1 = 0.0;
        Quadratic area;  // the stack's, in the design's unit squared
        BurnRateLaw::State state;
        int steps = 1;
    };
    // One integration step, with the time and impulse when it starts.
    struct Step {
        std::size_t segment = 0;
        double x0 = 0.0, x1 = 0.0, time = 0.0, impulse = 0.0;
    };

    explicit Burn(const cMotor& motor);

    bool HasPropellant() const { return !segments_.empty(); }
    double Burnout() const { return burnout_; }
    double PropellantVolume() const { return volume_; }  // the design's unit cubed
    const std::vector<Grain>& Grains() const { return grains_; }
    const std::vector<Segment>& Segments() const { return segments_; }
    const BurnRateLaw& Law() const { return law_; }
    const ThrustOf& ThrustAt() const { return thrust_at_; }
    double Throat() const { return throat_; }  // the design's unit squared
    double Metres() const { return metres_; }  // per unit of length
    double RhoCstar() const { return rho_cstar_; }

    // Kn at depth x of a stretch's area; never below 0 (the area rules can
    // round a burnt-out grain's last area a hair below it).
    double Kn(const Quadratic& area, double x) const { return std::max(0.0, area.At(x)) / throat_; }
    double PressureAt(const Segment& segment, double x) const {
        return law_.Pressure(segment.state, Kn(segment.area, x));
    }
    double ThrustAtDepth(const Segment& segment, double x) const { return thrust_at_(PressureAt(segment, x)); }

    // The time (s) and impulse (N s) the burn takes from depth `a` of a
    // segment to a + width, summed by 5-point Gauss-Legendre. The burn rate
    // comes from the mass balance: r = P / (Kn rho c*).
    std::pair<double, double> Integrate(const Segment& segment, double a, double width) const;

    // The largest pressure within a segment and the depth it is at: at its
    // largest Kn (an end, or the top of the quadratic), since the pressure
    // never falls as Kn rises.
    std::pair<double, double> PeakPressure(const Segment& segment) const;

private:
    BurnRateLaw law_;
    ThrustOf thrust_at_;
    double throat_;
    double metres_;
    double rho_cstar_;
    double burnout_ = 0.0;
    double volume_ = 0.0;
    std::vector<Grain> grains_;
    std::vector<Segment> segments_;
};

// The figures of a burn and the steps they were summed over.
struct BurnIntegration {
    Performance figures;
    std::vector<Burn::Step> steps;
};
BurnIntegration IntegrateBurn(const cMotor& motor, const Burn& burn);

// The performance figures of a design (as ComputePerformance gives them)
// and, where there are figures, the burn and the steps they were summed
// over.
// `resolution` scales the full model's steps and slices (a fit's many runs
// take them coarser).
PerformanceOutcome IntegratedPerformance(const cMotor& motor, std::shared_ptr<const Burn>* burn,
                                         std::vector<Burn::Step>* steps, MarchResolution resolution = {});

// The time and impulse at depth x within a step.
std::pair<double, double> AtDepth(const Burn& burn, const Burn::Step& step, double x);
// The step that holds depth x (the last for depths past the burnout), or
// nullptr when there are none.
const Burn::Step* StepAt(const std::vector<Burn::Step>& steps, double x);

}  // namespace thrustlet
