#include "model/formats/firing_log.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstdint>

#include "platform/durable_file.h"
#include "model/errors.h"
#include "model/number_text.h"
#include "model/units.h"

namespace thrustlet {

namespace {

constexpr std::size_t kFewestSamples = 10;
constexpr std::uintmax_t kMostFiringBytes = std::uintmax_t{256} << 20;

[[noreturn]] void Refuse(const std::string& message) { throw RunTimeError(err::kInvalidCall, message); }

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\f\v");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\f\v") - first + 1);
}

// The line starting at `at`, moving `at` past its end (CR LF, LF or CR).
std::string_view NextLine(std::string_view text, std::size_t& at) {
    std::size_t end = at;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    const std::string_view line = text.substr(at, end - at);
    at = end;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;
    return line;
}

// Moves `at` past a run of blank lines (nothing but spaces and tabs) to the
// start of the next line with text, adding the lines passed to `lines`: a
// log of millions of blank lines is passed at the speed of a search.
void SkipBlankLines(std::string_view text, std::size_t& at, std::size_t& lines) {
    // Plain loops: the library's searches for any of several characters
    // test each one with a search of its own.
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; };
    std::size_t end = at;
    while (end < text.size() && blank(text[end])) ++end;
    std::size_t start = end;  // where the line holding the text starts
    while (start > at && text[start - 1] != '\n' && text[start - 1] != '\r') --start;
    if (start == at) return;  // the text starts on this line
    const std::string_view passed = text.substr(at, start - at);
    std::size_t count = static_cast<std::size_t>(std::count(passed.begin(), passed.end(), '\n'));
    if (count == 0) count = static_cast<std::size_t>(std::count(passed.begin(), passed.end(), '\r'));  // CR alone
    lines += count;
    at = start;
}

enum class Separator { kSemicolon, kTab, kComma, kSpace };

// The fields of a line into `fields` (kept between lines: a log of a
// million lines splits without allocating for each).
void SplitInto(std::string_view line, Separator separator, std::vector<std::string_view>& fields) {
    fields.clear();
    if (separator == Separator::kSpace) {
        std::size_t at = 0;
        while (at < line.size()) {
            at = line.find_first_not_of(" \t", at);
            if (at == std::string_view::npos) break;
            const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
            fields.push_back(line.substr(at, end - at));
            at = end;
        }
        return;
    }
    const char mark = separator == Separator::kSemicolon ? ';' : separator == Separator::kTab ? '\t' : ',';
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = line.find(mark, at);
        fields.push_back(Trim(line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at)));
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    // A separator at the end of the line (a logger's habit) parts nothing.
    if (fields.size() > 1 && fields.back().empty()) fields.pop_back();
}

std::vector<std::string_view> Split(std::string_view line, Separator separator) {
    std::vector<std::string_view> fields;
    SplitInto(line, separator, fields);
    return fields;
}

// A field as a number: kValue, kNone (not a number) or kNonFinite (nan,
// infinity, or past the range of numbers).
enum class Read { kValue, kNone, kNonFinite };
Read Number(std::string_view field, bool decimal_comma, double* value) {
    field = Trim(field);
    if (field.empty()) return Read::kNone;
    char buffer[64];
    if (field.size() >= sizeof buffer) return Read::kNone;
    std::size_t length = 0;
    for (std::size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == '+' && i == 0) continue;
        if (c == ',' && decimal_comma) c = '.';
        buffer[length++] = c;
    }
    const auto result = std::from_chars(buffer, buffer + length, *value, std::chars_format::general);
    if (result.ptr != buffer + length) return Read::kNone;
    if (result.ec == std::errc::result_out_of_range) {
        // Past the range: a tiny value is 0, a huge one no measurement.
        buffer[length] = '\0';
        *value = std::strtod(buffer, nullptr);
        return std::isfinite(*value) && std::fabs(*value) < 1.0 ? Read::kValue : Read::kNonFinite;
    }
    if (result.ec != std::errc()) return Read::kNone;
    return std::isfinite(*value) ? Read::kValue : Read::kNonFinite;
}

// Splits a line into numbers when every field is one; `decimal_comma` for
// separators other than the comma.
bool Numbers(std::string_view line, Separator separator, std::vector<double>* values, bool* non_finite) {
    thread_local std::vector<std::string_view> fields;
    values->clear();
    *non_finite = false;
    SplitInto(line, separator, fields);
    for (std::string_view field : fields) {
        double value = 0.0;
        switch (Number(field, separator != Separator::kComma, &value)) {
            case Read::kValue:
                values->push_back(value);
                break;
            case Read::kNonFinite:
                *non_finite = true;
                values->push_back(0.0);
                break;
            case Read::kNone:
                return false;
        }
    }
    return values->size() >= 2;
}

// What a header says of a column.
enum class Role { kNone, kTime, kForce, kPressure };
struct Column {
    Role role = Role::kNone;
    std::string unit;  // as written, lower case, "" when not said
};

// Header fields: split like the data, a bracketed unit after a space kept
// with its name ("time (s)").
std::vector<std::string_view> HeaderFields(std::string_view line, Separator separator) {
    std::vector<std::string_view> raw = Split(line, separator);
    if (separator != Separator::kSpace) return raw;
    std::vector<std::string_view> fields;
    for (std::string_view field : raw) {
        if (!fields.empty() && (field.front() == '(' || field.front() == '[')) {
            const char* start = fields.back().data();
            fields.back() = std::string_view(start, static_cast<std::size_t>(field.data() + field.size() - start));
        } else {
            fields.push_back(field);
        }
    }
    return fields;
}

Column ColumnOf(std::string_view field) {
    std::string text = Lower(Trim(field));
    Column column;
    for (const auto& [open, close] : {std::pair{'[', ']'}, std::pair{'(', ')'}}) {
        const std::size_t start = text.find(open);
        const std::size_t end = text.find(close, start == std::string::npos ? 0 : start);
        if (start != std::string::npos && end != std::string::npos && end > start) {
            column.unit = std::string(Trim(std::string_view(text).substr(start + 1, end - start - 1)));
            text.erase(start, end - start + 1);
            break;
        }
    }
    const std::string name(Trim(text));
    const auto has = [&](const char* word) { return name.find(word) != std::string::npos; };
    if (has("time") || name == "t" || name == "zeit") {
        column.role = Role::kTime;
    } else if (has("press") || name == "p" || name == "pc" || name == "p_c" || has("chamber")) {
        column.role = Role::kPressure;
    } else if (has("force") || has("thrust") || has("load") || name == "f" || name == "kraft") {
        column.role = Role::kForce;
    }
    return column;
}

std::optional<TimeUnit> TimeUnitOf(const std::string& unit) {
    if (unit == "s" || unit == "sec" || unit == "secs" || unit == "second" || unit == "seconds") return TimeUnit::kSecond;
    if (unit == "ms" || unit == "msec" || unit == "millisecond" || unit == "milliseconds") return TimeUnit::kMillisecond;
    return std::nullopt;
}

std::optional<ForceUnit> ForceUnitOf(const std::string& unit) {
    if (unit == "n" || unit == "newton" || unit == "newtons") return ForceUnit::kNewton;
    if (unit == "lbf" || unit == "lb" || unit == "lbs" || unit == "pound" || unit == "pounds") return ForceUnit::kPoundForce;
    if (unit == "kgf" || unit == "kg" || unit == "kp") return ForceUnit::kKilogramForce;
    return std::nullopt;
}

// The unit and whether it says the pressure is absolute ("psia").
std::optional<PressureUnit> PressureUnitOf(const std::string& unit, bool* absolute = nullptr) {
    if (absolute) *absolute = unit == "psia" || unit == "bara" || unit == "pa abs";
    if (unit == "pa") return PressureUnit::kPascal;
    if (unit == "kpa") return PressureUnit::kKilopascal;
    if (unit == "mpa") return PressureUnit::kMegapascal;
    if (unit == "bar" || unit == "barg" || unit == "bara") return PressureUnit::kBar;
    if (unit == "psi" || unit == "psig" || unit == "psia") return PressureUnit::kPsi;
    return std::nullopt;
}

double Factor(TimeUnit unit) { return unit == TimeUnit::kMillisecond ? 1e-3 : 1.0; }
double Factor(ForceUnit unit) {
    return unit == ForceUnit::kPoundForce ? kNewtonsPerPoundForce : unit == ForceUnit::kKilogramForce ? kNewtonsPerKilogramForce : 1.0;
}
double Factor(PressureUnit unit) {
    switch (unit) {
        case PressureUnit::kPascal:
            return 1.0;
        case PressureUnit::kKilopascal:
            return kPascalsPerKilopascal;
        case PressureUnit::kMegapascal:
            return kPascalsPerMegapascal;
        case PressureUnit::kBar:
            return kPascalsPerBar;
        case PressureUnit::kPsi:
            return kPascalsPerPsi;
    }
    return 1.0;
}

std::string Shown(double value) { return DoubleToText(value, '.'); }

// The header: the last of the lines before the data (`lines` up to
// `first`) with a field per column, one of them known; none when there is
// no such line.
std::vector<Column> HeaderBefore(const std::vector<std::string_view>& lines, std::size_t first, Separator separator) {
    for (std::size_t i = first; i-- > 0;) {
        const std::vector<std::string_view> fields = HeaderFields(lines[i], separator);
        if (fields.size() < 2) continue;
        std::vector<Column> named;
        for (std::string_view field : fields) named.push_back(ColumnOf(field));
        if (std::any_of(named.begin(), named.end(), [](const Column& c) { return c.role != Role::kNone; })) return named;
    }
    return {};
}

// Where the time, force and pressure are (-1: not there): by the header's
// names, else time, force and a third column of pressure.
void ColumnsOf(const std::vector<Column>& header, std::size_t columns, int* time_at, int* force_at, int* pressure_at) {
    if (header.empty()) {
        *force_at = columns > 1 ? 1 : -1;
        *pressure_at = columns > 2 ? 2 : -1;
        return;
    }
    int found_time = -1;
    for (std::size_t c = 0; c < header.size() && c < columns; ++c) {
        const int at = static_cast<int>(c);
        if (header[c].role == Role::kTime && found_time < 0) found_time = at;
        if (header[c].role == Role::kForce && *force_at < 0) *force_at = at;
        if (header[c].role == Role::kPressure && *pressure_at < 0) *pressure_at = at;
    }
    *time_at = found_time >= 0 ? found_time : 0;
}

// What turns each column's numbers into SI: the factors, and the ambient
// pressure added to gauge pressures.
struct ColumnScales {
    double time = 1.0, force = 1.0, pressure = 1.0, pressure_offset = 0.0;
};

// The columns' units: the header's, else the user's (a pressure's "psia" or
// "absolute" makes the pressures absolute).
ColumnScales ScalesOf(const std::vector<Column>& header, int time_at, int force_at, int pressure_at,
                      const FiringReadOptions& options, bool header_absolute) {
    // Units: the header's, else the user's; never guessed (a log of
    // milliseconds read as seconds is a burn a thousand times too long).
    const auto header_unit = [&](int at) { return at >= 0 && at < static_cast<int>(header.size()) ? header[static_cast<size_t>(at)].unit : std::string(); };
    if (header_unit(time_at).empty() && !options.units.time) {
        Refuse("the time column's unit is not known: name it in the header (\"time (ms)\") or give it (time=s or time=ms)");
    }
    if (force_at >= 0 && header_unit(force_at).empty() && !options.units.force) {
        Refuse("the force column's unit is not known: name it in the header (\"thrust (N)\") or give it "
               "(force=N, force=lbf or force=kgf)");
    }
    TimeUnit time_unit = options.units.time.value_or(TimeUnit::kSecond);
    if (!header_unit(time_at).empty()) {
        if (const auto unit = TimeUnitOf(header_unit(time_at))) {
            time_unit = *unit;
        } else {
            Refuse("the time column's unit \"" + header_unit(time_at) + "\" is not s or ms");
        }
    }
    ForceUnit force_unit = options.units.force.value_or(ForceUnit::kNewton);
    if (force_at >= 0 && !header_unit(force_at).empty()) {
        if (const auto unit = ForceUnitOf(header_unit(force_at))) {
            force_unit = *unit;
        } else {
            Refuse("the force column's unit \"" + header_unit(force_at) + "\" is not N, lbf or kgf");
        }
    }
    std::optional<PressureUnit> pressure_unit = options.units.pressure;
    if (pressure_at >= 0 && !header_unit(pressure_at).empty()) {
        pressure_unit = PressureUnitOf(header_unit(pressure_at), &header_absolute);
        if (!pressure_unit) Refuse("the pressure column's unit \"" + header_unit(pressure_at) + "\" is not Pa, kPa, MPa, bar or psi");
    }
    if (pressure_at >= 0 && !pressure_unit) {
        Refuse("the pressure column's unit is not known: name it in the header (\"pressure (psi)\") or give it "
               "(pressure=psi)");
    }
    ColumnScales scales;
    scales.time = Factor(time_unit);
    scales.force = Factor(force_unit);
    scales.pressure = pressure_unit ? Factor(*pressure_unit) : 1.0;
    scales.pressure_offset = options.absolute || header_absolute ? 0.0 : options.ambient;
    return scales;

}

}  // namespace

FiringUnits ParseFiringUnits(std::string_view text) {
    FiringUnits units;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find(',', at), text.size());
        const std::string_view item = Trim(text.substr(at, end - at));
        at = end + 1;
        if (item.empty()) continue;
        const std::size_t equals = item.find('=');
        const std::string key = Lower(Trim(item.substr(0, equals)));
        const std::string value = equals == std::string_view::npos ? "" : Lower(Trim(item.substr(equals + 1)));
        if (key == "time" && TimeUnitOf(value)) {
            units.time = TimeUnitOf(value);
        } else if (key == "force" && ForceUnitOf(value)) {
            units.force = ForceUnitOf(value);
        } else if (key == "pressure" && PressureUnitOf(value)) {
            units.pressure = PressureUnitOf(value);
        } else {
            Refuse("unknown firing unit \"" + std::string(item) +
                   "\": give time=s|ms, force=N|lbf|kgf, pressure=Pa|kPa|MPa|bar|psi");
        }
    }
    return units;
}

Firing ReadFiring(std::string_view text, const FiringReadOptions& options) {
    // The first line of numbers says how values are parted; the lines
    // before it may hold the header. Only the last few of those are kept
    // (the header is the last with a field per column), so a log of any
    // preamble reads in memory for its samples alone.
    constexpr std::size_t kKeptBefore = 64;
    Separator separator = Separator::kSpace;
    std::vector<std::string_view> lines;  // the last non-blank lines up to the first line of numbers
    std::vector<double> values;
    bool non_finite = false;
    bool found = false;
    std::size_t first = 0;     // the first line of numbers, counted from 0 in the text
    std::size_t first_at = 0;  // where it starts
    int remarks = 0;           // the lines with text before it
    for (std::size_t at = 0, index = 0; at < text.size() && !found; ++index) {
        SkipBlankLines(text, at, index);
        if (at >= text.size()) break;
        const std::size_t line_at = at;
        const std::string_view line = NextLine(text, at);
        if (Trim(line).empty()) continue;
        if (lines.size() == 2 * kKeptBefore) lines.erase(lines.begin(), lines.begin() + kKeptBefore);
        lines.push_back(line);
        for (Separator candidate : {Separator::kSemicolon, Separator::kTab, Separator::kComma, Separator::kSpace}) {
            if (Numbers(line, candidate, &values, &non_finite)) {
                separator = candidate;
                found = true;
                first = index;
                first_at = line_at;
                break;
            }
        }
        if (!found) ++remarks;
    }
    if (!found) Refuse("no line holds samples (a time and a force or a pressure, as numbers)");

    // The header: the last line before the data with a field per column.
    const std::size_t columns = values.size();
    const std::vector<Column> header = HeaderBefore(lines, lines.size() - 1, separator);
    // Commas between twice as many numbers as the header has columns:
    // decimal commas parted by commas ("1,5,0,37" under "time,thrust") read
    // either way, so neither is taken.
    if (separator == Separator::kComma && !header.empty() && columns == 2 * header.size()) {
        Refuse("its lines hold " + std::to_string(columns) + " comma-parted numbers under a header of " +
               std::to_string(header.size()) + " columns: decimal commas between commas cannot be told apart; "
               "save the log with \";\" or tabs between its columns");
    }
    bool header_absolute = false;
    int time_at = 0, force_at = -1, pressure_at = -1;
    ColumnsOf(header, columns, &time_at, &force_at, &pressure_at);
    if (force_at < 0 && pressure_at < 0) Refuse("the file has neither a force nor a pressure column");

    const ColumnScales scales = ScalesOf(header, time_at, force_at, pressure_at, options, header_absolute);
    const double time_factor = scales.time, force_factor = scales.force, pressure_factor = scales.pressure;
    const double pressure_offset = scales.pressure_offset;

    Firing firing;
    // Room for as many samples as the text after the first has lines of
    // the first's length, not for every line end (a log of blank lines
    // would take memory for samples it never had).
    const std::size_t likely = (text.size() - std::min(text.size(), lines.back().size())) / (lines.back().size() + 1) + 1;
    firing.time.reserve(likely);
    if (force_at >= 0) firing.force.reserve(likely);
    if (pressure_at >= 0) firing.pressure.reserve(likely);
    const int needed = std::max({time_at, force_at, pressure_at});
    // From the first line of numbers on; the lines with text before it
    // are skipped ones.
    firing.skipped_lines = remarks;
    std::size_t at = first_at;
    for (std::size_t i = first; at < text.size(); ++i) {
        SkipBlankLines(text, at, i);
        if (at >= text.size()) break;
        const std::string_view line = NextLine(text, at);
        if (Trim(line).empty()) continue;
        if (i < first || !Numbers(line, separator, &values, &non_finite) || static_cast<int>(values.size()) <= needed) {
            if (i != first) ++firing.skipped_lines;
            continue;
        }
        const auto where = [i] { return "line " + std::to_string(i + 1); };
        if (non_finite) Refuse(where() + " holds a value that is not a finite number");
        const double time = values[static_cast<size_t>(time_at)] * time_factor;
        if (!firing.time.empty() && !(time > firing.time.back())) {
            Refuse(where() + ": the time " + Shown(values[static_cast<size_t>(time_at)]) +
                   (time == firing.time.back() ? " repeats the line before's" : " goes back from the line before's"));
        }
        firing.time.push_back(time);
        if (force_at >= 0) firing.force.push_back(values[static_cast<size_t>(force_at)] * force_factor);
        if (pressure_at >= 0) {
            firing.pressure.push_back(values[static_cast<size_t>(pressure_at)] * pressure_factor + pressure_offset);
        }
    }
    if (firing.Samples() < kFewestSamples) {
        Refuse("only " + std::to_string(firing.Samples()) + " samples: a firing needs at least " +
               std::to_string(kFewestSamples));
    }
    return firing;
}

Firing ReadFiringFile(const std::string& path, const FiringReadOptions& options) {
    return ReadFiring(ReadWholeFile(path, kMostFiringBytes, "a firing's data"), options);
}

}  // namespace thrustlet
