#include "model/formats/ric_file.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <map>
#include <memory>

#include "model/alerts.h"
#include "model/burn_rate_law.h"
#include "model/errors.h"
#include "model/grain.h"
#include "model/propellant_library.h"

namespace thrustlet {

namespace {

constexpr int kMotorFileType = 3;  // openMotor's file types: 1 preferences, 2 propellants, 3 motor
// What openMotor 0.4 takes a propellant to cover when a file of an older
// version gives it no pressures.
constexpr double kOldLawTopPressure = 1.0342e7;
// openMotor's highest tab pressure (Pa).
constexpr double kHighestTabPressure = 7e7;
// openMotor's casing rating where a motor gives none (1500 psi, as it
// converts them).
constexpr double kOpenMotorMaxPressure = 1500 * 6895.0;  // Pa

std::string Count(std::size_t index) { return std::to_string(index + 1); }

// "a Finocyl", "an X Core".
std::string WithArticle(const std::string& word) {
    const bool vowel = !word.empty() && std::string("AEIOUaeiouX").find(word[0]) != std::string::npos;
    return (vowel ? "an " : "a ") + word;
}

double Number(const YAML::Node& node, const std::string& what) {
    if (!node || !node.IsScalar()) RefuseImport(what + " is missing or not a number");
    double value = 0.0;
    if (!YAML::convert<double>::decode(node, value)) RefuseImport(what + " is not a number: \"" + node.Scalar() + "\"");
    if (!std::isfinite(value)) RefuseImport(what + " is not a finite number");
    return value;
}

std::optional<double> OptionalNumber(const YAML::Node& map, const char* key, const std::string& what) {
    const YAML::Node node = map[key];
    if (!node || node.IsNull()) return std::nullopt;
    return Number(node, what);
}

std::string Text(const YAML::Node& node) { return node && node.IsScalar() ? node.Scalar() : std::string(); }

struct Tab {
    double p_min, p_max, a, n, k, t, m;
};

Tab TabOf(const YAML::Node& node, const std::string& where, double p_min, double p_max) {
    Tab tab{p_min, p_max, 0, 0, 0, 0, 0};
    if (const auto v = OptionalNumber(node, "minPressure", where + "'s minPressure")) tab.p_min = *v;
    if (const auto v = OptionalNumber(node, "maxPressure", where + "'s maxPressure")) tab.p_max = *v;
    tab.a = Number(node["a"], where + "'s a");
    tab.n = Number(node["n"], where + "'s n");
    tab.k = Number(node["k"], where + "'s k");
    tab.t = Number(node["t"], where + "'s t");
    tab.m = Number(node["m"], where + "'s m");
    return tab;
}

// The nozzle's and the simulation's settings a design has no place for,
// named in words where openMotor's key is not plain.
const std::map<std::string, std::string>& SettingWords() {
    static const std::map<std::string, std::string> words = {
        {"divAngle", "divergence angle"},
        {"convAngle", "convergence angle"},
        {"throatLength", "throat length"},
        {"slagCoeff", "slag coefficient"},
        {"erosionCoeff", "throat erosion coefficient"},
        {"igniterPressure", "ignition pressure"},
        {"timestep", "time step"},
        {"burnoutWebThres", "web burnout threshold"},
        {"burnoutThrustThres", "thrust burnout threshold"},
        {"mapDim", "grain map size"},
        {"sepPressureRatio", "flow separation pressure ratio"},
        {"flowSeparationWarnPercent", "flow separation warning"},
        {"maxMachNumber", "Mach number limit"},
    };
    return words;
}

std::string WordFor(const std::string& key) {
    const auto found = SettingWords().find(key);
    return found == SettingWords().end() ? key : found->second;
}

// That the file is an openMotor motor, not its preferences or propellants.
void CheckMotorFile(const YAML::Node& root) {
    if (!root.IsMap() || !root["data"] || !root["data"].IsMap()) {
        RefuseImport("the file is no openMotor motor: it holds no motor data");
    }
    if (const YAML::Node type = root["type"]) {
        const YAML::Node code = type.IsSequence() && type.size() > 0 ? type[0] : type;
        int value = 0;
        if (!code.IsScalar() || !YAML::convert<int>::decode(code, value)) RefuseImport("the file's type is not openMotor's");
        if (value == 1) RefuseImport("the openMotor file holds preferences, not a motor");
        if (value == 2) RefuseImport("the openMotor file holds a propellant library, not a motor (Motor > Propellant takes one)");
        if (value != kMotorFileType) RefuseImport("the file's type, " + std::to_string(value) + ", is no openMotor motor");
    }
}

void ReadGrains(const YAML::Node& data, ForeignRecord& record) {
    // The grains, head end first, in metres.
    std::vector<ForeignRecord::Grain>& grains = record.grains;
    const YAML::Node grain_list = data["grains"];
    if (grain_list && !grain_list.IsNull()) {
        if (!grain_list.IsSequence()) RefuseImport("the motor's grains are not a list");
        if (grain_list.size() > static_cast<std::size_t>(cMotor::kMaxGrains)) {
            RefuseImport("the motor has " + std::to_string(grain_list.size()) + " grains: a design holds at most " +
                         std::to_string(cMotor::kMaxGrains));
        }
        for (std::size_t i = 0; i < grain_list.size(); ++i) {
            const YAML::Node entry = grain_list[i];
            const std::string where = "grain " + Count(i);
            if (!entry.IsMap()) RefuseImport(where + " is not a grain");
            const std::string type = Text(entry["type"]);
            if (type != "BATES") {
                RefuseImport(where + " is " + WithArticle(type.empty() ? "unnamed" : type) +
                             " grain: only BATES grains come into Thrustlet, and the motor without it would be "
                             "another motor");
            }
            const YAML::Node properties = entry["properties"];
            if (!properties || !properties.IsMap()) RefuseImport(where + " gives no dimensions");
            // openMotor's top is the forward (head) end, its bottom the aft.
            const std::string ends = Text(properties["inhibitedEnds"]);
            cGrain::Ends inhibited = cGrain::Ends::kNone;
            if (ends == "Top") {
                inhibited = cGrain::Ends::kForward;
            } else if (ends == "Bottom") {
                inhibited = cGrain::Ends::kAft;
            } else if (ends == "Both") {
                inhibited = cGrain::Ends::kBoth;
            } else if (!ends.empty() && ends != "Neither") {
                RefuseImport(where + "'s inhibited ends, \"" + ends + "\", are none of openMotor's (Neither, Top, Bottom, Both)");
            }
            grains.push_back({Number(properties["length"], where + "'s length"),
                              Number(properties["diameter"], where + "'s diameter"),
                              Number(properties["coreDiameter"], where + "'s core diameter"), inhibited});
        }
    }
}

// The throat, exit and efficiency; what else the nozzle holds is named.
void ReadNozzle(const YAML::Node& data, ForeignRecord& record) {
    std::vector<std::string>& notes = record.notes;
    const YAML::Node nozzle = data["nozzle"];
    if (nozzle && !nozzle.IsNull() && !nozzle.IsMap()) RefuseImport("the nozzle is not a set of values");
    const double throat = nozzle ? OptionalNumber(nozzle, "throat", "the nozzle's throat").value_or(0.0) : 0.0;
    const std::optional<double> given_exit = nozzle ? OptionalNumber(nozzle, "exit", "the nozzle's exit") : std::nullopt;
    const bool has_exit = given_exit.has_value();
    const double exit = given_exit.value_or(0.0);
    const std::optional<double> efficiency =
        nozzle ? OptionalNumber(nozzle, "efficiency", "the nozzle's efficiency") : std::nullopt;
    std::vector<std::string> nozzle_extras;
    if (nozzle) {
        for (const auto& item : nozzle) {
            const std::string key = item.first.Scalar();
            if (key == "throat" || key == "exit" || key == "efficiency" || key == "divAngle" || key == "convAngle" ||
                key == "throatLength" || key == "erosionCoeff" || key == "slagCoeff") {
                continue;
            }
            double value = 0.0;
            if (item.second.IsScalar() && YAML::convert<double>::decode(item.second, value) && value == 0.0) continue;
            const std::string word = WordFor(key);
            nozzle_extras.push_back(key == "divAngle" || key == "convAngle" ? word + " (" + item.second.Scalar() + "\u00b0)" : word);
        }
    }
    if (!nozzle_extras.empty()) {
        notes.push_back("The nozzle's " + Listed(nozzle_extras) + (nozzle_extras.size() > 1 ? " are" : " is") +
                        " not carried.");
    }
    // The nozzle's shape and the throat's change, as the design keeps them.
    if (nozzle) {
        const struct {
            const char* key;
            const char* what;
            std::optional<float> PerformanceInputs::*into;
        } kept[] = {{"divAngle", "the nozzle's divergence angle", &PerformanceInputs::nozzle_divergence},
                    {"convAngle", "the nozzle's convergence angle", &PerformanceInputs::nozzle_convergence},
                    {"erosionCoeff", "the throat's erosion coefficient", &PerformanceInputs::nozzle_erosion},
                    {"slagCoeff", "the throat's slag coefficient", &PerformanceInputs::nozzle_slag}};
        for (const auto& k : kept) {
            if (const std::optional<double> value = OptionalNumber(nozzle, k.key, k.what)) {
                record.inputs.*(k.into) = DesignValue(*value, k.what);
            }
        }
        record.throat_length = OptionalNumber(nozzle, "throatLength", "the nozzle's throat length");
        if (record.inputs.nozzle_erosion.value_or(0.0f) > 0.0f || record.inputs.nozzle_slag.value_or(0.0f) > 0.0f) {
            notes.push_back("The throat's erosion and slag are kept, but the steady model does not change the throat during "
                            "the burn.");
        }
    }

    record.throat = throat;
    if (has_exit) record.exit = exit;
    if (efficiency) record.inputs.nozzle_efficiency = DesignValue(*efficiency, "the nozzle's efficiency");
}

void ReadPropellant(const YAML::Node& data, ForeignRecord& record) {
    std::vector<std::string>& notes = record.notes;
    PerformanceInputs& in = record.inputs;
    // The propellant: each tab a burn-rate piece, c* and k from the first.
    const YAML::Node propellant = data["propellant"];
    if (!propellant || propellant.IsNull()) {
        notes.push_back("The file has no propellant: the design has its geometry only (Motor > Propellant sets one).");
    } else {
        if (!propellant.IsMap()) RefuseImport("the propellant is not a set of values");
        std::vector<Tab> tabs;
        if (const YAML::Node list = propellant["tabs"]) {
            if (!list.IsSequence() || list.size() == 0) RefuseImport("the propellant's tabs are not a list of values");
            if (list.size() > kMaxBurnRatePieces) {
                RefuseImport("the propellant has " + std::to_string(list.size()) + " tabs: a design holds at most " +
                             std::to_string(kMaxBurnRatePieces) + " burn-rate pieces");
            }
            for (std::size_t i = 0; i < list.size(); ++i) {
                if (!list[i].IsMap()) RefuseImport("the propellant's tab " + Count(i) + " is not a set of values");
                tabs.push_back(TabOf(list[i], "the propellant's tab " + Count(i), 0.0, kOldLawTopPressure));
            }
        } else {
            // Before openMotor 0.4: one law for every pressure.
            tabs.push_back(TabOf(propellant, "the propellant", 0.0, kOldLawTopPressure));
        }
        in.propellant_name = Text(propellant["name"]);
        record.density = DesignValue(Number(propellant["density"], "the propellant's density"), "the density");
        const Tab& first = tabs.front();
        in.specific_heat_ratio = DesignValue(first.k, "the propellant's k");
        // The usual molar mass is what openMotor writes when nothing else
        // is known: the design keeps only one its data give.
        if (first.m != kUsualMolarMass) in.molar_mass = DesignValue(first.m, "the propellant's molar mass");
        if (first.k > 1.0 && first.t > 0.0 && first.m > 0.0) {
            record.c_star = DesignValue(CharacteristicVelocity(first.t, first.m, first.k), "the propellant's c*");
        } else {
            notes.push_back("The propellant's k, T and M give no c*: set it in Motor > Propellant.");
        }
        for (std::size_t i = 1; i < tabs.size(); ++i) {
            if (tabs[i].k != first.k || tabs[i].t != first.t || tabs[i].m != first.m) {
                notes.push_back("Tab " + Count(i) + "'s k, T or M differ from the first tab's: the design keeps one c* "
                                "and k, the first tab's.");
            }
        }
        std::stable_sort(tabs.begin(), tabs.end(), [](const Tab& a, const Tab& b) { return a.p_min < b.p_min; });
        if (tabs.size() == 1 && tabs[0].p_min <= 0.0 && tabs[0].p_max >= kHighestTabPressure) {
            // One tab over every pressure openMotor takes: the one law.
            record.a = DesignValue(tabs[0].a, "the propellant's a");
            record.n = DesignValue(tabs[0].n, "the propellant's n");
            tabs.clear();
        }
        for (const Tab& tab : tabs) {
            in.burn_rate.push_back({DesignValue(tab.p_min, "a tab's minimum pressure"),
                                    DesignValue(tab.p_max, "a tab's maximum pressure"), DesignValue(tab.a, "a tab's a"),
                                    DesignValue(tab.n, "a tab's n")});
        }
    }
}

void ReadSettings(const YAML::Node& data, ForeignRecord& record) {
    std::vector<std::string>& notes = record.notes;
    PerformanceInputs& in = record.inputs;
    // openMotor marches its burn in time, the throat's erosion and slag with
    // it: the design is figured by the full model.
    in.model = BurnModel::kFull;
    // The settings: the ambient pressure and the limits come along.
    const YAML::Node config = data["config"];
    if (config && config.IsMap()) {
        // openMotor writes every setting; those at its defaults (which are
        // the design's too) stay unset, as in a design of the program's own.
        const auto setting = [&](const char* key, const char* what, std::initializer_list<double> defaults,
                                 std::optional<float>& into) {
            const std::optional<double> value = OptionalNumber(config, key, what);
            if (value && std::find(defaults.begin(), defaults.end(), *value) == defaults.end()) into = DesignValue(*value, what);
        };
        setting("ambPressure", "the ambient pressure", {kStandardAtmosphere}, in.ambient_pressure);
        setting("maxPressure", "the pressure limit", {kOpenMotorMaxPressure}, in.max_pressure);
        setting("maxMassFlux", "the mass flux limit", {kDefaultMaxMassFlux, 2 / 0.001422}, in.max_mass_flux);
        setting("minPortThroat", "the port-to-throat limit", {kDefaultMinPortThroat}, in.min_port_throat);
        // openMotor's burnout thresholds come along always: its figures
        // end where they say.
        record.web_burnout = OptionalNumber(config, "burnoutWebThres", "the web burnout threshold");
        if (const std::optional<double> thrust = OptionalNumber(config, "burnoutThrustThres", "the thrust burnout threshold")) {
            in.thrust_burnout = DesignValue(*thrust, "the thrust burnout threshold");
        }
        std::vector<std::string> settings;
        for (const auto& item : config) {
            const std::string key = item.first.Scalar();
            if (key == "ambPressure" || key == "maxPressure" || key == "maxMassFlux" || key == "minPortThroat" ||
                key == "burnoutWebThres" || key == "burnoutThrustThres") {
                continue;
            }
            settings.push_back(WordFor(key));
        }
        if (!settings.empty()) {
            notes.push_back("openMotor's simulation settings (" + Listed(settings) +
                            ") are not carried: Thrustlet's model needs none of them.");
        }
    }
}

ImportedMotor Read(const YAML::Node& root) {
    CheckMotorFile(root);
    const YAML::Node data = root["data"];
    ForeignRecord record;  // lengths in metres
    ReadGrains(data, record);
    ReadNozzle(data, record);
    ReadPropellant(data, record);
    ReadSettings(data, record);
    return DesignOfRecord(std::move(record));
}

// How deep the text's flow collections ("[" and "{") nest, outside quoted
// scalars and comments, in one pass. The YAML parser takes memory hundreds
// of times a deep nesting's size, so the depth is bounded before it parses.
std::size_t DeepestFlowNesting(std::string_view text) {
    std::size_t depth = 0, deepest = 0;
    char quote = 0;
    bool comment = false;
    char before = '\n';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (comment) {
            comment = c != '\n' && c != '\r';
        } else if (quote) {
            if (quote == '"' && c == '\\') {
                ++i;  // an escaped character
            } else if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '#' && (before == ' ' || before == '\t' || before == '\n' || before == '\r')) {
            comment = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
        before = c;
    }
    return deepest;
}

// openMotor's files nest two or three deep, and take a few kilobytes (half
// a megabyte holds some 4,000 grains). The YAML parser needs some 240 bytes
// of memory for each byte of a file of many small entries, so larger files
// are refused before it parses them.
constexpr std::size_t kDeepestRicNesting = 64;
constexpr std::size_t kMostRicBytes = 512 * 1024;

}  // namespace

ImportedMotor ReadRic(std::string_view text) {
    if (text.size() > kMostRicBytes) {
        RefuseImport("the openMotor file is " + std::to_string(text.size() / 1024) + " KiB, more than the " +
                     std::to_string(kMostRicBytes / 1024) + " KiB a motor file of openMotor's takes (about 4,000 "
                     "grains)");
    }
    if (DeepestFlowNesting(text) > kDeepestRicNesting) {
        RefuseImport("the openMotor file nests its lists and maps more than " + std::to_string(kDeepestRicNesting) +
                     " deep (openMotor's own nest three): it is not a motor openMotor saved");
    }
    try {
        return Read(YAML::Load(std::string(text)));
    } catch (const YAML::Exception& error) {
        const std::string where = error.mark.line >= 0 ? "line " + std::to_string(error.mark.line + 1) + ": " : "";
        RefuseImport("the openMotor file cannot be read as YAML (" + where + error.msg + ")");
    }
}

namespace {

// openMotor's own defaults for what a design does not hold.
constexpr double kDivergenceAngle = 15.0, kConvergenceAngle = 55.0;  // degrees

// A key and a number, as openMotor reads it.
void Put(YAML::Emitter& out, const char* key, double value) {
    out << YAML::Key << key << YAML::Value << ForeignNumber(value);
}

// The propellant as openMotor keeps it: each burn-rate piece a tab with the
// design's k and the combustion temperature that gives its c*.
void WritePropellant(YAML::Emitter& out, const std::optional<ForeignPropellant>& propellant, std::vector<std::string>& notes) {
    out << YAML::Key << "propellant" << YAML::Value;
    if (!propellant) {
        out << YAML::Null;
        notes.push_back("The design has no propellant: the file holds its geometry only.");
    } else {
        out << YAML::BeginMap;
        Put(out, "density", propellant->density);
        out << YAML::Key << "name" << YAML::Value << YAML::DoubleQuoted << propellant->name;
        out << YAML::Key << "tabs" << YAML::Value << YAML::BeginSeq;
        const double k = propellant->k > 1.0 ? propellant->k : 1.2;
        if (!(propellant->k > 1.0)) notes.push_back("The design gives no k above 1: the file has k = 1.2.");
        const double t = TemperatureForCStar(propellant->c_star, k, propellant->molar_mass);
        for (const ForeignPropellant::Piece& piece : propellant->pieces) {
            out << YAML::BeginMap;
            Put(out, "a", piece.a);
            Put(out, "k", k);
            Put(out, "m", propellant->molar_mass);
            Put(out, "maxPressure", std::min(piece.p_max, kHighestTabPressure));
            Put(out, "minPressure", std::min(piece.p_min, kHighestTabPressure));
            Put(out, "n", piece.n);
            Put(out, "t", t);
            out << YAML::EndMap;
            if (!(piece.a >= 1e-8 && piece.a <= 2.0) || !(piece.n >= -0.99 && piece.n <= 0.99)) {
                notes.push_back("openMotor takes a from 1e-8 to 2 m/s at Pa^n and n from -0.99 to 0.99: it keeps its "
                                "own values for a piece of a = " + ForeignNumber(piece.a) + ", n = " + ForeignNumber(piece.n) + ".");
            }
        }
        out << YAML::EndSeq << YAML::EndMap;
    }
}

}  // namespace

ExportedText RicText(const cMotor& motor) {
    ExportedText exported;
    std::vector<std::string>& notes = exported.not_carried;
    const PerformanceInputs& in = motor.Performance();
    if (!in.units) notes.push_back("The design names no unit: its lengths are written as inches.");
    // Through whole numbers where they can be: 3.5 in is 889 / 10000 m, as
    // typed, not 3.5 times 0.0254's nearest double.
    const bool inch = in.units.value_or(LengthUnit::kInch) == LengthUnit::kInch;
    const auto metres = [&](float value) { return inch ? DecimalOf(value) * 254.0 / 10000.0 : DecimalOf(value) / 1000.0; };
    const std::optional<ForeignPropellant> propellant = ForeignPropellantOf(motor);
    const DesignLimits limits = LimitsOf(in);

    YAML::Emitter out;
    out << YAML::BeginMap << YAML::Key << "data" << YAML::Value << YAML::BeginMap;

    out << YAML::Key << "config" << YAML::Value << YAML::BeginMap;
    Put(out, "ambPressure", DecimalOf(in.AmbientPressure()));
    Put(out, "burnoutThrustThres", in.thrust_burnout ? DecimalOf(*in.thrust_burnout) : 0.1);
    Put(out, "burnoutWebThres", in.web_burnout ? metres(*in.web_burnout) : 0.001 * kMetresPerInch);
    Put(out, "igniterPressure", 150 * 6895.0);
    out << YAML::Key << "mapDim" << YAML::Value << 750;
    // The design's limits (its own or the usual ones); openMotor's casing
    // rating where the design gives none.
    Put(out, "maxMassFlux", in.max_mass_flux ? DecimalOf(*in.max_mass_flux) : limits.max_mass_flux);
    Put(out, "maxPressure", in.max_pressure ? DecimalOf(*in.max_pressure) : kOpenMotorMaxPressure);
    Put(out, "minPortThroat", in.min_port_throat ? DecimalOf(*in.min_port_throat) : limits.min_port_throat);
    Put(out, "timestep", 0.03);
    out << YAML::EndMap;

    out << YAML::Key << "grains" << YAML::Value << YAML::BeginSeq;
    for (const auto& grain : motor.Grains()) {
        out << YAML::BeginMap << YAML::Key << "properties" << YAML::Value << YAML::BeginMap;
        Put(out, "coreDiameter", metres(grain->CoreDiameter()));
        Put(out, "diameter", metres(grain->Diameter()));
        const cGrain::Ends ends = grain->Inhibited();
        out << YAML::Key << "inhibitedEnds" << YAML::Value
            << (ends == cGrain::Ends::kForward ? "Top" : ends == cGrain::Ends::kAft ? "Bottom"
                : ends == cGrain::Ends::kBoth  ? "Both" : "Neither");
        Put(out, "length", metres(grain->Length()));
        out << YAML::EndMap << YAML::Key << "type" << YAML::Value << "BATES" << YAML::EndMap;
    }
    out << YAML::EndSeq;

    out << YAML::Key << "nozzle" << YAML::Value << YAML::BeginMap;
    Put(out, "convAngle", in.nozzle_convergence ? DecimalOf(*in.nozzle_convergence) : kConvergenceAngle);
    Put(out, "divAngle", in.nozzle_divergence ? DecimalOf(*in.nozzle_divergence) : kDivergenceAngle);
    Put(out, "efficiency", DecimalOf(in.NozzleEfficiency()));
    Put(out, "exit", metres(std::max(in.NozzleExitDia(), motor.NozzleDia())));
    Put(out, "throat", metres(motor.NozzleDia()));
    Put(out, "throatLength", in.nozzle_throat_length ? metres(*in.nozzle_throat_length) : 0.0);
    if (in.nozzle_erosion) Put(out, "erosionCoeff", DecimalOf(*in.nozzle_erosion));
    if (in.nozzle_slag) Put(out, "slagCoeff", DecimalOf(*in.nozzle_slag));
    out << YAML::EndMap;
    if (!in.nozzle_divergence || !in.nozzle_convergence) {
        notes.push_back("openMotor needs nozzle angles, which a design does not hold: the file gives openMotor's usual "
                        "15\u00b0 divergence and 55\u00b0 convergence, and openMotor counts their losses.");
    }
    if (in.NozzleExitDia() < motor.NozzleDia()) {
        notes.push_back("The design's nozzle has no divergent part: openMotor takes an exit as wide as the throat.");
    }

    WritePropellant(out, propellant, notes);
    out << YAML::EndMap;  // data
    out << YAML::Key << "type" << YAML::Value << YAML::SecondaryTag("python/object/apply:uilib.fileIO.fileTypes")
        << YAML::Flow << YAML::BeginSeq << kMotorFileType << YAML::EndSeq;
    out << YAML::Key << "version" << YAML::Value << YAML::SecondaryTag("python/tuple") << YAML::Flow << YAML::BeginSeq
        << 0 << 4 << 0 << YAML::EndSeq;
    out << YAML::EndMap;
    if (!out.good()) throw RunTimeError(err::kInvalidCall, "Invalid procedure call: " + out.GetLastError());
    exported.text = std::string(out.c_str()) + "\n";
    if (in.case_diameter || in.case_length || in.hardware_mass) {
        notes.push_back("The case's size and the hardware mass are not carried: openMotor's motors hold neither.");
    }
    if (!in.static_firings.empty()) notes.push_back("The static firings are not carried.");
    return exported;
}

}  // namespace thrustlet
