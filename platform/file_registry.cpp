#include "platform/file_registry.h"

#include <QDir>
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
constexpr int kLockWaitMs = 5000;

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

RegistryTree ParseTree(const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.first() != kHeader) return {};
    RegistryTree tree;
    RegistryTree::Key* current = nullptr;
    bool ended = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (line.isEmpty()) continue;
        if (line == "END") {
            ended = true;
            break;
        }
        const QList<QByteArray> fields = line.split(' ');
        QByteArray first, second;
        if (fields[0] == "K" && fields.size() == 2 && FromHex(fields[1], &first)) {
            const std::string path = first.toStdString();
            tree.Create(path);
            current = &tree.keys[RegistryTree::Fold(path)];
        } else if (fields[0] == "V" && fields.size() == 4 && current && FromHex(fields[2], &first) &&
                   FromHex(fields[3], &second)) {
            bool ok = false;
            const uint32_t type = fields[1].toUInt(&ok);
            if (!ok) return {};
            RegistryTree::Value value;
            value.name = first.toStdString();
            value.type = type;
            value.data.assign(second.begin(), second.end());
            current->values[RegistryTree::Fold(value.name)] = value;
        } else {
            return {};  // damaged: read as empty
        }
    }
    return ended ? tree : RegistryTree{};  // a file cut short is damaged too
}

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

RegistryTree FileRegistry::Load(RegHandle root) {
    QFile file(FileOf(root));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return ParseTree(file.readAll());
}

int32_t FileRegistry::Update(RegHandle root, const std::function<void(RegistryTree&)>& change) {
    const QString path = FileOf(root);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return reg::kAccessDenied;
    QLockFile lock(path + ".lock");
    if (!lock.tryLock(kLockWaitMs)) {
        return lock.error() == QLockFile::PermissionError ? reg::kAccessDenied : kCannotWrite;
    }
    RegistryTree tree = Load(root);  // afresh, under the lock
    change(tree);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return reg::kAccessDenied;
    const QByteArray text = SerializeTree(tree);
    if (out.write(text) != text.size()) {
        out.cancelWriting();
        return kCannotWrite;
    }
    if (abandon_before_replace) {
        out.cancelWriting();
        return kCannotWrite;
    }
    return out.commit() ? reg::kSuccess : kCannotWrite;
}

}  // namespace thrustlet
