#include "model/burn_rate_law.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace thrustlet {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct Published {
    double low, high, a, n;
};

// The piece a pressure runs by, and whether its range holds the pressure.
std::pair<std::size_t, bool> PieceAt(const std::vector<Published>& pieces, double pressure) {
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pressure >= pieces[i].low && pressure <= pieces[i].high) return {i, true};
    }
    // Below every range, above every range or in a gap: the nearest in log P.
    std::size_t nearest = 0;
    double distance = kInfinity;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const double d = pressure < pieces[i].low ? std::log(pieces[i].low / pressure)
                                                  : std::log(pressure / pieces[i].high);
        if (d < distance) {
            distance = d;
            nearest = i;
        }
    }
    return {nearest, false};
}

}  // namespace

BurnRateLaw::BurnRateLaw(const std::vector<BurnRatePiece>& pieces, double a, double n, double rho_cstar) {
    std::vector<Published> published;
    if (pieces.empty()) {
        published.push_back({0.0, kInfinity, a, n});
    } else {
        for (const BurnRatePiece& piece : pieces) published.push_back({piece.p_min, piece.p_max, piece.a, piece.n});
    }
    // The pressures where the piece may change: the ends of the ranges, and
    // the middle (in log P) of every gap between them.
    std::vector<double> cuts;
    for (const Published& piece : published) {
        for (double end : {piece.low, piece.high}) {
            if (end > 0.0 && std::isfinite(end)) cuts.push_back(end);
        }
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    const std::size_t ends = cuts.size();
    for (std::size_t k = 0; k + 1 < ends; ++k) {
        const double middle = std::sqrt(cuts[k] * cuts[k + 1]);
        if (!PieceAt(published, middle).second) cuts.push_back(middle);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.insert(cuts.begin(), 0.0);
    cuts.push_back(kInfinity);

    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const double from = cuts[k], to = cuts[k + 1];
        const double probe = from == 0.0 ? to / 2.0 : std::isinf(to) ? from * 2.0 : std::sqrt(from * to);
        const auto [piece, inside] = PieceAt(published, std::isfinite(probe) ? probe : 1.0);
        if (!regions_.empty() && regions_.back().piece == piece && regions_.back().inside == inside) {
            regions_.back().to = to;
            continue;
        }
        Region region;
        region.from = from;
        region.to = to;
        region.a = published[piece].a;
        region.n = published[piece].n;
        region.exponent = 1.0 / (1.0 - region.n);
        region.factor = region.a * rho_cstar;
        region.inside = inside;
        region.piece = piece;
        regions_.push_back(region);
    }
}

BurnRateLaw::State BurnRateLaw::Select(double kn) const {
    for (std::size_t r = 0; r < regions_.size(); ++r) {
        const Region& region = regions_[r];
        const double pressure = std::pow(kn * region.factor, region.exponent);
        // Below this region's top the region's own solution holds, or, below
        // its bottom, the bottom itself: no lower pressure balances.
        if (pressure <= region.to || r + 1 == regions_.size()) return {r, pressure < region.from};
    }
    return {};
}

double BurnRateLaw::Pressure(State state, double kn) const {
    const Region& region = regions_[state.region];
    return state.at_boundary ? region.from : std::pow(kn * region.factor, region.exponent);
}

bool BurnRateLaw::Outside(State state) const {
    if (regions_[state.region].inside) return false;
    return !(state.at_boundary && state.region > 0 && regions_[state.region - 1].inside);
}

std::vector<double> BurnRateLaw::SwitchingKn() const {
    std::vector<double> kn;
    for (const Region& region : regions_) {
        for (double end : {region.from, region.to}) {
            if (!(end > 0.0 && std::isfinite(end))) continue;
            const double value = std::pow(end, 1.0 - region.n) / region.factor;
            if (std::isfinite(value) && value > 0.0) kn.push_back(value);
        }
    }
    return kn;
}

double BurnRateLaw::Rate(double pressure) const {
    if (!(pressure > 0.0)) return 0.0;
    for (const Region& region : regions_) {
        if (pressure <= region.to) return region.a * std::pow(pressure, region.n);
    }
    return regions_.back().a * std::pow(pressure, regions_.back().n);
}

}  // namespace thrustlet
