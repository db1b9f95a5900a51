#include "preview/label_placement.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

namespace {

/// True when the segment from a to b passes through the box.
bool segment_crosses(Point a, Point b, const Box& box) {
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  const int steps = std::max(1, static_cast<int>(std::ceil(length / 1.5)));
  for (int k = 0; k <= steps; ++k) {
    const double t = static_cast<double>(k) / steps;
    if (box.contains(Point{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t})) return true;
  }
  return false;
}

}  // namespace

Point nearest_on(const Box& box, Point p) {
  return {std::clamp(p.x, box.left, box.right), std::clamp(p.y, box.top, box.bottom)};
}

std::vector<RowSlot> place_row_labels(const std::vector<double>& xs, const std::vector<double>& widths, double gap,
                                      double right_limit) {
  const std::size_t count = std::min(xs.size(), widths.size());
  std::vector<RowSlot> slots(count);
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), 0);
  // From the right: a text then only ever lies right of the stems of the texts still to come.
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return xs[a] > xs[b]; });
  std::vector<std::size_t> placed;
  const auto overlaps = [&](int level, double left, double right) {
    for (const std::size_t other : placed) {
      if (slots[other].level != level) continue;
      const double other_left = slots[other].left;
      if (left < other_left + widths[other] + 2 * gap && other_left < right + 2 * gap) return true;
    }
    return false;
  };
  // A stem runs from the marks down to its text, through every level above the text's own.
  const auto stems_cross = [&](int level, double x, double left, double right) {
    for (const std::size_t other : placed) {
      const double other_left = slots[other].left - gap / 2;
      const double other_right = slots[other].left + widths[other] + gap / 2;
      if (slots[other].level < level && x >= other_left && x <= other_right) return true;
      if (slots[other].level > level && xs[other] >= left - gap / 2 && xs[other] <= right + gap / 2) return true;
    }
    return false;
  };
  for (const std::size_t i : order) {
    const double left = std::min(xs[i] + gap, right_limit - widths[i]);
    const int top_level = static_cast<int>(placed.size());
    std::optional<int> chosen;
    std::optional<int> fallback;
    for (int level = 0; level <= top_level && !chosen; ++level) {
      if (overlaps(level, left, left + widths[i])) continue;
      if (!fallback) fallback = level;
      if (!stems_cross(level, xs[i], left, left + widths[i])) chosen = level;
    }
    slots[i] = {chosen.value_or(fallback.value_or(top_level)), left};
    placed.push_back(i);
  }
  return slots;
}

NearbyPlace place_near(Point anchor, double w, double h, Point normal, const Box& bounds,
                       const std::vector<Label>& labels, const std::vector<Box>& obstacles,
                       const std::vector<Point>& avoid, double unit) {
  struct Direction {
    double dx;
    double dy;
  };
  std::vector<Direction> directions{{0, -1}, {0, 1}, {1, -1}, {1, 1}, {-1, -1}, {-1, 1}, {1, 0}, {-1, 0}};
  const auto alignment = [&](const Direction& d) {
    const double length = std::hypot(d.dx, d.dy);
    const double dot = (d.dx * normal.x + d.dy * normal.y) / length;
    return dot * dot;
  };
  std::stable_sort(directions.begin(), directions.end(),
                   [&](const Direction& a, const Direction& b) { return alignment(a) > alignment(b) + 1e-9; });

  const auto box_at = [&](const Direction& d, double distance) {
    const double k = d.dx != 0 && d.dy != 0 ? 0.7 : 1.0;
    const double cx = anchor.x + d.dx * (distance * k + w / 2);
    const double cy = anchor.y + d.dy * (distance * k + h / 2);
    return Box{cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2};
  };
  const auto clear_of_labels = [&](const Box& box) {
    if (!bounds.contains(box)) return false;
    const Box spaced = box.grown(2 * unit);
    for (const Label& label : labels)
      if (spaced.overlaps(label.box)) return false;
    for (const Box& obstacle : obstacles)
      if (!obstacle.contains(anchor) && spaced.overlaps(obstacle)) return false;  // not the anchor's own mark
    return true;
  };
  const auto clear_of_points = [&](const Box& box) {
    const Box spaced = box.grown(3 * unit);
    for (const Point& p : avoid)
      if (spaced.contains(p)) return false;
    return true;
  };
  const auto leader_clear = [&](const Box& box, double distance) {
    if (distance <= 8 * unit) return true;
    const Point end = nearest_on(box, anchor);
    for (const Label& label : labels)
      if (segment_crosses(anchor, end, label.box.grown(1 * unit))) return false;
    return true;
  };

  const std::vector<double> distances{4, 10, 18, 28, 40, 54, 70, 90, 115, 145};
  for (const bool mind_points : {true, false}) {
    for (const double step : distances) {
      const double distance = step * unit;
      for (const Direction& d : directions) {
        const Box box = box_at(d, distance);
        if (clear_of_labels(box) && (!mind_points || clear_of_points(box)) && leader_clear(box, distance))
          return {box, distance > 8 * unit};
      }
    }
  }
  // Crowded: the free place nearest to the anchor anywhere in the bounds.
  std::optional<Box> best;
  double best_distance = std::numeric_limits<double>::max();
  const double step = 4 * unit;
  for (double top = bounds.top; top + h <= bounds.bottom; top += step) {
    for (double left = bounds.left; left + w <= bounds.right; left += step) {
      const Box box{left, top, left + w, top + h};
      const Point near = nearest_on(box, anchor);
      const double distance = std::hypot(near.x - anchor.x, near.y - anchor.y);
      if (distance < best_distance && clear_of_labels(box)) {
        best = box;
        best_distance = distance;
      }
    }
  }
  if (best) return {*best, true};
  return {box_at(directions.front(), distances.front() * unit), true};
}
