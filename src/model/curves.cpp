#include "model/curves.h"

#include <cmath>

namespace {

/// Turns below this (a radius above 100 km) are the rounding of a straight run, never a curve's: the
/// sharpest of the format's turns is 0.003 per metre and the gentlest 0.0001.
constexpr double kStraight = 1e-5;

}  // namespace

std::vector<CurveStretch> curve_stretches(const TrackTrace& trace) {
  std::vector<CurveStretch> curves;
  if (!trace.exists()) return curves;
  const int32_t last = trace.last_metre() - 2;  // the last two points are never computed
  if (last < 2) return curves;
  double x2 = trace.value(0, kAxisX), y2 = trace.value(0, kAxisY);
  double x1 = trace.value(1, kAxisX), y1 = trace.value(1, kAxisY);
  for (int32_t m = 2; m <= last; ++m) {
    const double x = trace.value(m, kAxisX), y = trace.value(m, kAxisY);
    // The step into metre m is the step before turned by `turn`: their cross product over the square of
    // the step's length gives it back.
    const double dx1 = x1 - x2, dy1 = y1 - y2;
    const double dx = x - x1, dy = y - y1;
    const double length2 = dx1 * dx1 + dy1 * dy1;
    const double turn = length2 > 0 ? std::fabs(dx1 * dy - dy1 * dx) / length2 : 0.0;
    if (turn >= kStraight && std::isfinite(turn)) {
      // The metre from m - 1 to m turns; the format's turns are a few fixed values, read back to within
      // rounding, so stretches of one curve merge.
      const double radius = 1.0 / turn;
      if (!curves.empty() && curves.back().to == m - 1 && std::fabs(curves.back().radius - radius) < 1e-3 * radius)
        curves.back().to = m;
      else
        curves.push_back({m - 1, m, radius});
    }
    x2 = x1;
    y2 = y1;
    x1 = x;
    y1 = y;
  }
  return curves;
}
