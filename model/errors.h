#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace thrustlet {

// A run-time failure carrying the classic error number and its description.
// The model raises these and never reports them; the window's handlers show
// "<description> in <routine>".
class RunTimeError : public std::runtime_error {
public:
    RunTimeError(int32_t number, std::string description);

    int32_t Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }

private:
    int32_t number_;
    std::string description_;
};

// Error numbers used across the program.
namespace err {
inline constexpr int32_t kUnknownGrainType = -1;
inline constexpr int32_t kInvalidCall = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kDivisionByZero = 11;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kFileNotFound = 53;
inline constexpr int32_t kDeviceIo = 57;
inline constexpr int32_t kInputPastEnd = 62;
inline constexpr int32_t kPermissionDenied = 70;
inline constexpr int32_t kPathFileAccess = 75;
inline constexpr int32_t kPathNotFound = 76;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kInvalidFileFormat = 321;
}  // namespace err

[[noreturn]] void ThrowOverflow();
[[noreturn]] void ThrowDivisionByZero();
[[noreturn]] void ThrowSubscriptOutOfRange();
[[noreturn]] void ThrowUnknownGrainType(int16_t code);

}  // namespace thrustlet
