#include "model/formats/curve_csv.h"

#include "model/mass_flux.h"
#include "model/number_text.h"

namespace thrustlet {

std::vector<CurveRow> CurveRows(const KnCurve& curve) {
    std::vector<CurveRow> rows;
    for (std::size_t i = 0; i < curve.kn.size() && i < curve.labels.size(); ++i) {
        if (curve.kn[i] && curve.labels[i]) {
            rows.push_back({DoubleToText(*curve.labels[i], '.'), SingleToText(*curve.kn[i], '.'), i});
        }
    }
    return rows;
}

std::string CurveCsv(const KnCurve& curve, const std::vector<DepthFigures>& figures, CurveColumns columns) {
    std::string csv = "depth,kn";
    if (columns.pressure) csv += ",pressure_pa";
    if (columns.thrust) csv += ",thrust_n";
    const bool times = columns.pressure || columns.thrust;
    if (times) csv += ",time_s";
    csv += "\r\n";
    for (const CurveRow& row : CurveRows(curve)) {
        csv.append(row.depth).append(1, ',').append(row.kn);
        const bool known = row.sample < figures.size();
        if (columns.pressure) {
            csv.append(1, ',');
            if (known) csv.append(DoubleToText(figures[row.sample].pressure, '.'));
        }
        if (columns.thrust) {
            csv.append(1, ',');
            if (known) csv.append(DoubleToText(figures[row.sample].thrust, '.'));
        }
        if (times) {
            csv.append(1, ',');
            if (known) csv.append(DoubleToText(figures[row.sample].time, '.'));
        }
        csv.append("\r\n");
    }
    return csv;
}

std::string FluxCsv(const FluxCurve& curve) {
    std::string csv = "time_s";
    for (int grain : curve.grains) csv += ",grain_" + std::to_string(grain) + "_kg_m2s";
    csv += "\r\n";
    for (std::size_t i = 0; i < curve.times.size(); ++i) {
        csv += DoubleToText(curve.times[i], '.');
        for (std::size_t g = 0; g < curve.grains.size(); ++g) {
            csv.append(1, ',');
            if (g < curve.flux.size() && i < curve.flux[g].size()) csv += DoubleToText(curve.flux[g][i], '.');
        }
        csv += "\r\n";
    }
    return csv;
}

}  // namespace thrustlet
