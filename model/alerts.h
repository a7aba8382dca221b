#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/mass_flux.h"
#include "model/performance.h"
#include "model/performance_inputs.h"

namespace thrustlet {

class cMotor;

// The limits a design is held to: the builder's own where the design keeps
// them, else no pressure limit, 1406 kg/(m^2 s) (2 lb/(in^2 s), the common
// rule of thumb for erosive burning) and a port-to-throat ratio of 2.
struct DesignLimits {
    std::optional<double> max_pressure;  // Pa
    double max_mass_flux = 0.0;          // kg/(m^2 s)
    double min_port_throat = 0.0;
};
inline constexpr double kDefaultMaxMassFlux = 1406.0;
inline constexpr double kDefaultMinPortThroat = 2.0;
DesignLimits LimitsOf(const PerformanceInputs& inputs);

// What a builder checks before casting, each crossing one sentence naming
// the grain and the figure against its limit:
enum class AlertKind {
    kPressure,       // the peak pressure above the casing's rating
    kMassFlux,       // a grain's peak mass flux above the limit
    kPortThroat,     // a grain's port-to-throat ratio below the limit
    kBurnRateRange,  // the burn runs outside the burn-rate data's pressures
    kUnevenWeb,      // a grain's web thinner than the others' by over 5 %
    kFlowSeparation, // the nozzle's exit pressure under 0.4 of ambient for over 5 % of the burn
};
// Summerfield's separation criterion and the share of the burn it must
// hold for to be an alert (openMotor's usual settings too).
inline constexpr double kSeparationPressureRatio = 0.4;
inline constexpr double kSeparationBurnShare = 0.05;
struct Alert {
    AlertKind kind = AlertKind::kPressure;
    int grain = 0;  // 1-based; 0 when the alert is the motor's
    std::string message;
    // Over a limit the hardware or the propellant is at risk; the others
    // are warnings about the design's figures.
    bool Severe() const { return kind == AlertKind::kPressure || kind == AlertKind::kMassFlux; }
};
// "pressure", "mass_flux", "port_throat", "burn_rate_range", "uneven_web",
// "flow_separation".
const char* AlertKindName(AlertKind kind);

// The alerts of a design: `performance` and `flow` are its figures (no
// performance for a design without a propellant: only the geometric alerts
// then). A limit is crossed strictly: a figure at its limit raises nothing.
// Figures are named in the design's units (MPa or psi, kg/(m^2 s) or
// lb/(in^2 s)).
std::vector<Alert> DesignAlerts(const cMotor& motor, const std::optional<Performance>& performance,
                                const MotorFlow& flow);


}  // namespace thrustlet
