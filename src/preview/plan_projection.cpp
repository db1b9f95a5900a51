#include "preview/plan_projection.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

/// A coordinate further than this from the origin (or not a number) is taken for a missing point.
constexpr double kFarthest = 1e12;

/// How much larger a winding line's plan must come out to be turned away from its chord.
constexpr double kWorthTurning = 1.25;

/// The bounds of the line's points turned by an angle: u along the turned x, v along the turned y.
struct Extent {
  double min_u, max_u, min_v, max_v;
};

/// Page units per metre that fit an extent into a box.
double scale_of(const Extent& e, const Box& box) {
  return std::min(std::max(box.width(), 1.0) / std::max(e.max_u - e.min_u, 1.0),
                  std::max(box.height(), 1.0) / std::max(e.max_v - e.min_v, 1.0));
}

}  // namespace

PlanProjection::PlanProjection(const TrackTrace& trace, int32_t last, const Box& box)
    : trace_(trace), last_(std::max(0, last)) {
  // The points that bound the line: the trace's own up to `last`, and the two ends of the straight
  // line beyond the trace's end.
  const int32_t traced = trace_.exists() ? std::min(last_, trace_.last_metre()) : -1;
  const auto extent_at = [&](double angle, int32_t step) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    Extent e{std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
             std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()};
    const auto take = [&](int32_t m) {
      const Point p = world(m);
      const double u = p.x * c + p.y * s;
      const double v = -p.x * s + p.y * c;
      e = {std::min(e.min_u, u), std::max(e.max_u, u), std::min(e.min_v, v), std::max(e.max_v, v)};
    };
    for (int32_t m = 0; m < traced; m += std::min(step, traced - m)) take(m);
    if (traced >= 0) take(traced);
    if (traced < last_) {
      take(traced + 1);
      take(last_);
    }
    return e;
  };
  const Point start = world(0);
  const Point end = world(last_);
  const double chord = (end.x != start.x || end.y != start.y) ? std::atan2(end.y - start.y, end.x - start.x) : 0;
  // Along its chord, from the first point on the left to the last on the right; turned by up to 40
  // degrees either way only when that makes a winding line markedly larger.
  double angle = chord;
  const double level = scale_of(extent_at(chord, 20), box);
  double best = level;
  for (int degrees = 1; degrees <= 40; ++degrees) {
    for (const int sign : {1, -1}) {
      const double candidate = chord + sign * degrees * M_PI / 180;
      const double scale = scale_of(extent_at(candidate, 20), box);
      if (scale > best * 1.0001) {
        best = scale;
        angle = candidate;
      }
    }
  }
  if (best < level * kWorthTurning) angle = chord;
  cosine_ = std::cos(angle);
  sine_ = std::sin(angle);
  const Extent e = extent_at(angle, 1);
  span_u_ = std::max(e.max_u - e.min_u, 1.0);
  const double span_v = std::max(e.max_v - e.min_v, 1.0);
  // Spans of at least 1 m and at most a few times kFarthest: a scale above 0 that keeps every point in
  // the box.
  scale_ = std::min(std::max(box.width(), 1.0) / span_u_, std::max(box.height(), 1.0) / span_v);
  offset_x_ = (box.left + box.right) / 2 - (e.min_u + e.max_u) / 2 * scale_;
  offset_y_ = (box.top + box.bottom) / 2 + (e.min_v + e.max_v) / 2 * scale_;
}

Point PlanProjection::world(int32_t metre) const {
  const int32_t m = std::clamp(metre, 0, last_);
  const Point straight{0, static_cast<double>(m)};
  // A trace that does not reach the metre (files not checked with mismatch_of) goes on straight.
  if (!trace_.exists() || m > trace_.last_metre()) return straight;
  const Point p{trace_.value(m, kAxisX), trace_.value(m, kAxisY)};
  const auto usable = [](double value) { return std::abs(value) <= kFarthest; };  // false for NaN too
  return usable(p.x) && usable(p.y) ? p : straight;
}

Point PlanProjection::screen(int32_t metre) const {
  const Point p = world(metre);
  const Point turned{p.x * cosine_ + p.y * sine_, -p.x * sine_ + p.y * cosine_};  // y up
  return Point{offset_x_ + turned.x * scale_, offset_y_ - turned.y * scale_};
}

Point PlanProjection::normal_at(int32_t metre) const {
  // Computed wide: a metre near either end of 32 bits must not overflow, and the screen clamps anyway.
  const auto at = [this](int64_t m) { return screen(static_cast<int32_t>(std::clamp<int64_t>(m, 0, last_))); };
  const Point a = at(int64_t{metre} - 20);
  const Point b = at(int64_t{metre} + 20);
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  return length > 0 ? Point{-(b.y - a.y) / length, (b.x - a.x) / length} : Point{0, -1};
}
