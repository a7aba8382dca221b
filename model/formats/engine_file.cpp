#include "model/formats/engine_file.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <tuple>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "model/errors.h"
#include "model/motor.h"
#include "model/motor_run.h"

namespace thrustlet {

namespace {

using Point = EnginePoint;

// The fewest points a file keeps (when the curve has them), how close to
// the motor's impulse all the curve's points must come (more are added
// where they do not) and how close the kept ones: well inside the 1 % a
// simulator's impulse is held to, so the file's rounding never matters.
constexpr std::size_t kFewestKept = 32;
constexpr double kCurveTolerance = 0.0025;
constexpr double kImpulseTolerance = 0.005;

// The curve with one point per time. A grain's burnout is a drop at one
// time; the point there takes the thrust that keeps the trapezoid's area
// on both sides (the drop's two values weighted by the steps around it).
// The last point is the burnout of the last grain, at thrust 0.
std::vector<Point> DistinctTimes(const std::vector<PerformancePoint>& curve) {
    std::vector<Point> points;
    for (std::size_t i = 0; i < curve.size(); ++i) {
        const double time = curve[i].time, thrust = curve[i].thrust, depth = curve[i].depth;
        if (!points.empty() && time <= points.back().time) {
            if (i + 1 == curve.size()) {
                points.back().thrust = 0.0;  // the end: thrust 0 at burnout
                continue;
            }
            const double before = points.size() > 1 ? time - points[points.size() - 2].time : 0.0;
            const double after = i + 1 < curve.size() ? curve[i + 1].time - time : 0.0;
            if (before + after > 0.0) {
                points.back().thrust = (points.back().thrust * before + thrust * after) / (before + after);
            }
            continue;
        }
        points.push_back({time, thrust, depth});
    }
    if (!points.empty()) points.back().thrust = 0.0;
    return points;
}

double Trapezoid(const std::vector<Point>& points) {
    double impulse = points.empty() ? 0.0 : 0.5 * points.front().time * points.front().thrust;
    for (std::size_t i = 1; i < points.size(); ++i) {
        impulse += 0.5 * (points[i].thrust + points[i - 1].thrust) * (points[i].time - points[i - 1].time);
    }
    return impulse;
}

// At least `fewest` of the points (all when there are no more), as few as
// keep the trapezoid impulse within `tolerance` of `impulse`: the points
// whose leaving out changes the area least go first, each change summed
// (Visvalingam's thinning, with the area's own measure). The first, the
// last and the peak stay. N log N in the number of points.
std::vector<Point> Thinned(const std::vector<Point>& points, std::size_t fewest, double impulse, double tolerance) {
    const std::size_t n = points.size();
    if (n <= fewest) return points;
    std::vector<std::size_t> prev(n), next(n);
    std::vector<unsigned> version(n, 0);
    std::vector<bool> alive(n, true);
    for (std::size_t i = 0; i < n; ++i) {
        prev[i] = i == 0 ? 0 : i - 1;
        next[i] = i + 1 < n ? i + 1 : n - 1;
    }
    const std::size_t peak = static_cast<std::size_t>(
        std::max_element(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.thrust < b.thrust; }) -
        points.begin());
    const auto fixed = [&](std::size_t i) { return i == 0 || i + 1 == n || i == peak; };
    // The change of the trapezoid area when point i leaves.
    const auto change = [&](std::size_t i) {
        const Point &a = points[prev[i]], &b = points[i], &c = points[next[i]];
        return 0.5 * (a.thrust + c.thrust) * (c.time - a.time) - 0.5 * (a.thrust + b.thrust) * (b.time - a.time) -
               0.5 * (b.thrust + c.thrust) * (c.time - b.time);
    };
    using Entry = std::tuple<double, std::size_t, unsigned>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        if (!fixed(i)) queue.emplace(std::fabs(change(i)), i, 0u);
    }
    double area = Trapezoid(points);
    std::size_t count = n;
    while (count > fewest && !queue.empty()) {
        const auto [weight, i, seen] = queue.top();
        queue.pop();
        if (!alive[i] || seen != version[i]) continue;
        const double delta = change(i);
        if (std::fabs(area + delta - impulse) > tolerance * impulse) continue;
        alive[i] = false;
        area += delta;
        --count;
        next[prev[i]] = next[i];
        prev[next[i]] = prev[i];
        for (std::size_t neighbour : {prev[i], next[i]}) {
            if (fixed(neighbour)) continue;
            queue.emplace(std::fabs(change(neighbour)), neighbour, ++version[neighbour]);
        }
    }
    std::vector<Point> kept;
    kept.reserve(count);
    for (std::size_t i = 0; i < n; ++i) {
        if (alive[i]) kept.push_back(points[i]);
    }
    return kept;
}

std::string Text(const char* format, double value) {
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Text with no character a header field cannot hold (spaces end a field).
std::string Field(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) <= ' ' || c == ';') c = '_';
    }
    return text.empty() ? "_" : text;
}

// Text for a comment line: one line, no control characters.
std::string CommentText(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < ' ' || c == '\x7f') c = '?';
    }
    return text;
}

}  // namespace

std::string EngineFileText(const MotorRun& run, const std::string& source, const std::string& delays) {
    if (!run.Figures()) {
        throw RunTimeError(err::kInvalidCall, "no thrust curve: " + (run.HasPropellant() ? run.Outcome().problem
                                                                                        : "the design has no propellant (Units)"));
    }
    return EngineFileText(run, *run.Figures(), source, delays);
}

EngineCurve EngineCurveOf(const MotorRun& run, const Performance& performance) {
    const cMotor& motor = run.Design();
    if (!performance.has_thrust) {
        throw RunTimeError(err::kInvalidCall,
                           "no thrust curve: the design has no specific heat ratio (SpecificHeatRatio)");
    }
    if (!(performance.total_impulse > 0.0) || performance.curve.size() < 2) {
        throw RunTimeError(err::kInvalidCall,
                           "no thrust curve: the motor gives no impulse (the nozzle gives no thrust at these "
                           "pressures)");
    }
    const PerformanceInputs& in = motor.Performance();
    const double to_mm = MetresPer(*in.units) * 1000.0;
    double diameter = 0.0, length = 0.0;
    for (const auto& grain : motor.Grains()) {
        diameter = std::max(diameter, static_cast<double>(grain->Diameter()));
        length += grain->Length();
    }
    if (in.case_diameter && *in.case_diameter > 0.0f) diameter = *in.case_diameter;
    if (in.case_length && *in.case_length > 0.0f) length = *in.case_length;
    const double hardware = in.hardware_mass && *in.hardware_mass > 0.0f ? *in.hardware_mass : 0.0;

    // The curve's own points; where even all of them sum to an impulse off
    // by more than the tolerance (a coarse step before a drop), the motor's
    // curve at the depths halfway between them is added, until they do.
    std::vector<PerformancePoint> curve = performance.curve;
    std::vector<Point> points = DistinctTimes(curve);
    const auto off = [&](const std::vector<Point>& some) {
        return std::fabs(Trapezoid(some) - performance.total_impulse) / performance.total_impulse;
    };
    // The full model's curve is its march's every step: nothing in between to add.
    const bool marched = run.Design().Performance().Model() == BurnModel::kFull;
    for (int refinement = 0; refinement < 6 && !marched && off(points) > kCurveTolerance; ++refinement) {
        std::vector<double> depths;
        for (std::size_t i = 1; i < curve.size(); ++i) {
            if (curve[i].depth > curve[i - 1].depth) depths.push_back(0.5 * (curve[i - 1].depth + curve[i].depth));
        }
        const std::vector<DepthFigures> halfway = run.AtDepths(depths);
        std::vector<PerformancePoint> denser;
        denser.reserve(curve.size() + depths.size());
        std::size_t next = 0;
        for (std::size_t i = 0; i < curve.size(); ++i) {
            if (i > 0 && curve[i].depth > curve[i - 1].depth) {
                PerformancePoint middle;
                middle.depth = depths[next];
                middle.time = halfway[next].time;
                middle.pressure = halfway[next].pressure;
                middle.thrust = halfway[next].thrust;
                ++next;
                if (middle.time > denser.back().time && middle.time < curve[i].time) denser.push_back(middle);
            }
            denser.push_back(curve[i]);
        }
        curve = std::move(denser);
        points = DistinctTimes(curve);
    }
    EngineCurve out;
    out.points = Thinned(points, kFewestKept, performance.total_impulse, kImpulseTolerance);
    out.diameter_mm = diameter * to_mm;
    out.length_mm = length * to_mm;
    out.hardware_kg = hardware;
    return out;
}

std::optional<std::string> TimeAfter(double time, double* previous) {
    std::string text;
    for (int digits = 6; digits <= 17; ++digits) {
        text = Text(("%." + std::to_string(digits) + "g").c_str(), time);
        if (std::strtod(text.c_str(), nullptr) > *previous) break;
    }
    const double printed = std::strtod(text.c_str(), nullptr);
    if (!(printed > *previous)) return std::nullopt;
    *previous = printed;
    return text;
}

std::vector<EnginePoint> PointsAfterIgnition(const EngineCurve& curve, const Performance& performance) {
    // A first point of no thrust is the implied (0, 0) itself; a steady
    // burn's full thrust at ignition is listed a thousandth of the burn
    // later (sooner where the next point is near, or where that thrust is so
    // far above the average that the ramp from (0, 0) would cost over 0.25 %
    // of the impulse).
    std::vector<Point> kept = curve.points;
    if (!kept.empty() && !(kept.front().time > 0.0)) {
        if (!(kept.front().thrust > 0.0) || kept.size() < 2) {
            kept.erase(kept.begin());
        } else {
            kept.front().time = std::min({0.001 * performance.burn_time, 0.5 * kept[1].time,
                                          0.005 * performance.total_impulse / kept.front().thrust});
        }
    }
    return kept;
}

std::string EngineFileText(const MotorRun& run, const Performance& performance, const std::string& source,
                           const std::string& delays) {
    const EngineCurve curve = EngineCurveOf(run, performance);
    const PerformanceInputs& in = run.Design().Performance();
    const std::vector<Point> kept = PointsAfterIgnition(curve, performance);
    const double hardware = curve.hardware_kg;

    std::string text;
    text += "; Thrust curve of " + CommentText(source) + ", made by Thrustlet";
    if (in.propellant_name) text += " (propellant: " + CommentText(*in.propellant_name) + ")";
    text += "\n";
    if (hardware > 0.0) {
        text += "; The total mass is the propellant's and " + Text("%.6g", hardware) + " kg of hardware.\n";
    } else {
        text += "; The total mass is the propellant's alone: add the motor's hardware.\n";
    }
    text += Field(performance.designation) + " " + Text("%.6g", curve.diameter_mm) + " " + Text("%.6g", curve.length_mm) +
            " " + EngineDelays(delays).value_or("P") + " " + Text("%.6g", performance.propellant_mass) + " " +
            Text("%.6g", performance.propellant_mass + hardware) + " Thrustlet\n";
    double previous = -1.0;
    for (const Point& point : kept) {
        const std::optional<std::string> time = TimeAfter(point.time, &previous);
        if (!time) continue;
        text += "   " + *time + " " + Text("%.6g", std::max(0.0, point.thrust)) + "\n";
    }
    return text;
}

double EngineFileImpulse(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    bool header = false;
    std::vector<Point> points;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == ';') continue;
        if (!header) {
            header = true;
            continue;
        }
        std::istringstream numbers(line);
        Point point{};
        if (numbers >> point.time >> point.thrust) points.push_back(point);
    }
    return Trapezoid(points);
}

std::optional<std::string> EngineDelays(const std::string& typed, std::string* problem) {
    std::string delays;
    std::string number;
    const auto end_number = [&]() -> bool {
        if (number.empty()) return true;
        if (number.size() > 2) return false;
        delays += (delays.empty() ? "" : "-") + number;
        number.clear();
        return true;
    };
    std::size_t first = typed.find_first_not_of(" \t");
    const std::size_t last = typed.find_last_not_of(" \t");
    const std::string trimmed = first == std::string::npos ? std::string() : typed.substr(first, last - first + 1);
    if (trimmed.empty() || trimmed == "P" || trimmed == "p") return std::string("P");
    bool readable = true;
    for (const char c : trimmed) {
        if (c >= '0' && c <= '9') {
            number += c;
        } else if (c == '-' || c == ',' || c == ' ' || c == '\t') {
            readable = end_number();
        } else {
            readable = false;  // no delay
        }
        if (!readable) break;
    }
    if (readable && end_number() && !delays.empty()) return delays;
    if (problem) {
        *problem = "the delays are P for a plugged motor, or whole seconds up to 99 parted by dashes (4-6-8), not \"" +
                   trimmed.substr(0, 40) + "\"";
    }
    return std::nullopt;
}

}  // namespace thrustlet
