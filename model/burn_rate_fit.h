#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/firing_analysis.h"
#include "model/performance_inputs.h"

namespace thrustlet {

class MotorRun;

// A measured burn rate: r (m/s) at a chamber pressure (Pa), and where it
// comes from ("firing.csv, average", "strand burner").
struct BurnRatePoint {
    double pressure = 0.0;
    double rate = 0.0;
    std::string source;
};

// The standard motor method: the design's web over the burn time, at the
// burn time's average chamber pressure. Needs a pressure column.
BurnRatePoint AverageBurnRatePoint(const FiringFigures& figures, const MotorRun& run, const std::string& source);

// The pressure-integral method: the share of the propellant burnt by time t
// is the pressure integral to t over the whole; the design's burnt volume
// V(x) turns it into the burn depth x(t), and r = dx/dt over a window of 5 %
// of the burn time, paired with the window's average pressure. The rise and
// the tail-off are left out. Needs a pressure column.
std::vector<BurnRatePoint> InstantBurnRatePoints(const Firing& firing, const FiringFigures& figures,
                                                 const MotorRun& run, const std::string& source);

// r = a P^n by least squares in log P and log r, one law or pieces parted
// at `breaks` (Pa, ascending). A piece whose points hold fewer than two
// distinct pressures gives no law: `problem` says which.
struct FitPiece {
    double p_min = 0.0, p_max = 0.0;  // the pressures its points cover
    double a = 0.0, n = 0.0;          // SI: r in m/s, P in Pa
    std::size_t points = 0;
};
struct BurnRateFit {
    std::vector<FitPiece> pieces;
    double r2 = 0.0;                // in log r, over every point
    std::vector<double> residuals;  // each point's (r - fit) / fit, in the points' order
    std::string problem;            // "" when there is a law
    bool Ok() const { return problem.empty() && !pieces.empty(); }
};
BurnRateFit FitBurnRate(const std::vector<BurnRatePoint>& points, const std::vector<double>& breaks);

// The fitted law as a design keeps it: pieces (one for one law) over the
// pressures their points cover; `a` and `n` are left 0 (a law fitted
// elsewhere, such as a trace fit's, may give them instead of pieces).
struct FittedLaw {
    float a = 0.0f, n = 0.0f;
    std::vector<BurnRatePiece> pieces;
};
FittedLaw LawOfFit(const BurnRateFit& fit);

}  // namespace thrustlet
