#pragma once

#include <string>
#include <vector>

#include "model/performance_inputs.h"
#include "model/units.h"

namespace thrustlet {

// A published amateur propellant: what the Propellant dialog fills in when
// it is picked. Every value comes from `source` (docs/propellants.md gives
// each one's page and section); SI throughout.
struct LibraryPropellant {
    std::string name;         // "KNSB"
    std::string description;  // its formulation
    std::string source;       // the address the values were published at
    float c_star = 0.0f;      // m/s
    float density = 0.0f;     // kg/m^3
    float k = 0.0f;           // specific heat ratio of the exhaust (two-phase flow)
    float a = 0.0f, n = 0.0f;  // one law for every pressure, when there are no pieces
    std::vector<BurnRatePiece> pieces;
};

// The library, in the order the dialog lists it.
const std::vector<LibraryPropellant>& PropellantLibrary();

// The characteristic velocity c* (m/s) of an exhaust of chamber temperature
// `temperature` (K), molar mass `molar_mass` (kg/kmol) and specific heat
// ratio `k`: sqrt(R T / (k M)) / (2 / (k + 1))^((k + 1) / (2 (k - 1))),
// R = 8314.462618 J/(kmol K). For sources that publish T, M and k, not c*.
double CharacteristicVelocity(double temperature, double molar_mass, double k);

}  // namespace thrustlet
