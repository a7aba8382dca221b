#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/grain.h"
#include "model/design_parts.h"
#include "model/performance_inputs.h"

namespace thrustlet {

// The motor being designed: grains from the head end (grain 1) to the nozzle
// end, a nozzle throat and the propellant's data. Nothing is cached: every
// Kn figure is computed afresh from the current grains.
class cMotor {
public:
    // Most grains a motor can hold: positions are 16-bit.
    static constexpr int16_t kMaxGrains = INT16_MAX;

    // Equilibrium chamber pressure at a burn depth, from Kn and the
    // steady-state burn-rate law; no unit constants are applied.
    float ChamberPressure(float sglBurnDepth);

    float ISPStar() const { return isp_star_; }
    float BallisticN() const { return ballistic_n_; }
    float BallisticA() const { return ballistic_a_; }
    float Density() const { return density_; }
    void SetISPStar(float sIn) { isp_star_ = sIn; }
    void SetBallisticN(float sIn) { ballistic_n_ = sIn; }
    void SetBallisticA(float sIn) { ballistic_a_ = sIn; }
    void SetDensity(float sIn) { density_ = sIn; }

    const std::string& Name() const { return name_; }
    void SetName(const std::string& sIn) { name_ = sIn; }

    // Stores the throat diameter, then the throat area it implies. A throat
    // whose area does not fit a float fails with "Overflow" after the
    // diameter was stored (the area keeps its old value).
    void SetNozzleDia(float sglDia);
    float NozzleDia() const { return nozzle_dia_; }
    float NozzleThroatArea() const { return nozzle_throat_area_; }

    // The largest grain web, never negative.
    float WebThickness();
    // Burning area over throat area at a burn depth, rounded to a whole
    // number (halves to even). 0 when the throat area is 0.
    double KN(float sglBurnDepth);
    // Burning area of all grains at a burn depth, summed in double from the
    // head end: the sum KN divides by the throat area.
    double BurningAreaSum(float sglBurnDepth) const;
    // Largest Kn over a 1/1000-web scan of the burn, a whole number. Exactly
    // the scan's result without evaluating every depth (model/kn_max.h).
    float KNMax();

    // Appends the grain object itself (shared, not copied).
    void AddGrain(std::shared_ptr<cGrain> oGrain);
    // Removes grain iGrain (1-based); fails with "Subscript out of range".
    void RemoveGrain(int16_t iGrain);
    int16_t GrainCount() const { return static_cast<int16_t>(grains_.size()); }
    // The grain object at 1-based iGrain; fails with "Subscript out of range".
    std::shared_ptr<cGrain> Grain(int16_t iGrain) const;
    // All grains in order, head end first (for read-only walks).
    const std::vector<std::shared_ptr<cGrain>>& Grains() const { return grains_; }
    // Removes grain iGrain when it exists; other positions are ignored.
    void DeleteGrain(int16_t iGrain);

    // Writes the motor file at sFile; the previous file is replaced only
    // once the new one was written completely.
    void SaveToFile(const std::string& sFile) const;
    // Loads a motor file into this motor. A failed read leaves the motor
    // exactly as it was. An empty or all-blank path fails as a missing file.
    void ReadFromFile(const std::string& sFile);
    // The same for the text of the motor file at sFile, already read (its
    // firings' paths are taken relative to sFile's folder).
    void ReadFromText(std::string_view text, const std::string& sFile);

    // Propellant volume as a percentage of the grains' envelope volume.
    float VolumeLoadingPercent() const;

    // What the design holds for its performance figures (the propellant's
    // units and burn-rate law, the exhaust, the nozzle's exit): nothing for
    // a design made for its Kn figures alone.
    const PerformanceInputs& Performance() const { return performance_; }
    void SetPerformance(const PerformanceInputs& inputs) { performance_ = inputs; }

    // The design's parts, each given and taken whole: the propellant (c*,
    // density, a and n are ISPStar, Density, BallisticA and BallisticN), the
    // nozzle (its throat is NozzleDia), the hardware, the limits and the
    // static firings. Setting a part leaves the others as they are.
    PropellantPart Propellant() const;
    void SetPropellant(const PropellantPart& propellant);
    NozzlePart Nozzle() const;
    // Sets the throat as SetNozzleDia does (and fails as it does).
    void SetNozzle(const NozzlePart& nozzle);
    HardwarePart Hardware() const;
    void SetHardware(const HardwarePart& hardware);
    LimitsPart Limits() const;
    void SetLimits(const LimitsPart& limits);
    const StaticFiringList& StaticFirings() const { return performance_.static_firings; }
    void SetStaticFirings(const StaticFiringList& firings) { performance_.static_firings = firings; }
    // The unit of the design's lengths; none for a design of Kn figures alone.
    std::optional<LengthUnit> Unit() const { return performance_.units; }

    // A motor with every number of this one and copies of its grains (not
    // the grain objects themselves), so that later edits of either motor
    // never reach the other: the window's edit history keeps these.
    cMotor DetachedCopy() const;

private:
    float nozzle_dia_ = 0.0f;
    float nozzle_throat_area_ = 0.0f;
    std::vector<std::shared_ptr<cGrain>> grains_;
    std::string name_;
    float isp_star_ = 0.0f;
    float ballistic_n_ = 0.0f;
    float ballistic_a_ = 0.0f;
    float density_ = 0.0f;
    PerformanceInputs performance_;
};

}  // namespace thrustlet
