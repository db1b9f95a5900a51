#pragma once

// A quantity of the line that keeps one value over stretches: the speed limit, the gradient, the curve
// radius, the adhesion, whether the train is in a tunnel. Positions in metres from the start of the line.

#include <cstddef>
#include <vector>

/// One stretch of a profile: `value` from `from` on, up to the next stretch's `from`.
struct ProfileStep {
  double from = 0;
  double value = 0;
};

/// A piecewise-constant function of the position. Before its first step it holds `before`; each step
/// holds from its position to the next one's, the last one to the end of the line.
class Profile {
 public:
  Profile() = default;
  explicit Profile(double before) : before_(before) {}

  /// Adds a step; steps are added in increasing position (a step at the same position as the last one
  /// replaces its value). Equal neighbouring values merge.
  void add(double from, double value);

  double at(double position) const;
  /// The positions where the value changes, in order.
  std::vector<double> changes() const;
  const std::vector<ProfileStep>& steps() const { return steps_; }
  double before() const { return before_; }

 private:
  double before_ = 0;
  std::vector<ProfileStep> steps_;
};
