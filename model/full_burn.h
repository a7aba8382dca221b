#pragma once

#include "model/burn.h"
#include "model/performance.h"

namespace thrustlet {

class cMotor;

// The full model: the burn marched in time.
//
// Each grain is cut into axial slices. A slice's core regresses at its own
// rate: the burn-rate law at the chamber pressure, raised by erosive burning
// where the design has it (Lenoir-Robillard with the slice's port mass flux,
// the mass given off by everything upstream, and its port's diameter; or the
// threshold form on the slice's port-to-throat ratio). The end faces burn at
// the law's rate. The throat grows by its erosion coefficient times the
// pressure and shrinks by its slag coefficient over the pressure (each
// times 2: they are radial rates).
//
// References: the gas mass balance and choked and subsonic nozzle flow as in
// Sutton, Rocket Propulsion Elements (chs. 3 and 12); erosive burning after
// Lenoir and Robillard (6th Symposium on Combustion, 1957) and Nakka's
// threshold form (nakka-rocketry.net, "Solid Rocket Motor Theory").
//
// The chamber's pressure is quasi-steady at every moment (the mass the
// propellant gives off equals what the throat passes) or, with gas storage,
// follows the chamber's gas mass balance: it rises from ambient at
// ignition, lags the burn and blows down after the last grain is spent,
//   V/(R T) dP/dt = (rho_p - P/(R T)) Q - mdot_out(P),
// V the free volume (the case's, or the grains' envelope, less the
// propellant left), Q the volume of propellant burnt per second, R T from
// the delivered c* and k, mdot_out choked (P A_t / c*) or, once the
// pressure is too low to choke the throat, the subsonic flow.
//
// With no erosion, no throat change and no gas storage every slice
// regresses alike and the march gives the steady model's figures; steps
// end at each grain's burnout so the drop is where it belongs.

// The figures of the full model: `burn` is the design's laid-out steady
// burn (its grains, law and nozzle), `steady_time` its burn time (s), which
// sets the time step. The propellant's mass is the design's, as steady.
Performance MarchBurn(const cMotor& motor, const Burn& burn, double steady_time, MarchResolution resolution = {});

// The number of axial slices each grain is cut into by default: one where
// every slice would regress alike (no erosive burning).
int DefaultSlices(const cMotor& motor);

}  // namespace thrustlet
