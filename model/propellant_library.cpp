#include "model/propellant_library.h"

#include <cmath>

namespace thrustlet {

double CharacteristicVelocity(double temperature, double molar_mass, double k) {
    return std::sqrt(kGasConstant * temperature / (k * molar_mass)) /
           std::pow(2.0 / (k + 1.0), (k + 1.0) / (2.0 * (k - 1.0)));
}

namespace {

// A piece as published: pressures in MPa, r = a P^n in mm/s.
BurnRatePiece Piece(double p_min, double p_max, double a, double n) {
    return {static_cast<float>(p_min * kPascalsPerMegapascal), static_cast<float>(p_max * kPascalsPerMegapascal),
            CoefficientFromMmPerSecond(a, n), static_cast<float>(n)};
}

// A single law as published: r = a P^n in mm/s with P in MPa.
LibraryPropellant WithLaw(LibraryPropellant entry, double a, double n) {
    entry.a = CoefficientFromMmPerSecond(a, n);
    entry.n = static_cast<float>(n);
    return entry;
}

std::vector<LibraryPropellant> Build() {
    // name, formulation, source; c* (m/s), density (kg/m^3), k; the law.
    return {
        {"KNSB", "65% potassium nitrate, 35% sorbitol",
         "http://www.nakka-rocketry.net/sorb.html, http://www.nakka-rocketry.net/bntest.html", 909.0f, 1841.0f,
         1.042f, 0.0f, 0.0f,
         {Piece(0.101, 0.807, 10.708, 0.625), Piece(0.807, 1.503, 8.763, -0.314), Piece(1.503, 3.792, 7.852, -0.013),
          Piece(3.792, 7.033, 3.907, 0.535), Piece(7.033, 10.67, 9.653, 0.064)}},
        {"KNDX", "65% potassium nitrate, 35% dextrose",
         "http://www.nakka-rocketry.net/dex.html, http://www.nakka-rocketry.net/bntest.html", 912.0f, 1879.0f,
         1.043f, 0.0f, 0.0f,
         {Piece(0.103, 0.779, 8.875, 0.619), Piece(0.779, 2.572, 7.553, -0.009), Piece(2.572, 5.930, 3.841, 0.688),
          Piece(5.930, 8.502, 17.20, -0.148), Piece(8.502, 11.20, 4.775, 0.442)}},
        WithLaw({"KNSU", "65% potassium nitrate, 35% sucrose", "http://www.nakka-rocketry.net/sucrose.html", 909.0f,
                 1889.0f, 1.044f, 0.0f, 0.0f, {}},
                8.26, 0.319),
        // Published as T0, M and k (c* derived), and one law over a stated
        // range of pressures.
        {"KNER", "65% potassium nitrate, 35% erythritol",
         "https://github.com/jbgust/jsrm/blob/4c9e84a53b6833d027e264fb225f85ad90f99518/src/main/java/com/github/"
         "jbgust/jsrm/application/motor/propellant/PropellantType.java (KNER_COARSE)",
         static_cast<float>(CharacteristicVelocity(1608.0, 38.58, 1.14)), 1820.0f, 1.14f, 0.0f, 0.0f,
         {Piece(0.101, 10.3, 2.9, 0.4)}},
        // Published in SI, as T0, M and k (c* derived); formulations not
        // published beside the numbers.
        {"Cherry Limeade", "ammonium-perchlorate composite, MIT Rocket Team",
         "https://github.com/reilleya/openMotor/blob/8d9b70a3de308085ae947bf0b150e1d34a556c68/uilib/defaults.py",
         static_cast<float>(CharacteristicVelocity(3500.0, 23.67, 1.21)), 1680.0f, 1.21f,
         static_cast<float>(3.517054143255937e-05), 0.3273f, {}},
        {"Ocean Water", "ammonium-perchlorate composite",
         "https://github.com/reilleya/openMotor/blob/8d9b70a3de308085ae947bf0b150e1d34a556c68/uilib/defaults.py",
         static_cast<float>(CharacteristicVelocity(3500.0, 23.67, 1.25)), 1650.0f, 1.25f, 1.467e-05f, 0.382f, {}},
    };
}

}  // namespace

const std::vector<LibraryPropellant>& PropellantLibrary() {
    static const std::vector<LibraryPropellant> library = Build();
    return library;
}

}  // namespace thrustlet
