#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/firing.h"
#include "model/units.h"

namespace thrustlet {

// A static firing as a test stand logs it: a text file of samples, one a
// line, with a time column and a force column, a chamber-pressure column
// or both. Values may be parted by commas, semicolons, tabs or spaces; a
// decimal comma is read where commas do not part the values. A header line
// names the columns ("time", "t", "force", "thrust", "load", "pressure",
// "pc", ...) and, in brackets or parentheses, their units ("time (s)",
// "t[ms]", "thrust[lbf]", "Pc [MPa]"); where it does not say, the user does.
// Without a header the columns are time, force and (a third) pressure.

enum class TimeUnit { kSecond, kMillisecond };
enum class ForceUnit { kNewton, kPoundForce, kKilogramForce };
enum class PressureUnit { kPascal, kKilopascal, kMegapascal, kBar, kPsi };

struct FiringUnits {
    // Each must be said, by the log's header or here.
    std::optional<TimeUnit> time;
    std::optional<ForceUnit> force;
    std::optional<PressureUnit> pressure;
};
// "time=ms,force=lbf,pressure=psi" (any of the three, any letter case).
// Fails with a RunTimeError naming what it could not read.
FiringUnits ParseFiringUnits(std::string_view text);

struct FiringReadOptions {
    FiringUnits units;        // where the header does not say
    bool absolute = false;    // pressures are absolute (else gauge)
    double ambient = kStandardAtmosphere;  // Pa, added to gauge pressures
};

// Reads a firing's text. Lines that are not numbers are skipped and
// counted; a time that does not rise names its line; fewer than 10 samples,
// neither a force nor a pressure column, a pressure column of no known unit
// or a value that is not a finite number fail with a RunTimeError saying so.
Firing ReadFiring(std::string_view text, const FiringReadOptions& options);
// The same from a file (at most 256 MiB).
Firing ReadFiringFile(const std::string& path, const FiringReadOptions& options);

}  // namespace thrustlet
