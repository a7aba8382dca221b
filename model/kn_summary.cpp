#include "model/kn_summary.h"

#include <cmath>

#include "model/motor.h"
#include "model/numeric.h"

namespace thrustlet {

double SummaryWeb(cMotor& motor) { return RoundDecimals(motor.WebThickness(), 2); }

float SummaryAreaRatio(const cMotor& motor) {
    const float throat_area = motor.NozzleThroatArea();
    const float core = motor.Grain(motor.GrainCount())->CoreDiameter();
    const double core_area = kPi * std::pow(core / 2.0, 2.0);
    return ToSingle(RoundDecimals(CheckedDivide(throat_area, core_area), 2));
}

double SummaryVolumeLoading(const cMotor& motor) { return RoundDecimals(motor.VolumeLoadingPercent(), 1); }

AreaRatioLevel LevelOfAreaRatio(float ratio) {
    if (ratio > 1.0f) return AreaRatioLevel::kDanger;
    if (ratio >= 0.65f) return AreaRatioLevel::kWarning;
    return AreaRatioLevel::kOk;
}

const char* AreaRatioLevelName(AreaRatioLevel level) {
    switch (level) {
        case AreaRatioLevel::kDanger:
            return "danger";
        case AreaRatioLevel::kWarning:
            return "warning";
        case AreaRatioLevel::kOk:
            break;
    }
    return "ok";
}

bool GrainAccepted(float length, float diameter, float core) { return length > 0.0f && diameter > 0.0f && core > 0.0f; }

std::vector<std::string> GrainProblems(const cMotor& motor) {
    std::vector<std::string> problems;
    int position = 0;
    for (const auto& grain : motor.Grains()) {
        ++position;
        const std::string name = "grain " + std::to_string(position) + ": ";
        if (!GrainAccepted(grain->Length(), grain->Diameter(), grain->CoreDiameter())) {
            problems.push_back(name + "a dimension is not above zero (the window's editor refuses such a grain)");
        } else if (!(grain->CoreDiameter() < grain->Diameter())) {
            problems.push_back(name + "the core is not below the diameter, so the grain holds no propellant");
        }
    }
    return problems;
}

}  // namespace thrustlet
