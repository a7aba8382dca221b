#include "model/motor.h"

#include <cmath>

#include "model/errors.h"
#include "model/kn_max.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

double CheckedPower(double base, double exponent) {
    if (base == 0.0 && exponent < 0.0) ThrowDivisionByZero();
    const double result = std::pow(base, exponent);
    if (std::isnan(result) && !std::isnan(base) && !std::isnan(exponent)) {
        // A negative base with a fractional exponent has no real power.
        throw RunTimeError(err::kInvalidCall, "Invalid procedure call or argument");
    }
    return CheckedDouble(result);
}

}  // namespace

float cMotor::ChamberPressure(float sglBurnDepth) {
    const double kn = KN(sglBurnDepth);
    const double exponent = CheckedDivide(1.0, 1.0 - static_cast<double>(ballistic_n_));
    const double base = CheckedDouble(static_cast<double>(isp_star_) * kn * ballistic_a_ * density_);
    return ToSingle(CheckedPower(base, exponent));
}

void cMotor::SetNozzleDia(float sglDia) {
    nozzle_dia_ = sglDia;
    nozzle_throat_area_ = ToSingle(kPi * std::pow(sglDia / 2.0, 2.0));
}

float cMotor::WebThickness() {
    float web = 0.0f;
    for (const auto& grain : grains_) {
        const float grain_web = grain->WebThickness();
        if (grain_web > web) web = grain_web;
    }
    return web;
}

double cMotor::BurningAreaSum(float sglBurnDepth) const {
    double sum = 0.0;
    for (const auto& grain : grains_) sum = grain->SurfaceArea(sglBurnDepth) + sum;
    return sum;
}

double cMotor::KN(float sglBurnDepth) {
    if (nozzle_throat_area_ == 0.0f) return 0.0;
    return RoundHalfEven(CheckedDivide(BurningAreaSum(sglBurnDepth), nozzle_throat_area_));
}

float cMotor::KNMax() { return KnMaxWithDepth(*this).kn; }

void cMotor::AddGrain(std::shared_ptr<cGrain> oGrain) {
    if (!oGrain) {
        throw RunTimeError(err::kObjectNotSet, "Object variable or With block variable not set");
    }
    if (grains_.size() >= static_cast<size_t>(kMaxGrains)) ThrowOverflow();
    grains_.push_back(std::move(oGrain));
}

void cMotor::RemoveGrain(int16_t iGrain) {
    if (iGrain < 1 || iGrain > GrainCount()) ThrowSubscriptOutOfRange();
    grains_.erase(grains_.begin() + (iGrain - 1));
}

std::shared_ptr<cGrain> cMotor::Grain(int16_t iGrain) const {
    if (iGrain < 1 || iGrain > GrainCount()) ThrowSubscriptOutOfRange();
    return grains_[static_cast<size_t>(iGrain - 1)];
}

void cMotor::DeleteGrain(int16_t iGrain) {
    if (iGrain >= 1 && iGrain <= GrainCount()) grains_.erase(grains_.begin() + (iGrain - 1));
}

float cMotor::VolumeLoadingPercent() const {
    float envelope = 0.0f;
    float propellant = 0.0f;
    for (const auto& grain : grains_) {
        envelope = ToSingle(static_cast<double>(grain->Volume()) + envelope);
        propellant = ToSingle(static_cast<double>(grain->VolumePropellant()) + propellant);
    }
    return ToSingle(CheckedDivide(propellant, envelope) * 100.0);
}

cMotor cMotor::DetachedCopy() const {
    cMotor copy = *this;
    for (auto& grain : copy.grains_) grain = std::make_shared<cGrain>(*grain);
    return copy;
}

PropellantPart cMotor::Propellant() const {
    const PerformanceInputs& in = performance_;
    return {in.propellant_name, isp_star_, density_, ballistic_a_, ballistic_n_, in.burn_rate, in.specific_heat_ratio,
            in.molar_mass};
}

void cMotor::SetPropellant(const PropellantPart& propellant) {
    isp_star_ = propellant.c_star;
    density_ = propellant.density;
    ballistic_a_ = propellant.a;
    ballistic_n_ = propellant.n;
    performance_.propellant_name = propellant.name;
    performance_.burn_rate = propellant.pieces;
    performance_.specific_heat_ratio = propellant.k;
    performance_.molar_mass = propellant.molar_mass;
}

NozzlePart cMotor::Nozzle() const { return {nozzle_dia_, performance_.nozzle_exit_dia, performance_.nozzle_efficiency}; }

void cMotor::SetNozzle(const NozzlePart& nozzle) {
    SetNozzleDia(nozzle.throat);
    performance_.nozzle_exit_dia = nozzle.exit;
    performance_.nozzle_efficiency = nozzle.efficiency;
}

HardwarePart cMotor::Hardware() const {
    return {performance_.case_diameter, performance_.case_length, performance_.hardware_mass};
}

void cMotor::SetHardware(const HardwarePart& hardware) {
    performance_.case_diameter = hardware.case_diameter;
    performance_.case_length = hardware.case_length;
    performance_.hardware_mass = hardware.mass;
}

LimitsPart cMotor::Limits() const {
    return {performance_.max_pressure, performance_.max_mass_flux, performance_.min_port_throat};
}

void cMotor::SetLimits(const LimitsPart& limits) {
    performance_.max_pressure = limits.max_pressure;
    performance_.max_mass_flux = limits.max_mass_flux;
    performance_.min_port_throat = limits.min_port_throat;
}

}  // namespace thrustlet
