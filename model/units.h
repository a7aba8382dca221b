#pragma once

#include <cmath>
#include <optional>
#include <string>

namespace thrustlet {

// Every physical constant and unit factor the program uses, each defined
// here once. Everything inside the model is SI; these turn the figures into
// what builders read and type.

inline constexpr double kStandardGravity = 9.80665;      // m/s^2, for specific impulse and kgf
inline constexpr double kGasConstant = 8314.462618;      // J/(kmol K)
inline constexpr double kStandardAtmosphere = 101325.0;  // Pa

inline constexpr double kPascalsPerKilopascal = 1e3;
inline constexpr double kPascalsPerMegapascal = 1e6;
inline constexpr double kPascalsPerBar = 1e5;
inline constexpr double kPascalsPerPsi = 6894.757293168361;  // lbf/in^2, exactly

inline constexpr double kMetresPerInch = 0.0254;
inline constexpr double kMetresPerMillimetre = 0.001;
inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kKilogramsPerPound = 0.45359237;
inline constexpr double kNewtonsPerPoundForce = 4.4482216152605;
inline constexpr double kNewtonsPerKilogramForce = kStandardGravity;

// kg/m^3 in one lb/in^3.
inline constexpr double kKilogramsPerCubicMetrePerPoundPerCubicInch =
    kKilogramsPerPound / (kMetresPerInch * kMetresPerInch * kMetresPerInch);
// kg/(m^2 s) in one lb/(in^2 s).
inline constexpr double kMassFluxPerLbPerSquareInchSecond = kKilogramsPerPound / (kMetresPerInch * kMetresPerInch);

// The unit of every length of a design that has a propellant: the grains,
// the throat, the nozzle exit and the case.
enum class LengthUnit { kInch, kMillimetre };

// Metres in one of `unit`.
inline double MetresPer(LengthUnit unit) { return unit == LengthUnit::kInch ? kMetresPerInch : kMetresPerMillimetre; }

// A burn-rate coefficient published for r in mm/s and P in MPa, in SI
// (r in m/s, P in Pa); and back.
inline float CoefficientFromMmPerSecond(double a, double n) {
    return static_cast<float>(a * 1e-3 * std::pow(kPascalsPerMegapascal, -n));
}
inline double CoefficientInMmPerSecond(float a_si, double n) { return a_si * 1e3 * std::pow(kPascalsPerMegapascal, n); }
// The same for r in in/s and P in psi.
inline float CoefficientFromInchesPerSecond(double a, double n) {
    return static_cast<float>(a * kMetresPerInch * std::pow(kPascalsPerPsi, -n));
}
inline double CoefficientInInchesPerSecond(float a_si, double n) {
    return a_si / kMetresPerInch * std::pow(kPascalsPerPsi, n);
}

// How a design's figures are shown and typed: millimetres with MPa, mm/s
// and kg/(m^2 s); inches with psi, in/s and lb/(in^2 s), as builders
// publish them. A design without a unit shows its lengths without a word
// and its other figures as a millimetre design's. Forces are newtons in
// both.
class DisplayUnits {
public:
    explicit DisplayUnits(std::optional<LengthUnit> unit) : unit_(unit) {}

    std::optional<LengthUnit> Unit() const { return unit_; }
    bool Inch() const { return unit_ == LengthUnit::kInch; }

    // "in", "mm", or "" for a design without a unit.
    const char* LengthWord() const { return !unit_ ? "" : Inch() ? "in" : "mm"; }
    // "in inches", "in mm" (beside the grains' and the motor's fields).
    const char* LengthPhrase() const { return !unit_ ? "" : Inch() ? "in inches" : "in mm"; }
    // "inches", "millimetres".
    const char* LengthName() const { return Inch() ? "inches" : "millimetres"; }
    // "in", or "mm" for millimetres and designs without a unit (tables and
    // axes that always name one).
    const char* LengthAbbreviation() const { return Inch() ? "in" : "mm"; }
    // Decimals a derived length (a neutral length) is shown with.
    int LengthDecimals() const { return Inch() ? 3 : 1; }
    double MetresPerLength() const { return Inch() ? kMetresPerInch : kMetresPerMillimetre; }

    // Pa in one shown pressure unit.
    double PascalsPerPressure() const { return Inch() ? kPascalsPerPsi : kPascalsPerMegapascal; }
    const char* PressureWord() const { return Inch() ? "psi" : "MPa"; }

    // m/s in one shown burn-rate unit.
    double MetresPerSecondPerRate() const { return MetresPerLength(); }
    const char* RateWord() const { return Inch() ? "in/s" : "mm/s"; }
    // The burn-rate coefficient a of r = a P^n as shown (in/s at psi^n or
    // mm/s at MPa^n) from its SI value (m/s at Pa^n), and back.
    double ShownCoefficient(float a_si, double n) const {
        return Inch() ? CoefficientInInchesPerSecond(a_si, n) : CoefficientInMmPerSecond(a_si, n);
    }
    float CoefficientFromShown(double shown, double n) const {
        return Inch() ? CoefficientFromInchesPerSecond(shown, n) : CoefficientFromMmPerSecond(shown, n);
    }

    // kg/(m^2 s) in one shown mass-flux unit.
    double MassFluxPer() const { return Inch() ? kMassFluxPerLbPerSquareInchSecond : 1.0; }
    const char* MassFluxWord() const { return Inch() ? "lb/(in\u00b2\u00b7s)" : "kg/(m\u00b2\u00b7s)"; }
    // The same for a narrow table heading.
    const char* MassFluxShortWord() const { return Inch() ? "lb/in\u00b2s" : "kg/m\u00b2s"; }
    // Significant digits a mass flux is shown with: whole kg/(m^2 s), or
    // hundredths of lb/(in^2 s).
    int MassFluxDigits() const { return Inch() ? 3 : 4; }

    const char* ForceWord() const { return "N"; }

private:
    std::optional<LengthUnit> unit_;
};

}  // namespace thrustlet
