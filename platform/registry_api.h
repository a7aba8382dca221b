#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace thrustlet {

// The settings store as the registry presents it: keys under two roots, named
// values with a stored type and exact bytes. Operations return the registry's
// own status codes. Standard C++ only: the layer above it is built for every
// platform.
using RegHandle = uint64_t;  // an open key; 0 is never a valid one

inline constexpr RegHandle kHkeyCurrentUser = 0x80000001;
inline constexpr RegHandle kHkeyLocalMachine = 0x80000002;

namespace reg {
inline constexpr int32_t kSuccess = 0;
inline constexpr int32_t kFileNotFound = 2;
inline constexpr int32_t kAccessDenied = 5;
inline constexpr int32_t kInvalidHandle = 6;
inline constexpr int32_t kInvalidParameter = 87;
inline constexpr int32_t kMoreData = 234;

inline constexpr uint32_t kTypeNone = 0;
inline constexpr uint32_t kTypeText = 1;    // REG_SZ
inline constexpr uint32_t kTypeBinary = 3;  // REG_BINARY
inline constexpr uint32_t kTypeNumber = 4;  // REG_DWORD

// Query value, set value, create sub-key, enumerate, notify, create link.
inline constexpr uint32_t kAccessAllKeyRights = 0x3F;
}  // namespace reg

class IRegistryApi {
public:
    virtual ~IRegistryApi() = default;

    // Creates the key (and missing parents) or opens it when it exists.
    virtual int32_t CreateKey(RegHandle root, const std::string& path, uint32_t access,
                              RegHandle* key) = 0;
    // Opens an existing key; kFileNotFound when it does not exist.
    virtual int32_t OpenKey(RegHandle root, const std::string& path, uint32_t access,
                            RegHandle* key) = 0;
    // With `data` null: reports the stored type and size in bytes. Otherwise
    // copies the data when it fits in *size bytes (kMoreData when not) and
    // sets *size to the stored size.
    virtual int32_t QueryValue(RegHandle key, const std::string& name, uint32_t* type,
                               uint8_t* data, uint32_t* size) = 0;
    virtual int32_t SetValue(RegHandle key, const std::string& name, uint32_t type,
                             const uint8_t* data, uint32_t size) = 0;
    virtual int32_t CloseKey(RegHandle key) = 0;
    // Writes the message text of a status code into `buffer` (at most `size`
    // characters, no terminator counted) and returns the length; 0 when the
    // code has no message.
    virtual uint32_t FormatMessageText(int32_t code, char* buffer, uint32_t size) = 0;

    // Keys opened or created and not yet closed.
    virtual int OpenHandleCount() const = 0;

    // Runs `body` while no other writer of the store (another running copy
    // of the program included) can write the root, so that what `body`
    // reads is still what is stored when it writes. Returns the status of
    // taking the lock; when it could not be had, `body` is not run. A store
    // used by one program alone needs no lock: `body` simply runs.
    virtual int32_t Exclusive(RegHandle root, const std::function<void()>& body) {
        (void)root;
        body();
        return reg::kSuccess;
    }
};

// Message texts of the common registry codes, as the system words them
// (each ends in CR LF); "" for codes without one.
std::string CommonRegistryMessage(int32_t code);

// Copies `message` into a FormatMessage-style buffer; 0 when it is empty or
// does not fit.
uint32_t CopyMessage(const std::string& message, char* buffer, uint32_t size);

}  // namespace thrustlet
