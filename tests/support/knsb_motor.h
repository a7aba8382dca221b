#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "model/motor.h"
#include "model/units.h"
#include "tests/support/grains.h"

namespace thrustlet::testing {

// A millimetre KNSB design of `grains` on Nakka's single law (a = 8.26 mm/s
// at MPa^0.319), c* 909 m/s, density 1841 kg/m^3 and the gas's k 1.137,
// with an exit of `exit` mm: the motor the model's tests figure.
inline cMotor KnsbMotor(const std::vector<std::shared_ptr<cGrain>>& grains, float throat, float exit) {
    cMotor motor;
    for (const auto& grain : grains) motor.AddGrain(grain);
    motor.SetNozzleDia(throat);
    motor.SetISPStar(909.0f);
    motor.SetDensity(1841.0f);
    motor.SetBallisticA(CoefficientFromMmPerSecond(8.26, 0.319));
    motor.SetBallisticN(0.319f);
    PerformanceInputs in;
    in.units = LengthUnit::kMillimetre;
    in.specific_heat_ratio = 1.137f;
    in.nozzle_exit_dia = exit;
    motor.SetPerformance(in);
    return motor;
}

// The 38 mm three-grain motor of the model's tests (57 x 33 x 12 mm grains,
// an 8.5 mm throat, a 22 mm exit), its inputs changed by `change`.
inline cMotor ThreeGrainKnsb(const std::function<void(PerformanceInputs&)>& change = {}) {
    cMotor motor = KnsbMotor({MakeGrain(57.0f, 33.0f, 12.0f), MakeGrain(57.0f, 33.0f, 12.0f), MakeGrain(57.0f, 33.0f, 12.0f)},
                             8.5f, 22.0f);
    PerformanceInputs in = motor.Performance();
    if (change) change(in);
    motor.SetPerformance(in);
    return motor;
}

}  // namespace thrustlet::testing
