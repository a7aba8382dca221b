#pragma once

#include <memory>
#include <vector>

#include "model/motor.h"
#include "model/units.h"

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

}  // namespace thrustlet::testing
