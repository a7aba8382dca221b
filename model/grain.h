#pragma once

#include <cstdint>

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
    float SurfaceArea(float sglBurnDepth);
    // Half the difference of outer and core diameter; negative when the core
    // is wider than the grain. Fails for an unknown type.
    float WebThickness() const;
    // Envelope volume, core included.
    float Volume() const;
    // Propellant volume before burning.
    float VolumePropellant() const;

private:
    void CalcSurfaceArea(float sglBurnDepth);

    float length_ = 0.0f;
    float diameter_ = 0.0f;
    float core_diameter_ = 0.0f;
    int16_t grain_type_ = 0;
    float last_surface_area_ = 0.0f;
};

}  // namespace thrustlet
