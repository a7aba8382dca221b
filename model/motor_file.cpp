#include "model/motor_file.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "model/errors.h"
#include "model/misc_funcs.h"
#include "model/motor.h"
#include "model/number_text.h"
#include "model/numeric.h"

namespace thrustlet {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr std::size_t kShownLineLength = 80;

std::string FileNumber(float value) { return SingleToText(value, '.'); }

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

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
[[noreturn]] void ThrowAtLine(const RunTimeError& error, int line_number, std::string_view line) {
    std::string shown(line.substr(0, kShownLineLength));
    if (line.size() > kShownLineLength) shown += "...";
    throw RunTimeError(error.Number(), error.Description() + ": line " +
                                           std::to_string(line_number) + " (\"" + shown + "\")");
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

std::string ReadWholeFile(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (!fs::exists(path, ec)) {
            throw RunTimeError(err::kFileNotFound, "File not found: " + Quoted(path));
        }
        throw RunTimeError(err::kPermissionDenied, "Permission denied: " + Quoted(path));
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) throw RunTimeError(err::kDeviceIo, "Device I/O error: " + Quoted(path));
    return std::move(buffer).str();
}

fs::path TemporaryNameBeside(const fs::path& target) {
    static std::mt19937_64 generator{std::random_device{}()};
    for (;;) {
        // A hidden name beside the target: ".<name>.<number>.tmp".
        std::string name(1, '.');
        name.append(target.filename().string());
        name.append(1, '.');
        name.append(std::to_string(generator() % 1000000000));
        name.append(".tmp");
        fs::path candidate = target;
        candidate.replace_filename(name);
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate;
    }
}

}  // namespace

std::string MotorFileText(const cMotor& motor) {
    std::string text;
    text += "Name:" + motor.Name() + kLineEnd;
    text += "NozzleDia:" + FileNumber(motor.NozzleDia()) + kLineEnd;
    for (const auto& grain : motor.Grains()) {
        text += "Grain:" + std::to_string(grain->GrainType()) + "," + FileNumber(grain->Length()) +
                "," + FileNumber(grain->Diameter()) + "," + FileNumber(grain->CoreDiameter()) +
                kLineEnd;
    }
    text += std::string("Propellant Data") + kLineEnd;
    text += "ISP*:" + FileNumber(motor.ISPStar()) + kLineEnd;
    text += "Density:" + FileNumber(motor.Density()) + kLineEnd;
    text += "BallisticA:" + FileNumber(motor.BallisticA()) + kLineEnd;
    text += "BallisticN:" + FileNumber(motor.BallisticN()) + kLineEnd;
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

    while (!reader.AtEnd()) {
        const std::string_view line = reader.Next();
        if (!IsGrainLine(line)) break;
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
            *field = AtLine(reader, line, [&] { return LabelledValue(line); });
        }
        content.propellant = propellant;
    }
    return content;
}

void WriteFileAtomically(const std::string& path, std::string_view content,
                         const AtomicWriteOptions& options) {
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) target = fs::weakly_canonical(target, ec);  // replace the file, keep the link
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (target.filename().empty() || !fs::is_directory(folder, ec)) {
        throw RunTimeError(err::kPathNotFound, "Path not found: " + Quoted(path));
    }

    const bool replacing = fs::exists(target, ec);
    fs::perms permissions = fs::perms::none;
    if (replacing) {
        // Opening for append changes nothing but tells whether we may write it.
        std::ofstream probe(target, std::ios::binary | std::ios::app);
        if (fs::is_directory(target, ec) || !probe) {
            throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
        }
        permissions = fs::status(target, ec).permissions();
    }

    const fs::path temporary = TemporaryNameBeside(target);
    auto fail = [&](int32_t number, const std::string& what) {
        fs::remove(temporary, ec);
        throw RunTimeError(number, what + ": " + Quoted(path));
    };
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
        }
        std::size_t written = 0;
        constexpr std::size_t kChunk = 64 * 1024;
        while (written < content.size()) {
            std::size_t chunk = std::min(kChunk, content.size() - written);
            if (written + chunk > options.fail_after_bytes) {
                chunk = options.fail_after_bytes > written ? options.fail_after_bytes - written : 0;
                out.write(content.data() + written, static_cast<std::streamsize>(chunk));
                out.close();
                fail(err::kDeviceIo, "Device I/O error");
            }
            out.write(content.data() + written, static_cast<std::streamsize>(chunk));
            if (!out) break;
            written += chunk;
        }
        out.flush();
        const bool ok = static_cast<bool>(out);
        out.close();
        if (!ok || out.fail()) fail(err::kDeviceIo, "Device I/O error");
    }
    if (replacing) fs::permissions(temporary, permissions, ec);
    fs::rename(temporary, target, ec);
    if (ec) fail(err::kPathFileAccess, "Path/File access error");
}

void cMotor::SaveToFile(const std::string& sFile) const {
    WriteFileAtomically(sFile, MotorFileText(*this));
}

void cMotor::ReadFromFile(const std::string& sFile) {
    // A blank path names no file: a failure, so that nobody takes the
    // unchanged motor for one read from a file.
    if (sFile.find_first_not_of(" \t") == std::string::npos) {
        throw RunTimeError(err::kFileNotFound, "File not found: " + Quoted(sFile));
    }
    const MotorFileContent content = ParseMotorFile(ReadWholeFile(sFile));

    cMotor loaded = *this;
    loaded.SetNozzleDia(content.nozzle_dia);  // checked by the parser: cannot fail
    loaded.grains_ = content.grains;
    if (content.propellant) {
        loaded.isp_star_ = content.propellant->isp_star;
        loaded.density_ = content.propellant->density;
        loaded.ballistic_a_ = content.propellant->ballistic_a;
        loaded.ballistic_n_ = content.propellant->ballistic_n;
    }
    *this = std::move(loaded);
}

}  // namespace thrustlet
