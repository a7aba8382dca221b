// A second running copy for the settings store tests: writes COUNT number
// values named PREFIX0, PREFIX1, ... under the settings key of the store
// file USER_FILE, as fast as it can. Exits 1 if any write was refused.
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/file_registry.h"
#include "settings/recent_files.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: store_writer USER_FILE COUNT PREFIX\n");
        return 2;
    }
    thrustlet::FileRegistry store(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[1]) + ".machine");
    const int count = std::atoi(argv[2]);
    const std::string prefix = argv[3];
    int refused = 0;
    for (int i = 0; i < count; ++i) {
        thrustlet::RegHandle key = 0;
        if (store.OpenKey(thrustlet::kHkeyCurrentUser, thrustlet::kSettingsKey, 0x3F, &key) != 0) return 1;
        const auto value = static_cast<uint32_t>(i);
        const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                  static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
        if (store.SetValue(key, prefix + std::to_string(i), 4, bytes, 4) != 0) ++refused;
        store.CloseKey(key);
    }
    return refused == 0 ? 0 : 1;
}
