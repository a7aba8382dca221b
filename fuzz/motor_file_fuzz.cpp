// Feeds arbitrary bytes to the motor file reader, then computes the figures of
// whatever it accepted: the reader must either fail with a RunTimeError or
// give a motor whose figures are a number or a RunTimeError, and whose
// performance figures are finite numbers or a problem.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/errors.h"
#include "model/motor.h"
#include "model/formats/motor_file.h"
#include "model/motor_run.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace thrustlet;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const MotorFileContent content = ParseMotorFile(text);
        cMotor motor;
        motor.SetNozzleDia(content.nozzle_dia);
        for (const auto& grain : content.grains) motor.AddGrain(grain);
        if (content.propellant) {
            motor.SetISPStar(content.propellant->isp_star);
            motor.SetDensity(content.propellant->density);
            motor.SetBallisticA(content.propellant->ballistic_a);
            motor.SetBallisticN(content.propellant->ballistic_n);
        }
        motor.SetPerformance(content.performance);
        try {
            motor.KN(0.0f);
            if (motor.GrainCount() <= 8) motor.KNMax();
            motor.VolumeLoadingPercent();
        } catch (const RunTimeError&) {
        }
        if (motor.GrainCount() <= 8 && content.performance.burn_rate.size() <= 8) {
            const MotorRun run = RunMotor(motor);
            const PerformanceOutcome& outcome = run.Outcome();
            if (outcome.figures) {
                for (double v : {outcome.figures->burn_time, outcome.figures->total_impulse,
                                 outcome.figures->peak_pressure, outcome.figures->propellant_mass}) {
                    if (!std::isfinite(v)) __builtin_trap();
                }
            }
        }
        // What was read writes back and reads again to the same motor.
        const MotorFileContent again = ParseMotorFile(MotorFileText(motor));
        if (again.grains.size() != content.grains.size()) __builtin_trap();
        // (Values come back rounded to 7 digits, so only what is there compares.)
        const PerformanceInputs& before = content.performance;
        const PerformanceInputs& after = again.performance;
        if (content.propellant &&
            (after.units != before.units || after.burn_rate.size() != before.burn_rate.size() ||
             after.specific_heat_ratio.has_value() != before.specific_heat_ratio.has_value() ||
             after.nozzle_exit_dia.has_value() != before.nozzle_exit_dia.has_value() ||
             after.propellant_name.has_value() != before.propellant_name.has_value())) {
            __builtin_trap();
        }
    } catch (const RunTimeError&) {
    }
    return 0;
}
