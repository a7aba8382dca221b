#include "cli/terminal.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "model/number_text.h"

namespace thrustlet {

namespace {

// One UTF-8 sequence at `at`: its length and code point, or 0 when the
// bytes there are not valid UTF-8 (overlong forms and surrogates included).
std::size_t Utf8Sequence(const std::string& text, std::size_t at, uint32_t* code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    uint32_t value = 0, minimum = 0;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *code = value;
    return length;
}

bool IsControl(uint32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

std::string Hex2(unsigned value) {
    static const char* hex = "0123456789abcdef";
    return {hex[(value >> 4) & 0xF], hex[value & 0xF]};
}

}  // namespace

std::string TerminalSafe(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        const std::size_t length = Utf8Sequence(text, at, &code);
        if (length == 0 || IsControl(code)) {
            // Shown as \xNN per byte, so nothing in a file can steer the terminal.
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
                out += "\\x" + Hex2(static_cast<unsigned char>(text[at + i]));
            }
            at += std::max<std::size_t>(length, 1);
            continue;
        }
        out.append(text, at, length);
        at += length;
    }
    return out;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        const std::size_t length = Utf8Sequence(text, at, &code);
        if (length == 0) {
            out += "\\ufffd";  // a byte that is not UTF-8: the replacement character
            ++at;
            continue;
        }
        if (code == '"' || code == '\\') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (IsControl(code)) {
            out += "\\u00" + Hex2(code);
        } else {
            out.append(text, at, length);
        }
        at += length;
    }
    return out + "\"";
}

// JSON has no infinity or NaN: such a value is null (and the command names
// the figure on standard error).
std::string JsonNumber(double value) { return std::isfinite(value) ? DoubleToText(value, '.') : "null"; }

std::string JsonNumber(const std::optional<double>& value) { return value ? JsonNumber(*value) : "null"; }

std::string ReportNumber(double value) {
    if (std::fabs(value) > static_cast<double>(FLT_MAX)) return DoubleToText(value, '.');
    return SingleToText(static_cast<float>(value), '.');
}

}  // namespace thrustlet
