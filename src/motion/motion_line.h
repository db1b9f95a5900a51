#pragma once

// The line as the train's motion meets it, in SI units: positions in metres from the start of the line,
// speeds in m/s, gradients in per mille. Built from a compiled scenario by motion_line_of
// (motion/scenario_line.h), or by hand in the tests.

#include <string>
#include <vector>

#include "motion/profile.h"

/// A stretch the train may run at no more than `speed` (m/s): a slowdown, from its start to its end.
struct SpeedRestriction {
  double from = 0;
  double to = 0;
  double speed = 0;
};

/// A point the head of the train must pass at no more than `speed` (m/s), and the rest of the train too:
/// a speed cut.
struct SpeedPoint {
  double position = 0;
  double speed = 0;
};

struct MotionLine {
  /// The line speed (m/s); 0 before its first entry.
  Profile line_speed{0};
  /// The speed boards read at the train's rank (m/s): each from its board to the next one; no limit
  /// before the first.
  Profile board_speed{kNoLimit};
  std::vector<SpeedRestriction> restrictions;
  std::vector<SpeedPoint> points;
  Profile gradient{0};  // per mille, positive uphill
  Profile radius{0};    // m, 0 for straight track
  Profile tunnel{0};    // 1 inside a tunnel
  Profile adhesion{1};  // share of the nominal adhesion coefficient
  /// Where the line's data end (m): no run reaches beyond, nor starts before 0.
  double end = kNoLimit;

  static constexpr double kNoLimit = 1e9;
};

/// The lowest speed limit of the line at a position (m/s), the train's own maximum included: the line
/// speed, the board, every restriction that covers it. Nothing is taken for a position before 0 (no
/// limit there). Restrictions cover [from, to).
double speed_limit_at(const MotionLine& line, double position, double max_speed);
