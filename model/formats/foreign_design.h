#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/motor.h"
#include "model/performance_inputs.h"
#include "model/units.h"

namespace thrustlet {

// A design read from another program's motor file, with what the file held
// that the design cannot (each a sentence, in the file's order).
struct ImportedMotor {
    cMotor motor;
    std::vector<std::string> not_carried;
};

// A design written in another program's form, with what that form cannot
// hold of it.
struct ExportedText {
    std::string text;
    std::vector<std::string> not_carried;
};

// The exhaust's molar mass (g/mol) other programs take when nothing says.
inline constexpr double kUsualMolarMass = 23.67;

// What another program's motor file says, before it becomes a design: the
// grains and the nozzle's throat and exit in the file's unit of length, and
// everything else as the design keeps it. Each format's reader fills one;
// DesignOfRecord turns every one into a design the same way.
struct ForeignRecord {
    bool inches = false;  // the file's lengths are inches, else metres
    // The design's unit when its lengths are round in neither unit.
    LengthUnit preferred = LengthUnit::kMillimetre;
    struct Grain {
        double length = 0.0, diameter = 0.0, core = 0.0;  // BATES, head end first
        cGrain::Ends inhibited = cGrain::Ends::kNone;
    };
    std::vector<Grain> grains;
    double throat = 0.0;
    std::optional<double> exit;
    // The throat's straight length and the web burnout threshold, in the
    // file's unit.
    std::optional<double> throat_length, web_burnout;
    // The rest of the design (its unit and nozzle exit are the builder's).
    PerformanceInputs inputs;
    std::optional<float> c_star, density, a, n;  // SI
    std::vector<std::string> notes;  // what the design cannot hold
};
// The design of a record: in the unit its lengths are round numbers in
// (LengthUnitFor), every length converted from the file's unit; a length
// that is no float's fails naming it.
ImportedMotor DesignOfRecord(ForeignRecord record);

// The combustion temperature (K) that gives c* (m/s) with k and the molar
// mass (g/mol): the inverse of CharacteristicVelocity.
double TemperatureForCStar(double c_star, double k, double molar_mass);

// The unit a design read in metres shows its lengths in: inches when every
// length is a round number of inches (thousandths or 64ths), else
// millimetres when every one is a round number of them (hundredths), else
// `preferred`.
LengthUnit LengthUnitFor(const std::vector<double>& metres, LengthUnit preferred);

// openMotor's inches: 39.37 to the metre (not 1 / 0.0254).
inline constexpr double kOpenMotorInchesPerMetre = 39.37;
// Whether every length (m) is a round number of openMotor's inches.
bool RoundInOpenMotorInches(const std::vector<double>& metres);

// A value of a file as the design keeps it (a float); a value that is not
// finite, or past what a float holds, fails naming `what`.
float DesignValue(double value, const std::string& what);

// Names for a sentence: "a", "a and b", "a, b and c"; past 12 names the
// first 11 and "and N more", each name shortened to an excerpt.
std::string Listed(const std::vector<std::string>& items);
// At most the first 60 bytes of a text from another program's file (whole
// characters), with "…" where it was cut.
std::string Excerpt(const std::string& text);
inline constexpr std::size_t kLongestExcerpt = 60;
inline constexpr std::size_t kMostListed = 12;

// Fails the import: "Invalid file format: " and the sentence.
[[noreturn]] void RefuseImport(const std::string& sentence);

// A number as the shortest text that reads back as the same double, always
// with a decimal point (and a signed exponent), so YAML readers of every
// kind take it for a number: 0.057, 1.0e-05, 2.0.
std::string ForeignNumber(double value);

// A float of the design as the decimal number it shows (57.2, not
// 57.200000762939453), for writing it in another unit.
double DecimalOf(float value);

// The design's propellant and nozzle in SI, as other programs hold them:
// every burn-rate piece (the single law as one piece over every pressure),
// with the design's c*, k and the molar mass.
struct ForeignPropellant {
    std::string name;
    double density = 0.0;  // kg/m^3
    double c_star = 0.0;   // m/s
    double k = 0.0;
    double molar_mass = kUsualMolarMass;
    struct Piece {
        double p_min, p_max, a, n;  // Pa, Pa, m/s at Pa^n, -
    };
    std::vector<Piece> pieces;
};
// Nothing for a design without a propellant (no unit).
std::optional<ForeignPropellant> ForeignPropellantOf(const cMotor& motor);

}  // namespace thrustlet
