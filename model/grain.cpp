#include "model/grain.h"

#include <cmath>

#include "model/errors.h"
#include "model/numeric.h"

namespace thrustlet {

// Each named quantity is rounded to float where it is stored; those rounding
// points are part of the published figures.
void cGrain::CalcSurfaceArea(float sglBurnDepth) {
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

float cGrain::SurfaceArea(float sglBurnDepth) {
    CalcSurfaceArea(sglBurnDepth);
    return last_surface_area_;
}

float cGrain::WebThickness() const {
    if (grain_type_ != kBates) ThrowUnknownGrainType(grain_type_);
    return ToSingle((static_cast<double>(diameter_) - core_diameter_) / 2.0);
}

float cGrain::Volume() const {
    return ToSingle(kPi * std::pow(diameter_ / 2.0, 2.0) * length_);
}

float cGrain::VolumePropellant() const {
    const double outer = kPi * std::pow(diameter_ / 2.0, 2.0);
    const double core = kPi * std::pow(core_diameter_ / 2.0, 2.0);
    return ToSingle((outer - core) * length_);
}

}  // namespace thrustlet
