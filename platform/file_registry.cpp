#include "platform/file_registry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>
#include <cctype>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace thrustlet {

namespace {

constexpr const char* kHeader = "THRUSTLET-REGISTRY 1";
constexpr int32_t kCannotWrite = 1013;  // "could not be written"
// Far above any real write (milliseconds); a copy that hangs with the lock
// loses it as stale after QLockFile's 30 s anyway.
constexpr qint64 kLockPatienceMs = 10000;

QByteArray Hex(const std::string& bytes) { return QByteArray::fromStdString(bytes).toHex(); }
QByteArray Hex(const std::vector<uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())).toHex();
}

bool FromHex(const QByteArray& hex, QByteArray* bytes) {
    if (hex.size() % 2 != 0) return false;
    for (char c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    }
    *bytes = QByteArray::fromHex(hex);
    return true;
}

}  // namespace

QByteArray SerializeTree(const RegistryTree& tree) {
    QByteArray text = QByteArray(kHeader) + "\n";
    for (const auto& [folded, key] : tree.keys) {
        text += "K " + Hex(key.path) + "\n";
        for (const auto& [folded_name, value] : key.values) {
            text += "V " + QByteArray::number(value.type) + " " + Hex(value.name) + " " + Hex(value.data) + "\n";
        }
    }
    text += "END\n";
    return text;
}

// Lenient: a line that cannot be read is skipped and the rest is kept, so
// one damaged line (or a file cut short) costs no intact value. `intact`
// tells whether the whole text was a complete store file.
RegistryTree ParseTree(const QByteArray& text, bool* intact) {
    const QList<QByteArray> lines = text.split('\n');
    bool whole = !lines.isEmpty() && lines.first() == kHeader;
    RegistryTree tree;
    RegistryTree::Key* current = nullptr;
    bool ended = false;
    for (qsizetype i = whole ? 1 : 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (line.isEmpty()) continue;
        if (line == "END") {
            ended = true;
            if (i + 1 < lines.size() && !(i + 2 == lines.size() && lines[i + 1].isEmpty())) whole = false;
            break;
        }
        const QList<QByteArray> fields = line.split(' ');
        QByteArray first, second;
        bool ok = false;
        if (fields[0] == "K" && fields.size() == 2 && FromHex(fields[1], &first)) {
            const std::string path = first.toStdString();
            tree.Create(path);
            current = &tree.keys[RegistryTree::Fold(path)];
            continue;
        }
        if (fields[0] == "V" && fields.size() == 4 && current && FromHex(fields[2], &first) &&
            FromHex(fields[3], &second)) {
            const uint32_t type = fields[1].toUInt(&ok);
            if (ok) {
                RegistryTree::Value value;
                value.name = first.toStdString();
                value.type = type;
                value.data.assign(second.begin(), second.end());
                current->values[RegistryTree::Fold(value.name)] = value;
                continue;
            }
        }
        whole = false;  // damaged line: skipped
        if (fields[0] == "K") current = nullptr;  // its values belong to no known key
    }
    if (intact) *intact = whole && ended;
    return tree;
}

namespace {

struct StoreFile {
    RegistryTree tree;
    bool exists = false;
    bool intact = true;  // read whole and complete
};

// A file past this size is no store this program wrote: it is treated as
// damaged without being read.
constexpr qint64 kMaxStoreFileBytes = 1 << 20;

StoreFile ReadStoreFile(const QString& path) {
    StoreFile store;
    const QFileInfo info(path);
    store.exists = info.exists();
    if (!store.exists) return store;
    QFile file(path);
    if (!info.isFile() || info.size() > kMaxStoreFileBytes || !file.open(QIODevice::ReadOnly)) {
        store.intact = false;
        return store;
    }
    const QByteArray text = file.read(kMaxStoreFileBytes + 1);
    if (text.size() > kMaxStoreFileBytes) {
        store.intact = false;
        return store;
    }
    store.tree = ParseTree(text, &store.intact);
    return store;
}

}  // namespace

FileRegistry::FileRegistry(QString current_user_file, QString local_machine_file)
    : current_user_file_(std::move(current_user_file)), local_machine_file_(std::move(local_machine_file)) {}

std::unique_ptr<FileRegistry> FileRegistry::ForThisSystem() {
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    const QString user = locations.value(0, QDir::homePath() + "/.config");
    // The last location is the system-wide one (/etc/xdg on Linux).
    const QString system = locations.size() > 1 ? locations.last() : QString("/etc/xdg");
    return std::make_unique<FileRegistry>(user + "/thrustlet/HKEY_CURRENT_USER.reg",
                                          system + "/thrustlet/HKEY_LOCAL_MACHINE.reg");
}

QString FileRegistry::FileOf(RegHandle root) const {
    return root == kHkeyLocalMachine ? local_machine_file_ : current_user_file_;
}

RegistryTree FileRegistry::Load(RegHandle root) { return ReadStoreFile(FileOf(root)).tree; }

// Another running copy may hold the lock for a write of its own, and may
// take it again at once: poll briefly and often, and keep trying for a
// generous while, so that a write is not dropped under steady use.
int32_t FileRegistry::Lock(QLockFile& lock, const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return reg::kAccessDenied;
    QElapsedTimer waited;
    waited.start();
    while (!lock.tryLock(0)) {
        // Only another copy's lock is waited for; a lock that cannot be
        // made at all (no rights, a folder in its place) fails at once.
        if (lock.error() == QLockFile::PermissionError) return reg::kAccessDenied;
        if (lock.error() != QLockFile::LockFailedError) return kCannotWrite;
        // (One look: the other copy's lock file comes and goes meanwhile.)
        if (QFileInfo(path + ".lock").isDir()) return kCannotWrite;
        if (waited.elapsed() > kLockPatienceMs) return kCannotWrite;
        QThread::msleep(QRandomGenerator::global()->bounded(1, 4));
    }
    return reg::kSuccess;
}

int32_t FileRegistry::Exclusive(RegHandle root, const std::function<void()>& body) {
    if (held_root_ == root) {  // already held by an enclosing call
        body();
        return reg::kSuccess;
    }
    const QString path = FileOf(root);
    QLockFile lock(path + ".lock");
    const int32_t status = Lock(lock, path);
    if (status != reg::kSuccess) return status;
    const RegHandle outer = held_root_;
    held_root_ = root;
    try {
        body();
    } catch (...) {
        held_root_ = outer;
        throw;
    }
    held_root_ = outer;
    return reg::kSuccess;
}

int32_t FileRegistry::Update(RegHandle root, const std::function<void(RegistryTree&)>& change) {
    const QString path = FileOf(root);
    QLockFile lock(path + ".lock");
    if (held_root_ != root) {
        const int32_t status = Lock(lock, path);
        if (status != reg::kSuccess) return status;
    }
    StoreFile store = ReadStoreFile(path);  // afresh, under the lock
    change(store.tree);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return reg::kAccessDenied;
    const QByteArray text = SerializeTree(store.tree);
    if (out.write(text) != text.size()) {
        out.cancelWriting();
        return kCannotWrite;
    }
    if (abandon_before_replace) {
        out.cancelWriting();
        return kCannotWrite;
    }
    // A file that could not be read whole is kept beside the store before it
    // is replaced, so that nothing it held is destroyed.
    const QString damaged = path + ".damaged";
    if (store.exists && !store.intact) {
        QFile::remove(damaged);
        if (!QFile::rename(path, damaged)) {
            out.cancelWriting();
            return kCannotWrite;
        }
    }
    if (out.commit()) return reg::kSuccess;
    if (store.exists && !store.intact) QFile::rename(damaged, path);
    return kCannotWrite;
}

}  // namespace thrustlet
