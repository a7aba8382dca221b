#include "model/number_text.h"

#include <cctype>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <limits>
#include <system_error>

#include "model/errors.h"
#include "model/numeric.h"

namespace thrustlet {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

[[noreturn]] void ThrowTypeMismatch() { throw RunTimeError(err::kTypeMismatch, "Type mismatch"); }

std::string FormatGeneral(double value, int precision, char decimal_point) {
    if (value == 0.0) return "0";  // also folds -0 into 0
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c == 'e') c = 'E';
        else if (c == '.') c = decimal_point;
    }
    return text;
}

}  // namespace

DecimalScan ScanDecimal(std::string_view text, char decimal_point) {
    const std::string_view body = TrimBlanks(text);
    // Rebuild the number in the "C" form that from_chars reads, and keep
    // track of its decimal magnitude for values from_chars cannot hold.
    std::string canonical;
    canonical.reserve(body.size());
    size_t i = 0;
    bool negative = false;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) {
        negative = body[i] == '-';
        ++i;
    }
    if (negative) canonical.push_back('-');
    int mantissa_digits = 0;
    long long leading_exponent = 0;  // decimal exponent of the first non-zero digit
    bool seen_nonzero = false;
    long long integer_digits = 0;
    long long zero_fraction_digits = 0;
    while (i < body.size() && IsDigit(body[i])) {
        if (body[i] != '0') seen_nonzero = true;
        if (seen_nonzero) ++integer_digits;
        canonical.push_back(body[i++]);
        ++mantissa_digits;
    }
    if (i < body.size() && body[i] == decimal_point) {
        canonical.push_back('.');
        ++i;
        while (i < body.size() && IsDigit(body[i])) {
            if (body[i] != '0') seen_nonzero = true;
            if (!seen_nonzero) ++zero_fraction_digits;
            canonical.push_back(body[i++]);
            ++mantissa_digits;
        }
    }
    if (mantissa_digits == 0) return {};
    long long exponent = 0;
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        canonical.push_back('e');
        ++i;
        bool exponent_negative = false;
        if (i < body.size() && (body[i] == '+' || body[i] == '-')) {
            exponent_negative = body[i] == '-';
            canonical.push_back(body[i++]);
        }
        int exponent_digits = 0;
        while (i < body.size() && IsDigit(body[i])) {
            if (exponent < 100000000) exponent = exponent * 10 + (body[i] - '0');
            canonical.push_back(body[i++]);
            ++exponent_digits;
        }
        if (exponent_digits == 0) return {};
        if (exponent_negative) exponent = -exponent;
    }
    if (i != body.size()) return {};

    if (!seen_nonzero) return {DecimalScan::Kind::kValue, negative ? -0.0 : 0.0};
    leading_exponent = integer_digits > 0 ? integer_digits - 1 : -(zero_fraction_digits + 1);
    leading_exponent += exponent;

    double value = 0.0;
    const char* first = canonical.data();
    const auto result = std::from_chars(first, first + canonical.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (leading_exponent > 0) return {DecimalScan::Kind::kTooLarge, 0.0};
        return {DecimalScan::Kind::kValue, negative ? -0.0 : 0.0};  // underflows to zero
    }
    if (result.ec != std::errc() || result.ptr != first + canonical.size()) return {};
    return {DecimalScan::Kind::kValue, value};
}

bool IsNumericText(std::string_view text, char decimal_point) {
    return ScanDecimal(text, decimal_point).kind != DecimalScan::Kind::kNotNumeric;
}

double TextToDouble(std::string_view text, char decimal_point) {
    const DecimalScan scan = ScanDecimal(text, decimal_point);
    if (scan.kind == DecimalScan::Kind::kNotNumeric) ThrowTypeMismatch();
    if (scan.kind == DecimalScan::Kind::kTooLarge) ThrowOverflow();
    return scan.value;
}

float TextToSingle(std::string_view text, char decimal_point) {
    return ToSingle(TextToDouble(text, decimal_point));
}

int16_t TextToInteger(std::string_view text, char decimal_point) {
    const double rounded = RoundHalfEven(TextToDouble(text, decimal_point));
    if (rounded < INT16_MIN || rounded > INT16_MAX) ThrowOverflow();
    return static_cast<int16_t>(rounded);
}

std::string SingleToText(float value, char decimal_point) {
    return FormatGeneral(value, 7, decimal_point);
}

// The seven-digit form where it reads back exactly (most values a user
// types), else the first longer one that does: eight or nine digits, rarely
// more, as reading goes through a double whose rounding to a float can miss
// by one step. 17 digits give that double (holding the float exactly) itself.
std::string SingleToExactText(float value, char decimal_point) {
    if (!std::isfinite(value)) return SingleToText(value, decimal_point);
    const auto reads_back = [&](const std::string& text) {
        try {
            return TextToSingle(text, decimal_point) == value;
        } catch (const RunTimeError&) {
            return false;  // rounded up past the largest float
        }
    };
    for (int precision = 7; precision < 17; ++precision) {
        const std::string text = FormatGeneral(value, precision, decimal_point);
        if (reads_back(text)) return text;
    }
    return FormatGeneral(value, 17, decimal_point);
}

std::string DoubleToText(double value, char decimal_point) {
    return FormatGeneral(value, 15, decimal_point);
}

}  // namespace thrustlet
