#pragma once

#include <string>
#include <vector>

#include "model/kn_curve.h"
#include "model/performance.h"

namespace thrustlet {

// One sample of the graph's Kn curve as text in the motor file's number
// form: the depth as the graph labels it and the Kn, with the sample's
// place in the curve's exact depths.
struct CurveRow {
    std::string depth, kn;
    std::size_t sample = 0;  // index into KnCurve::depths
};
std::vector<CurveRow> CurveRows(const KnCurve& curve);

// The curve as CSV (RFC 4180, CR LF line ends): a header line, then a line
// per sample: "depth,kn", and when asked the chamber pressure in Pa or the
// thrust in N at the sample's exact depth, then the time in s the burn
// reaches it, from `figures` (one per exact depth, as a run's AtDepths gives
// them): "depth,kn,pressure_pa,time_s".
struct CurveColumns {
    bool pressure = false, thrust = false;
};
std::string CurveCsv(const KnCurve& curve, const std::vector<DepthFigures>& figures, CurveColumns columns);

// Each grain's mass flux against time as CSV (CR LF line ends):
// "time_s,grain_3_kg_m2s,..." (the grains the flux view shows), then a line
// per time.
struct FluxCurve;
std::string FluxCsv(const FluxCurve& curve);

}  // namespace thrustlet
