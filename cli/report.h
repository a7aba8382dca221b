#pragma once

#include <optional>
#include <string>

#include "model/alerts.h"
#include "model/mass_flux.h"
#include "model/motor_run.h"
#include "model/performance.h"
#include <utility>
#include <vector>

namespace thrustlet {

class cMotor;

// One figure of a motor report: its text in the file format's number form,
// or the failure that took its place.
struct Figure {
    std::optional<std::string> value;  // absent: not applicable, or failed
    std::string error;                 // the failure's description, when it failed
};

// What the window would show for a motor just opened from a file, with the
// window's own roundings, plus the curve and the nozzle search on request.
struct MotorReport {
    std::string file;
    int grains = 0;
    Figure nozzle;
    Figure initial_kn;
    Figure max_kn;
    Figure max_kn_depth;  // the first depth where the maximum Kn occurs
    Figure web;
    Figure area_ratio;
    std::string area_ratio_level;  // "ok", "warning" or "danger"
    Figure volume_loading;
    std::string length_unit;  // "in", "mm", or "" for a design without a unit
    bool with_curve = false;
    std::vector<std::pair<std::string, std::string>> curve;  // depth label, Kn
    std::string curve_error;
    bool with_search = false;
    // The throat for the target, or the failure that no throat of the
    // search's range reaches it (never the range's end as an answer).
    Figure nozzle_for_target;
    // The throat found meets the target; else why not, where a throat is
    // still shown (the narrowest, which gives a Kn below the target).
    bool target_reached = false;
    std::string target_note;
    // The performance figures of a design with a propellant; a problem in
    // their place when its values cannot give them.
    bool has_propellant = false;
    std::string model;  // the model that gave the figures, "steady" or "full"
    std::optional<Performance> performance;
    std::string performance_problem;
    // Will it hold: each grain's flow, the builder's limits and the alerts
    // against them (the geometric ones for any design).
    MotorFlow flow;
    DesignLimits limits;
    std::vector<Alert> alerts;
    // The pressure and thrust over time (--trace), and each grain's length,
    // diameter and core as numbers in the design's unit.
    bool with_trace = false;
    std::vector<TracePoint> trace;
    struct GrainSize {
        std::string length, diameter, core;
    };
    std::vector<GrainSize> grain_sizes;
};

enum class SearchKind { kNone, kInitialKn, kMaxKn };

// Figures a motor as the window's recalculation does after opening a file:
// the nozzle goes through its field's text first.
MotorReport ReportMotor(const std::string& file, cMotor& motor, bool with_curve, SearchKind search,
                        float target, bool with_trace = false);

std::string ReportText(const MotorReport& report);
std::string ReportJson(const MotorReport& report);
std::string ErrorJson(const std::string& file, const std::string& error);

// True when a figure the report was asked for failed (not merely N/A), the
// performance figures included.
bool HasFailedFigure(const MotorReport& report);

// A throat above zero whose area underflows to 0 as a float: every Kn then
// reads 0 as if the figures were fine. The warning, or nothing.
std::optional<std::string> ThroatWarning(const cMotor& motor);

}  // namespace thrustlet
