#include "platform/memory_registry.h"

#include <cstring>

namespace thrustlet {

std::string RegistryTree::Fold(const std::string& text) {
    size_t first = text.find_first_not_of('\\');
    size_t last = text.find_last_not_of('\\');
    std::string folded = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

void RegistryTree::Create(const std::string& path) {
    keys.try_emplace("", Key{});
    std::string trimmed = path;
    while (!trimmed.empty() && trimmed.front() == '\\') trimmed.erase(0, 1);
    while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
    if (trimmed.empty()) return;
    for (size_t end = trimmed.find('\\');; end = trimmed.find('\\', end + 1)) {
        const std::string prefix = trimmed.substr(0, end);
        keys.try_emplace(Fold(prefix), Key{prefix, {}});
        if (end == std::string::npos) break;
    }
}

RegHandle TreeRegistry::NewHandle(RegHandle root, const std::string& path) {
    const RegHandle handle = next_handle_++;
    handles_[handle] = {root, RegistryTree::Fold(path)};
    return handle;
}

int32_t TreeRegistry::CreateKey(RegHandle root, const std::string& path, uint32_t, RegHandle* key) {
    if (!key) return reg::kInvalidParameter;
    *key = 0;
    if (!IsRoot(root)) return reg::kInvalidHandle;
    if (!Load(root).Has(path)) {
        const int32_t status = Update(root, [&](RegistryTree& tree) { tree.Create(path); });
        if (status != reg::kSuccess) return status;
    }
    *key = NewHandle(root, path);
    return reg::kSuccess;
}

int32_t TreeRegistry::OpenKey(RegHandle root, const std::string& path, uint32_t, RegHandle* key) {
    if (!key) return reg::kInvalidParameter;
    *key = 0;
    if (!IsRoot(root)) return reg::kInvalidHandle;
    if (!RegistryTree::Fold(path).empty() && !Load(root).Has(path)) return reg::kFileNotFound;
    *key = NewHandle(root, path);
    return reg::kSuccess;
}

int32_t TreeRegistry::QueryValue(RegHandle key, const std::string& name, uint32_t* type, uint8_t* data,
                                 uint32_t* size) {
    const auto open = handles_.find(key);
    if (open == handles_.end()) return reg::kInvalidHandle;
    const RegistryTree tree = Load(open->second.root);
    const auto found_key = tree.keys.find(open->second.path);
    if (found_key == tree.keys.end()) return reg::kFileNotFound;  // deleted meanwhile
    const auto found = found_key->second.values.find(RegistryTree::Fold(name));
    if (found == found_key->second.values.end()) return reg::kFileNotFound;
    const RegistryTree::Value& value = found->second;
    if (type) *type = value.type;
    const auto stored = static_cast<uint32_t>(value.data.size());
    if (!size) return data ? reg::kInvalidParameter : reg::kSuccess;
    if (data) {
        if (*size < stored) {
            *size = stored;
            return reg::kMoreData;
        }
        if (stored > 0) std::memcpy(data, value.data.data(), stored);
    }
    *size = stored;
    return reg::kSuccess;
}

int32_t TreeRegistry::SetValue(RegHandle key, const std::string& name, uint32_t type, const uint8_t* data,
                               uint32_t size) {
    const auto open = handles_.find(key);
    if (open == handles_.end()) return reg::kInvalidHandle;
    if (!data && size > 0) return reg::kInvalidParameter;
    const std::string path = open->second.path;
    return Update(open->second.root, [&](RegistryTree& tree) {
        RegistryTree::Key& target = tree.keys[path];
        RegistryTree::Value& value = target.values[RegistryTree::Fold(name)];
        if (value.name.empty()) value.name = name;
        value.type = type;
        value.data.assign(data, data + size);
    });
}

int32_t TreeRegistry::CloseKey(RegHandle key) {
    return handles_.erase(key) ? reg::kSuccess : reg::kInvalidHandle;
}

uint32_t TreeRegistry::FormatMessageText(int32_t code, char* buffer, uint32_t size) {
    return CopyMessage(CommonRegistryMessage(code), buffer, size);
}

int32_t MemoryRegistry::Update(RegHandle root, const std::function<void(RegistryTree&)>& change) {
    if (read_only) return reg::kAccessDenied;
    change(trees_[root]);
    return reg::kSuccess;
}

}  // namespace thrustlet
