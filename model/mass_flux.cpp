#include "model/mass_flux.h"

#include <algorithm>
#include <cmath>

#include "model/burn.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

// Up to this many grains every step of the burn is sampled and every
// grain's peak refined; a larger motor (a stack of thousands, stepped) is
// sampled at about this many grain-depths in all, and only the motor's peak
// is refined, so its figures stay instant.
constexpr std::size_t kFullScanGrains = 256;
constexpr double kMostGrainSamples = 4e6;

// The mass flux through each burning grain's port at depth x of a step in
// `segment`, where `alive` grains (those burning in the step) count.
class FluxAt {
public:
    // `c_star` in m/s.
    FluxAt(const Burn& burn, double c_star) : burn_(burn), grains_(burn.Grains()), c_star_(c_star) {}

    // The flux (kg/(m^2 s)) of grain g (an index into the burn's grains) at
    // depth x, with the grains burning after depth `from` (a step's start).
    double Of(std::size_t g, const Burn::Segment& segment, double from, double x) const {
        double upstream = 0.0;
        for (std::size_t j = 0; j < g; ++j) {
            if (grains_[j].end > from) upstream += std::max(0.0, grains_[j].area.At(x));
        }
        return Flux(g, segment, upstream, x);
    }

    // Every grain's flux at x at once (upstream sums carried along).
    void All(const Burn::Segment& segment, double from, double x, std::vector<double>* fluxes) const {
        fluxes->assign(grains_.size(), -1.0);
        double upstream = 0.0;
        for (std::size_t g = 0; g < grains_.size(); ++g) {
            if (grains_[g].end <= from) continue;
            (*fluxes)[g] = Flux(g, segment, upstream, x);
            upstream += std::max(0.0, grains_[g].area.At(x));
        }
    }

private:
    double Flux(std::size_t g, const Burn::Segment& segment, double upstream, double x) const {
        const Burn::Grain& grain = grains_[g];
        const double port = grain.core + 2.0 * x;
        const double port_area = kPi / 4.0 * port * port;
        if (!(port_area > 0.0)) return -1.0;
        // Its core and its forward face (where that burns) feed the port.
        const double face = grain.forward_face ? kPi / 4.0 * std::max(0.0, grain.diameter * grain.diameter - port * port) : 0.0;
        const double own = kPi * port * std::max(0.0, grain.LengthAt(x)) + face;
        const double total = std::max(0.0, segment.area.At(x));
        if (!(total > 0.0)) return 0.0;
        // The mass the throat passes (P A_t / c*), the share of it burnt
        // upstream of the port's end, over the port's area; the unit's
        // areas cancel, so kg/(m^2 s) as P is in Pa and c* in m/s.
        const double pressure = burn_.PressureAt(segment, x);
        return pressure * burn_.Throat() / c_star_ * (upstream + own) / total / port_area;
    }

    const Burn& burn_;
    const std::vector<Burn::Grain>& grains_;
    double c_star_;
};

// The largest value of f on [a, b] near a smooth peak, by golden section.
template <typename F>
std::pair<double, double> Refine(F&& f, double a, double b) {
    constexpr double kGolden = 0.6180339887498949;
    double x1 = b - kGolden * (b - a), x2 = a + kGolden * (b - a);
    double f1 = f(x1), f2 = f(x2);
    for (int i = 0; i < 60 && b - a > 1e-12 * std::max(1.0, std::fabs(b)); ++i) {
        if (f1 < f2) {
            a = x1, x1 = x2, f1 = f2;
            x2 = a + kGolden * (b - a), f2 = f(x2);
        } else {
            b = x2, x2 = x1, f2 = f1;
            x1 = b - kGolden * (b - a), f1 = f(x1);
        }
    }
    return f1 > f2 ? std::pair{x1, f1} : std::pair{x2, f2};
}

void AddMassFlux(const Burn& burn, const std::vector<Burn::Step>& steps, double c_star, MotorFlow& flow) {
    if (!burn.HasPropellant() || steps.empty()) return;
    const auto& grains = burn.Grains();
    const FluxAt flux(burn, c_star);

    struct Best {
        double value = -1.0;
        std::size_t step = 0;
        double depth = 0.0;
    };
    std::vector<Best> best(grains.size());
    const bool full = grains.size() <= kFullScanGrains;
    const std::size_t every =
        full ? 1 : std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(2.0 * steps.size() * grains.size() / kMostGrainSamples)));
    std::vector<double> fluxes;
    for (std::size_t k = 0; k < steps.size(); ++k) {
        if (k % every != 0 && k + 1 != steps.size()) continue;
        const Burn::Step& step = steps[k];
        const Burn::Segment& segment = burn.Segments()[step.segment];
        for (const double x : {step.x0, step.x1}) {
            flux.All(segment, step.x0, x, &fluxes);
            for (std::size_t g = 0; g < grains.size(); ++g) {
                if (fluxes[g] > best[g].value) best[g] = {fluxes[g], k, x};
            }
        }
    }
    std::size_t top = 0;
    for (std::size_t g = 0; g < grains.size(); ++g) {
        if (best[g].value > best[top].value) top = g;
    }
    // Each peak refined over the steps around its best sample (the flux is
    // smooth within them, as the set of burning grains does not change).
    for (std::size_t g = 0; g < grains.size(); ++g) {
        if (best[g].value < 0.0) continue;
        const std::size_t k = best[g].step;
        for (std::size_t n : {k == 0 ? k : k - 1, k, k + 1}) {
            if (!full && g != top) break;
            if (n >= steps.size() || steps[n].segment != steps[k].segment) continue;
            const Burn::Step& step = steps[n];
            if (!(grains[g].end > step.x0)) continue;
            const Burn::Segment& segment = burn.Segments()[step.segment];
            const auto [depth, value] =
                Refine([&](double x) { return flux.Of(g, segment, step.x0, x); }, step.x0, step.x1);
            if (value > best[g].value) best[g] = {value, n, depth};
        }
        GrainFlow& grain = flow.grains[grains[g].position];
        grain.peak_mass_flux = best[g].value;
        grain.peak_mass_flux_depth = best[g].depth;
        grain.peak_mass_flux_time = AtDepth(burn, steps[best[g].step], best[g].depth).first;
        if (!flow.peak_mass_flux || best[g].value > *flow.peak_mass_flux) {
            flow.peak_mass_flux = best[g].value;
            flow.peak_mass_flux_grain = grain.position;
            flow.peak_mass_flux_time = grain.peak_mass_flux_time;
            flow.peak_mass_flux_depth = grain.peak_mass_flux_depth;
        }
    }
}

}  // namespace

FluxCurve MassFluxCurve(const cMotor& motor, std::size_t most) { return RunMotor(motor).FluxTrace(most); }

MotorFlow ComputeFlow(const cMotor& motor) { return RunMotor(motor).Flow(); }

FluxCurve FluxCurveOf(const Burn& burn, const std::vector<Burn::Step>& steps, double c_star, const MotorFlow& flow,
                      std::size_t most) {
    FluxCurve curve;
    std::vector<const GrainFlow*> ranked;
    for (const GrainFlow& grain : flow.grains) {
        if (grain.peak_mass_flux) ranked.push_back(&grain);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const GrainFlow* a, const GrainFlow* b) { return *a->peak_mass_flux > *b->peak_mass_flux; });
    if (ranked.size() > most) ranked.resize(most);
    std::sort(ranked.begin(), ranked.end(), [](const GrainFlow* a, const GrainFlow* b) { return a->position < b->position; });

    // The burn's grains (those holding propellant) by position.
    std::vector<std::size_t> index;
    for (const GrainFlow* grain : ranked) {
        for (std::size_t g = 0; g < burn.Grains().size(); ++g) {
            if (static_cast<int>(burn.Grains()[g].position) + 1 == grain->position) index.push_back(g);
        }
        curve.grains.push_back(grain->position);
    }
    curve.flux.assign(ranked.size(), {});
    const FluxAt flux(burn, c_star);
    const std::size_t every = std::max<std::size_t>(1, steps.size() / 1000);
    std::vector<double> all;
    for (std::size_t k = 0; k < steps.size(); k += every) {
        const Burn::Step& step = steps[k];
        flux.All(burn.Segments()[step.segment], step.x0, step.x0, &all);
        curve.times.push_back(step.time);
        for (std::size_t g = 0; g < index.size(); ++g) curve.flux[g].push_back(all[index[g]]);
    }
    return curve;
}

MotorFlow FlowOf(const cMotor& motor, const Burn* burn, const std::vector<Burn::Step>& steps) {
    MotorFlow flow;
    const double throat = static_cast<double>(motor.NozzleDia());
    const bool propellant = burn != nullptr;
    const double metres = propellant ? MetresPer(*motor.Performance().units) : 0.0;
    int position = 0;
    for (const auto& grain : motor.Grains()) {
        GrainFlow g;
        g.position = ++position;
        const double length = grain->Length(), diameter = grain->Diameter(), core = grain->CoreDiameter();
        g.length = length;
        const int faces = grain->BurningFaces();
        if (faces == 2) {
            g.web = (diameter - core) / 2.0;
            g.neutral_length = (3.0 * diameter + core) / 2.0;
        } else {
            // The web is where the grain is gone; the neutral length is the
            // one whose area at burnout equals its area at ignition,
            // f (3 D + C) / 4 for f faces burning (none: every length grows).
            g.web = faces > 0 ? std::min((diameter - core) / 2.0, length / faces) : (diameter - core) / 2.0;
            g.neutral_length = faces * (3.0 * diameter + core) / 4.0;
        }
        const bool holds = core < diameter && std::isfinite(core) && std::isfinite(diameter);
        if (holds && throat > 0.0 && std::isfinite(throat)) {
            g.port_throat = core > 0.0 ? (core / throat) * (core / throat) : 0.0;
            if (!flow.min_port_throat || *g.port_throat < *flow.min_port_throat) {
                flow.min_port_throat = g.port_throat;
                flow.min_port_throat_grain = g.position;
            }
        }
        if (propellant && holds) {
            g.mass = motor.Density() * kPi / 4.0 * (diameter * diameter - core * core) * length * metres * metres * metres;
        }
        flow.grains.push_back(g);
    }
    if (propellant) AddMassFlux(*burn, steps, DeliveredCStar(motor), flow);
    return flow;
}

}  // namespace thrustlet
