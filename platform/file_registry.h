#pragma once

#include <QString>

class QLockFile;
#include <memory>

#include "platform/memory_registry.h"

namespace thrustlet {

// The settings store on systems without a registry: one file per root.
// HKEY_CURRENT_USER lives in the user's configuration folder, HKEY_LOCAL_MACHINE
// in a system-wide folder that normal users can only read. Every write takes a
// lock shared with other running copies (waiting up to 10 s for it),
// reads the file afresh, applies the change and replaces the file atomically,
// so concurrent writers lose nothing and a crash mid-write leaves the previous
// file. A damaged file keeps every value that can still be read; before a
// write replaces a file that could not be read whole (damaged, unreadable or
// over 1 MiB), the old file is kept beside it as "<name>.damaged".
class FileRegistry : public TreeRegistry {
public:
    FileRegistry(QString current_user_file, QString local_machine_file);

    // The store files in the standard places for this user and system.
    static std::unique_ptr<FileRegistry> ForThisSystem();

    QString FileOf(RegHandle root) const;

    // For tests of a crash between writing and replacing: the new file is
    // written but never put in place.
    bool abandon_before_replace = false;

    // Holds the root's lock for the whole of `body`; its writes take no
    // lock of their own meanwhile.
    int32_t Exclusive(RegHandle root, const std::function<void()>& body) override;

protected:
    RegistryTree Load(RegHandle root) override;
    int32_t Update(RegHandle root, const std::function<void(RegistryTree&)>& change) override;

private:
    // Takes the lock of a store file, waiting for another copy's; a status.
    static int32_t Lock(QLockFile& lock, const QString& path);

    QString current_user_file_;
    QString local_machine_file_;
    RegHandle held_root_ = 0;  // the root Exclusive holds the lock of
};

// The store file's text form of a tree, and back. Reading skips lines that
// are damaged and keeps the rest; `intact` (when given) tells whether the
// text was a complete store file.
QByteArray SerializeTree(const RegistryTree& tree);
RegistryTree ParseTree(const QByteArray& text, bool* intact = nullptr);

}  // namespace thrustlet
