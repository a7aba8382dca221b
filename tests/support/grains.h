#pragma once

#include <memory>

#include "model/grain.h"

namespace thrustlet::testing {

// A grain with the given dimensions, BATES unless told otherwise.
inline std::shared_ptr<cGrain> MakeGrain(float length, float diameter, float core, int16_t type = cGrain::kBates) {
    auto grain = std::make_shared<cGrain>();
    grain->SetGrainType(type);
    grain->SetLength(length);
    grain->SetDiameter(diameter);
    grain->SetCoreDiameter(core);
    return grain;
}

}  // namespace thrustlet::testing
