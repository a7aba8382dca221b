#include "platform/windows_registry.h"

#ifdef _WIN32

#include <windows.h>

#include <cstring>
#include <vector>

namespace thrustlet {

namespace {

HKEY ToHkey(RegHandle handle) {
    if (handle == kHkeyCurrentUser) return HKEY_CURRENT_USER;
    if (handle == kHkeyLocalMachine) return HKEY_LOCAL_MACHINE;
    return reinterpret_cast<HKEY>(static_cast<uintptr_t>(handle));
}

RegHandle FromHkey(HKEY key) { return static_cast<RegHandle>(reinterpret_cast<uintptr_t>(key)); }

// Text between the program's UTF-8 and the ANSI code page; bytes that do not
// convert are passed through unchanged.
std::string Convert(const std::string& text, UINT from, UINT to) {
    if (text.empty()) return text;
    const int wide_length = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wide_length <= 0) return text;
    std::wstring wide(static_cast<size_t>(wide_length), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), wide_length);
    const int length = WideCharToMultiByte(to, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return text;
    std::string converted(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wide_length, converted.data(), length, nullptr, nullptr);
    return converted;
}

std::string ToAnsi(const std::string& text) { return Convert(text, CP_UTF8, CP_ACP); }
std::string FromAnsi(const std::string& text) { return Convert(text, CP_ACP, CP_UTF8); }

}  // namespace

int32_t WindowsRegistry::CreateKey(RegHandle root, const std::string& path, uint32_t access, RegHandle* key) {
    HKEY created = nullptr;
    const LONG status = RegCreateKeyExA(ToHkey(root), ToAnsi(path).c_str(), 0, nullptr, 0, access, nullptr,
                                        &created, nullptr);
    *key = status == ERROR_SUCCESS ? FromHkey(created) : 0;
    if (status == ERROR_SUCCESS) ++open_handles_;
    return status;
}

int32_t WindowsRegistry::OpenKey(RegHandle root, const std::string& path, uint32_t access, RegHandle* key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(root), ToAnsi(path).c_str(), 0, access, &opened);
    *key = status == ERROR_SUCCESS ? FromHkey(opened) : 0;
    if (status == ERROR_SUCCESS) ++open_handles_;
    return status;
}

int32_t WindowsRegistry::QueryValue(RegHandle key, const std::string& name, uint32_t* type, uint8_t* data,
                                    uint32_t* size) {
    if (key == 0) return ERROR_INVALID_HANDLE;
    const std::string ansi_name = ToAnsi(name);
    DWORD stored_type = 0;
    DWORD stored_size = 0;
    LONG status = RegQueryValueExA(ToHkey(key), ansi_name.c_str(), nullptr, &stored_type, nullptr, &stored_size);
    if (status != ERROR_SUCCESS) return status;
    if (type) *type = stored_type;
    if (stored_type != REG_SZ) {
        // Numbers and raw bytes pass unchanged.
        DWORD in_out = size ? *size : 0;
        if (!data) {
            if (size) *size = stored_size;
            return ERROR_SUCCESS;
        }
        status = RegQueryValueExA(ToHkey(key), ansi_name.c_str(), nullptr, &stored_type, data, &in_out);
        if (size) *size = in_out;
        return status;
    }
    // Text: read the ANSI bytes whole, then report and copy them as UTF-8.
    std::vector<BYTE> ansi(stored_size);
    DWORD ansi_size = stored_size;
    status = RegQueryValueExA(ToHkey(key), ansi_name.c_str(), nullptr, &stored_type,
                              ansi.empty() ? nullptr : ansi.data(), &ansi_size);
    if (status != ERROR_SUCCESS) return status;
    const std::string utf8 = FromAnsi(std::string(ansi.begin(), ansi.begin() + ansi_size));
    const auto needed = static_cast<uint32_t>(utf8.size());
    if (!size) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    if (data) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        if (needed > 0) std::memcpy(data, utf8.data(), needed);
    }
    *size = needed;
    return ERROR_SUCCESS;
}

int32_t WindowsRegistry::SetValue(RegHandle key, const std::string& name, uint32_t type, const uint8_t* data,
                                  uint32_t size) {
    if (key == 0) return ERROR_INVALID_HANDLE;
    if (type == REG_SZ) {
        std::string ansi = ToAnsi(std::string(reinterpret_cast<const char*>(data), size));
        const auto count = static_cast<DWORD>(ansi.size());
        // RegSetValueExA counts a terminator the caller left out when a NUL
        // happens to follow the data; a guard byte keeps the bytes exact.
        ansi.push_back('\x01');
        return RegSetValueExA(ToHkey(key), ToAnsi(name).c_str(), 0, type,
                              reinterpret_cast<const BYTE*>(ansi.data()), count);
    }
    return RegSetValueExA(ToHkey(key), ToAnsi(name).c_str(), 0, type, data, size);
}

int32_t WindowsRegistry::CloseKey(RegHandle key) {
    if (key == 0 || key == kHkeyCurrentUser || key == kHkeyLocalMachine) return ERROR_INVALID_HANDLE;
    const LONG status = RegCloseKey(ToHkey(key));
    if (status == ERROR_SUCCESS) --open_handles_;
    return status;
}

uint32_t WindowsRegistry::FormatMessageText(int32_t code, char* buffer, uint32_t size) {
    return FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, static_cast<DWORD>(code), 0, buffer, size, nullptr);
}

int32_t WindowsRegistry::Exclusive(RegHandle root, const std::function<void()>& body) {
    const wchar_t* name = root == kHkeyLocalMachine ? L"Local\\Thrustlet.Settings.LocalMachine"
                                                    : L"Local\\Thrustlet.Settings.CurrentUser";
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    if (!mutex) return static_cast<int32_t>(GetLastError());
    // An abandoned mutex (a copy that died holding it) is ours all the same.
    const DWORD waited = WaitForSingleObject(mutex, 10000);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return ERROR_TIMEOUT;
    }
    try {
        body();
    } catch (...) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        throw;
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return ERROR_SUCCESS;
}

}  // namespace thrustlet

#endif  // _WIN32
