#include "model/full_burn.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "model/motor.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

// Time steps over the steady burn time; the gas-storage march takes
// smaller ones where the pressure moves fast.
constexpr double kStepsPerBurn = 200.0;
// Slices per grain with erosive burning: 8 for a short motor, fewer for
// a long stack of grains (each then a small part of the port), at least 4.
constexpr int kErosiveSlices = 8;
constexpr int kErosiveSlicesPerMotor = 32;
// The march gives up past this many steps (a burn the chamber never
// pressurises for): what it summed until then stands.
constexpr long kMostSteps = 400000;

struct Slice {
    double x = 0.0;     // core regression, m
    bool done = false;  // its core has reached the grain's outside
    // The erosive share of its rate when it last regressed (m/s): where the
    // next solution for its rate starts.
    double erosive = 0.0;
};

struct GrainState {
    double core = 0.0, length = 0.0, diameter = 0.0;  // m
    bool forward = false, aft = false;                // which faces burn
    double y = 0.0;                                   // each burning face's regression, m
    std::vector<Slice> slices;
    bool spent = false;
    int Faces() const { return (forward ? 1 : 0) + (aft ? 1 : 0); }
    double SliceLength() const { return length / static_cast<double>(slices.size()); }
    // The slice's part of the grain still there, m.
    double Overlap(std::size_t j) const {
        const double z0 = SliceLength() * static_cast<double>(j), z1 = z0 + SliceLength();
        const double from = forward ? y : 0.0, to = aft ? length - y : length;
        return std::max(0.0, std::min(z1, to) - std::max(z0, from));
    }
    std::size_t SliceAt(double z) const {
        const double index = std::floor(z / SliceLength());
        return static_cast<std::size_t>(std::clamp(index, 0.0, static_cast<double>(slices.size() - 1)));
    }
};

// What the burn is doing at one moment, at one chamber pressure.
struct Moment {
    double pressure = 0.0;   // Pa
    double base_rate = 0.0;  // the law's rate, m/s
    double area = 0.0;       // burning area, m^2
    double volume_rate = 0.0;  // propellant burnt, m^3/s
    std::vector<std::vector<double>> rates;  // each grain's slices' core rates, m/s
};

class March {
public:
    March(const cMotor& motor, const Burn& burn, double steady_time, MarchResolution resolution)
        : burn_(burn), in_(motor.Performance()) {
        const double metres = burn.Metres();
        density_ = motor.Density();
        cstar_ = DeliveredCStar(motor);
        k_ = in_.specific_heat_ratio.value_or(1.2f);
        // R T of the chamber's gas from c* = sqrt(R T / k) / (2/(k+1))^((k+1)/(2(k-1)))
        // (Sutton, Rocket Propulsion Elements, eq. 3-32): R T = c*^2 k (2/(k+1))^((k+1)/(k-1)).
        rt_ = cstar_ * cstar_ * k_ * std::pow(2.0 / (k_ + 1.0), (k_ + 1.0) / (k_ - 1.0));
        critical_ratio_ = std::pow(2.0 / (k_ + 1.0), k_ / (k_ - 1.0));
        ambient_ = in_.AmbientPressure();
        throat_dia_ = motor.NozzleDia() * metres;
        exit_dia_ = in_.NozzleExitDia() * metres;
        erosion_ = in_.nozzle_erosion.value_or(0.0f);
        slag_ = in_.nozzle_slag.value_or(0.0f);
        alpha_ = in_.erosive_alpha.value_or(0.0f);
        beta_ = in_.erosive_beta.value_or(0.0f);
        threshold_ = in_.erosive_threshold.value_or(0.0f);
        kv_ = in_.erosive_velocity_coefficient.value_or(0.0f);
        erosive_ = alpha_ > 0.0 || (threshold_ > 0.0 && kv_ > 0.0);
        log_alpha_ = alpha_ > 0.0 ? std::log(alpha_) : 0.0;
        storage_ = in_.GasStorage();
        web_threshold_ = in_.web_burnout.value_or(0.0f) * metres;
        thrust_threshold_ = in_.thrust_burnout.value_or(0.0f) / 100.0;

        const int slices = std::max(1, static_cast<int>(std::lround(DefaultSlices(motor) * resolution.slices)));
        for (const Burn::Grain& layout : burn.Grains()) {
            GrainState grain;
            grain.core = layout.core * metres;
            grain.length = layout.length * metres;
            grain.diameter = layout.diameter * metres;
            grain.forward = layout.faces == 2 || (layout.faces == 1 && layout.forward_face);
            grain.aft = layout.faces == 2 || (layout.faces == 1 && !layout.forward_face);
            grain.slices.assign(static_cast<std::size_t>(slices), Slice{});
            grains_.push_back(std::move(grain));
        }
        // The chamber: the case's volume where the design gives it, else
        // the grains' envelope.
        for (const auto& grain : motor.Grains()) {
            const double d = grain->Diameter() * metres;
            envelope_ += kPi / 4.0 * d * d * grain->Length() * metres;
        }
        if (in_.case_diameter && in_.case_length && *in_.case_diameter > 0.0f && *in_.case_length > 0.0f) {
            const double d = *in_.case_diameter * metres;
            envelope_ = std::max(envelope_, kPi / 4.0 * d * d * *in_.case_length * metres);
        }
        base_step_ = steady_time / (kStepsPerBurn * std::max(0.01, resolution.steps));
        SetNozzle();
    }

    Performance Run();

private:
    double ThroatArea() const { return kPi / 4.0 * throat_dia_ * throat_dia_; }
    void SetNozzle() {
        nozzle_throat_ = throat_dia_;
        const double ratio = exit_dia_ > 0.0 && throat_dia_ > 0.0 ? std::pow(exit_dia_ / throat_dia_, 2.0) : 1.0;
        nozzle_.emplace(k_, std::max(1.0, ratio));
    }
    // The thrust at a chamber pressure with the throat as it is now: the
    // steady model's own thrust while the throat keeps its size.
    double Thrust(double pressure) {
        const ThrustOf& steady = burn_.ThrustAt();
        if (!steady.has_thrust || !(pressure > 0.0)) return 0.0;
        if (erosion_ == 0.0 && slag_ == 0.0) return steady(pressure);
        if (std::fabs(throat_dia_ - nozzle_throat_) > 1e-9 * nozzle_throat_) SetNozzle();
        const double cf = nozzle_->Coefficient(pressure, steady.ambient);
        const double losses = steady.shape_losses ? steady.shape * (ThrustOf::kSkinFriction * cf + 1.0 - ThrustOf::kSkinFriction) : cf;
        return steady.efficiency * losses * pressure * ThroatArea();
    }
    // With gas storage the thrust fades to nothing as the throat unchokes.
    double StoredThrust(double pressure) {
        const double critical = ambient_ / critical_ratio_;
        if (pressure >= critical) return Thrust(pressure);
        if (!(pressure > ambient_)) return 0.0;
        return Thrust(critical) * (pressure - ambient_) / (critical - ambient_);
    }

    // The slices' core rates and the burning area at a pressure.
    void Rates(double pressure, Moment& m) const;
    // The quasi-steady pressure of the grains as they are, into `m`.
    void QuasiSteady(Moment& m) const;
    // The right-hand side of the gas mass balance, dP/dt (Pa/s), with the
    // propellant burning `volume_rate` (m^3/s) into a free `volume` (m^3).
    // `choked` takes the throat as choked at any pressure: the slope the
    // step is steered by, free of the subsonic flow's infinite slope at
    // the ambient pressure.
    double Balance(double pressure, double volume_rate, double volume, bool choked = false) const;
    double FreeVolume() const;
    void Regress(const Moment& m, double dt);
    // The time until the first grain still burning is spent, at these rates.
    double TimeToNextBurnout(const Moment& m) const;
    // Marks the slices burnt through and the grains spent (within
    // `tolerance` of their web).
    void MarkSpent(double tolerance);
    bool AllSpent() const {
        return std::all_of(grains_.begin(), grains_.end(), [](const GrainState& g) { return g.spent; });
    }
    double WebLeft(const GrainState& grain, double* radial_rate_slice, const Moment* m, std::size_t g) const;
    double MeanDepth() const;

    const Burn& burn_;
    const PerformanceInputs& in_;
    double density_ = 0.0, cstar_ = 0.0, k_ = 1.2, rt_ = 0.0, critical_ratio_ = 0.5, ambient_ = 0.0;
    double throat_dia_ = 0.0, exit_dia_ = 0.0, nozzle_throat_ = 0.0;
    double log_alpha_ = 0.0;
    double erosion_ = 0.0, slag_ = 0.0, alpha_ = 0.0, beta_ = 0.0, threshold_ = 0.0, kv_ = 0.0;
    bool erosive_ = false, storage_ = true;
    double web_threshold_ = 0.0, thrust_threshold_ = 0.0;
    double envelope_ = 0.0, base_step_ = 0.0;
    std::optional<Nozzle> nozzle_;
    std::vector<GrainState> grains_;
};

void March::Rates(double pressure, Moment& m) const {
    m.pressure = pressure;
    m.base_rate = burn_.Law().Rate(pressure);
    m.area = 0.0;
    m.volume_rate = 0.0;
    m.rates.resize(grains_.size());
    const double throat_flux = pressure / cstar_;  // the throat's mass flux when choked, kg/(m^2 s)
    double upstream = 0.0;  // mass flow entering the grain, kg/s
    for (std::size_t g = 0; g < grains_.size(); ++g) {
        const GrainState& grain = grains_[g];
        std::vector<double>& rates = m.rates[g];
        rates.assign(grain.slices.size(), m.base_rate);
        if (grain.spent) continue;
        const double outer = grain.diameter * grain.diameter;
        // The faces: annuli from the port at each end to the grain's outside.
        for (const bool forward : {true, false}) {
            if (!(forward ? grain.forward : grain.aft)) continue;
            const std::size_t j = grain.SliceAt(forward ? grain.y : grain.length - grain.y);
            const double port = grain.slices[j].done ? grain.diameter : std::min(grain.diameter, grain.core + 2.0 * grain.slices[j].x);
            const double face = kPi / 4.0 * (outer - port * port);
            m.area += face;
            m.volume_rate += face * m.base_rate;
            if (forward) upstream += density_ * face * m.base_rate;
        }
        for (std::size_t j = 0; j < grain.slices.size(); ++j) {
            const double overlap = grain.Overlap(j);
            const double port = std::min(grain.diameter, grain.core + 2.0 * grain.slices[j].x);
            if (!(overlap > 0.0) || grain.slices[j].done) continue;
            const double core_area = kPi * port * overlap;
            double rate = m.base_rate;
            if (erosive_) {
                // The slice's port mass flux: everything upstream and half
                // its own core at the law's rate.
                const double flux = (upstream + 0.5 * density_ * core_area * m.base_rate) / (kPi / 4.0 * port * port);
                double boost = 1.0;
                if (threshold_ > 0.0 && kv_ > 0.0 && flux > 0.0) {
                    const double ratio = throat_flux / flux;
                    if (ratio < threshold_) boost = 1.0 + kv_ * (threshold_ - ratio);
                }
                rate = m.base_rate * boost;
                if (alpha_ > 0.0 && flux > 0.0) {
                    // r = r0 + C exp(-kr r), C = alpha G^0.8 D^-0.2, kr = beta rho / G:
                    // the right side falls as r rises, so Newton from r0
                    // converges; C and the exponential are taken as one.
                    const double log_c = log_alpha_ + 0.8 * std::log(flux) - 0.2 * std::log(port);
                    const double kr = beta_ * density_ / flux;
                    const double r0 = rate;
                    double r = r0 + grain.slices[j].erosive;
                    for (int i = 0; i < 30; ++i) {
                        const double e = std::exp(log_c - kr * r);
                        const double step = (r - r0 - e) / (1.0 + kr * e);
                        r -= step;
                        if (std::fabs(step) <= 1e-11 * r) break;
                    }
                    rate = r;
                }
            }
            rates[j] = rate;
            m.area += core_area;
            m.volume_rate += core_area * rate;
            upstream += density_ * core_area * rate;
        }
        if (grain.aft) {
            const std::size_t j = grain.SliceAt(grain.length - grain.y);
            const double port = grain.slices[j].done ? grain.diameter : std::min(grain.diameter, grain.core + 2.0 * grain.slices[j].x);
            upstream += density_ * kPi / 4.0 * (outer - port * port) * m.base_rate;
        }
    }
}

void March::QuasiSteady(Moment& m) const {
    // The law's pressure at the Kn the burn would have at the law's rate
    // everywhere, raised by the slices' mean erosive boost until it holds.
    Rates(kStandardAtmosphere, m);  // the area, which no pressure changes
    const double throat = ThroatArea();
    double kn = m.area / throat;
    double pressure = kn > 0.0 ? burn_.Law().Pressure(kn) : 0.0;
    Rates(pressure, m);
    if (!erosive_ || !(pressure > 0.0)) return;
    for (int i = 0; i < 60; ++i) {
        const double boost = m.base_rate > 0.0 && m.area > 0.0 ? m.volume_rate / (m.area * m.base_rate) : 1.0;
        const double next = burn_.Law().Pressure(kn * boost);
        const bool done = std::fabs(next - pressure) <= 1e-10 * pressure;
        pressure = next;
        Rates(pressure, m);
        if (done) break;
    }
}

double March::FreeVolume() const {
    double propellant = 0.0, ports = 0.0;
    for (const GrainState& grain : grains_) {
        if (grain.spent) continue;
        for (std::size_t j = 0; j < grain.slices.size(); ++j) {
            const double overlap = grain.Overlap(j);
            const double port = grain.slices[j].done ? grain.diameter : std::min(grain.diameter, grain.core + 2.0 * grain.slices[j].x);
            propellant += kPi / 4.0 * (grain.diameter * grain.diameter - port * port) * overlap;
            ports += kPi / 4.0 * port * port * overlap;
        }
    }
    return std::max(envelope_ - propellant, std::max(ports, 1e-6 * envelope_));
}

double March::Balance(double pressure, double volume_rate, double volume, bool choked) const {
    const double throat = ThroatArea();
    double outflow = 0.0;  // kg/s
    if (choked) {
        outflow = pressure * throat / cstar_;
    } else if (pressure > ambient_) {
        outflow = pressure * throat / cstar_;
        const double ratio = ambient_ / pressure;
        if (ratio > critical_ratio_) {
            // Subsonic at the throat: the isentropic flow over the choked one.
            const auto psi = [&](double r) { return std::sqrt(std::max(0.0, std::pow(r, 2.0 / k_) - std::pow(r, (k_ + 1.0) / k_))); };
            outflow *= psi(ratio) / psi(critical_ratio_);
        }
    }
    const double gas = pressure / rt_;
    return rt_ / volume * ((density_ - gas) * volume_rate - outflow);
}

double March::WebLeft(const GrainState& grain, double* rate, const Moment* m, std::size_t g) const {
    const int faces = grain.Faces();
    double axial = faces > 0 ? (grain.length - faces * grain.y) / faces : std::numeric_limits<double>::infinity();
    double axial_rate = m ? m->base_rate : 0.0;
    double radial = -std::numeric_limits<double>::infinity(), radial_rate = 0.0;
    for (std::size_t j = 0; j < grain.slices.size(); ++j) {
        if (!(grain.Overlap(j) > 0.0) || grain.slices[j].done) continue;
        const double left = (grain.diameter - grain.core - 2.0 * grain.slices[j].x) / 2.0;
        if (left > radial) {
            radial = left;
            radial_rate = m ? m->rates[g][j] : 0.0;
        }
    }
    if (!(radial > -std::numeric_limits<double>::infinity())) radial = 0.0;
    if (axial < radial) {
        if (rate) *rate = axial_rate;
        return axial;
    }
    if (rate) *rate = radial_rate;
    return radial;
}

double March::TimeToNextBurnout(const Moment& m) const {
    double soonest = std::numeric_limits<double>::infinity();
    for (std::size_t g = 0; g < grains_.size(); ++g) {
        if (grains_[g].spent) continue;
        double rate = 0.0;
        const double left = WebLeft(grains_[g], &rate, &m, g) - web_threshold_;
        if (rate > 0.0) soonest = std::min(soonest, std::max(0.0, left) / rate);
        // Where slices regress apart, each one burning through is a drop of
        // its own.
        const GrainState& grain = grains_[g];
        if (grain.slices.size() < 2) continue;
        for (std::size_t j = 0; j < grain.slices.size(); ++j) {
            if (grain.slices[j].done || !(grain.Overlap(j) > 0.0) || !(m.rates[g][j] > 0.0)) continue;
            const double radial = (grain.diameter - grain.core - 2.0 * grain.slices[j].x) / 2.0;
            soonest = std::min(soonest, std::max(0.0, radial) / m.rates[g][j]);
        }
    }
    return soonest;
}

void March::MarkSpent(double tolerance) {
    for (GrainState& grain : grains_) {
        if (grain.spent) continue;
        const double web = std::min(grain.length, grain.diameter - grain.core);
        for (Slice& slice : grain.slices) {
            if (grain.core + 2.0 * slice.x >= grain.diameter - 2.0 * tolerance * web) slice.done = true;
        }
        if (WebLeft(grain, nullptr, nullptr, 0) - web_threshold_ <= tolerance * web) grain.spent = true;
    }
}

void March::Regress(const Moment& m, double dt) {
    for (std::size_t g = 0; g < grains_.size(); ++g) {
        GrainState& grain = grains_[g];
        if (grain.spent) continue;
        grain.y += m.base_rate * dt;
        for (std::size_t j = 0; j < grain.slices.size(); ++j) {
            Slice& slice = grain.slices[j];
            slice.x += m.rates[g][j] * dt;
            if (dt > 0.0) slice.erosive = std::max(0.0, m.rates[g][j] - m.base_rate);
        }
    }
}

double March::MeanDepth() const {
    // The faces' regression: the law's rate at every moment, so never less
    // than before (the depth the curve's points carry), in the design's unit.
    double depth = 0.0;
    for (const GrainState& grain : grains_) depth = std::max(depth, grain.y);
    return depth / burn_.Metres();
}

Performance March::Run() {
    Performance p;
    p.has_thrust = burn_.ThrustAt().has_thrust;
    const double metres = burn_.Metres();
    p.propellant_mass = density_ * burn_.PropellantVolume() * metres * metres * metres;
    const double design_throat = ThroatArea();
    double time = 0.0, impulse = 0.0;
    std::vector<double> impulses;  // the impulse at each curve point
    auto record = [&](double pressure, double thrust, double area) {
        PerformancePoint point;
        point.depth = MeanDepth();
        point.time = time;
        point.kn = area / ThroatArea();
        point.pressure = pressure;
        point.thrust = thrust;
        p.curve.push_back(point);
        impulses.push_back(impulse);
        if (pressure > p.peak_pressure) {
            p.peak_pressure = pressure;
            p.peak_pressure_time = time;
            p.peak_pressure_depth = point.depth;
        }
        p.peak_thrust = std::max(p.peak_thrust, thrust);
    };
    const auto outside = [&](double pressure) {
        for (const BurnRateLaw::Region& region : burn_.Law().Regions()) {
            if (pressure >= region.from && (pressure < region.to || &region == &burn_.Law().Regions().back())) {
                return !region.inside;
            }
        }
        return false;
    };
    const auto change_throat = [&](double pressure, double dt) {
        if (erosion_ == 0.0 && slag_ == 0.0) return;
        const double change = 2.0 * (erosion_ * pressure - (pressure > 0.0 ? slag_ / pressure : 0.0)) * dt;
        throat_dia_ = std::max(1e-3 * std::sqrt(design_throat * 4.0 / kPi), throat_dia_ + change);
    };
    const auto thrust_ended = [&](double thrust) {
        return p.has_thrust && thrust_threshold_ > 0.0 && p.peak_thrust > 0.0 && thrust < thrust_threshold_ * p.peak_thrust;
    };

    long steps = 0;
    Moment now, middle, after;
    if (!storage_) {
        // The pressure settles at every moment: march the geometry by the
        // midpoint rule, each step ending at the next grain burnout at most,
        // where the curve drops at one time as the steady curve does.
        QuasiSteady(now);
        record(now.pressure, Thrust(now.pressure), now.area);
        while (!AllSpent() && steps++ < kMostSteps) {
            if (outside(now.pressure)) p.outside_burn_rate_data = true;
            const double burnout = TimeToNextBurnout(now);
            double dt = base_step_;
            const bool at_burnout = burnout <= dt * 1.0000001;
            if (at_burnout) dt = burnout;
            // To the step's middle and back, then across it at the middle's rates.
            const double throat_start = throat_dia_;
            Regress(now, dt / 2.0);
            change_throat(now.pressure, dt / 2.0);
            QuasiSteady(middle);
            Regress(now, -dt / 2.0);
            throat_dia_ = throat_start;
            Regress(middle, dt);
            change_throat(middle.pressure, dt);
            QuasiSteady(after);
            const double end_thrust = Thrust(after.pressure);
            impulse += dt / 6.0 * (p.curve.back().thrust + 4.0 * Thrust(middle.pressure) + end_thrust);
            time += dt;
            record(after.pressure, end_thrust, after.area);
            if (thrust_ended(end_thrust)) break;
            MarkSpent(at_burnout ? 1e-6 : 1e-9);
            if (AllSpent()) break;
            QuasiSteady(now);
            if (now.area != after.area) record(now.pressure, Thrust(now.pressure), now.area);
        }
    } else {
        // The chamber fills from the ambient pressure (no lower than one
        // atmosphere: the igniter's gas), the pressure follows the gas mass
        // balance, and after the last grain is spent it blows down until the
        // throat no longer chokes.
        double pressure = std::max(ambient_, kStandardAtmosphere);
        Rates(pressure, now);
        record(pressure, StoredThrust(pressure), now.area);
        double last_step = base_step_;
        while (steps++ < kMostSteps) {
            const bool burning = !AllSpent();
            if (!burning) {
                const double stop = std::max(ambient_ / critical_ratio_, ambient_ + 1e-3 * (p.peak_pressure - ambient_));
                if (pressure <= stop) break;
            }
            if (burning && outside(pressure)) p.outside_burn_rate_data = true;
            // From twice the last step, which the 5 % rule below cut.
            double dt = std::min(base_step_, 2.0 * last_step);
            const double burnout = burning ? TimeToNextBurnout(now) : std::numeric_limits<double>::infinity();
            if (burnout <= dt * 1.0000001) dt = std::max(burnout, 1e-9 * base_step_);
            const double throat_start = throat_dia_;
            // The geometry at the step's middle, then the pressure across the
            // step. A step that would move the pressure by more than 5 % (the
            // rise at ignition, the blowdown) is halved until it does not.
            double next = pressure;
            for (;;) {
                Regress(now, dt / 2.0);
                if (burning) change_throat(pressure, dt / 2.0);
                const double volume = FreeVolume();
                Rates(pressure, middle);
                const double f = Balance(pressure, middle.volume_rate, volume);
                const double f_choked = Balance(pressure, middle.volume_rate, volume, true);
                // The balance's slope, with the erosive share of the burn
                // held as it is: it steers the step's stability, not its
                // accuracy.
                const double h = 1e-6 * pressure;
                const double base = burn_.Law().Rate(pressure);
                const double scaled = base > 0.0 ? middle.volume_rate * burn_.Law().Rate(pressure + h) / base : 0.0;
                const double slope = (Balance(pressure + h, scaled, volume, true) - f_choked) / h;
                // The balance linearised about the step's start, solved
                // exactly across it: P + dt phi(J dt) f, phi(z) = (e^z - 1) / z,
                // which settles on the balance however long the step.
                const double z = dt * slope;
                const double phi = std::fabs(z) < 1e-6 ? 1.0 + 0.5 * z : std::expm1(z) / z;
                next = std::max(ambient_, pressure + dt * phi * f);
                Regress(now, -dt / 2.0);
                throat_dia_ = throat_start;
                if (std::fabs(next - pressure) <= 0.05 * pressure || dt <= 1e-6 * base_step_) break;
                dt *= 0.5;
            }
            const double mid_pressure = 0.5 * (pressure + next);
            Regress(now, dt / 2.0);
            Rates(mid_pressure, middle);
            Regress(now, -dt / 2.0);
            Regress(middle, dt);
            if (burning) change_throat(mid_pressure, dt);
            const bool landed = burnout <= dt * 1.0000001;
            const double end_thrust = StoredThrust(next);
            impulse += dt / 6.0 * (p.curve.back().thrust + 4.0 * StoredThrust(mid_pressure) + end_thrust);
            time += dt;
            pressure = next;
            last_step = dt;
            MarkSpent(landed ? 1e-6 : 1e-9);
            Rates(pressure, now);
            record(pressure, end_thrust, now.area);
            if (thrust_ended(end_thrust)) break;
        }
    }
    // The burn's end, as the steady curve ends.
    PerformancePoint end;
    end.depth = p.curve.empty() ? 0.0 : p.curve.back().depth;
    end.time = time;
    p.curve.push_back(end);
    impulses.push_back(impulse);

    p.burn_time = time;
    if (p.has_thrust) {
        p.total_impulse = impulse;
        p.delivered_isp = p.propellant_mass > 0.0 ? impulse / (p.propellant_mass * kStandardGravity) : 0.0;
        // The certification average: from where the thrust first reaches 5 %
        // of its peak to where it last falls below it, between the curve's
        // points by straight lines.
        const double limit = 0.05 * p.peak_thrust;
        const auto& c = p.curve;
        const auto crossing = [&](std::size_t i) {
            // Where the thrust crosses the limit between points i and i + 1.
            const double f0 = c[i].thrust, f1 = c[i + 1].thrust;
            const double share = f1 != f0 ? (limit - f0) / (f1 - f0) : 0.0;
            const double t = c[i].time + share * (c[i + 1].time - c[i].time);
            return std::pair{t, impulses[i] + (t - c[i].time) * 0.5 * (f0 + limit)};
        };
        std::optional<std::pair<double, double>> first, last;
        for (std::size_t i = 0; i < c.size() && !first; ++i) {
            if (c[i].thrust >= limit) first = std::pair{c[i].time, impulses[i]};
            else if (i + 1 < c.size() && c[i + 1].thrust >= limit) first = crossing(i);
        }
        for (std::size_t i = c.size(); first && !last && i-- > 0;) {
            if (c[i].thrust >= limit) {
                last = i + 1 < c.size() ? (c[i + 1].time > c[i].time ? crossing(i) : std::pair{c[i].time, impulses[i]})
                                        : std::pair{c[i].time, impulses[i]};
            }
        }
        if (first && last && last->first > first->first) {
            p.thrust_time = last->first - first->first;
            p.average_thrust = (last->second - first->second) / p.thrust_time;
        }
    }
    return p;
}

}  // namespace

int DefaultSlices(const cMotor& motor) {
    const PerformanceInputs& in = motor.Performance();
    const bool erosive = in.erosive_alpha.value_or(0.0f) > 0.0f ||
                         (in.erosive_threshold.value_or(0.0f) > 0.0f && in.erosive_velocity_coefficient.value_or(0.0f) > 0.0f);
    if (!erosive) return 1;
    const int grains = std::max<int>(1, static_cast<int>(motor.Grains().size()));
    return std::clamp(kErosiveSlicesPerMotor / grains, 4, kErosiveSlices);
}

Performance MarchBurn(const cMotor& motor, const Burn& burn, double steady_time, MarchResolution resolution) {
    March march(motor, burn, steady_time, resolution);
    return march.Run();
}

}  // namespace thrustlet
