#pragma once

namespace thrustlet {

class MotorRun;
class GraphLite;
struct KnCurve;
struct Performance;

// The performance curves a graph adds to or shows instead of the Kn curve,
// for the window and the design sheet alike.

// Adds the run's chamber pressure at each of the Kn curve's samples (the graph
// shows `curve`, as GraphKn drew it) as its second series, the green "Pc",
// on an axis of its own: MPa for a millimetre design, psi for an inch one.
void AddPressureCurve(GraphLite& graph, const MotorRun& run, const KnCurve& curve);

// Shows thrust (N) against time (s) in the graph's place: a blue line on a
// round time axis, 0 once the burn is over. The axis reaches `horizon` (s)
// at least (the end of other motors' curves laid over it).
void DrawThrustCurve(GraphLite& graph, const Performance& figures, double horizon = 0.0);

// Each grain's mass flux (the run's flux curve) against time on a round
// time axis, in kg/(m^2 s) (lb/(in^2 s) for an inch design), with the
// design's limit as a line of its own; a grain's curve ends where it burns
// out. The time axis reaches `horizon` (s) at least.
void DrawMassFluxCurve(GraphLite& graph, const MotorRun& run, double horizon = 0.0);

}  // namespace thrustlet
