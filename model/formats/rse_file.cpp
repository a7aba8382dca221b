#include "model/formats/rse_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "model/errors.h"
#include "model/formats/engine_file.h"
#include "model/motor_run.h"
#include "model/units.h"

namespace thrustlet {

namespace {

std::string Number(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Text safe in an XML attribute or element: markup characters escaped,
// control characters replaced.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += static_cast<unsigned char>(c) < ' ' || c == '\x7f' ? '?' : c;
        }
    }
    return out;
}

// The propellant left (kg) and its moment about the case's forward end
// (kg m) at burn depth x (the design's unit).
struct Mass {
    double kg = 0.0, moment = 0.0;
};
Mass PropellantAt(const cMotor& motor, double x, double stack_start_m) {
    const double metres = MetresPer(*motor.Performance().units);
    Mass mass;
    double z = stack_start_m;  // where the grain's forward face sat at ignition, m
    for (const auto& grain : motor.Grains()) {
        const double length = grain->Length(), diameter = grain->Diameter(), core = grain->CoreDiameter();
        const int faces = grain->BurningFaces();
        const bool forward = grain->ForwardFaceBurns();
        const bool aft = faces == 2 || (faces == 1 && !forward);
        const double port = core + 2.0 * x, left = length - faces * x;
        if (core < diameter && port < diameter && left > 0.0) {
            const double kg = motor.Density() * kPi / 4.0 * (diameter * diameter - port * port) * left * metres * metres * metres;
            // What is left spans from the forward face (moved back if it
            // burns) to the aft face (moved forward if it burns).
            const double from = z + (forward ? x : 0.0) * metres;
            const double to = z + (length - (aft ? x : 0.0)) * metres;
            mass.kg += kg;
            mass.moment += kg * 0.5 * (from + to);
        }
        z += length * metres;
    }
    return mass;
}

}  // namespace

std::string RseFileText(const MotorRun& run, const std::string& source, const std::string& delays) {
    if (!run.Figures()) {
        throw RunTimeError(err::kInvalidCall, "no thrust curve: " + (run.HasPropellant() ? run.Outcome().problem
                                                                                        : "the design has no propellant (Units)"));
    }
    const Performance& performance = *run.Figures();
    const EngineCurve curve = EngineCurveOf(run, performance);
    const cMotor& motor = run.Design();
    const double metres = MetresPer(*motor.Performance().units);
    double stack = 0.0;
    for (const auto& grain : motor.Grains()) stack += grain->Length() * metres;
    // The motor's length (m): the case's, but never shorter than the grains
    // in it, so that every centre of gravity lies within the motor as
    // OpenRocket requires.
    const double case_length = std::max(curve.length_mm / 1000.0, stack);
    // The grains sit against the nozzle's end; the forward closure takes
    // what the case has beyond them.
    const double stack_start = case_length - stack;
    const double hardware = curve.hardware_kg;
    const double propellant = PropellantAt(motor, 0.0, stack_start).kg;

    // RockSim lists the delays with commas ("4,6,8").
    std::string listed_delays = EngineDelays(delays).value_or("P");
    std::replace(listed_delays.begin(), listed_delays.end(), '-', ',');
    std::string text = "<engine-database>\n  <engine-list>\n";
    text += "    <engine code=\"" + Escaped(performance.designation) + "\" mfg=\"Thrustlet\" dia=\"" +
            Number("%.6g", curve.diameter_mm) + "\" len=\"" + Number("%.6g", case_length * 1000.0) + "\" initWt=\"" +
            Number("%.6g", (propellant + hardware) * 1000.0) + "\" propWt=\"" + Number("%.6g", propellant * 1000.0) +
            "\" delays=\"" + listed_delays + "\" Type=\"reloadable\" auto-calc-mass=\"0\" auto-calc-cg=\"0\" avgThrust=\"" +
            Number("%.6g", performance.average_thrust) + "\" peakThrust=\"" + Number("%.6g", performance.peak_thrust) +
            "\" Itot=\"" + Number("%.6g", performance.total_impulse) + "\" burn-time=\"" +
            Number("%.6g", performance.burn_time) + "\" Isp=\"" + Number("%.6g", performance.delivered_isp) + "\">\n";
    text += "      <comments>Thrust curve of " + Escaped(source) + ", made by Thrustlet" +
            (motor.Performance().propellant_name ? " (propellant: " + Escaped(*motor.Performance().propellant_name) + ")"
                                                 : std::string()) +
            (hardware > 0.0 ? ". The mass is the propellant's and the hardware's."
                            : ". The mass is the propellant's alone: add the motor's hardware.") +
            "</comments>\n      <data>\n";
    // Every point after ignition, as the .eng writer lists them, and first
    // the ignition itself at no thrust and the whole mass: OpenRocket adds
    // such a point when it is missing and refuses two at one time.
    std::vector<EnginePoint> points = PointsAfterIgnition(curve, performance);
    points.insert(points.begin(), EnginePoint{0.0, 0.0, 0.0});
    double previous = -1.0;
    for (const EnginePoint& point : points) {
        const std::optional<std::string> time = TimeAfter(point.time, &previous);
        if (!time) continue;
        const bool last = &point == &points.back();
        const Mass left = last ? Mass{} : PropellantAt(motor, point.depth, stack_start);
        const double kg = left.kg + hardware;
        const double cg = kg > 0.0 ? (left.moment + hardware * 0.5 * case_length) / kg : 0.5 * case_length;
        text += "        <eng-data t=\"" + *time + "\" f=\"" + Number("%.6g", std::max(0.0, point.thrust)) + "\" m=\"" +
                Number("%.6g", kg * 1000.0) + "\" cg=\"" + Number("%.6g", cg * 1000.0) + "\"/>\n";
    }
    text += "      </data>\n    </engine>\n  </engine-list>\n</engine-database>\n";
    return text;
}

}  // namespace thrustlet
