// Feeds arbitrary bytes to the readers of openMotor's, BurnSim's and Meteor's motor
// files (as a forum download could be anything): each must fail with a
// RunTimeError or give a design whose file text can be written again in
// both formats and read back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/errors.h"
#include "model/formats/bsx_file.h"
#include "model/formats/meteor_file.h"
#include "model/formats/ric_file.h"
#include "model/motor.h"
#include "model/motor_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace thrustlet;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto meteor = [](std::string_view t) { return ReadMeteor(t); };
    try {
        const ImportedMotor imported = meteor(text);
        ReadRic(RicText(imported.motor).text);
    } catch (const RunTimeError&) {
    }
    for (auto read : {&ReadRic, &ReadBsx}) {
        try {
            const ImportedMotor imported = read(text);
            if (imported.motor.GrainCount() > 64) continue;
            ReadRic(RicText(imported.motor).text);
            ReadBsx(BsxText(RunMotor(imported.motor)).text);
        } catch (const RunTimeError&) {
        }
    }
    return 0;
}
