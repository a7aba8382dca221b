#pragma once

#include <cmath>
#include <cstdint>

#include "model/errors.h"
#include "model/numeric.h"

namespace thrustlet {

// One BATES grain: a propellant cylinder with a bored core. The core surface
// and both end faces burn and recede by the same burn depth; the outside is
// inhibited. Lengths are in the user's own unit; nothing is converted.
//
// Setters store their argument unchanged (no validation), so negative or
// inconsistent dimensions are possible and simply give zero or odd areas.
class cGrain {
public:
    // Shape code of the BATES grain; every other code is an unknown type.
    static constexpr int16_t kBates = 1;

    void SetLength(float sglLength) { length_ = sglLength; }
    void SetDiameter(float sglDiameter) { diameter_ = sglDiameter; }
    void SetCoreDiameter(float sglDiameter) { core_diameter_ = sglDiameter; }
    void SetGrainType(int16_t iType) { grain_type_ = iType; }

    float Length() const { return length_; }
    float Diameter() const { return diameter_; }
    float CoreDiameter() const { return core_diameter_; }
    int16_t GrainType() const { return grain_type_; }

    // Burning area at burn depth `sglBurnDepth` (square length units).
    // Fails with "Unknown Grain Type: <code>" for a grain that is not BATES.
    float SurfaceArea(float sglBurnDepth) {
        CalcSurfaceArea(sglBurnDepth);
        return last_surface_area_;
    }
    // Half the difference of outer and core diameter; negative when the core
    // is wider than the grain. Fails for an unknown type.
    float WebThickness() const;
    // Envelope volume, core included.
    float Volume() const;
    // Propellant volume before burning.
    float VolumePropellant() const;

private:
    // Inline: a maximum-Kn scan evaluates it a thousand times per grain.
    void CalcSurfaceArea(float sglBurnDepth);

    float length_ = 0.0f;
    float diameter_ = 0.0f;
    float core_diameter_ = 0.0f;
    int16_t grain_type_ = 0;
    float last_surface_area_ = 0.0f;
};

// Each named quantity is rounded to float where it is stored; those rounding
// points are part of the published figures.
inline void cGrain::CalcSurfaceArea(float sglBurnDepth) {
    if (grain_type_ != kBates) ThrowUnknownGrainType(grain_type_);

    const double depth = sglBurnDepth;
    const float core = ToSingle((depth + depth) + core_diameter_);
    const float length = ToSingle(length_ - (depth + depth));
    if (length <= 0.0f || core > diameter_) {
        last_surface_area_ = 0.0f;
        return;
    }
    const float outer_end = ToSingle(kPi * std::pow(diameter_ / 2.0, 2.0));
    const float core_end = ToSingle(kPi * std::pow(core / 2.0, 2.0));
    const float end_faces = ToSingle((static_cast<double>(outer_end) - core_end) * 2.0);
    const float core_surface = ToSingle(static_cast<double>(length) * kPi * core);
    last_surface_area_ = ToSingle(static_cast<double>(core_surface) + end_faces);
}

}  // namespace thrustlet
