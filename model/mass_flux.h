#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "model/burn.h"

namespace thrustlet {

class cMotor;

// What each grain of a motor asks of its builder: the gas racing down its
// port (mass flux, the cause of erosive burning), how much wider its port is
// than the throat, and its size.
struct GrainFlow {
    int position = 0;             // 1-based, the head end first
    double length = 0.0;          // the design's unit
    double web = 0.0;             // (D - C) / 2, the design's unit
    double neutral_length = 0.0;  // (3 D + C) / 2: the length of a neutral grain
    // The port's area at ignition over the throat's; nothing without a
    // throat or for a grain that holds no propellant.
    std::optional<double> port_throat;
    // With a propellant whose values give figures:
    std::optional<double> mass;            // kg
    std::optional<double> peak_mass_flux;  // kg/(m^2 s), through the port's aft end
    double peak_mass_flux_time = 0.0;      // s
    double peak_mass_flux_depth = 0.0;     // the design's unit
};

struct MotorFlow {
    std::vector<GrainFlow> grains;  // every grain, in the motor's order
    std::optional<double> peak_mass_flux;  // the largest of the grains'
    int peak_mass_flux_grain = 0;          // 1-based; 0 without one
    double peak_mass_flux_time = 0.0;
    double peak_mass_flux_depth = 0.0;
    std::optional<double> min_port_throat;  // the smallest at ignition
    int min_port_throat_grain = 0;
};

// The flow of every grain over the burn. The mass flowing through grain i's
// port at its aft end is what burns upstream of it: every grain towards the
// head end, its own core and its forward face (its aft face burns downstream
// of the port), rho r (sum of A_burn,j<i + core_i + face_i), with r from the
// same steady burn as the performance figures (r = P / (Kn rho c*)); the flux
// is that over the port's area pi (C + 2x)^2 / 4. Peaks are found on the
// performance's own integration steps and refined between them, to the
// figures' accuracy. The geometric figures need no propellant.
MotorFlow ComputeFlow(const cMotor& motor);

// The mass flux of the grains with the largest peaks (all of them, up to
// `most`) against time over the burn, for a graph: `flux[g][k]` is grain
// `grains[g]`'s (1-based) at `times[k]`, -1 once it has burnt out. At most
// about a thousand times, on the performance's own steps. Empty for a
// design whose figures fail or that has no propellant.
struct FluxCurve {
    std::vector<double> times;
    std::vector<int> grains;
    std::vector<std::vector<double>> flux;
};
FluxCurve MassFluxCurve(const cMotor& motor, std::size_t most = 12);

// The same from a burn already laid out and integrated: the flow of a
// design whose figures are `burn` and its `steps` (no burn: the geometric
// figures alone), and the flux curve of that flow.
MotorFlow FlowOf(const cMotor& motor, const Burn* burn, const std::vector<Burn::Step>& steps);
FluxCurve FluxCurveOf(const Burn& burn, const std::vector<Burn::Step>& steps, double c_star, const MotorFlow& flow,
                      std::size_t most);

}  // namespace thrustlet
