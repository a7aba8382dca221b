// Feeds arbitrary bytes to the motor file reader, then computes the figures of
// whatever it accepted: the reader must either fail with a RunTimeError or
// give a motor whose figures are a number or a RunTimeError.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/errors.h"
#include "model/motor.h"
#include "model/motor_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace thrustlet;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const MotorFileContent content = ParseMotorFile(text);
        cMotor motor;
        motor.SetNozzleDia(content.nozzle_dia);
        for (const auto& grain : content.grains) motor.AddGrain(grain);
        try {
            motor.KN(0.0f);
            if (motor.GrainCount() <= 8) motor.KNMax();
            motor.VolumeLoadingPercent();
        } catch (const RunTimeError&) {
        }
        // What was read writes back and reads again to the same motor.
        const MotorFileContent again = ParseMotorFile(MotorFileText(motor));
        if (again.grains.size() != content.grains.size()) __builtin_trap();
    } catch (const RunTimeError&) {
    }
    return 0;
}
