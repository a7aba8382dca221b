#include "model/formats/meteor_file.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/burn.h"
#include "model/errors.h"
#include "model/motor_comparison.h"
#include "model/motor_run.h"
#include "model/number_text.h"
#include "model/propellant_library.h"
#include "model/units.h"

namespace thrustlet {

namespace {

using Json = nlohmann::json;

constexpr int kLastVersion = 3;
constexpr double kPascalsPerMeteorPsi = 6895.0;
constexpr double kKgPerM3PerLbPerIn3 = 0.45359237 / (0.0254 * 0.0254 * 0.0254);
constexpr double kMetresPerFoot = 0.3048;

[[noreturn]] void Refuse(const std::string& why) {
    throw RunTimeError(err::kInvalidFileFormat, "Invalid file format: " + why);
}

// A member as a number: a JSON number or a string holding one; nothing
// where it is absent or null.
std::optional<double> Number(const Json& object, const char* key) {
    if (!object.is_object() || !object.contains(key) || object[key].is_null()) return std::nullopt;
    const Json& value = object[key];
    double number = 0.0;
    if (value.is_number()) {
        number = value.get<double>();
    } else if (value.is_string()) {
        const std::string text = value.get<std::string>();
        if (text.find_first_not_of(" \t") == std::string::npos) return std::nullopt;
        char* end = nullptr;
        number = std::strtod(text.c_str(), &end);
        if (end == text.c_str() || std::string(end).find_first_not_of(" \t") != std::string::npos) {
            Refuse("Meteor's " + std::string(key) + " is not a number (\"" + text + "\")");
        }
    } else {
        Refuse("Meteor's " + std::string(key) + " is not a number");
    }
    if (!std::isfinite(number)) Refuse("Meteor's " + std::string(key) + " is not a finite number");
    return number;
}

double Required(const Json& object, const char* key) {
    const std::optional<double> value = Number(object, key);
    if (!value) Refuse("the Meteor motor has no " + std::string(key));
    return *value;
}

std::string Text(const Json& object, const char* key) {
    if (!object.is_object() || !object.contains(key) || !object[key].is_string()) return "";
    return object[key].get<std::string>();
}

// A unit system's conversions into SI.
struct Units {
    bool imperial = false;
    double Pascals(double p) const { return imperial ? p * kPascalsPerMeteorPsi : p * 1e6; }
    double Density(double d) const { return imperial ? d * kKgPerM3PerLbPerIn3 : d * 1000.0; }
    // a for r in m/s and P in Pa.
    double Coefficient(double a, double n) const {
        return imperial ? a * 0.0254 * std::pow(kPascalsPerMeteorPsi, -n) : a * 1e-3 * std::pow(1e6, -n);
    }
    double CStar(double c) const { return imperial ? c * kMetresPerFoot : c; }
};

Units UnitsOf(const std::string& unit, const std::string& where) {
    if (unit.empty() || unit == "SI") return {false};
    if (unit == "IMPERIAL") return {true};
    Refuse(where + " is in \"" + unit + "\": Meteor's files are SI or IMPERIAL");
}

// Meteor's named propellants, as it tabulates Nakka's data: density
// (g/cm^3), k (its nozzle's too), molar mass (g/mol), chamber temperature
// (K), and the law's pieces (from MPa, a in mm/s at MPa^n, n), the first
// open below, the last above.
struct NamedPiece {
    double from, a, n;
};
struct NamedPropellant {
    const char* id;
    const char* name;
    const char* library;  // the library entry it is, or ""
    double density, k, molar_mass, temperature;
    std::vector<NamedPiece> pieces;
};
const std::vector<NamedPropellant>& Named() {
    static const std::vector<NamedPropellant> named = {
        {"KNDX", "KNDX", "KNDX", 1.879, 1.1308, 42.42, 1710,
         {{0.0, 8.87544496778536, 0.6193}, {0.779135, 7.55278442387944, -0.0087}, {2.571835, 3.84087990499602, 0.6882},
          {5.9297, 17.2041864098062, -0.1481}, {8.501535, 4.77524086347659, 0.4417}}},
        {"KNSB_FINE", "KNSB fine", "KNSB", 1.841, 1.1370, 39.90, 1600,
         {{0.0, 10.7076837980331, 0.6247}, {0.806715, 8.76328007101773, -0.3142}, {1.50311, 7.85216579497841, -0.013},
          {3.79225, 3.90676830413905, 0.5354}, {7.0329, 9.65320361987685, 0.0638}}},
        {"KNSB_COARSE", "KNSB coarse", "", 1.841, 1.1370, 39.90, 1600, {{0.0, 5.13, 0.22}}},
        {"KNSU", "KNSU", "KNSU", 1.889, 1.133, 42.02, 1720, {{0.0, 8.26, 0.319}}},
        {"KNER_COARSE", "KNER coarse", "KNER", 1.820, 1.14, 38.58, 1608, {{0.0, 2.9, 0.4}}},
        {"KNMN_COARSE", "KNMN coarse", "", 1.854, 1.1363, 39.826, 1616, {{0.0, 5.13, 0.22}}},
        {"KNXY", "KNXY", "", 1.8654, 1.138, 39.293, 1623, {{0.0, 3.23, 0.483}}},
        {"KNFR", "KNFR", "", 1.942, 1.1308, 42.42, 1710, {{0.0, 7.4, 0.25}}},
        {"KNPSB", "KNPSB", "", 1.923, 1.163, 36.39, 1858, {{0.0, 6.5, 0.628}}},
    };
    return named;
}

// The propellant as the design keeps it (SI), with its name and k.
struct Propellant {
    std::string name;
    double c_star = 0.0, density = 0.0, a = 0.0, n = 0.0, k = 1.2, nozzle_k = 1.2;
    std::optional<double> molar_mass;
    std::vector<BurnRatePiece> pieces;
    std::string note;  // where it differs from the library's entry of its name
};

Propellant NamedPropellantOf(const NamedPropellant& p) {
    Propellant out;
    out.name = p.name;
    out.density = p.density * 1000.0;
    out.k = out.nozzle_k = p.k;
    out.molar_mass = p.molar_mass;
    out.c_star = CharacteristicVelocity(p.temperature, p.molar_mass, p.k);
    const Units si{false};
    for (std::size_t i = 0; i < p.pieces.size(); ++i) {
        const NamedPiece& piece = p.pieces[i];
        BurnRatePiece kept;
        kept.p_min = static_cast<float>(piece.from * 1e6);
        kept.p_max = i + 1 < p.pieces.size() ? static_cast<float>(p.pieces[i + 1].from * 1e6) : FLT_MAX;
        kept.a = static_cast<float>(si.Coefficient(piece.a, piece.n));
        kept.n = static_cast<float>(piece.n);
        out.pieces.push_back(kept);
    }
    if (out.pieces.size() == 1) {
        out.a = out.pieces[0].a;
        out.n = out.pieces[0].n;
        out.pieces.clear();
    }
    if (*p.library) {
        for (const LibraryPropellant& entry : PropellantLibrary()) {
            if (entry.name != p.library) continue;
            out.note = std::string("Meteor's ") + p.name + " is its own: c* " + SingleToText(static_cast<float>(out.c_star), '.') +
                       " m/s from " + SingleToText(static_cast<float>(p.temperature), '.') + " K, k " +
                       SingleToText(static_cast<float>(p.k), '.') + " (the library's " + entry.name + " has c* " +
                       SingleToText(entry.c_star, '.') + " m/s and Nakka's two-phase k " + SingleToText(entry.k, '.') + ")";
        }
    }
    return out;
}

Propellant CustomPropellantOf(const Json& custom, const Units& units) {
    Propellant out;
    out.name = Text(custom, "name");
    if (out.name.empty()) out.name = "custom propellant";
    const double density = Required(custom, "density");
    out.density = units.Density(density);
    const std::optional<double> k = Number(custom, "k");
    out.k = k.value_or(1.2);
    out.nozzle_k = Number(custom, "k2ph").value_or(out.k);
    const std::optional<double> temperature = Number(custom, "chamberTemperature");
    const std::optional<double> molar_mass = Number(custom, "molarMass");
    out.molar_mass = molar_mass;
    if (temperature && molar_mass && k) {
        out.c_star = CharacteristicVelocity(*temperature, *molar_mass, *k);
    } else if (const std::optional<double> c_star = Number(custom, "cstar")) {
        out.c_star = units.CStar(*c_star);
    } else {
        Refuse("the custom propellant \"" + out.name + "\" gives neither a chamber temperature (with molar mass and k) nor c*");
    }
    if (custom.contains("burnRateDataSet") && custom["burnRateDataSet"].is_array() && !custom["burnRateDataSet"].empty()) {
        struct Range {
            double from, to, a, n;
        };
        std::vector<Range> ranges;
        for (const Json& piece : custom["burnRateDataSet"]) {
            ranges.push_back({units.Pascals(Required(piece, "fromPressureIncluded")), units.Pascals(Required(piece, "toPressureExcluded")),
                              Required(piece, "burnRateCoefficient"), Required(piece, "pressureExponent")});
        }
        std::sort(ranges.begin(), ranges.end(), [](const Range& x, const Range& y) { return x.from < y.from; });
        for (std::size_t i = 0; i < ranges.size(); ++i) {
            if (!(ranges[i].to > ranges[i].from)) Refuse("a burn-rate range of \"" + out.name + "\" ends where it starts or before");
            if (i > 0 && ranges[i].from < ranges[i - 1].to) {
                Refuse("the burn-rate ranges of \"" + out.name + "\" overlap (at " +
                       SingleToText(static_cast<float>(ranges[i].from / 1e6), '.') + " MPa)");
            }
            // Meteor's own march stops in a gap between ranges; Thrustlet's
            // carries the nearest range's law across, and says where.
            if (i > 0 && ranges[i].from > ranges[i - 1].to) {
                out.note += std::string(out.note.empty() ? "the burn-rate ranges of \"" + out.name + "\" leave " : " and ") +
                            SingleToText(static_cast<float>(ranges[i - 1].to / 1e6), '.') + " to " +
                            SingleToText(static_cast<float>(ranges[i].from / 1e6), '.') + " MPa";
            }
            out.pieces.push_back({static_cast<float>(ranges[i].from), static_cast<float>(ranges[i].to),
                                  static_cast<float>(units.Coefficient(ranges[i].a, ranges[i].n)), static_cast<float>(ranges[i].n)});
        }
        if (!out.note.empty()) out.note += " uncovered (Meteor stops there): a burn that reaches them takes the nearest range's law";
    } else {
        const double n = Required(custom, "pressureExponent");
        out.a = units.Coefficient(Required(custom, "burnRateCoefficient"), n);
        out.n = n;
    }
    return out;
}

// The Mach number's area ratio for the optimum expansion of a chamber
// pressure over the ambient.
double OptimumAreaRatio(double chamber, double ambient, double k) {
    if (!(ambient > 0.0) || !(chamber > ambient)) return 1.0;
    const double mach2 = 2.0 / (k - 1.0) * (std::pow(chamber / ambient, (k - 1.0) / k) - 1.0);
    const double mach = std::sqrt(mach2);
    return std::pow(2.0 / (k + 1.0) * (1.0 + 0.5 * (k - 1.0) * mach2), (k + 1.0) / (2.0 * (k - 1.0))) / mach;
}

// The motor object of a file, the unit it is in and its custom propellant.
struct Motor {
    const Json* motor = nullptr;
    Units units;
    const Json* custom = nullptr;
    Units custom_units;
    std::string propellant_id;
    Json parsed_custom;  // a custom propellant kept as a JSON string
};

// Meteor's nozzle efficiency (Nakka's sheet) is the whole nozzle's: it
// multiplies the jet's momentum thrust alone, leaving the pressure thrust,
// and the nozzle's angles only draw the nozzle. Thrustlet's multiplies the
// whole thrust coefficient and counts the divergence, throat and skin losses
// of the nozzle's shape apart. The design is given the efficiency that makes
// its thrust coefficient Meteor's at the burn's mean chamber pressure (Pa);
// what it says of that, if the efficiency had to change.
std::optional<std::string> CarryNozzleEfficiency(cMotor* design, double mean_pressure) {
    PerformanceInputs in = design->Performance();
    if (!(mean_pressure > 0.0) || !in.specific_heat_ratio) return std::nullopt;
    const double meteor = in.NozzleEfficiency();
    // The design's own thrust per unit efficiency, its shape's losses and all.
    const ThrustOf thrust(*design);
    const Nozzle& nozzle = thrust.nozzle;
    const double pressure_term = (nozzle.exit - thrust.ambient / mean_pressure) * nozzle.area_ratio;
    const double wanted = meteor * nozzle.momentum + pressure_term;
    const double shaped = thrust(mean_pressure) / (thrust.efficiency * mean_pressure * thrust.throat_m2);
    if (!(wanted > 0.0) || !(shaped > 0.0)) return std::nullopt;
    const bool held = wanted / shaped > 1.0;  // past what any nozzle gives
    const float carried = static_cast<float>(std::min(1.0, wanted / shaped));
    if (!held && carried == static_cast<float>(meteor)) return std::nullopt;
    in.nozzle_efficiency = carried;
    design->SetPerformance(in);
    const auto figures = [](double value, int digits) {
        char text[32];
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        return std::string(text);
    };
    return "Meteor's nozzle efficiency (" + figures(meteor, 4) + ") is the whole nozzle's and spares the pressure thrust; " +
           "the design's is " + figures(carried, 4) + ", as Thrustlet's multiplies the whole thrust" +
           (in.HasNozzleLosses() ? " and counts the losses of the nozzle's angles apart" : "") +
           ": the thrust is Meteor's at the burn's mean pressure (" + figures(mean_pressure / 1e6, 3) + " MPa)" +
           (held ? ", or as near as an efficiency of 1 comes" : "");
}

}  // namespace

bool IsMeteorText(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos || text[first] != '{') return false;
    return text.find("\"version\"") != std::string_view::npos &&
           (text.find("\"configs\"") != std::string_view::npos || text.find("\"propellantId\"") != std::string_view::npos ||
            text.find("\"grainConfig\"") != std::string_view::npos || text.find("\"throatDiameter\"") != std::string_view::npos);
}

ImportedMotor ReadMeteor(std::string_view text, std::size_t config) {
    // Meteor's exports take a few kilobytes a motor; the JSON parser needs
    // some 35 bytes of memory for each byte of a file of many small values,
    // so a file far larger than any export is refused before it parses.
    constexpr std::size_t kMostMeteorBytes = 4 << 20;
    if (text.size() > kMostMeteorBytes) {
        RefuseImport("the Meteor file is " + std::to_string(text.size() >> 20) + " MiB, more than the " +
                     std::to_string(kMostMeteorBytes >> 20) + " MiB of a thousand of Meteor's motors");
    }
    // Meteor nests a few levels deep; a text nested far deeper is no motor
    // of its, and the parser would recurse once a level.
    int depth = 0;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_string) {
            if (c == '\\') ++i;
            else if (c == '"') in_string = false;
        } else if (c == '"') {
            in_string = true;
        } else if (c == '{' || c == '[') {
            if (++depth > 32) Refuse("not a Meteor motor file: it nests more than 32 levels deep");
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    Json root;
    try {
        root = Json::parse(text.begin(), text.end());
    } catch (const Json::exception& error) {
        Refuse(std::string("not a Meteor motor file: ") + error.what());
    }
    if (!root.is_object()) Refuse("a Meteor motor file holds one JSON object");
    const std::optional<double> version = Number(root, "version");
    if (!version) Refuse("the Meteor file names no version");
    if (*version != std::floor(*version) || *version < 1 || *version > kLastVersion) {
        Refuse("a Meteor file of version " + SingleToText(static_cast<float>(*version), '.') +
               ": Thrustlet reads versions 1 to " + std::to_string(kLastVersion));
    }
    Motor m;
    m.units = UnitsOf(Text(root, "measureUnit"), "the Meteor file");
    m.custom_units = m.units;
    std::vector<std::string> notes;
    if (*version < 3) {
        if (!root.contains("configs") || !root["configs"].is_array() || root["configs"].empty()) {
            Refuse("the Meteor file holds no motor (configs)");
        }
        const Json& configs = root["configs"];
        if (config >= configs.size()) {
            Refuse("the Meteor file holds " + std::to_string(configs.size()) + (configs.size() == 1 ? " motor" : " motors") +
                   ", not a motor " + std::to_string(config + 1));
        }
        m.motor = &configs[config];
        m.propellant_id = Text(*m.motor, "propellantType");
        if (m.motor->contains("customPropellant") && (*m.motor)["customPropellant"].is_object()) m.custom = &(*m.motor)["customPropellant"];
        if (configs.size() > 1 && config == 0) {
            notes.push_back("the Meteor file holds " + std::to_string(configs.size()) + " motors: the first came (thrustlet-kn --config K picks another)");
        }
    } else {
        if (config > 0) Refuse("a Meteor file of version 3 holds one motor, not a motor " + std::to_string(config + 1));
        m.motor = root.contains("motor") && root["motor"].is_object() ? &root["motor"] : &root;
        if (m.motor != &root && m.motor->contains("measureUnit")) m.units = UnitsOf(Text(*m.motor, "measureUnit"), "the Meteor motor");
        m.custom_units = m.units;
        m.propellant_id = Text(*m.motor, "propellantId");
        for (const Json* holder : std::initializer_list<const Json*>{m.motor, &root}) {
            if (!holder->contains("customPropellant")) continue;
            const Json& custom = (*holder)["customPropellant"];
            if (custom.is_object()) {
                m.custom = &custom;
            } else if (custom.is_string()) {
                try {
                    m.parsed_custom = Json::parse(custom.get<std::string>());
                } catch (const Json::exception&) {
                    Refuse("the Meteor motor's custom propellant is not JSON");
                }
                if (m.parsed_custom.is_object()) m.custom = &m.parsed_custom;
            }
            if (m.custom) break;
        }
        if (m.custom && m.custom->contains("unit")) m.custom_units = UnitsOf(Text(*m.custom, "unit"), "the custom propellant");
    }
    const Json& motor = *m.motor;

    // The grain: version 1 keeps it in the motor, later ones under grainConfig.
    const Json* grain = &motor;
    const std::string grain_type = Text(motor, "grainType");
    if (*version >= 2 || !grain_type.empty()) {
        if (grain_type != "HOLLOW") {
            Refuse("Meteor's " + (grain_type.empty() ? std::string("unnamed") : grain_type) +
                   " grain cannot come into a design of BATES grains (only HOLLOW grains can)");
        }
        if (!motor.contains("grainConfig") || !motor["grainConfig"].is_object()) Refuse("the Meteor motor has no grainConfig");
        grain = &motor["grainConfig"];
    }
    const std::string outer = Text(*grain, "outerSurface"), ends = Text(*grain, "endsSurface"), core_surface = Text(*grain, "coreSurface");
    if (!outer.empty() && outer != "INHIBITED") Refuse("Meteor's grain burns on its outer surface: a BATES grain's is inhibited");
    if (!core_surface.empty() && core_surface != "EXPOSED") Refuse("Meteor's grain has its core inhibited: a BATES grain's core burns");
    if (!ends.empty() && ends != "INHIBITED" && ends != "EXPOSED") Refuse("Meteor's grain ends are \"" + ends + "\"");
    const double outer_diameter = Required(*grain, "outerDiameter"), core = Required(*grain, "coreDiameter");
    const double segment = Required(*grain, "segmentLength"), segments = Required(*grain, "numberOfSegment");
    // Meteor's motors have a handful of segments; a thousand is far past any.
    if (segments != std::floor(segments) || segments < 1 || segments > 1000) {
        Refuse("Meteor's motor has " + SingleToText(static_cast<float>(segments), '.') + " segments");
    }
    const double throat = Required(motor, "throatDiameter");
    const double chamber_diameter = Required(motor, "chamberInnerDiameter"), chamber_length = Required(motor, "chamberLength");
    const std::string unit_word = m.units.imperial ? " in" : " mm";
    const auto shown = [&](double v) { return SingleToText(static_cast<float>(v), '.') + unit_word; };
    if (segments * segment > chamber_length) {
        Refuse("Meteor's grains (" + shown(segments * segment) + " long) are longer than the chamber (" + shown(chamber_length) + ")");
    }
    if (outer_diameter > chamber_diameter) {
        Refuse("Meteor's grain (" + shown(outer_diameter) + ") is wider than the chamber (" + shown(chamber_diameter) + ")");
    }
    if (throat >= core) Refuse("Meteor's throat (" + shown(throat) + ") is as wide as the core (" + shown(core) + ") or wider");

    ImportedMotor imported;
    cMotor& design = imported.motor;
    for (int i = 0; i < static_cast<int>(segments); ++i) {
        auto bates = std::make_shared<cGrain>();
        bates->SetGrainType(cGrain::kBates);
        bates->SetLength(static_cast<float>(segment));
        bates->SetDiameter(static_cast<float>(outer_diameter));
        bates->SetCoreDiameter(static_cast<float>(core));
        if (ends == "INHIBITED") bates->SetInhibited(cGrain::Ends::kBoth);
        design.AddGrain(bates);
    }
    design.SetNozzleDia(static_cast<float>(throat));

    // The propellant.
    Propellant propellant;
    bool found = false;
    if (m.custom) {
        propellant = CustomPropellantOf(*m.custom, m.custom_units);
        found = true;
    } else {
        for (const NamedPropellant& named : Named()) {
            if (m.propellant_id == named.id) {
                propellant = NamedPropellantOf(named);
                found = true;
            }
        }
    }
    if (!found) Refuse("Meteor's propellant \"" + m.propellant_id + "\" is not one Thrustlet knows (and the file holds no custom propellant)");
    if (!propellant.note.empty()) notes.push_back(propellant.note);

    const Json empty = Json::object();
    const Json& extra = motor.contains("extraConfig") && motor["extraConfig"].is_object() ? motor["extraConfig"] : empty;
    PerformanceInputs in;
    in.units = m.units.imperial ? LengthUnit::kInch : LengthUnit::kMillimetre;
    in.model = BurnModel::kFull;
    in.propellant_name = propellant.name;
    in.specific_heat_ratio = static_cast<float>(propellant.nozzle_k);
    if (propellant.molar_mass) in.molar_mass = static_cast<float>(*propellant.molar_mass);
    in.burn_rate = propellant.pieces;
    in.case_diameter = static_cast<float>(chamber_diameter);
    in.case_length = static_cast<float>(chamber_length);
    double density = propellant.density;
    if (const std::optional<double> ratio = Number(extra, "densityRatio"); ratio && *ratio > 0.0) density *= *ratio;
    if (const std::optional<double> ratio = Number(extra, "combustionEfficiencyRatio"); ratio && *ratio > 0.0 && *ratio != 1.0) {
        in.combustion_efficiency = static_cast<float>(std::sqrt(std::min(1.0, *ratio)));
    }
    if (const std::optional<double> efficiency = Number(extra, "nozzleEfficiency")) in.nozzle_efficiency = static_cast<float>(*efficiency);
    if (const std::optional<double> ambient = Number(extra, "ambiantPressureInMPa")) in.ambient_pressure = static_cast<float>(*ambient * 1e6);
    const std::optional<double> threshold = Number(extra, "erosiveBurningAreaRatioThreshold");
    const std::optional<double> kv = Number(extra, "erosiveBurningVelocityCoefficient");
    if (threshold && kv && *kv > 0.0) {
        in.erosive_threshold = static_cast<float>(*threshold);
        in.erosive_velocity_coefficient = static_cast<float>(*kv);
    }
    if (const std::optional<double> erosion = Number(extra, "nozzleErosionInMillimeter"); erosion && *erosion > 0.0) {
        notes.push_back("Meteor's nozzle erosion (" + SingleToText(static_cast<float>(*erosion), '.') +
                        " mm over the burn) is not carried: Thrustlet's throat erosion is a rate with the pressure (NozzleErosion)");
    }
    if (motor.contains("nozzleDesign") && motor["nozzleDesign"].is_object()) {
        if (const std::optional<double> angle = Number(motor["nozzleDesign"], "divergenceAngle")) in.nozzle_divergence = static_cast<float>(*angle / 2.0);
        if (const std::optional<double> angle = Number(motor["nozzleDesign"], "convergenceAngle")) in.nozzle_convergence = static_cast<float>(*angle / 2.0);
    }
    design.SetISPStar(static_cast<float>(propellant.c_star));
    design.SetDensity(static_cast<float>(density));
    design.SetBallisticA(static_cast<float>(propellant.a));
    design.SetBallisticN(static_cast<float>(propellant.n));
    design.SetPerformance(in);

    // The exit: from the expansion ratio, or Meteor's optimal nozzle, sized
    // for the optimum expansion at the burn's mean chamber pressure.
    const bool optimal = extra.contains("optimalNozzleDesign") && extra["optimalNozzleDesign"].is_boolean() &&
                         extra["optimalNozzleDesign"].get<bool>();
    std::optional<double> ratio = Number(extra, "nozzleExpansionRatio");
    // The burn's mean chamber pressure (Pa), which neither the exit nor the
    // nozzle's efficiency moves.
    double mean_pressure = 0.0;
    if (const MotorRun run = RunMotor(design); run.Figures()) mean_pressure = MeanPressure(*run.Figures());
    if (optimal && mean_pressure > 0.0) ratio = OptimumAreaRatio(mean_pressure, in.AmbientPressure(), propellant.nozzle_k);
    if (ratio && *ratio > 1.0) {
        in.nozzle_exit_dia = static_cast<float>(throat * std::sqrt(*ratio));
        design.SetPerformance(in);
    }
    if (const std::optional<std::string> note = CarryNozzleEfficiency(&design, mean_pressure)) notes.push_back(*note);
    // Meteor's march (Nakka's sheet) lets the nozzle pass (P - Pa) At / c*;
    // a choked throat passes P At / c*, so Thrustlet's figures differ from the
    // ones the builder remembers, and the note says which way.
    notes.push_back("Meteor shows gauge pressures; Thrustlet's are absolute. Meteor's nozzle also passes only the gauge "
                    "pressure's flow, which holds its chamber higher than a choked throat does: expect Thrustlet's "
                    "peak pressure under Meteor's figure and its burn longer");
    imported.not_carried = std::move(notes);
    return imported;
}

}  // namespace thrustlet
