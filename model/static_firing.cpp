#include "model/static_firing.h"

#include <new>

#include "model/number_text.h"

#include "model/errors.h"
#include "model/formats/firing_log.h"
#include "model/motor_run.h"

namespace thrustlet {

namespace {

// Reads and analyses `loaded`'s log: with `units` given, else the units its
// source names.
void Load(LoadedFiring& loaded, const FiringUnits* units, const MotorRun& run) {
    try {
        FiringReadOptions read;
        read.units = units ? *units : ParseFiringUnits(loaded.source.units);
        read.absolute = loaded.source.absolute;
        read.ambient = run.Design().Performance().AmbientPressure();
        loaded.firing = ReadFiringFile(loaded.source.path, read);
        loaded.figures = AnalyseFiring(*loaded.firing, run);
    } catch (const RunTimeError& error) {
        loaded.firing.reset();
        loaded.figures.reset();
        loaded.problem = error.Description();
    } catch (const std::bad_alloc&) {
        // A log larger than the memory free is refused like a bad one: the
        // design it belongs to stays as it was.
        loaded.firing.reset();
        loaded.figures.reset();
        loaded.problem = "Out of memory: the log is too large to read in the memory free";
    }
}

}  // namespace

LoadedFiring LoadFiring(const PerformanceInputs::StaticFiring& source, const MotorRun& run) {
    LoadedFiring loaded;
    loaded.source = source;
    Load(loaded, nullptr, run);
    return loaded;
}

LoadedFiring LoadFiring(const std::string& path, const FiringUnits& units, bool absolute, const MotorRun& run) {
    LoadedFiring loaded;
    loaded.source.path = path;
    loaded.source.absolute = absolute;
    Load(loaded, &units, run);
    return loaded;
}

std::optional<FiringFigures> PredictedFiringFigures(const MotorRun& run) {
    const std::optional<Firing> model = run.PredictedFiring();
    if (!model) return std::nullopt;
    try {
        return AnalyseFiring(*model, run);
    } catch (const RunTimeError&) {
        return std::nullopt;  // a prediction whose pressure never rises
    }
}

std::vector<BurnRatePoint> BurnRatePointsOf(const LoadedFiring& firing, const MotorRun& run, PointsMethod method,
                                            const std::string& source) {
    if (!firing.firing || !firing.figures || !firing.firing->HasPressure()) return {};
    if (method == PointsMethod::kInstant) return InstantBurnRatePoints(*firing.firing, *firing.figures, run, source);
    return {AverageBurnRatePoint(*firing.figures, run, source)};
}

std::optional<double> MeanCStarEfficiency(const std::vector<const FiringFigures*>& figures) {
    double sum = 0.0;
    int count = 0;
    for (const FiringFigures* f : figures) {
        if (f && f->cstar_efficiency) sum += *f->cstar_efficiency, ++count;
    }
    if (count == 0) return std::nullopt;
    return sum / count;
}

std::vector<std::string> ImplausibleFigures(const FiringFigures& measured, const std::optional<FiringFigures>& predicted) {
    std::vector<std::string> found;
    const auto text = [](double value) { return SingleToText(static_cast<float>(value), '.'); };
    if (measured.delivered_isp && *measured.delivered_isp > 400.0) {
        found.push_back("the measured Isp, " + text(*measured.delivered_isp) +
                        " s, is more than any motor gives: check the log's time and force units and the design's propellant");
    }
    if (predicted && predicted->burn_time > 0.0 && measured.burn_time > 0.0) {
        const double ratio = measured.burn_time / predicted->burn_time;
        if (ratio > 3.0 || ratio < 1.0 / 3.0) {
            found.push_back("the measured burn time, " + text(measured.burn_time) + " s, is far from the prediction's " +
                            text(predicted->burn_time) + " s: check the log's time unit");
        }
    }
    return found;
}

}  // namespace thrustlet
