#include "platform/durable_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "model/errors.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace thrustlet {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

[[noreturn]] void ThrowNotRegular(const std::string& path) {
    throw RunTimeError(err::kPathFileAccess,
                       "Path/File access error: " + Quoted(path) + " is not a regular file");
}

[[noreturn]] void ThrowFolder(const std::string& path) {
    throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
}

[[noreturn]] void ThrowTooLarge(const std::string& path, std::uintmax_t max_bytes, const char* kind) {
    throw RunTimeError(err::kOutOfMemory, "Out of memory: " + Quoted(path) + " is larger than " + kind +
                                              " can be (" + std::to_string(max_bytes >> 20) + " MiB)");
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

// A hidden name of its own in `folder`, short whatever the target's name
// (".tlt-<process id>-<8 hex digits>.tmp", under 32 characters), that
// nothing there has. The process id tells a later save whether the program
// that made it is still running.
fs::path ShortTemporaryName(const fs::path& folder) {
    static std::mt19937 generator{std::random_device{}()};
#ifdef _WIN32
    const unsigned long process = static_cast<unsigned long>(_getpid());
#else
    const unsigned long process = static_cast<unsigned long>(::getpid());
#endif
    for (;;) {
        char name[48];
        std::snprintf(name, sizeof name, ".tlt-%lu-%08x.tmp", process, static_cast<unsigned>(generator()));
        fs::path candidate = folder / name;
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
    }
}

#ifndef _WIN32
// Removes the temporary files that saves of programs no longer running left
// in `folder` (a save killed between naming its file and renaming it). Only
// names are compared, so a folder of thousands of files costs a millisecond
// or two.
void RemoveStaleTemporaries(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        unsigned long process = 0;
        unsigned random = 0;
        int length = 0;
        if (std::sscanf(name.c_str(), ".tlt-%lu-%8x.tmp%n", &process, &random, &length) != 2 ||
            static_cast<std::size_t>(length) != name.size() || name.size() < 19) {
            continue;
        }
        const auto pid = static_cast<pid_t>(process);
        if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
        std::error_code ignored;
        if (fs::is_regular_file(it->symlink_status(ignored))) fs::remove(it->path(), ignored);
    }
}
#endif

// The temporary file of one save, in the target's folder. Unnamed where the
// system allows it (Linux), so that it vanishes if the program dies before
// the rename; otherwise under a short name, removed again on failure.
class TemporaryFile {
public:
    TemporaryFile(const fs::path& folder, bool unnamed) : folder_(folder) {
#ifdef _WIN32
        (void)unnamed;
        name_ = ShortTemporaryName(folder);
        const int fd = _wopen(name_.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd >= 0) file_ = _fdopen(fd, "wb");
        if (!file_) {
            if (fd >= 0) _close(fd);
            name_.clear();
        }
#else
#ifdef O_TMPFILE
        if (unnamed) {
            do {
                fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
            } while (fd_ < 0 && errno == EINTR);
            if (fd_ >= 0) return;
        }
#else
        (void)unnamed;
#endif
        name_ = ShortTemporaryName(folder);
        do {
            fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd_ < 0 && errno == EINTR);
        if (fd_ < 0) name_.clear();
#endif
    }
    ~TemporaryFile() {
        Close();
        if (!name_.empty()) {
            std::error_code ec;
            fs::remove(name_, ec);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

#ifdef _WIN32
    bool IsOpen() const { return file_ != nullptr; }
    bool Write(const char* data, std::size_t size) { return std::fwrite(data, 1, size, file_) == size; }
    // Out of the C library's buffer and the system's cache onto the disk.
    bool Sync() { return std::fflush(file_) == 0 && _commit(_fileno(file_)) == 0; }
    bool Close() {
        if (!file_) return true;
        const int result = std::fclose(file_);
        file_ = nullptr;
        return result == 0;
    }
    void KeepPermissions(fs::perms permissions) {
        std::error_code ec;
        fs::permissions(name_, permissions, ec);
    }
#else
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
    void KeepPermissions(fs::perms permissions) {
        ::fchmod(fd_, static_cast<mode_t>(permissions) & 07777);
    }
#endif

    // Puts the written file in the target's place. False when it could not
    // be named or renamed; the temporary file is then gone.
    bool ReplaceTarget(const fs::path& target) {
#ifndef _WIN32
        if (name_.empty()) {
            // An unnamed file gets its short name only now, for the rename.
            const fs::path name = ShortTemporaryName(folder_);
            const std::string self = "/proc/self/fd/" + std::to_string(fd_);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) return false;
            name_ = name;
        }
#endif
#ifdef _WIN32
        if (!Close()) return false;
#else
        // The replaced file stays open until after the rename, and so does
        // the new one: the system then frees the old file's blocks when we
        // close it, not within the rename, and the temporary name lives
        // for as short a time as can be.
        Descriptor old;
        old.fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
#endif
        std::error_code ec;
        fs::rename(name_, target, ec);
        if (ec) return false;
        name_.clear();
        Close();  // flushed to the disk already; the file is in place
        return true;
    }

private:
    fs::path folder_;
    fs::path name_;  // empty while unnamed, and once renamed
#ifdef _WIN32
    std::FILE* file_ = nullptr;
#else
    int fd_ = -1;
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

enum class Outcome { kDone, kCannotName };

// One attempt at the save; `unnamed` asks for an unnamed temporary file.
Outcome WriteAndReplace(const std::string& path, const fs::path& folder, const fs::path& target,
                        std::string_view content, const AtomicWriteOptions& options, bool replacing,
                        fs::perms permissions, bool unnamed) {
    TemporaryFile out(folder, unnamed);
    if (!out.IsOpen()) throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
    const auto io_error = [&] { return RunTimeError(err::kDeviceIo, "Device I/O error: " + Quoted(path)); };
    std::size_t written = 0;
    constexpr std::size_t kChunk = 64 * 1024;
    while (written < content.size()) {
        std::size_t chunk = std::min(kChunk, content.size() - written);
        if (written + chunk > options.fail_after_bytes) {
            chunk = options.fail_after_bytes > written ? options.fail_after_bytes - written : 0;
            out.Write(content.data() + written, chunk);
            throw io_error();
        }
        if (!out.Write(content.data() + written, chunk)) throw io_error();
        written += chunk;
    }
    // On disk before it takes the old file's place, so a power loss leaves
    // either the old file or the new one, never an empty one.
    if (!out.Sync()) throw io_error();
    if (replacing) out.KeepPermissions(permissions);
    if (!out.ReplaceTarget(target)) {
        if (unnamed) return Outcome::kCannotName;
        throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
    }
    return Outcome::kDone;
}

}  // namespace

#ifndef _WIN32
std::string ReadWholeFile(const std::string& path, std::uintmax_t max_bytes, const char* kind) {
    Descriptor file;
    do {
        file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (file.fd < 0 && errno == EINTR);
    if (file.fd < 0) ThrowOpenFailure(path, errno);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) ThrowOpenFailure(path, errno);
    if (S_ISDIR(info.st_mode)) ThrowFolder(path);
    if (!S_ISREG(info.st_mode)) ThrowNotRegular(path);
    if (static_cast<std::uintmax_t>(info.st_size) > max_bytes) ThrowTooLarge(path, max_bytes, kind);
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);

    // Read straight into the text at the size the file has (no copy through
    // a buffer); the file may still grow or shrink while it is read: never
    // take more than the limit.
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t filled = 0;
    const auto read_some = [&](char* into, std::size_t room) {
        for (;;) {
            const ssize_t got = ::read(file.fd, into, room);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) throw RunTimeError(err::kDeviceIo, "Device I/O error: " + Quoted(path));
            return static_cast<std::size_t>(got);
        }
    };
    while (filled < text.size()) {
        const std::size_t got = read_some(text.data() + filled, text.size() - filled);
        if (got == 0) break;
        filled += got;
    }
    text.resize(filled);
    // What the file gained meanwhile, a buffer at a time.
    char buffer[64 * 1024];
    for (std::size_t got; filled == static_cast<std::size_t>(info.st_size) && (got = read_some(buffer, sizeof buffer)) > 0;) {
        if (text.size() + got > max_bytes) ThrowTooLarge(path, max_bytes, kind);
        text.append(buffer, got);
    }
    return text;
}
#else
std::string ReadWholeFile(const std::string& path, std::uintmax_t max_bytes, const char* kind) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) throw RunTimeError(err::kFileNotFound, "File not found: " + Quoted(path));
    if (fs::is_directory(status)) ThrowFolder(path);
    if (!fs::is_regular_file(status)) ThrowNotRegular(path);
    if (fs::file_size(path, ec) > max_bytes) ThrowTooLarge(path, max_bytes, kind);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RunTimeError(err::kPermissionDenied, "Permission denied: " + Quoted(path));
    std::string text;
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        if (text.size() + static_cast<std::size_t>(in.gcount()) > max_bytes) ThrowTooLarge(path, max_bytes, kind);
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) throw RunTimeError(err::kDeviceIo, "Device I/O error: " + Quoted(path));
    return text;
}
#endif

void WriteFileAtomically(const std::string& path, std::string_view content, const AtomicWriteOptions& options) {
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
        if (fs::is_directory(status)) ThrowFolder(path);
        if (!fs::is_regular_file(status)) ThrowNotRegular(path);
        // Opening for append changes nothing but tells whether we may write it.
        std::ofstream probe(target, std::ios::binary | std::ios::app);
        if (!probe) throw RunTimeError(err::kPathFileAccess, "Path/File access error: " + Quoted(path));
        permissions = status.permissions();
    }

#ifndef _WIN32
    RemoveStaleTemporaries(folder);
#endif
    // Where the unnamed file cannot be given a name (no /proc, say), the save
    // is made again with a short-named one.
    if (WriteAndReplace(path, folder, target, content, options, replacing, permissions, true) ==
        Outcome::kCannotName) {
        WriteAndReplace(path, folder, target, content, options, replacing, permissions, false);
    }
    SyncFolder(folder);
}

}  // namespace thrustlet
