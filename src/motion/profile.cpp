#include "motion/profile.h"

#include <algorithm>

void Profile::add(double from, double value) {
  if (!steps_.empty() && from <= steps_.back().from) {
    const double position = steps_.back().from;
    steps_.pop_back();
    add(position, value);
    return;
  }
  const double current = steps_.empty() ? before_ : steps_.back().value;
  if (value == current) return;
  steps_.push_back({from, value});
}

double Profile::at(double position) const {
  const auto after = std::upper_bound(steps_.begin(), steps_.end(), position,
                                      [](double p, const ProfileStep& step) { return p < step.from; });
  return after == steps_.begin() ? before_ : std::prev(after)->value;
}

std::vector<double> Profile::changes() const {
  std::vector<double> positions;
  positions.reserve(steps_.size());
  for (const ProfileStep& step : steps_) positions.push_back(step.from);
  return positions;
}
