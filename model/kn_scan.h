#pragma once

#include "model/numeric.h"

namespace thrustlet {

// Visits the burn depths of the maximum-Kn scan: 0, step, 2 step, ... while
// the depth does not pass the web, with step = web / 1000 and each depth one
// 32-bit addition past the last. A zero web, or a step lost in rounding,
// visits the depth it has reached once and ends, so the scan always ends.
template <typename Visit>
void ForEachKnMaxDepth(float web, float step, Visit&& visit) {
    float depth = 0.0f;
    while (depth <= web) {
        visit(depth);
        const float next = ToSingle(static_cast<double>(step) + depth);
        if (!(next > depth)) break;
        depth = next;
    }
}

}  // namespace thrustlet
