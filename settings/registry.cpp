#include "settings/registry.h"

#include <vector>

#include "model/errors.h"
#include "model/number_text.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

constexpr uint32_t kMessageBufferSize = 256;

}  // namespace

std::string RegValueText(const RegValue& value) {
    switch (value.kind) {
        case RegValue::Kind::kText:
            return value.text;
        case RegValue::Kind::kInteger:
            return std::to_string(value.integer);
        case RegValue::Kind::kEmpty:
            return std::string();
        case RegValue::Kind::kNull:
            break;
    }
    throw RunTimeError(94, "Invalid use of Null");
}

int32_t DecodeNumber(const uint8_t bytes[4]) {
    const uint32_t raw = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return static_cast<int32_t>(raw);
}

std::string DecodeText(const uint8_t* data, uint32_t size, TextEnd rule) {
    if (size > 0 && (rule == TextEnd::kDropLastByte || data[size - 1] == 0)) --size;
    return std::string(data, data + size);
}

namespace {

// The 32-bit number of a value written to a number entry; text must be a
// number (rounded halves to even) within the 32-bit range.
int32_t AsInteger(const RegValue& value) {
    switch (value.kind) {
        case RegValue::Kind::kInteger:
            return value.integer;
        case RegValue::Kind::kEmpty:
            return 0;
        case RegValue::Kind::kText: {
            const double rounded = RoundHalfEven(TextToDouble(value.text, '.'));
            if (rounded < INT32_MIN || rounded > INT32_MAX) ThrowOverflow();
            return static_cast<int32_t>(rounded);
        }
        case RegValue::Kind::kNull:
            break;
    }
    throw RunTimeError(94, "Invalid use of Null");
}

}  // namespace

std::string RegFuncs::GetRegErrorText(int32_t code) {
    char buffer[kMessageBufferSize] = {};
    const uint32_t length = api_.FormatMessageText(code, buffer, kMessageBufferSize);
    if (length > 0 && length <= kMessageBufferSize) return std::string(buffer, length);
    return "Error not found.";
}

void RegFuncs::CreateRegKey(const std::string& path, RegHandle root) {
    RegHandle key = 0;
    const int32_t status = api_.CreateKey(root, path, reg::kAccessAllKeyRights, &key);
    if (status != reg::kSuccess) {
        if (key != 0) api_.CloseKey(key);
        throw RunTimeError(-1, GetRegErrorText(status));
    }
    api_.CloseKey(key);
}

bool RegFuncs::RegKeyExists(const std::string& path, RegHandle root) {
    RegHandle key = 0;
    const int32_t status = api_.OpenKey(root, path, reg::kAccessAllKeyRights, &key);
    if (key != 0) api_.CloseKey(key);
    return status == reg::kSuccess;
}

void RegFuncs::WriteRegValue(const std::string& path, const std::string& name, const RegValue& value,
                             int32_t type, RegHandle root) {
    if (type == 0) type = reg::kTypeText;
    if (root == 0) root = kHkeyLocalMachine;
    RegHandle key = 0;
    api_.OpenKey(root, path, reg::kAccessAllKeyRights, &key);  // a failed open stores nothing below
    try {
        WriteKeyValue(key, name, type, value);
    } catch (const RunTimeError&) {
        // A value that cannot be converted is not written; nothing is reported.
    }
    if (key != 0) api_.CloseKey(key);
}

int32_t RegFuncs::WriteKeyValue(RegHandle key, const std::string& name, int32_t type, const RegValue& value) {
    if (type == static_cast<int32_t>(reg::kTypeText)) {
        std::string text = RegValueText(value);
        text.push_back('\0');
        return api_.SetValue(key, name, reg::kTypeText, reinterpret_cast<const uint8_t*>(text.data()),
                             static_cast<uint32_t>(text.size()));
    }
    if (type == static_cast<int32_t>(reg::kTypeNumber)) {
        const int32_t number = AsInteger(value);
        uint8_t bytes[4];
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(number) >> (8 * i));
        return api_.SetValue(key, name, reg::kTypeNumber, bytes, 4);
    }
    return reg::kSuccess;  // other types store nothing
}

RegValue RegFuncs::ReadRegValue(const std::string& path, const std::string& name, RegHandle root) {
    if (root == 0) root = kHkeyLocalMachine;
    RegHandle key = 0;
    RegValue result;
    try {
        api_.OpenKey(root, path, reg::kAccessAllKeyRights, &key);
        ReadKeyValue(key, name, result);
        if (result.IsEmpty()) result = RegValue::Text("");
    } catch (const std::exception&) {
        result = RegValue::Null();
    }
    if (key != 0) api_.CloseKey(key);
    return result;
}

int32_t RegFuncs::ReadKeyValue(RegHandle key, const std::string& name, RegValue& value) {
    uint32_t type = reg::kTypeNone;
    uint32_t size = 0;
    int32_t status = api_.QueryValue(key, name, &type, nullptr, &size);
    if (status != reg::kSuccess) return status;

    if (type == reg::kTypeText) {
        std::vector<uint8_t> buffer(size, 0);
        status = api_.QueryValue(key, name, &type, buffer.data(), &size);
        if (status != reg::kSuccess) {
            value = RegValue::Text("");
        } else if (size >= 1 && size <= buffer.size()) {
            value = RegValue::Text(DecodeText(buffer.data(), size, TextEnd::kDropLastByte));
        }
        // Zero bytes of data leave the value as it was.
        return status;
    }
    if (type == reg::kTypeNumber) {
        uint8_t bytes[4] = {};
        size = sizeof bytes;
        status = api_.QueryValue(key, name, &type, bytes, &size);
        if (status == reg::kSuccess) value = RegValue::Integer(DecodeNumber(bytes));
        return status;
    }
    return -1;
}

}  // namespace thrustlet
