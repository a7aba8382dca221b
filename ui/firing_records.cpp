#include "ui/firing_records.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "model/errors.h"
#include "model/motor.h"
#include "model/propellant_library.h"

namespace thrustlet {

namespace {
constexpr const char* kNoFigure = "\u2014";
}

QString FiringRecord::FileName() const { return QFileInfo(QString::fromStdString(source.path)).fileName(); }

QString FiringRecord::ListText() const {
    if (problem.empty()) return FileName();
    return FileName() + (QFileInfo::exists(QString::fromStdString(source.path)) ? " \u2014 cannot be read" : " \u2014 missing");
}

QStringList FiringCaptions(const DisplayUnits& units) {
    return {"Burn time (s)",
            "Action time (s)",
            "Total impulse (N\u00b7s)",
            "Average thrust (N)",
            "Peak thrust (N)",
            QString("Peak pressure (%1)").arg(units.PressureWord()),
            QString("Average pressure (%1)").arg(units.PressureWord()),
            "Delivered Isp (s)",
            "c* (m/s)",
            "c* efficiency",
            "Thrust coefficient",
            "Cf efficiency"};
}

std::vector<std::optional<double>> FiringValues(const FiringFigures* f, const DisplayUnits& units) {
    if (!f) return std::vector<std::optional<double>>(12);
    // Chamber pressures as the Performance group shows them (absolute).
    const double per = units.PascalsPerPressure();
    const auto scaled = [&](const std::optional<double>& p) { return p ? std::optional<double>(*p / per) : std::nullopt; };
    return {f->burn_time,   f->action_time,           f->total_impulse, f->average_thrust,
            f->peak_thrust, scaled(f->peak_pressure), scaled(f->average_pressure), f->delivered_isp,
            f->cstar,       f->cstar_efficiency,      f->thrust_coefficient,       f->cf_efficiency};
}

QString FiringFigureText(const std::optional<double>& value, int significant) {
    if (!value || !std::isfinite(*value)) return kNoFigure;
    const double v = *value;
    const int magnitude = v == 0.0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(v))));
    return QLocale().toString(v, 'f', std::clamp(significant - 1 - magnitude, 0, 6));
}

QString FiringDifferenceText(const std::optional<double>& measured, const std::optional<double>& predicted) {
    if (!measured || !predicted || *predicted == 0.0) return kNoFigure;
    const double difference = 100.0 * (*measured / *predicted - 1.0);
    if (!std::isfinite(difference)) return kNoFigure;
    return (difference > 0.0 ? "+" : "") + QLocale().toString(difference, 'f', 1) + " %";
}

}  // namespace thrustlet
