#pragma once

namespace thrustlet {

class cMotor;
class GraphLite;
struct KnCurve;
struct Performance;

// The performance curves a graph adds to or shows instead of the Kn curve,
// for the window and the design sheet alike.

// Adds the chamber pressure at each of the Kn curve's samples (the graph
// shows `curve`, as GraphKn drew it) as its second series, the green "Pc",
// on an axis of its own: MPa for a millimetre design, psi for an inch one.
void AddPressureCurve(GraphLite& graph, const cMotor& motor, const KnCurve& curve, const Performance& figures);

// Shows thrust (N) against time (s) in the graph's place: a blue line on a
// round time axis, 0 once the burn is over.
void DrawThrustCurve(GraphLite& graph, const Performance& figures);

}  // namespace thrustlet
