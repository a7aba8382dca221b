#pragma once

#include <cmath>
#include <cstdint>

#include "model/errors.h"
#include "model/numeric.h"

namespace thrustlet {

// One BATES grain: a propellant cylinder with a bored core. The core surface
// and both end faces burn and recede by the same burn depth; the outside is
// inhibited, and so may be one end face or both (the forward face looks to
// the motor's head end, the aft face to the nozzle). Lengths are in the
// user's own unit; nothing is converted.
//
// Setters store their argument unchanged (no validation), so negative or
// inconsistent dimensions are possible and simply give zero or odd areas.
class cGrain {
public:
    // Shape code of the BATES grain; every other code is an unknown type.
    static constexpr int16_t kBates = 1;

    // The end faces that do not burn.
    enum class Ends { kNone, kForward, kAft, kBoth };
    void SetInhibited(Ends ends) { inhibited_ = ends; }
    Ends Inhibited() const { return inhibited_; }
    // The end faces that burn: 2, 1 or 0.
    int BurningFaces() const { return inhibited_ == Ends::kNone ? 2 : inhibited_ == Ends::kBoth ? 0 : 1; }
    bool ForwardFaceBurns() const { return inhibited_ == Ends::kNone || inhibited_ == Ends::kAft; }

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
    // is wider than the grain. With an inhibited end, the smallest depth at
    // which the grain is gone: that, or its length over the faces that burn
    // when the length runs out first. Fails for an unknown type.
    float WebThickness() const;
    // Whether the grain still burns at a burn depth: its remaining length
    // is above 0 and its core has not grown past the outer diameter. These
    // are the burning-area rule's own float tests; both only turn false as
    // the depth grows. Any grain type.
    bool Burning(float sglBurnDepth) const { return BurnAt(sglBurnDepth).burning; }
    // Area of one end face of the uncored grain, pi (Diameter / 2)^2 rounded
    // to float: the burning-area rule's outer end area.
    float OuterEndArea() const { return ToSingle(kPi * std::pow(diameter_ / 2.0, 2.0)); }
    // Envelope volume, core included.
    float Volume() const;
    // Propellant volume before burning.
    float VolumePropellant() const;

private:
    // The core and the length at a burn depth, as the area rule stores them.
    struct Burn {
        float core, length;
        bool burning;
    };
    Burn BurnAt(float sglBurnDepth) const {
        const double depth = sglBurnDepth;
        const float core = ToSingle((depth + depth) + core_diameter_);
        // The length shortens by the faces that burn (both: the rule's own
        // depth + depth).
        const float length = inhibited_ == Ends::kNone ? ToSingle(length_ - (depth + depth))
                                                       : ToSingle(length_ - depth * BurningFaces());
        return {core, length, !(length <= 0.0f || core > diameter_)};
    }
    // Inline: a maximum-Kn scan evaluates it a thousand times per grain.
    void CalcSurfaceArea(float sglBurnDepth);

    float length_ = 0.0f;
    float diameter_ = 0.0f;
    float core_diameter_ = 0.0f;
    int16_t grain_type_ = 0;
    Ends inhibited_ = Ends::kNone;
    float last_surface_area_ = 0.0f;
};

// "forward", "aft" or "both": the words a motor file and the grain table
// give inhibited ends; "" for none.
inline const char* EndsName(cGrain::Ends ends) {
    switch (ends) {
        case cGrain::Ends::kForward:
            return "forward";
        case cGrain::Ends::kAft:
            return "aft";
        case cGrain::Ends::kBoth:
            return "both";
        case cGrain::Ends::kNone:
            break;
    }
    return "";
}

// Each named quantity is rounded to float where it is stored; those rounding
// points are part of the published figures.
inline void cGrain::CalcSurfaceArea(float sglBurnDepth) {
    if (grain_type_ != kBates) ThrowUnknownGrainType(grain_type_);

    const Burn burn = BurnAt(sglBurnDepth);
    if (!burn.burning) {
        last_surface_area_ = 0.0f;
        return;
    }
    const float core = burn.core, length = burn.length;
    const float outer_end = OuterEndArea();
    const float core_end = ToSingle(kPi * std::pow(core / 2.0, 2.0));
    const float end_faces = ToSingle((static_cast<double>(outer_end) - core_end) * BurningFaces());
    const float core_surface = ToSingle(static_cast<double>(length) * kPi * core);
    last_surface_area_ = ToSingle(static_cast<double>(core_surface) + end_faces);
}

}  // namespace thrustlet
