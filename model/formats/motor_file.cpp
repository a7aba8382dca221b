#include "model/formats/motor_file.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "model/burn_rate_law.h"
#include "platform/durable_file.h"
#include "model/errors.h"
#include "model/misc_funcs.h"
#include "model/motor.h"
#include "model/number_text.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr std::size_t kShownLineLength = 80;

// A value that is not a number cannot be read back: the file is refused
// rather than written with it. `what` names the value.
float Finite(float value, const char* what) {
    if (!std::isfinite(value)) {
        throw RunTimeError(err::kOverflow, std::string("Overflow: ") + what + " is not a finite number");
    }
    return value;
}
std::string FileNumber(float value, const char* what) { return SingleToText(Finite(value, what), '.'); }
// The performance lines keep every value exactly: they are new, so no
// reader expects the seven digits of the lines before them.
std::string ExactNumber(float value, const char* what) { return SingleToExactText(Finite(value, what), '.'); }

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// The folder a file is in ("" when the path names none).
std::string FolderOfFile(const std::string& file) {
    const std::filesystem::path path(file);
    return path.has_parent_path() ? std::filesystem::absolute(path).parent_path().string()
                                  : std::filesystem::current_path().string();
}

// `path` relative to `folder` where it lies under or beside it (the way a
// folder of a design and its logs travels together); else as it is.
std::string RelativePath(const std::string& path, const std::string& folder) {
    if (folder.empty() || !std::filesystem::path(path).is_absolute()) return path;
    std::error_code error;
    const std::filesystem::path relative = std::filesystem::path(path).lexically_relative(folder);
    if (error || relative.empty()) return path;
    return relative.generic_string();
}

// A path read from a file, made whole against the file's folder; with "/"
// between its parts on every system, as the file dialogs give paths.
std::string AbsolutePath(const std::string& path, const std::string& folder) {
    const std::filesystem::path given(path);
    if (given.is_absolute() || folder.empty()) return path;
    return (std::filesystem::path(folder) / given).lexically_normal().generic_string();
}

// Hands out the lines of a text one at a time. Like a sequential text file:
// a final line end does not start another (empty) line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return position_ >= text_.size(); }
    int LineNumber() const { return line_number_; }

    // The next line, or a failure naming the line that is missing.
    std::string_view Next() {
        if (AtEnd()) {
            throw RunTimeError(err::kInputPastEnd, "Input past end of file: line " +
                                                       std::to_string(line_number_ + 1) +
                                                       " is missing");
        }
        const std::size_t end = text_.find_first_of("\r\n", position_);
        std::string_view line;
        if (end == std::string_view::npos) {
            line = text_.substr(position_);
            position_ = text_.size();
        } else {
            line = text_.substr(position_, end - position_);
            position_ = end + 1;
            if (text_[end] == '\r' && position_ < text_.size() && text_[position_] == '\n') {
                ++position_;
            }
        }
        ++line_number_;
        return line;
    }

private:
    std::string_view text_;
    std::size_t position_ = 0;
    int line_number_ = 0;
};

// Re-raises a failure with the line number and the line's text, so the user
// can find and repair the place in the file.
std::string Shown(std::string_view line) {
    std::string shown(line.substr(0, kShownLineLength));
    if (line.size() > kShownLineLength) shown += "...";
    return shown;
}

[[noreturn]] void ThrowAtLine(const RunTimeError& error, int line_number, std::string_view line) {
    throw RunTimeError(error.Number(), error.Description() + ": line " +
                                           std::to_string(line_number) + " (\"" + Shown(line) + "\")");
}

template <typename Fn>
auto AtLine(const LineReader& reader, std::string_view line, Fn&& fn) {
    try {
        return fn();
    } catch (const RunTimeError& error) {
        ThrowAtLine(error, reader.LineNumber(), line);
    }
}

// The number after the label of a "Label:value" line; the label is ignored.
float LabelledValue(std::string_view line) {
    std::string text(line);
    return TextToSingle(TakeField(text, ":", 2), '.');
}

std::shared_ptr<cGrain> GrainFromLine(std::string_view line) {
    std::string values(line);
    TakeField(values, ":", 0);
    auto grain = std::make_shared<cGrain>();
    grain->SetGrainType(TextToInteger(TakeField(values, ",", 1), '.'));
    grain->SetLength(TextToSingle(TakeField(values, ",", 1), '.'));
    grain->SetDiameter(TextToSingle(TakeField(values, ",", 1), '.'));
    grain->SetCoreDiameter(TextToSingle(TakeField(values, ",", 1), '.'));
    return grain;
}

bool IsGrainLine(std::string_view line) { return line.substr(0, 6) == "Grain:"; }

// "Inhibited:N,forward|aft|both": grain N (1-based, head end first) of the
// grains read has those end faces inhibited.
void ReadInhibitedLine(std::string_view value, std::vector<std::shared_ptr<cGrain>>& grains) {
    const std::size_t comma = value.find(',');
    const std::string number(value.substr(0, comma));
    const std::string word = comma == std::string_view::npos ? std::string() : std::string(value.substr(comma + 1));
    double position = 0.0;
    try {
        position = TextToDouble(number, '.');
    } catch (const RunTimeError&) {
        throw RunTimeError(err::kTypeMismatch, "Type mismatch: Inhibited needs a grain's number, then forward, aft or both");
    }
    if (!(position >= 1.0 && position <= static_cast<double>(grains.size()) && position == std::floor(position))) {
        throw RunTimeError(err::kSubscriptOutOfRange,
                           "Subscript out of range: Inhibited names grain " + number + ", and the motor has " +
                               std::to_string(grains.size()) + (grains.size() == 1 ? " grain" : " grains"));
    }
    cGrain::Ends ends = cGrain::Ends::kNone;
    for (cGrain::Ends each : {cGrain::Ends::kForward, cGrain::Ends::kAft, cGrain::Ends::kBoth}) {
        if (word == EndsName(each)) ends = each;
    }
    if (ends == cGrain::Ends::kNone) {
        throw RunTimeError(err::kTypeMismatch, "Type mismatch: Inhibited takes forward, aft or both, not \"" + word + "\"");
    }
    grains[static_cast<std::size_t>(position) - 1]->SetInhibited(ends);
}

// The lines of the model's later values: each one's key, where it goes and
// the values it takes.
struct DesignLine {
    const char* key;
    std::optional<float> PerformanceInputs::*member;
    bool (*accepts)(float);
    const char* range;
};
const DesignLine* DesignLineOf(std::string_view key) {
    static const DesignLine lines[] = {
        {"CombustionEfficiency", &PerformanceInputs::combustion_efficiency, [](float v) { return v > 0.0f && v <= 1.0f; },
         "above 0 and at most 1"},
        {"NozzleDivergence", &PerformanceInputs::nozzle_divergence, [](float v) { return v >= 0.0f && v < 90.0f; },
         "from 0 to below 90 degrees"},
        {"NozzleConvergence", &PerformanceInputs::nozzle_convergence, [](float v) { return v >= 0.0f && v < 90.0f; },
         "from 0 to below 90 degrees"},
        {"NozzleThroatLength", &PerformanceInputs::nozzle_throat_length, [](float v) { return v >= 0.0f; }, "0 or more"},
        {"NozzleErosion", &PerformanceInputs::nozzle_erosion, [](float v) { return v >= 0.0f; }, "0 or more"},
        {"NozzleSlag", &PerformanceInputs::nozzle_slag, [](float v) { return v >= 0.0f; }, "0 or more"},
        {"WebBurnout", &PerformanceInputs::web_burnout, [](float v) { return v >= 0.0f; }, "0 or more"},
        {"ThrustBurnout", &PerformanceInputs::thrust_burnout, [](float v) { return v >= 0.0f && v < 100.0f; },
         "from 0 to below 100 (%)"},
        {"ErosiveAlpha", &PerformanceInputs::erosive_alpha, [](float v) { return v >= 0.0f; }, "0 or more"},
        {"ErosiveBeta", &PerformanceInputs::erosive_beta, [](float v) { return v >= 0.0f; }, "0 or more"},
        {"ErosiveThreshold", &PerformanceInputs::erosive_threshold, [](float v) { return v >= 0.0f; }, "0 or more"},
        {"ErosiveVelocityCoefficient", &PerformanceInputs::erosive_velocity_coefficient,
         [](float v) { return v >= 0.0f; }, "0 or more"},
    };
    for (const DesignLine& line : lines) {
        if (key == line.key) return &line;
    }
    return nullptr;
}

// One "Key:value" line after the propellant lines. Unknown keys (and lines
// without a ":") are ignored, as every line there always was.
void ReadPerformanceLine(std::string_view line, PerformanceInputs& extra) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view key = line.substr(0, colon);
    const std::string value(line.substr(colon + 1));
    const auto number = [&] { return TextToSingle(value, '.'); };
    // A limit of 0 or less holds nothing to a limit: refused, not kept.
    const auto limit = [&] {
        const float read = number();
        if (!(read > 0.0f)) {
            throw RunTimeError(err::kInvalidCall,
                               "Invalid procedure call or argument: " + std::string(key) + " must be above 0, not " + value);
        }
        return read;
    };
    if (key == "Units") {
        const std::size_t first = value.find_first_not_of(' ');
        const std::string unit = first == std::string::npos ? "" : value.substr(first, value.find_last_not_of(' ') - first + 1);
        if (unit == "in") {
            extra.units = LengthUnit::kInch;
        } else if (unit == "mm") {
            extra.units = LengthUnit::kMillimetre;
        } else {
            throw RunTimeError(err::kTypeMismatch, "Type mismatch: Units must be in or mm");
        }
    } else if (key == "Model") {
        if (value == "steady") {
            extra.model = BurnModel::kSteady;
        } else if (value == "full") {
            extra.model = BurnModel::kFull;
        } else {
            throw RunTimeError(err::kTypeMismatch, "Type mismatch: Model must be steady or full, not \"" + value + "\"");
        }
    } else if (key == "GasStorage") {
        if (value == "on" || value == "off") {
            extra.gas_storage = value == "on";
        } else {
            throw RunTimeError(err::kTypeMismatch, "Type mismatch: GasStorage must be on or off, not \"" + value + "\"");
        }
    } else if (key == "PropellantName") {
        extra.propellant_name = value;
    } else if (key == "BurnRate") {
        if (extra.burn_rate.size() >= kMaxBurnRatePieces) {
            throw RunTimeError(err::kOverflow, "Overflow: a burn-rate law holds at most " +
                                                   std::to_string(kMaxBurnRatePieces) + " BurnRate lines");
        }
        std::string fields = value;
        BurnRatePiece piece;
        for (float* field : {&piece.p_min, &piece.p_max, &piece.a, &piece.n}) {
            *field = TextToSingle(TakeField(fields, ",", 1), '.');
        }
        if (!fields.empty()) {
            throw RunTimeError(err::kTypeMismatch, "Type mismatch: BurnRate takes four values (Pmin,Pmax,a,n)");
        }
        extra.burn_rate.push_back(piece);
    } else if (key == "SpecificHeatRatio") {
        extra.specific_heat_ratio = number();
    } else if (key == "MolarMass") {
        extra.molar_mass = number();
    } else if (key == "NozzleExitDia") {
        extra.nozzle_exit_dia = number();
    } else if (key == "NozzleEfficiency") {
        extra.nozzle_efficiency = number();
    } else if (key == "AmbientPressure") {
        extra.ambient_pressure = number();
    } else if (key == "CaseDiameter") {
        extra.case_diameter = number();
    } else if (key == "CaseLength") {
        extra.case_length = number();
    } else if (key == "HardwareMass") {
        extra.hardware_mass = number();
    } else if (key == "MaxPressure") {
        extra.max_pressure = limit();
    } else if (key == "MaxMassFlux") {
        extra.max_mass_flux = limit();
    } else if (key == "MinPortThroat") {
        extra.min_port_throat = limit();
    } else if (const DesignLine* known = DesignLineOf(key)) {
        const float read = number();
        if (!known->accepts(read)) {
            throw RunTimeError(err::kInvalidCall, "Invalid procedure call or argument: " + std::string(key) + " must be " +
                                                      known->range + ", not " + value);
        }
        extra.*(known->member) = read;
    } else if (key == "StaticFiring") {
        // path|units|absolute or gauge, read from the right: a path may hold
        // "|" itself (Linux allows it), and the units never do. A line
        // without the two fields is the path alone, up to any "|".
        const std::string fields = value;
        PerformanceInputs::StaticFiring firing;
        const std::size_t last = fields.rfind('|');
        const std::size_t middle = last == std::string::npos || last == 0 ? std::string::npos : fields.rfind('|', last - 1);
        const std::string mode = last == std::string::npos ? "" : fields.substr(last + 1);
        if (middle != std::string::npos && (mode == "absolute" || mode == "gauge")) {
            firing.path = fields.substr(0, middle);
            firing.units = fields.substr(middle + 1, last - middle - 1);
            firing.absolute = mode == "absolute";
        } else {
            const std::size_t bar = fields.find('|');
            firing.path = fields.substr(0, bar);
            if (bar != std::string::npos) {
                const std::string rest = fields.substr(bar + 1);
                const std::size_t second = rest.find('|');
                firing.units = rest.substr(0, second);
                firing.absolute = second != std::string::npos && rest.substr(second + 1) == "absolute";
            }
        }
        if (firing.path.find_first_not_of(' ') == std::string::npos) {
            throw RunTimeError(err::kTypeMismatch, "Type mismatch: StaticFiring names no file");
        }
        extra.static_firings.push_back(firing);
    }
}

}  // namespace

std::string MotorFileText(const cMotor& motor) { return MotorFileText(motor, std::string()); }

std::string MotorFileText(const cMotor& motor, const std::string& folder) {
    const PerformanceInputs& extra = motor.Performance();
    std::string text;
    text += "Name:" + motor.Name() + kLineEnd;
    text += "NozzleDia:" + FileNumber(motor.NozzleDia(), "the nozzle throat") + kLineEnd;
    for (const auto& grain : motor.Grains()) {
        text += "Grain:" + std::to_string(grain->GrainType()) + "," + FileNumber(grain->Length(), "a grain's length") +
                "," + FileNumber(grain->Diameter(), "a grain's diameter") + "," +
                FileNumber(grain->CoreDiameter(), "a grain's core") + kLineEnd;
    }
    // A design with a unit keeps its propellant exactly, as its other
    // performance lines (a library propellant still matches its entry after
    // Save and Open); the seven-line form of the others stays as it was.
    const auto propellant = extra.units ? ExactNumber : FileNumber;
    text += std::string("Propellant Data") + kLineEnd;
    text += "ISP*:" + propellant(motor.ISPStar(), "c* (ISP*)") + kLineEnd;
    text += "Density:" + propellant(motor.Density(), "the density") + kLineEnd;
    text += "BallisticA:" + propellant(motor.BallisticA(), "the burn-rate coefficient") + kLineEnd;
    text += "BallisticN:" + propellant(motor.BallisticN(), "the burn-rate exponent") + kLineEnd;
    if (extra.units) text += std::string("Units:") + (*extra.units == LengthUnit::kInch ? "in" : "mm") + kLineEnd;
    if (extra.propellant_name) {
        // A line break in the name would end its line early.
        std::string name = *extra.propellant_name;
        std::replace_if(name.begin(), name.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        text += "PropellantName:" + name + kLineEnd;
    }
    for (const BurnRatePiece& piece : extra.burn_rate) {
        text += "BurnRate:" + ExactNumber(piece.p_min, "a burn-rate pressure") + "," +
                ExactNumber(piece.p_max, "a burn-rate pressure") + "," +
                ExactNumber(piece.a, "a burn-rate coefficient") + "," + ExactNumber(piece.n, "a burn-rate exponent") +
                kLineEnd;
    }
    const struct {
        const char* key;
        const std::optional<float>& value;
        const char* what;
    } optional_lines[] = {
        {"SpecificHeatRatio", extra.specific_heat_ratio, "the specific heat ratio"},
        {"MolarMass", extra.molar_mass, "the exhaust's molar mass"},
        {"NozzleExitDia", extra.nozzle_exit_dia, "the nozzle exit"},
        {"NozzleEfficiency", extra.nozzle_efficiency, "the nozzle efficiency"},
        {"AmbientPressure", extra.ambient_pressure, "the ambient pressure"},
        {"CaseDiameter", extra.case_diameter, "the case diameter"},
        {"CaseLength", extra.case_length, "the case length"},
        {"HardwareMass", extra.hardware_mass, "the hardware mass"},
        {"MaxPressure", extra.max_pressure, "the pressure limit"},
        {"MaxMassFlux", extra.max_mass_flux, "the mass flux limit"},
        {"MinPortThroat", extra.min_port_throat, "the port-to-throat limit"},
        {"CombustionEfficiency", extra.combustion_efficiency, "the combustion efficiency"},
        {"NozzleDivergence", extra.nozzle_divergence, "the nozzle's divergence"},
        {"NozzleConvergence", extra.nozzle_convergence, "the nozzle's convergence"},
        {"NozzleThroatLength", extra.nozzle_throat_length, "the throat's length"},
        {"NozzleErosion", extra.nozzle_erosion, "the throat's erosion"},
        {"NozzleSlag", extra.nozzle_slag, "the throat's slag"},
        {"WebBurnout", extra.web_burnout, "the web burnout threshold"},
        {"ThrustBurnout", extra.thrust_burnout, "the thrust burnout threshold"},
        {"ErosiveAlpha", extra.erosive_alpha, "the erosive coefficient alpha"},
        {"ErosiveBeta", extra.erosive_beta, "the erosive coefficient beta"},
        {"ErosiveThreshold", extra.erosive_threshold, "the erosive threshold"},
        {"ErosiveVelocityCoefficient", extra.erosive_velocity_coefficient, "the erosive velocity coefficient"},
    };
    for (const auto& line : optional_lines) {
        if (line.value) text += std::string(line.key) + ":" + ExactNumber(*line.value, line.what) + kLineEnd;
    }
    if (extra.model) text += std::string("Model:") + BurnModelName(*extra.model) + kLineEnd;
    if (extra.gas_storage) text += std::string("GasStorage:") + (*extra.gas_storage ? "on" : "off") + kLineEnd;
    int position = 0;
    for (const auto& grain : motor.Grains()) {
        ++position;
        if (grain->Inhibited() != cGrain::Ends::kNone) {
            text += "Inhibited:" + std::to_string(position) + "," + EndsName(grain->Inhibited()) + kLineEnd;
        }
    }
    for (const PerformanceInputs::StaticFiring& firing : extra.static_firings) {
        std::string path = RelativePath(firing.path, folder);
        std::replace_if(path.begin(), path.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        text += "StaticFiring:" + path;
        // A path holding "|" always has the two fields after it, which is
        // how the reader knows where it ends.
        if (!firing.units.empty() || firing.absolute || path.find('|') != std::string::npos) {
            text += "|" + firing.units + "|" + (firing.absolute ? "absolute" : "gauge");
        }
        text += kLineEnd;
    }
    return text;
}

MotorFileContent ParseMotorFile(std::string_view text) {
    MotorFileContent content;
    LineReader reader(text);
    reader.Next();  // the name is not restored
    const std::string_view nozzle_line = reader.Next();
    AtLine(reader, nozzle_line, [&] {
        content.nozzle_dia = LabelledValue(nozzle_line);
        // The throat area follows from the diameter and must fit a float too.
        cMotor probe;
        probe.SetNozzleDia(content.nozzle_dia);
        return 0;
    });

    // A line other than "Propellant Data" that ends the grain list (a blank
    // line, a mistyped grain line) is where a file goes wrong: a propellant
    // value that then fails names that line first.
    int list_end_number = 0;
    std::string_view list_end;
    while (!reader.AtEnd()) {
        const std::string_view line = reader.Next();
        if (!IsGrainLine(line)) {
            if (line != "Propellant Data") {
                list_end_number = reader.LineNumber();
                list_end = line;
            }
            break;
        }
        if (content.grains.size() >= static_cast<std::size_t>(cMotor::kMaxGrains)) {
            ThrowAtLine(RunTimeError(err::kOverflow, "Overflow"), reader.LineNumber(), line);
        }
        content.grains.push_back(AtLine(reader, line, [&] { return GrainFromLine(line); }));
    }

    if (!reader.AtEnd()) {
        MotorFileContent::Propellant propellant;
        for (float* field : {&propellant.isp_star, &propellant.density, &propellant.ballistic_a,
                             &propellant.ballistic_n}) {
            const std::string_view line = reader.Next();
            try {
                *field = LabelledValue(line);
            } catch (const RunTimeError& error) {
                if (list_end_number == 0) ThrowAtLine(error, reader.LineNumber(), line);
                throw RunTimeError(error.Number(),
                                   error.Description() + ": line " + std::to_string(list_end_number) +
                                       " (\"" + Shown(list_end) + "\") ends the grain list, so line " +
                                       std::to_string(reader.LineNumber()) + " (\"" + Shown(line) +
                                       "\") was read as a propellant value");
            }
        }
        content.propellant = propellant;
        while (!reader.AtEnd()) {
            const std::string_view line = reader.Next();
            AtLine(reader, line, [&] {
                if (line.substr(0, 10) == "Inhibited:") {
                    ReadInhibitedLine(line.substr(10), content.grains);
                } else {
                    ReadPerformanceLine(line, content.performance);
                }
                return 0;
            });
        }
    }
    return content;
}

void cMotor::SaveToFile(const std::string& sFile) const {
    WriteFileAtomically(sFile, MotorFileText(*this, FolderOfFile(sFile)));
}

void cMotor::ReadFromFile(const std::string& sFile) {
    // A blank path names no file: a failure, so that nobody takes the
    // unchanged motor for one read from a file.
    if (sFile.find_first_not_of(" \t") == std::string::npos) {
        throw RunTimeError(err::kFileNotFound, "File not found: " + Quoted(sFile));
    }
    std::string text;
    try {
        text = ReadWholeFile(sFile, kMaxMotorFileBytes, "a motor file");
    } catch (const std::bad_alloc&) {
        throw RunTimeError(err::kOutOfMemory, "Out of memory: " + Quoted(sFile));
    }
    ReadFromText(text, sFile);
}

void cMotor::ReadFromText(std::string_view text, const std::string& sFile) {
    MotorFileContent content;
    try {
        content = ParseMotorFile(text);
    } catch (const std::bad_alloc&) {
        throw RunTimeError(err::kOutOfMemory, "Out of memory: " + Quoted(sFile));
    }

    cMotor loaded = *this;
    loaded.SetNozzleDia(content.nozzle_dia);  // checked by the parser: cannot fail
    loaded.grains_ = content.grains;
    if (content.propellant) {
        loaded.isp_star_ = content.propellant->isp_star;
        loaded.density_ = content.propellant->density;
        loaded.ballistic_a_ = content.propellant->ballistic_a;
        loaded.ballistic_n_ = content.propellant->ballistic_n;
        loaded.performance_ = content.performance;
        // Firings are kept beside the motor file: their paths from here on
        // are whole ones.
        for (auto& firing : loaded.performance_.static_firings) firing.path = AbsolutePath(firing.path, FolderOfFile(sFile));
    }
    *this = std::move(loaded);
}

}  // namespace thrustlet
