#pragma once

#include <cstdint>

namespace thrustlet {

// The graph's colours, 24-bit with red in the low byte: the Kn curve, the
// chamber pressure ("Pc"), the thrust curve and the plot panel.
inline constexpr int32_t kGraphRed = 255;
inline constexpr int32_t kGraphGreen = 65280;
inline constexpr int32_t kGraphBlue = 16711680;
inline constexpr int32_t kGraphWhite = 16777215;

class cMotor;
class GraphLite;
class IDialogs;
class KnMaxOnce;

// The jagged stand-in curve the graph shows until the first motor is
// calculated, titled "Waiting for Data".
void DrawPlaceholder(GraphLite& graph);

// Samples the motor's Kn from depth 0 to its web and hands the table and the
// axis settings to the graph. Reports its own failures (" in GraphKn") and
// returns; the operations already passed to the graph stay in effect.
// `kn_max` is the recalculation's maximum Kn, computed once for the graph
// and the summary. `sampled`, when given, receives the curve; true when the
// graph was drawn.
struct KnCurve;
bool GraphKn(cMotor& motor, GraphLite& graph, IDialogs& dialogs, KnMaxOnce& kn_max, KnCurve* sampled = nullptr);

}  // namespace thrustlet
