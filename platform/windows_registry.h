#pragma once

#include "platform/registry_api.h"

namespace thrustlet {

// The Windows registry through advapi32 and kernel32. Key paths, value names
// and text data cross the interface in the ANSI code page; inside the program
// they are UTF-8. Built only for Windows.
class WindowsRegistry : public IRegistryApi {
public:
    int32_t CreateKey(RegHandle root, const std::string& path, uint32_t access, RegHandle* key) override;
    int32_t OpenKey(RegHandle root, const std::string& path, uint32_t access, RegHandle* key) override;
    int32_t QueryValue(RegHandle key, const std::string& name, uint32_t* type, uint8_t* data,
                       uint32_t* size) override;
    int32_t SetValue(RegHandle key, const std::string& name, uint32_t type, const uint8_t* data,
                     uint32_t size) override;
    int32_t CloseKey(RegHandle key) override;
    uint32_t FormatMessageText(int32_t code, char* buffer, uint32_t size) override;
    int OpenHandleCount() const override { return open_handles_; }
    // Every copy of the program takes one named mutex of the user's session
    // (per root) around the body; waits up to 10 s for it.
    int32_t Exclusive(RegHandle root, const std::function<void()>& body) override;

private:
    int open_handles_ = 0;
};

}  // namespace thrustlet
