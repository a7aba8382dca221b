#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace thrustlet {

// Plain decimal numbers as text: an optional sign, digits with at most one
// decimal separator, an optional exponent (E or e, optional sign, digits),
// and blanks (spaces or tabs) around it. No thousands separators, no hex, no
// "inf" or "nan". The window uses the user's decimal separator; the motor
// file always uses ".".

// The outcome of reading a number: not a number at all, a value too large
// for double precision, or the value itself.
struct DecimalScan {
    enum class Kind { kNotNumeric, kTooLarge, kValue };
    Kind kind = Kind::kNotNumeric;
    double value = 0.0;
};

DecimalScan ScanDecimal(std::string_view text, char decimal_point);

// True when `text` is a plain decimal number (the numeric test of the window).
bool IsNumericText(std::string_view text, char decimal_point);

// Text to number; fails with "Type mismatch" (13) for text that is not
// numeric and with "Overflow" (6) for a value outside the target range.
double TextToDouble(std::string_view text, char decimal_point);
float TextToSingle(std::string_view text, char decimal_point);
// Rounds halves to even before the 16-bit range check.
int16_t TextToInteger(std::string_view text, char decimal_point);

// Shortest text of a float: at most 7 significant digits, no trailing zeros,
// no point for whole values, E+NN form for very large or small magnitudes.
std::string SingleToText(float value, char decimal_point);
// The shortest text of a float, in the form above, that TextToSingle reads
// back as exactly the same float: seven significant digits where they do,
// more where they do not.
std::string SingleToExactText(float value, char decimal_point);
// The same for a double, with at most 15 significant digits.
std::string DoubleToText(double value, char decimal_point);

}  // namespace thrustlet
