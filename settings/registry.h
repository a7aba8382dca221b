#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/registry_api.h"

namespace thrustlet {

// A value read from or written to the settings store: text, a 32-bit number,
// nothing (empty) or null, the mark of a read that failed unexpectedly.
struct RegValue {
    enum class Kind { kEmpty, kNull, kText, kInteger };
    Kind kind = Kind::kEmpty;
    std::string text;
    int32_t integer = 0;

    static RegValue Text(std::string value) { return {Kind::kText, std::move(value), 0}; }
    static RegValue Integer(int32_t value) { return {Kind::kInteger, std::string(), value}; }
    static RegValue Null() { return {Kind::kNull, std::string(), 0}; }
    bool IsEmpty() const { return kind == Kind::kEmpty; }
    bool operator==(const RegValue&) const = default;
};

// The text of a value as it is written to a text entry: numbers as their
// decimal text, nothing as ""; null fails with "Invalid use of Null" (94).
std::string RegValueText(const RegValue& value);

// Stored value data as the program reads it, for every reader of the store.
// A number: its four stored bytes, least significant first, as a signed
// 32-bit value.
int32_t DecodeNumber(const uint8_t bytes[4]);
// Text: the first `size` stored bytes less a terminating NUL. The settings
// layer drops the last byte whatever it is (a text stored without its NUL
// loses its last character); the About box's lookups drop it only when it
// is a NUL.
enum class TextEnd { kDropLastByte, kDropNul };
std::string DecodeText(const uint8_t* data, uint32_t size, TextEnd rule);

// The program's only access to the settings store. Every operation opens the
// key it needs and closes it again before it returns. Only CreateRegKey
// raises (RunTimeError -1 with the store's message text); the others report
// through their result: a value that cannot be read reads as "", a value that
// cannot be written is not written.
class RegFuncs {
public:
    explicit RegFuncs(IRegistryApi& api) : api_(api) {}

    std::string GetRegErrorText(int32_t code);
    void CreateRegKey(const std::string& path, RegHandle root);
    bool RegKeyExists(const std::string& path, RegHandle root);
    // Type 0 means text (1); root 0 means HKEY_LOCAL_MACHINE.
    void WriteRegValue(const std::string& path, const std::string& name, const RegValue& value,
                       int32_t type = 0, RegHandle root = 0);
    int32_t WriteKeyValue(RegHandle key, const std::string& name, int32_t type, const RegValue& value);
    // Root 0 means HKEY_LOCAL_MACHINE.
    RegValue ReadRegValue(const std::string& path, const std::string& name, RegHandle root = 0);
    // Sets `value` only as the stored type allows; returns the last status,
    // or -1 for a stored type other than text or number.
    int32_t ReadKeyValue(RegHandle key, const std::string& name, RegValue& value);

    // Runs `body` under the store's lock of `root` (see
    // IRegistryApi::Exclusive); the status of taking the lock.
    int32_t Exclusive(RegHandle root, const std::function<void()>& body) { return api_.Exclusive(root, body); }

private:
    IRegistryApi& api_;
};

}  // namespace thrustlet
