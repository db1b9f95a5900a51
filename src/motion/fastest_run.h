#pragma once

// The fastest run of a train between two stops: the envelope method of running-time calculators. The
// most restrictive speed profile is read at the train's head and held until its tail has left each
// restriction; braking curves are integrated backward from every drop of the limit and from the stop,
// acceleration forward from the start, and the train runs at the lower of the two. The braking begins
// an equivalent brake time before the curve asks for it (the train holds its speed meanwhile), as
// EN 14531-1 counts a stopping distance: v t_e + the distance of the full deceleration.

#include <optional>
#include <string>
#include <vector>

#include "motion/motion_line.h"
#include "motion/train.h"

struct RunSettings {
  /// The longest step of the integration (m); every change of a profile, and every place where the
  /// train's tail leaves a limit, is a step's end too.
  double step = 20;
  /// Whether the result keeps the run's points (its speed curve); without them it holds its time and
  /// where it is blocked.
  bool keep_points = true;
};

/// The train at one place of its run.
struct RunPoint {
  double position = 0;  // m
  double speed = 0;     // m/s
  double time = 0;      // s from the start
};

/// Why a run cannot be made, and where.
struct RunBlocked {
  enum class Reason { ZeroLimit, Stall, OffTheLine } reason = Reason::Stall;
  double position = 0;
};

struct RunResult {
  std::optional<RunBlocked> blocked;  // set when the train cannot reach the stop
  double time = 0;                    // s
  std::vector<RunPoint> points;       // the run, step by step, from the start to the stop (keep_points)
};

/// The fastest run from a standstill at `from` to a standstill at `to` (from < to), the head of the
/// train at both.
RunResult fastest_run(const Train& train, const MotionLine& line, double from, double to,
                      const RunSettings& settings = {});

/// The distance a train braking from `speed` at `position` needs to stop (m): the equivalent brake time
/// at that speed, then the service deceleration over the line ahead.
double stopping_distance(const Train& train, const MotionLine& line, double position, double speed);
