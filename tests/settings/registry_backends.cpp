#include "tests/settings/registry_backends.h"

#include "platform/memory_registry.h"

#ifdef THRUSTLET_HAVE_QT
#include <QDir>
#include <QTemporaryDir>

#include "platform/file_registry.h"
#endif
#ifdef _WIN32
#include "platform/windows_registry.h"
#endif

namespace thrustlet {

#ifdef THRUSTLET_HAVE_QT
namespace {

struct FolderHolder {
    QTemporaryDir folder;
};

// A file store in a temporary folder that lives as long as the store.
class TemporaryFileRegistry : private FolderHolder, public FileRegistry {
public:
    TemporaryFileRegistry()
        : FileRegistry(folder.path() + "/user/HKEY_CURRENT_USER.reg",
                       folder.path() + "/machine/HKEY_LOCAL_MACHINE.reg") {}
};

}  // namespace
#endif

std::vector<RegistryBackend> RegistryBackends() {
    std::vector<RegistryBackend> backends;
    backends.push_back({"Memory", [] { return std::make_unique<MemoryRegistry>(); }});
#ifdef THRUSTLET_HAVE_QT
    backends.push_back({"File", [] { return std::make_unique<TemporaryFileRegistry>(); }});
#endif
#ifdef _WIN32
    backends.push_back({"Windows", [] { return std::make_unique<WindowsRegistry>(); }});
#endif
    return backends;
}

}  // namespace thrustlet
