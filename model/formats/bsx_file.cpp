#include "model/motor_run.h"
#include "model/formats/bsx_file.h"

#include <tinyxml2.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <set>

#include "model/burn_rate_law.h"
#include "model/errors.h"
#include "model/grain.h"
#include "model/performance.h"
#include "model/propellant_library.h"

namespace thrustlet {

namespace {

using tinyxml2::XMLElement;

std::string Count(int index) { return std::to_string(index); }

// BurnSim's grain types, by their code.
std::string ShapeOf(const std::string& code) {
    static const char* const names[] = {"", "BATES", "D-slot", "moon burner", "star", "C-slot", "X-core", "finocyl",
                                        "tablet", "pie segment"};
    if (code.size() == 1 && code[0] >= '1' && code[0] <= '9') return names[code[0] - '0'];
    return "type " + code;
}

// An attribute as a number (a decimal comma taken as a point); nothing when
// the element does not have it. A value that is not a number fails.
std::optional<double> Attribute(const XMLElement* element, const char* name, const std::string& what) {
    const char* raw = element->Attribute(name);
    if (!raw) return std::nullopt;
    std::string text(raw);
    text.erase(0, text.find_first_not_of(" \t"));
    text.erase(text.find_last_not_of(" \t") + 1);
    if (text.find('.') == std::string::npos) std::replace(text.begin(), text.end(), ',', '.');
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value)) {
        RefuseImport(what + " is not a number: \"" + std::string(raw) + "\"");
    }
    return value;
}

double Required(const XMLElement* element, const char* name, const std::string& what) {
    const std::optional<double> value = Attribute(element, name, what);
    if (!value) RefuseImport(what + " is missing");
    return *value;
}

// The attributes of an element the design has no place for, with a value
// other than nothing or 0.
std::vector<std::string> Others(const XMLElement* element, const std::set<std::string>& known) {
    std::vector<std::string> others;
    for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
        const std::string value = a->Value();
        if (known.count(a->Name()) || value.empty() || value == "0") continue;
        others.push_back(std::string(a->Name()) + " (" + value + ")");
    }
    return others;
}

bool HasText(const XMLElement* element) {
    if (!element) return false;
    const char* text = element->GetText();
    return text && std::string(text).find_first_not_of(" \t\r\n") != std::string::npos;
}

// A propellant as the file gives it, in its own units.
struct BsxPropellant {
    std::string name;
    double a = 0, n = 0, density = 0, k = 0, molar_mass = 0, temperature = 0, isp_star = 0;
    bool operator==(const BsxPropellant&) const = default;
};

BsxPropellant PropellantOf(const XMLElement* element, const std::string& where) {
    BsxPropellant p;
    p.name = element->Attribute("Name") ? element->Attribute("Name") : "";
    p.a = Required(element, "BallisticA", where + "'s BallisticA");
    p.n = Required(element, "BallisticN", where + "'s BallisticN");
    p.density = Required(element, "Density", where + "'s Density");
    p.k = Attribute(element, "SpecificHeatRatio", where + "'s SpecificHeatRatio").value_or(0.0);
    p.molar_mass = Attribute(element, "MolarMass", where + "'s MolarMass").value_or(0.0);
    p.temperature = Attribute(element, "CombustionTemp", where + "'s CombustionTemp").value_or(0.0);
    p.isp_star = Attribute(element, "ISPStar", where + "'s ISPStar").value_or(0.0);
    return p;
}

}  // namespace

namespace {

// What the reading of a BurnSim file has met so far, element by element.
struct BsxReading {
    ForeignRecord record;
    std::optional<BsxPropellant> propellant;
    int first_propellant_grain = 0;
    int grain_count = 0;
    std::vector<std::string> grain_others;
    bool test_data = false, notes_text = false;

    // The throat, exit, efficiency and ambient pressure.
    void Nozzle(const XMLElement* nozzle) {
        record.throat = Required(nozzle, "ThroatDia", "the nozzle's ThroatDia");
        if (const auto v = Attribute(nozzle, "ExitDia", "the nozzle's ExitDia")) record.exit = *v;
        if (const auto v = Attribute(nozzle, "NozzleEfficiency", "the nozzle's NozzleEfficiency")) {
            record.inputs.nozzle_efficiency = DesignValue(*v / 100.0, "the nozzle's efficiency");
        }
        if (const auto v = Attribute(nozzle, "AmbientPressure", "the nozzle's AmbientPressure")) {
            record.inputs.ambient_pressure = DesignValue(*v * kPascalsPerPsi, "the ambient pressure");
        }
        const std::vector<std::string> others = Others(nozzle, {"ThroatDia", "ExitDia", "NozzleEfficiency", "AmbientPressure"});
        if (!others.empty()) record.notes.push_back("The nozzle's " + Listed(others) + " are not carried.");
    }

    // A BATES grain (others refused by shape) and the propellant it holds.
    void Grain(const XMLElement* child) {
        const std::string where = "grain " + Count(++grain_count);
        if (grain_count > cMotor::kMaxGrains) {
            RefuseImport("the motor has more grains than a design holds (" + std::to_string(cMotor::kMaxGrains) + ")");
        }
        const char* type = child->Attribute("Type");
        const std::string code = type ? type : "";
        if (code != "1") {
            RefuseImport(where + " is a " + ShapeOf(code) +
                         " grain: only BATES grains come into Thrustlet, and the motor without it would be "
                         "another motor");
        }
        // BurnSim counts the inhibited ends (0, 1 or 2) without saying which:
        // one is taken as the forward end, where a grain meets the closure.
        const std::string ends = child->Attribute("EndsInhibited") ? child->Attribute("EndsInhibited") : "0";
        if (ends != "0" && ends != "1" && ends != "2") {
            RefuseImport(where + "'s EndsInhibited, \"" + ends + "\", is not 0, 1 or 2");
        }
        record.grains.push_back({Required(child, "Length", where + "'s Length"), Required(child, "Diameter", where + "'s Diameter"),
                                 Required(child, "CoreDiameter", where + "'s CoreDiameter"),
                                 ends == "2" ? cGrain::Ends::kBoth : ends == "1" ? cGrain::Ends::kForward : cGrain::Ends::kNone});
        for (const std::string& other : Others(child, {"Type", "Propellant", "Diameter", "Length", "CoreDiameter", "EndsInhibited"})) {
            grain_others.push_back(where + "'s " + other);
        }
        if (const XMLElement* own = child->FirstChildElement("Propellant")) {
            const BsxPropellant p = PropellantOf(own, where + "'s propellant");
            if (!propellant) {
                propellant = p;
                first_propellant_grain = grain_count;
            } else if (!(p == *propellant)) {
                RefuseImport(where + " is of another propellant (" + p.name + ") than grain " +
                             Count(first_propellant_grain) + " (" + propellant->name +
                             "): a design holds one propellant, and the motor in one would be another motor");
            }
            notes_text = notes_text || HasText(own->FirstChildElement("Notes"));
        }
    }

    // The propellant in SI: BurnSim's lb/in^3, in/s at psi^n and ISP* in s.
    void Propellant(const BsxPropellant& p) {
        std::vector<std::string>& notes = record.notes;
        PerformanceInputs& in = record.inputs;
        if (!p.name.empty()) in.propellant_name = p.name;
        record.density = DesignValue(p.density * kKilogramsPerCubicMetrePerPoundPerCubicInch, "the density");
        record.n = DesignValue(p.n, "the burn-rate exponent");
        record.a = DesignValue(p.a * kMetresPerInch * std::pow(kPascalsPerPsi, -p.n), "the burn-rate coefficient");
        if (p.k > 1.0) {
            in.specific_heat_ratio = DesignValue(p.k, "the specific heat ratio");
        } else {
            notes.push_back("The file gives no specific heat ratio above 1: the design has no thrust until Motor > "
                            "Propellant sets k.");
        }
        // The usual molar mass is what programs write when nothing else is
        // known: the design keeps only one its data give.
        if (p.molar_mass > 0.0 && p.molar_mass != kUsualMolarMass) in.molar_mass = DesignValue(p.molar_mass, "the molar mass");
        if (p.isp_star > 0.0) {
            record.c_star = DesignValue(p.isp_star * kStandardGravity, "c*");
        } else if (p.temperature > 0.0 && p.k > 1.0) {
            const double molar_mass = p.molar_mass > 0.0 ? p.molar_mass : kUsualMolarMass;
            record.c_star = DesignValue(CharacteristicVelocity(p.temperature, molar_mass, p.k), "c*");
            notes.push_back(p.molar_mass > 0.0
                                ? "The file gives no ISPStar: c* comes from its combustion temperature, k and molar mass."
                                : "The file gives no ISPStar and no molar mass: c* comes from its combustion "
                                  "temperature and k with an assumed 23.67 g/mol.");
        } else {
            notes.push_back("The file gives no c* (no ISPStar, no combustion temperature): set it in Motor > Propellant.");
        }
    }
};

// The most attributes any one tag of an XML text holds: the names before an
// "=" outside quoted values, in one pass. (The XML parser checks each new
// attribute against those before it, so a tag of very many would take a
// time growing with their square.)
std::size_t MostAttributesInATag(std::string_view text) {
    std::size_t most = 0, count = 0;
    bool in_tag = false;
    char quote = 0;
    for (const char c : text) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (!in_tag) {
            if (c == '<') {
                in_tag = true;
                count = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '=') {
            most = std::max(most, ++count);
        } else if (c == '>') {
            in_tag = false;
        }
    }
    return most;
}

// BurnSim's elements carry about a dozen attributes each, and its motor
// files take a few kilobytes (8 MiB would hold some 50,000 grains).
constexpr std::size_t kMostBsxAttributes = 1000;
constexpr std::size_t kMostBsxBytes = 8 << 20;

}  // namespace

ImportedMotor ReadBsx(std::string_view text) {
    if (text.size() > kMostBsxBytes) {
        RefuseImport("the BurnSim file is " + std::to_string(text.size() >> 20) + " MiB, more than the " +
                     std::to_string(kMostBsxBytes >> 20) + " MiB a motor file of BurnSim's takes (some 50,000 grains)");
    }
    if (MostAttributesInATag(text) > kMostBsxAttributes) {
        RefuseImport("an element of the BurnSim file has more than " + std::to_string(kMostBsxAttributes) +
                     " attributes (BurnSim writes about a dozen): the file is not a motor BurnSim saved");
    }
    tinyxml2::XMLDocument document;
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        RefuseImport("the BurnSim file is not well-formed XML (line " + std::to_string(document.ErrorLineNum()) + ": " +
                     document.ErrorStr() + ")");
    }
    const XMLElement* root = document.RootElement();
    if (!root || std::string(root->Name()) != "Motor") RefuseImport("the file is no BurnSim motor: it holds no Motor");
    BsxReading reading;
    reading.record.inches = true;
    reading.record.preferred = LengthUnit::kInch;
    reading.notes_text = HasText(root->FirstChildElement("MotorNotes"));
    for (const XMLElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement()) {
        const std::string tag = child->Name();
        if (tag == "Nozzle") {
            reading.Nozzle(child);
        } else if (tag == "Grain") {
            reading.Grain(child);
        } else if (tag == "Propellant") {
            if (!reading.propellant) reading.propellant = PropellantOf(child, "the propellant");
            reading.notes_text = reading.notes_text || HasText(child->FirstChildElement("Notes"));
        } else if (tag == "TestData") {
            reading.test_data = true;
        }
    }
    std::vector<std::string>& notes = reading.record.notes;
    if (!reading.grain_others.empty()) notes.push_back(Listed(reading.grain_others) + " are not carried.");
    const std::vector<std::string> motor_others = Others(root, {"ThrustMethod", "ThrustCoefGiven", "UnitsLinear"});
    if (!motor_others.empty()) notes.push_back("The motor's " + Listed(motor_others) + " are not carried.");
    if (reading.test_data) notes.push_back("The file's test data are not carried (Motor > Static Firing reads a firing's log).");
    if (reading.notes_text) notes.push_back("The file's notes are not carried.");
    if (!reading.propellant) {
        notes.push_back("The file has no propellant: the design has its geometry only (Motor > Propellant sets one).");
    } else {
        reading.Propellant(*reading.propellant);
    }
    return DesignOfRecord(std::move(reading.record));
}

namespace {

// The one burn-rate law BurnSim holds: the piece the motor's peak pressure
// runs by (the first without figures), the others named as not carried.
std::optional<ForeignPropellant::Piece> BurnSimLaw(const MotorRun& run, const std::optional<ForeignPropellant>& propellant,
                                                   std::vector<std::string>& notes) {
    const PerformanceInputs& in = run.Design().Performance();
    std::optional<ForeignPropellant::Piece> law;
    if (propellant) {
        std::size_t chosen = 0;
        if (propellant->pieces.size() > 1) {
            const PerformanceOutcome& outcome = run.Outcome();
            if (outcome.figures) {
                const BurnRateLaw rule(in.burn_rate, 0.0, 0.0, 1.0);
                const double peak = outcome.figures->peak_pressure;
                for (const BurnRateLaw::Region& region : rule.Regions()) {
                    // The regions ascend. A peak on a boundary was reached on
                    // the piece below it (a law whose rate drops there holds
                    // the pressure at the boundary): that piece is kept.
                    if (peak > region.from * (1.0 + 1e-9)) chosen = region.piece;
                }
            }
            std::vector<std::string> others;
            for (std::size_t i = 0; i < propellant->pieces.size(); ++i) {
                if (i != chosen) others.push_back(std::to_string(i + 1));
            }
            notes.push_back("BurnSim holds one burn-rate law: the file has piece " + std::to_string(chosen + 1) +
                            (outcome.figures ? " (the one the peak pressure runs by)" : "") + "; piece" +
                            (others.size() > 1 ? "s " : " ") + Listed(others) + (others.size() > 1 ? " are" : " is") +
                            " not carried.");
        }
        law = propellant->pieces[chosen];
    } else {
        notes.push_back("The design has no propellant: the file holds its geometry only.");
    }
    return law;
}

}  // namespace

ExportedText BsxText(const MotorRun& run) {
    const cMotor& motor = run.Design();
    ExportedText exported;
    std::vector<std::string>& notes = exported.not_carried;
    const PerformanceInputs& in = motor.Performance();
    if (!in.units) notes.push_back("The design names no unit: its lengths are written as inches.");
    const double inches_per = in.units == LengthUnit::kMillimetre ? 1.0 / kMillimetresPerInch : 1.0;
    const auto inches = [&](float value) { return ForeignNumber(DecimalOf(value) * inches_per); };
    const std::optional<ForeignPropellant> propellant = ForeignPropellantOf(motor);

    tinyxml2::XMLDocument document;
    XMLElement* root = document.NewElement("Motor");
    document.InsertEndChild(root);
    for (const auto& [name, value] : std::initializer_list<std::pair<const char*, const char*>>{
             {"Name", ""}, {"DiameterMM", "0"}, {"Length", "0"}, {"Delays", "0"}, {"HardwareWeight", "0"},
             {"MFGCode", ""}, {"ThrustMethod", "1"}, {"ThrustCoefGiven", "1.2"}, {"UnitsLinear", "1"}}) {
        root->SetAttribute(name, value);
    }
    XMLElement* nozzle = root->InsertNewChildElement("Nozzle");
    nozzle->SetAttribute("ThroatDia", inches(motor.NozzleDia()).c_str());
    nozzle->SetAttribute("ExitDia", inches(std::max(in.NozzleExitDia(), motor.NozzleDia())).c_str());
    nozzle->SetAttribute("NozzleEfficiency", ForeignNumber(DecimalOf(in.NozzleEfficiency()) * 100.0).c_str());
    nozzle->SetAttribute("AmbientPressure", ForeignNumber(DecimalOf(in.AmbientPressure()) / kPascalsPerPsi).c_str());
    if (in.NozzleExitDia() < motor.NozzleDia()) {
        notes.push_back("The design's nozzle has no divergent part: BurnSim takes an exit as wide as the throat.");
    }

    // BurnSim's one law: the piece the motor's peak pressure runs by.
    const std::optional<ForeignPropellant::Piece> law = BurnSimLaw(run, propellant, notes);
    std::vector<std::string> aft_inhibited;  // BurnSim names no end: it reads them as forward
    int position = 1;
    for (const auto& grain : motor.Grains()) {
        XMLElement* element = root->InsertNewChildElement("Grain");
        element->SetAttribute("Type", "1");
        element->SetAttribute("Propellant", propellant ? propellant->name.c_str() : "");
        element->SetAttribute("Diameter", inches(grain->Diameter()).c_str());
        element->SetAttribute("Length", inches(grain->Length()).c_str());
        element->SetAttribute("CoreDiameter", inches(grain->CoreDiameter()).c_str());
        const cGrain::Ends ends = grain->Inhibited();
        element->SetAttribute("EndsInhibited", ends == cGrain::Ends::kBoth ? "2" : ends == cGrain::Ends::kNone ? "0" : "1");
        if (ends == cGrain::Ends::kAft) aft_inhibited.push_back(std::to_string(position));
        ++position;
        if (propellant && law) {
            XMLElement* p = element->InsertNewChildElement("Propellant");
            p->SetAttribute("Name", propellant->name.c_str());
            p->SetAttribute("BallisticA", ForeignNumber(law->a / kMetresPerInch * std::pow(kPascalsPerPsi, law->n)).c_str());
            p->SetAttribute("BallisticN", ForeignNumber(law->n).c_str());
            p->SetAttribute("Density", ForeignNumber(propellant->density / kKilogramsPerCubicMetrePerPoundPerCubicInch).c_str());
            p->SetAttribute("SpecificHeatRatio", ForeignNumber(propellant->k).c_str());
            p->SetAttribute("MolarMass", ForeignNumber(propellant->molar_mass).c_str());
            p->SetAttribute("CombustionTemp", "0");
            p->SetAttribute("ISPStar", ForeignNumber(propellant->c_star / kStandardGravity).c_str());
            p->InsertNewChildElement("Notes");
        }
    }
    root->InsertNewChildElement("MotorNotes");
    if (!aft_inhibited.empty()) {
        notes.push_back("BurnSim does not say which end of a grain is inhibited: grain" +
                        std::string(aft_inhibited.size() > 1 ? "s " : " ") + Listed(aft_inhibited) +
                        " with the aft end inhibited will open with the forward end inhibited.");
    }
    if (in.case_diameter || in.case_length || in.hardware_mass) {
        notes.push_back("The case's size and the hardware mass are not carried.");
    }
    if (in.max_pressure || in.max_mass_flux || in.min_port_throat) notes.push_back("The design's limits are not carried.");
    if (!in.static_firings.empty()) notes.push_back("The static firings are not carried.");
    tinyxml2::XMLPrinter printer;
    document.Print(&printer);
    exported.text = printer.CStr();
    return exported;
}

}  // namespace thrustlet
