#include "model/formats/foreign_design.h"

#include <charconv>
#include <cfloat>
#include <cmath>
#include <memory>

#include "model/errors.h"
#include "model/propellant_library.h"

namespace thrustlet {

double TemperatureForCStar(double c_star, double k, double molar_mass) {
    // c* = sqrt(R T / (k M)) / (2/(k+1))^((k+1)/(2(k-1))), for T.
    const double factor = std::pow(2.0 / (k + 1.0), (k + 1.0) / (2.0 * (k - 1.0)));
    return c_star * c_star * factor * factor * k * molar_mass / kGasConstant;
}

namespace {

// Whether `value` is a whole number of `step`s, to a float's precision.
bool Round(double value, double step) {
    const double steps = value / step;
    return std::fabs(steps - std::round(steps)) <= 1e-6 * std::max(1.0, std::fabs(steps));
}

}  // namespace

LengthUnit LengthUnitFor(const std::vector<double>& metres, LengthUnit preferred) {
    bool mm = true, in = true;
    for (double m : metres) {
        if (m == 0.0) continue;
        mm = mm && Round(m * 1000.0, 0.01);
        in = in && (Round(m / kMetresPerInch, 0.001) || Round(m / kMetresPerInch, 1.0 / 64.0));
    }
    // Round inches are round millimetres too (0.25 in is 6.35 mm), while
    // round millimetres are seldom round inches: inches where they fit.
    if (in) return LengthUnit::kInch;
    if (mm) return LengthUnit::kMillimetre;
    return preferred;
}

bool RoundInOpenMotorInches(const std::vector<double>& metres) {
    for (double m : metres) {
        if (m == 0.0) continue;
        const double inches = m * kOpenMotorInchesPerMetre;
        if (!(Round(inches, 0.001) || Round(inches, 1.0 / 64.0))) return false;
    }
    return true;
}

float DesignValue(double value, const std::string& what) {
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
        RefuseImport(what + " is not a number the design can hold");
    }
    return static_cast<float>(value);
}

std::string Excerpt(const std::string& text) {
    if (text.size() <= kLongestExcerpt) return text;
    // Cut at a character's start, never inside a UTF-8 sequence.
    std::size_t cut = kLongestExcerpt;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "\u2026";
}

std::string Listed(const std::vector<std::string>& items) {
    // Another program's file may hold any number of names, of any length:
    // the sentence quotes a few, each shortened.
    const std::size_t shown = items.size() > kMostListed ? kMostListed - 1 : items.size();
    std::string text;
    for (std::size_t i = 0; i < shown; ++i) {
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + Excerpt(items[i]);
    }
    if (shown < items.size()) text += " and " + std::to_string(items.size() - shown) + " more";
    return text;
}

void RefuseImport(const std::string& sentence) {
    throw RunTimeError(err::kInvalidFileFormat, "Invalid file format: " + sentence);
}

std::string ForeignNumber(double value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    std::string text(buffer, end);
    const std::size_t e = text.find('e');
    const std::string mantissa = text.substr(0, e);
    std::string exponent = e == std::string::npos ? "" : text.substr(e + 1);
    std::string shown = mantissa.find('.') == std::string::npos ? mantissa + ".0" : mantissa;
    if (!exponent.empty()) {
        if (exponent[0] != '-' && exponent[0] != '+') exponent = "+" + exponent;
        shown += "e" + exponent;
    }
    return shown;
}

double DecimalOf(float value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    double decimal = 0.0;
    std::from_chars(buffer, end, decimal);
    return decimal;
}

std::optional<ForeignPropellant> ForeignPropellantOf(const cMotor& motor) {
    const PerformanceInputs& in = motor.Performance();
    if (!in.HasPropellant()) return std::nullopt;
    ForeignPropellant propellant;
    propellant.name = in.propellant_name.value_or("");
    propellant.density = DecimalOf(motor.Density());
    propellant.c_star = DecimalOf(motor.ISPStar());
    propellant.k = DecimalOf(in.specific_heat_ratio.value_or(0.0f));
    propellant.molar_mass = in.molar_mass ? DecimalOf(*in.molar_mass) : kUsualMolarMass;
    if (in.burn_rate.empty()) {
        propellant.pieces.push_back({0.0, FLT_MAX, DecimalOf(motor.BallisticA()), DecimalOf(motor.BallisticN())});
    } else {
        for (const BurnRatePiece& piece : in.burn_rate) {
            propellant.pieces.push_back({DecimalOf(piece.p_min), DecimalOf(piece.p_max), DecimalOf(piece.a), DecimalOf(piece.n)});
        }
    }
    return propellant;
}

ImportedMotor DesignOfRecord(ForeignRecord record) {
    std::vector<double> metres = {record.throat, record.exit.value_or(0.0)};
    for (const ForeignRecord::Grain& g : record.grains) metres.insert(metres.end(), {g.length, g.diameter, g.core});
    if (record.inches) {
        for (double& length : metres) length *= kMetresPerInch;
    }
    LengthUnit unit = LengthUnitFor(metres, record.preferred);
    // openMotor converts inches with 39.37 inches to the metre: a design
    // typed in its inches is round in those, and is read back in them.
    const bool openmotor_inches = !record.inches && unit != LengthUnit::kInch && RoundInOpenMotorInches(metres);
    if (openmotor_inches) unit = LengthUnit::kInch;
    // Each length from the file's unit into the design's.
    const auto shown = [&](double length, const std::string& what) {
        if (record.inches) return DesignValue(unit == LengthUnit::kInch ? length : length * kMillimetresPerInch, what);
        if (openmotor_inches) return DesignValue(length * kOpenMotorInchesPerMetre, what);
        return DesignValue(unit == LengthUnit::kInch ? length / kMetresPerInch : length * 1000.0, what);
    };
    ImportedMotor imported;
    cMotor& motor = imported.motor;
    for (std::size_t i = 0; i < record.grains.size(); ++i) {
        const ForeignRecord::Grain& g = record.grains[i];
        const std::string where = "grain " + std::to_string(i + 1);
        auto grain = std::make_shared<cGrain>();
        grain->SetGrainType(cGrain::kBates);
        grain->SetLength(shown(g.length, where + "'s length"));
        grain->SetDiameter(shown(g.diameter, where + "'s diameter"));
        grain->SetCoreDiameter(shown(g.core, where + "'s core diameter"));
        grain->SetInhibited(g.inhibited);
        motor.AddGrain(grain);
    }
    motor.SetNozzleDia(shown(record.throat, "the nozzle's throat"));
    PerformanceInputs& in = record.inputs;
    in.units = unit;
    if (record.exit) in.nozzle_exit_dia = shown(*record.exit, "the nozzle's exit");
    if (record.throat_length) in.nozzle_throat_length = shown(*record.throat_length, "the throat's length");
    if (record.web_burnout) in.web_burnout = shown(*record.web_burnout, "the web burnout threshold");
    if (record.c_star) motor.SetISPStar(*record.c_star);
    if (record.density) motor.SetDensity(*record.density);
    if (record.a) motor.SetBallisticA(*record.a);
    if (record.n) motor.SetBallisticN(*record.n);
    motor.SetPerformance(in);
    imported.not_carried = std::move(record.notes);
    return imported;
}

}  // namespace thrustlet
