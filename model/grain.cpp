#include "model/grain.h"

#include <algorithm>
#include <cmath>

#include "model/errors.h"
#include "model/numeric.h"

namespace thrustlet {

float cGrain::WebThickness() const {
    if (grain_type_ != kBates) ThrowUnknownGrainType(grain_type_);
    const float web = ToSingle((static_cast<double>(diameter_) - core_diameter_) / 2.0);
    if (inhibited_ == Ends::kNone || inhibited_ == Ends::kBoth) return web;
    return std::min(web, length_);  // one face burning: the length runs out at a depth of the length
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
