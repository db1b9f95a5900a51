#pragma once

// The curves of the line read back from the plan trace (or from the runs that make it). The trace file
// keeps no curve entry, only its points:
// each step of a curve is the step before turned by the curve's constant turn per metre, so the turn is
// found again from three points in a row, and its equivalent radius is 1 / turn.

#include <cstdint>
#include <vector>

#include "scenario/plan_trace.h"
#include "scenario/track_trace.h"

/// A stretch of the plan that turns by one turn per metre: from `from` to `to` metres, of equivalent
/// radius `radius` metres (1 / turn per metre), left or right alike.
struct CurveStretch {
  int32_t from = 0;
  int32_t to = 0;
  double radius = 0;
};

/// The curved stretches of the trace, in order, merged where the turn stays the same; straight metres
/// are left out. Reads metres 0 to the trace's last computed point (its last two stay empty); nothing
/// for a trace that was not built.
std::vector<CurveStretch> curve_stretches(const TrackTrace& trace);
/// The same stretches from the runs that make a compilation's trace, without making its points: a curved
/// run of metres a to b turns the plan from metre a - 1 to b, with the radius 1 / |turn|; runs that meet
/// with the same radius merge, as they do when read from the points.
std::vector<CurveStretch> curve_stretches(const PlanTrace& trace);
