#include "model/motor_file.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "model/errors.h"
#include "model/misc_funcs.h"
#include "model/motor.h"
#include "model/number_text.h"
#include "model/numeric.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

[[noreturn]] void ThrowNotRegular(const std::string& path) {
    throw RunTimeError(err::kPathFileAccess,
                       "Path/File access error: " + Quoted(path) + " is not a regular file");
}

[[noreturn]] void ThrowTooLarge(const std::string& path) {
    throw RunTimeError(err::kOutOfMemory, "Out of memory: " + Quoted(path) +
                                              " is larger than a motor file can be (" +
                                              std::to_string(kMaxMotorFileBytes >> 20) + " MiB)");
}

#ifndef _WIN32
// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

[[noreturn]] void ThrowOpenFailure(const std::string& path, int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            throw RunTimeError(err::kFileNotFound, "File not found: " + Quoted(path));
        case EACCES:
        case EPERM:
            throw RunTimeError(err::kPermissionDenied, "Permission denied: " + Quoted(path));
        default:
            throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
    }
}

// Opens without blocking (a FIFO with no writer would otherwise hang), makes
// sure the path names a regular file of a sane size, and only then reads.
std::string ReadWholeFile(const std::string& path) {
    Descriptor file;
    do {
        file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (file.fd < 0 && errno == EINTR);
    if (file.fd < 0) ThrowOpenFailure(path, errno);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) ThrowOpenFailure(path, errno);
    if (S_ISDIR(info.st_mode)) {
        throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
    }
    if (!S_ISREG(info.st_mode)) ThrowNotRegular(path);
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxMotorFileBytes) ThrowTooLarge(path);
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);

    // The file may still grow while it is read: never take more than the limit.
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(file.fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw RunTimeError(err::kDeviceIo, "Device I/O error: " + Quoted(path));
        if (got == 0) break;
        if (text.size() + static_cast<std::size_t>(got) > kMaxMotorFileBytes) ThrowTooLarge(path);
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}
#else
std::string ReadWholeFile(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) throw RunTimeError(err::kFileNotFound, "File not found: " + Quoted(path));
    if (fs::is_directory(status)) {
        throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
    }
    if (!fs::is_regular_file(status)) ThrowNotRegular(path);
    if (fs::file_size(path, ec) > kMaxMotorFileBytes) ThrowTooLarge(path);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RunTimeError(err::kPermissionDenied, "Permission denied: " + Quoted(path));
    std::string text;
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        if (text.size() + static_cast<std::size_t>(in.gcount()) > kMaxMotorFileBytes) ThrowTooLarge(path);
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) throw RunTimeError(err::kDeviceIo, "Device I/O error: " + Quoted(path));
    return text;
}
#endif

// The file a save writes: a symbolic link is followed to the file it names,
// also when that file does not exist yet (it is then created), so the link
// stays a link. Chains are followed a bounded number of times.
fs::path SaveTarget(const std::string& path) {
    fs::path target(path);
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
        const fs::path link = fs::read_symlink(target, ec);
        if (ec) break;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target;
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

// The temporary file of a save: written, flushed to the disk, closed.
class TemporaryFile {
public:
    explicit TemporaryFile(const fs::path& path) {
#ifndef _WIN32
        do {
            fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd_ < 0 && errno == EINTR);
#else
        out_.open(path, std::ios::binary | std::ios::trunc);
#endif
    }
    ~TemporaryFile() { Close(); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

#ifndef _WIN32
    bool IsOpen() const { return fd_ >= 0; }
    bool Write(const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t put = ::write(fd_, data, size);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return false;
            data += put;
            size -= static_cast<std::size_t>(put);
        }
        return true;
    }
    bool Sync() { return ::fsync(fd_) == 0; }
    bool Close() {
        if (fd_ < 0) return true;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_ = -1;
#else
    bool IsOpen() const { return out_.is_open(); }
    bool Write(const char* data, std::size_t size) {
        out_.write(data, static_cast<std::streamsize>(size));
        return static_cast<bool>(out_);
    }
    bool Sync() { return static_cast<bool>(out_.flush()); }
    bool Close() {
        if (!out_.is_open()) return true;
        out_.close();
        return !out_.fail();
    }

private:
    std::ofstream out_;
#endif
};

// Makes the rename itself durable: the folder's entry is flushed too.
void SyncFolder(const fs::path& folder) {
#ifndef _WIN32
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // the file is in place; only its durability is unknown
    ::fsync(fd);
    ::close(fd);
#else
    (void)folder;
#endif
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
    }
    return content;
}

void WriteFileAtomically(const std::string& path, std::string_view content,
                         const AtomicWriteOptions& options) {
    std::error_code ec;
    const fs::path target = SaveTarget(path);
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (target.filename().empty() || !fs::is_directory(folder, ec)) {
        throw RunTimeError(err::kPathNotFound, "Path not found: " + Quoted(path));
    }

    const fs::file_status status = fs::status(target, ec);
    const bool replacing = fs::exists(status);
    fs::perms permissions = fs::perms::none;
    if (replacing) {
        // Only a regular file is replaced: a folder, a FIFO or a device is
        // refused before anything is opened (opening a FIFO would block).
        if (fs::is_directory(status)) {
            throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
        }
        if (!fs::is_regular_file(status)) ThrowNotRegular(path);
        // Opening for append changes nothing but tells whether we may write it.
        std::ofstream probe(target, std::ios::binary | std::ios::app);
        if (!probe) throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
        permissions = status.permissions();
    }

    const fs::path temporary = TemporaryNameBeside(target);
    auto fail = [&](int32_t number, const std::string& what) {
        fs::remove(temporary, ec);
        throw RunTimeError(number, what + ": " + Quoted(path));
    };
    TemporaryFile out(temporary);
    if (!out.IsOpen()) throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
    std::size_t written = 0;
    constexpr std::size_t kChunk = 64 * 1024;
    while (written < content.size()) {
        std::size_t chunk = std::min(kChunk, content.size() - written);
        if (written + chunk > options.fail_after_bytes) {
            chunk = options.fail_after_bytes > written ? options.fail_after_bytes - written : 0;
            out.Write(content.data() + written, chunk);
            out.Close();
            fail(err::kDeviceIo, "Device I/O error");
        }
        if (!out.Write(content.data() + written, chunk)) break;
        written += chunk;
    }
    // On disk before it takes the old file's place, so a power loss leaves
    // either the old file or the new one, never an empty one.
    const bool ok = written == content.size() && out.Sync();
    if (!out.Close() || !ok) fail(err::kDeviceIo, "Device I/O error");
    if (replacing) fs::permissions(temporary, permissions, ec);
    fs::rename(temporary, target, ec);
    if (ec) fail(err::kPathFileAccess, "Path/File access error");
    SyncFolder(folder);
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
    MotorFileContent content;
    try {
        content = ParseMotorFile(ReadWholeFile(sFile));
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
    }
    *this = std::move(loaded);
}

}  // namespace thrustlet
