#pragma once

#include <string>

namespace thrustlet {

struct MotorReport;

// "Will it hold" in the report: the builder's limits, the peak mass flux
// and the smallest port-to-throat ratio, each grain's figures and the
// alerts. Text lines (for a design with a unit; pressures and fluxes in SI
// and in the inch units beside them), and the JSON keys that follow the
// performance object (every design; figures that need a propellant null
// without one).
std::string FlowText(const MotorReport& report);
std::string FlowJson(const MotorReport& report);
// "2.9 MPa (420.6 psi)": a pressure (Pa) as the text report gives it.
std::string PressureText(double pascals);

}  // namespace thrustlet
