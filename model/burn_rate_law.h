#pragma once

#include <cstddef>
#include <vector>

#include "model/performance_inputs.h"

namespace thrustlet {

// A propellant's burn rate r(P) and the chamber pressure it gives at a Kn.
//
// r(P) = a P^n by pieces, each published for a pressure range. Every
// pressure has one piece: the piece whose range holds it (the first, where
// ranges share an end), the lowest piece below every range, the highest
// above every range, and in a gap between ranges the nearer piece in log P.
// The pressure axis is cut into regions at those boundaries, each with its
// piece.
//
// The chamber pressure at a Kn is the lowest P with P >= Kn rho c* r(P): the
// mass the propellant gives off (rho r A_burn) no more than the throat
// passes (P A_t / c*). Where the pieces join it is the one steady solution;
// where r jumps down at a boundary it is the boundary itself. So the pressure
// never falls as Kn rises, whatever the published pieces do.
class BurnRateLaw {
public:
    // `pieces` in ascending order (SI: Pa, m/s/Pa^n); without pieces the one
    // law r = a P^n holds at every pressure. `rho_cstar` is the propellant's
    // density times its c* (kg/m^3 times m/s).
    BurnRateLaw(const std::vector<BurnRatePiece>& pieces, double a, double n, double rho_cstar);

    // Which law a burn at `kn` runs by: a region's power law, or the
    // region's lower boundary held fixed (where r jumps down there).
    struct State {
        std::size_t region = 0;
        bool at_boundary = false;
        bool operator==(const State&) const = default;
    };
    State Select(double kn) const;
    double Pressure(State state, double kn) const;
    double Pressure(double kn) const { return Pressure(Select(kn), kn); }
    // True when the burn runs at a pressure no piece's range holds.
    bool Outside(State state) const;

    // The Kn values where Select can change: within an interval between two
    // of them the state is one and the pressure a smooth power of Kn.
    std::vector<double> SwitchingKn() const;

    // r(P) in m/s by the pieces' rule above (0 for P <= 0).
    double Rate(double pressure) const;

    struct Region {
        double from = 0.0, to = 0.0;  // Pa; the last region runs to infinity
        double a = 0.0, n = 0.0;
        double exponent = 0.0;  // 1 / (1 - n)
        double factor = 0.0;    // a rho c*: P^(1-n) = Kn factor
        bool inside = false;    // within the piece's published range
        std::size_t piece = 0;  // index into the pieces (0 for a single law)
    };
    const std::vector<Region>& Regions() const { return regions_; }

private:
    std::vector<Region> regions_;
};

// The most burn-rate pieces a design holds: far above any published law, and
// a bound on the work of every figure.
inline constexpr std::size_t kMaxBurnRatePieces = 64;

}  // namespace thrustlet
