#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace thrustlet {

// Whole-file reads and writes of small documents, safe against the things a
// desktop program meets: a path that names a FIFO, a device or a folder, a
// huge file, a full disk, a power loss or a kill in the middle of a save.
// Failures are RunTimeErrors naming the path.

// Reads the whole regular file at `path`. The file is opened without
// blocking (a FIFO with no writer would otherwise hang), and refused unread
// when it is not a regular file or is larger than `max_bytes`; `kind` names
// what it should be in that message ("a motor file").
std::string ReadWholeFile(const std::string& path, std::uintmax_t max_bytes, const char* kind);

// For tests of a write that fails part-way: the write stops with an I/O
// error once this many bytes have gone out.
struct AtomicWriteOptions {
    std::size_t fail_after_bytes = static_cast<std::size_t>(-1);
};

// Replaces the file at `path` with `content`, or creates it: the content is
// written to a temporary file in the same folder, flushed to the disk, and
// renamed over `path` only when everything was written; the folder is
// flushed after the rename. On any failure an existing file at `path` is
// left byte-identical and the temporary file is gone.
//
// The temporary file has no name while it is written (on Linux, O_TMPFILE;
// elsewhere a short name of its own), so a target name at the system's
// length limit saves too, and a save that is killed leaves nothing behind
// (on Linux at most the few microseconds between naming and renaming it
// could). A target that cannot be written to (read-only, a folder, a FIFO)
// fails rather than being replaced; a replaced file keeps its permissions; a
// symbolic link is followed to the file it names, also when that does not
// exist yet.
void WriteFileAtomically(const std::string& path, std::string_view content,
                         const AtomicWriteOptions& options = {});

}  // namespace thrustlet
