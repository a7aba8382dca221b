#include "model/errors.h"

#include <utility>

namespace thrustlet {

RunTimeError::RunTimeError(int32_t number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

void ThrowOverflow() { throw RunTimeError(err::kOverflow, "Overflow"); }

void ThrowDivisionByZero() { throw RunTimeError(err::kDivisionByZero, "Division by zero"); }

void ThrowSubscriptOutOfRange() {
    throw RunTimeError(err::kSubscriptOutOfRange, "Subscript out of range");
}

void ThrowUnknownGrainType(int16_t code) {
    throw RunTimeError(err::kUnknownGrainType, "Unknown Grain Type: " + std::to_string(code));
}

}  // namespace thrustlet
