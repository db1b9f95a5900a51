#include "motion/motion_line.h"

#include <algorithm>

double speed_limit_at(const MotionLine& line, double position, double max_speed) {
  if (position < 0) return max_speed;
  double limit = std::min({max_speed, line.line_speed.at(position), line.board_speed.at(position)});
  for (const SpeedRestriction& restriction : line.restrictions)
    if (restriction.from <= position && position < restriction.to) limit = std::min(limit, restriction.speed);
  return limit;
}
