#pragma once

#include <memory>

#include "model/motor.h"

namespace thrustlet::bench {

// Appends `grains` BATES grains of slightly varied length and core, so no two
// neighbours are alike.
inline void AddBenchGrains(cMotor& motor, int grains) {
    for (int i = 0; i < grains; ++i) {
        auto grain = std::make_shared<cGrain>();
        grain->SetGrainType(cGrain::kBates);
        grain->SetLength(4.0f + 0.01f * static_cast<float>(i % 7));
        grain->SetDiameter(2.0f);
        grain->SetCoreDiameter(1.0f - 0.02f * static_cast<float>(i % 5));
        motor.AddGrain(grain);
    }
}

}  // namespace thrustlet::bench
