#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace thrustlet {

// The keys and values of one registry root, as plain data: key paths and
// value names compare without regard to letter case, values keep their type
// and exact bytes.
struct RegistryTree {
    struct Value {
        std::string name;  // as first written
        uint32_t type = reg::kTypeNone;
        std::vector<uint8_t> data;
    };
    struct Key {
        std::string path;  // as first created
        std::map<std::string, Value> values;  // by folded name
    };
    std::map<std::string, Key> keys;  // by folded path; "" is the root itself

    // Lower-case ASCII, separators trimmed: the identity of a path or name.
    static std::string Fold(const std::string& text);
    // Adds the key and every missing parent.
    void Create(const std::string& path);
    bool Has(const std::string& path) const { return keys.count(Fold(path)) > 0; }
};

// Shared handle bookkeeping and value access over RegistryTree storage; the
// in-memory and file-backed stores differ only in where the trees live.
class TreeRegistry : public IRegistryApi {
public:
    int32_t CreateKey(RegHandle root, const std::string& path, uint32_t access, RegHandle* key) override;
    int32_t OpenKey(RegHandle root, const std::string& path, uint32_t access, RegHandle* key) override;
    int32_t QueryValue(RegHandle key, const std::string& name, uint32_t* type, uint8_t* data,
                       uint32_t* size) override;
    int32_t SetValue(RegHandle key, const std::string& name, uint32_t type, const uint8_t* data,
                     uint32_t size) override;
    int32_t CloseKey(RegHandle key) override;
    uint32_t FormatMessageText(int32_t code, char* buffer, uint32_t size) override;
    int OpenHandleCount() const override { return static_cast<int>(handles_.size()); }

protected:
    // Reads the tree of a root (a copy that the caller may change).
    virtual RegistryTree Load(RegHandle root) = 0;
    // Applies `change` to the stored tree of `root` and keeps the result;
    // returns a status (kAccessDenied when the store cannot be written).
    virtual int32_t Update(RegHandle root, const std::function<void(RegistryTree&)>& change) = 0;

private:
    struct OpenKeyInfo {
        RegHandle root;
        std::string path;
    };
    static bool IsRoot(RegHandle root) { return root == kHkeyCurrentUser || root == kHkeyLocalMachine; }
    RegHandle NewHandle(RegHandle root, const std::string& path);

    std::map<RegHandle, OpenKeyInfo> handles_;
    RegHandle next_handle_ = 0x1000;
};

// Both roots held in memory: for tests.
class MemoryRegistry : public TreeRegistry {
public:
    RegistryTree& Tree(RegHandle root) { return trees_[root]; }
    // When set, every write fails with kAccessDenied (a read-only store).
    bool read_only = false;

protected:
    RegistryTree Load(RegHandle root) override { return trees_[root]; }
    int32_t Update(RegHandle root, const std::function<void(RegistryTree&)>& change) override;

private:
    std::map<RegHandle, RegistryTree> trees_;
};

}  // namespace thrustlet
