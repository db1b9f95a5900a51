#include "model/curves.h"

#include <cmath>

namespace {

/// Turns below this (a radius above 100 km) are the rounding of a straight run, never a curve's: the
/// sharpest of the format's turns is 0.003 per metre and the gentlest 0.0001.
constexpr double kStraight = 1e-5;

/// Metres looked at together: a stretch whose last step keeps the heading of its first, and whose
/// chord runs along it, is straight (any curve metre in it turns the heading by 0.0001 at least), so that
/// a long straight line is read a block at a time.
constexpr int32_t kBlock = 64;

/// The sine of the angle between two vectors, by their cross product.
double sine(double ax, double ay, double bx, double by) {
  const double lengths = std::sqrt((ax * ax + ay * ay) * (bx * bx + by * by));
  return lengths > 0 ? (ax * by - ay * bx) / lengths : 0.0;
}

/// Adds the stretch from `from` to `to` metres that turns with `turn` per metre: it lengthens the last
/// stretch when it follows it with the same radius (the format's turns are a few fixed values, read back
/// from the points to within rounding, so stretches of one curve merge), or stands after it.
void add_turned(std::vector<CurveStretch>& curves, int32_t from, int32_t to, double turn) {
  const double radius = 1.0 / turn;
  if (!curves.empty() && curves.back().to == from && std::fabs(curves.back().radius - radius) < 1e-3 * radius)
    curves.back().to = to;
  else
    curves.push_back({from, to, radius});
}

}  // namespace

std::vector<CurveStretch> curve_stretches(const TrackTrace& trace) {
  std::vector<CurveStretch> curves;
  if (!trace.exists()) return curves;
  const int32_t last = trace.last_metre() - 2;  // the last two points are never computed
  if (last < 2) return curves;
  double x2 = trace.value(0, kAxisX), y2 = trace.value(0, kAxisY);
  double x1 = trace.value(1, kAxisX), y1 = trace.value(1, kAxisY);
  for (int32_t m = 2; m <= last; ++m) {
    if (m + kBlock <= last) {
      const double ex = trace.value(m + kBlock, kAxisX), ey = trace.value(m + kBlock, kAxisY);
      const double fx = trace.value(m + kBlock - 1, kAxisX), fy = trace.value(m + kBlock - 1, kAxisY);
      const double dx = x1 - x2, dy = y1 - y2;
      if (std::fabs(sine(dx, dy, ex - fx, ey - fy)) < kStraight * 1e-2 &&
          std::fabs(sine(dx, dy, ex - x1, ey - y1)) < kStraight * 1e-2) {
        x2 = fx, y2 = fy, x1 = ex, y1 = ey;
        m += kBlock;
        continue;
      }
    }
    const double x = trace.value(m, kAxisX), y = trace.value(m, kAxisY);
    // The step into metre m is the step before turned by `turn`: their cross product over the square of
    // the step's length gives it back.
    const double dx1 = x1 - x2, dy1 = y1 - y2;
    const double dx = x - x1, dy = y - y1;
    const double length2 = dx1 * dx1 + dy1 * dy1;
    const double turn = length2 > 0 ? std::fabs(dx1 * dy - dy1 * dx) / length2 : 0.0;
    if (turn >= kStraight && std::isfinite(turn)) add_turned(curves, m - 1, m, turn);  // metre m - 1 to m turns
    x2 = x1;
    y2 = y1;
    x1 = x;
    y1 = y;
  }
  return curves;
}

std::vector<CurveStretch> curve_stretches(const PlanTrace& trace) {
  std::vector<CurveStretch> curves;
  if (!trace.started()) return curves;  // its points stay at the origin: nothing turns
  for (const PlanRun& run : trace.runs()) {
    const double turn = std::fabs(run.turn);
    // Metres first to last are each turned from the one before: the plan turns from first - 1.
    if (run.curved && turn >= kStraight && std::isfinite(turn)) add_turned(curves, run.first - 1, run.last, turn);
  }
  return curves;
}
