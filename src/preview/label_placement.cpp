#include "preview/label_placement.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numeric>
#include <utility>
#include <vector>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

/// Values in slots 0 to count - 1, with the greatest of a range and the first slot from a place on
/// whose value reaches a bound; each costs O(log count).
class SlotTree {
 public:
  SlotTree(std::size_t count, double initial) : count_(count) {
    while (size_ < count) size_ *= 2;
    greatest_.assign(2 * size_, -kInfinity);  // padding reaches no bound
    for (std::size_t i = 0; i < count; ++i) greatest_[size_ + i] = initial;
    for (std::size_t node = size_ - 1; node >= 1; --node) pull(node);
  }

  double at(std::size_t slot) const { return greatest_[size_ + slot]; }

  void set(std::size_t slot, double value) {
    std::size_t node = size_ + slot;
    greatest_[node] = value;
    for (node /= 2; node >= 1; node /= 2) pull(node);
  }

  /// The greatest value of slots [from, to), or -infinity for an empty range.
  double greatest(std::size_t from, std::size_t to) const {
    double found = -kInfinity;
    for (std::size_t a = from + size_, b = to + size_; a < b; a /= 2, b /= 2) {
      if (a & 1) found = std::max(found, greatest_[a++]);
      if (b & 1) found = std::max(found, greatest_[--b]);
    }
    return found;
  }

  /// The first slot from `from` on whose value is at least `bound`, or kNone.
  std::size_t first_at_least(std::size_t from, double bound) const {
    return from >= count_ ? kNone : first_at_least(1, 0, size_, from, bound);
  }

 private:
  void pull(std::size_t node) { greatest_[node] = std::max(greatest_[2 * node], greatest_[2 * node + 1]); }

  std::size_t first_at_least(std::size_t node, std::size_t begin, std::size_t end, std::size_t from,
                             double bound) const {
    if (end <= from || !(greatest_[node] >= bound)) return kNone;
    if (node >= size_) return begin;
    const std::size_t middle = (begin + end) / 2;
    const std::size_t left = first_at_least(2 * node, begin, middle, from, bound);
    return left != kNone ? left : first_at_least(2 * node + 1, middle, end, from, bound);
  }

  std::size_t count_;
  std::size_t size_ = 1;
  std::vector<double> greatest_;
};

double finite_or(double value, double otherwise) { return std::isfinite(value) ? value : otherwise; }

}  // namespace

Point nearest_on(const Box& box, Point p) {
  return {std::clamp(p.x, box.left, box.right), std::clamp(p.y, box.top, box.bottom)};
}

bool segment_crosses(Point a, Point b, const Box& box) {
  // The part of the segment a + t (b - a), t in [0, 1], inside each slab of the box.
  double enter = 0;
  double leave = 1;
  const auto clip = [&](double start, double delta, double low, double high) {
    if (delta == 0) return start >= low && start <= high;
    double t0 = (low - start) / delta;
    double t1 = (high - start) / delta;
    if (t0 > t1) std::swap(t0, t1);
    enter = std::max(enter, t0);
    leave = std::min(leave, t1);
    return enter <= leave;
  };
  return clip(a.x, b.x - a.x, box.left, box.right) && clip(a.y, b.y - a.y, box.top, box.bottom);
}

std::vector<RowSlot> place_row_labels(const std::vector<double>& xs, const std::vector<double>& widths, double gap,
                                      double right_limit, int most_levels) {
  const std::size_t count = std::min(xs.size(), widths.size());
  std::vector<RowSlot> slots(count);
  if (count == 0) return slots;
  gap = std::max(0.0, finite_or(gap, 0));
  right_limit = finite_or(right_limit, kInfinity);
  const auto x_of = [&](std::size_t i) { return finite_or(xs[i], 0); };
  const auto width_of = [&](std::size_t i) { return std::max(0.0, finite_or(widths[i], 0)); };

  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), 0);
  // From the right: a text then only ever lies right of the stems of the texts still to come, and every
  // text placed ends right of the mark being placed, so a level is free for a text exactly when the
  // leftmost text on it starts far enough right of the text's end.
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return x_of(a) > x_of(b); });

  const std::size_t levels = std::min(count, static_cast<std::size_t>(std::max(0, most_levels)));
  SlotTree leftmost(levels, kInfinity);  // per level, the left edge of its leftmost text
  SlotTree stems(count, -kInfinity);     // per text in placing order, its level (-infinity when not shown)
  std::vector<double> placed_x;          // in placing order: falling
  placed_x.reserve(count);

  for (std::size_t n = 0; n < count; ++n) {
    const std::size_t i = order[n];
    const double x = x_of(i);
    const double width = width_of(i);
    const double left = std::min(x + gap, right_limit - width);
    const double right = left + width;
    // The texts whose stems would run through this one lie deeper: it must go below the deepest of them.
    const auto from =
        std::partition_point(placed_x.begin(), placed_x.end(), [&](double other) { return other > right + gap / 2; });
    const auto to =
        std::partition_point(placed_x.begin(), placed_x.end(), [&](double other) { return other >= left - gap / 2; });
    const double deepest = from < to ? stems.greatest(static_cast<std::size_t>(from - placed_x.begin()),
                                                      static_cast<std::size_t>(to - placed_x.begin()))
                                     : -kInfinity;
    const std::size_t first = deepest >= 0 ? static_cast<std::size_t>(deepest) + 1 : 0;
    // The first free level from there. Only a text the right limit pushed back over x can lie across
    // this text's own stem, and this text would overlap it on its level: the stem crosses such a text
    // only when the limit leaves no level above it.
    const std::size_t level = leftmost.first_at_least(first, right + 2 * gap);

    placed_x.push_back(x);
    if (level == kNone) {
      slots[i] = {0, left, false};
      continue;
    }
    slots[i] = {static_cast<int>(level), left, true};
    leftmost.set(level, std::min(leftmost.at(level), left));
    stems.set(n, static_cast<double>(level));
  }
  return slots;
}

std::optional<NearbyPlace> place_near(Point anchor, double w, double h, Point normal, const Box& bounds,
                                      const PlaceObstacles& obstacles, double unit) {
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
    if (obstacles.labels.overlaps(spaced)) return false;
    // Not the anchor's own mark.
    return !obstacles.marks.overlaps(spaced, [&](const Box& mark) { return mark.contains(anchor); });
  };
  const auto clear_of_points = [&](const Box& box) { return !obstacles.line_points.holds_point(box.grown(3 * unit)); };
  const auto leader_clear = [&](const Box& box, double distance) {
    if (distance <= 8 * unit) return true;
    const Point end = nearest_on(box, anchor);
    const Box reach{std::min(anchor.x, end.x), std::min(anchor.y, end.y), std::max(anchor.x, end.x),
                    std::max(anchor.y, end.y)};
    return !obstacles.labels.visit(
        reach.grown(1 * unit), [&](const Box& label) { return segment_crosses(anchor, end, label.grown(1 * unit)); });
  };

  const std::vector<double> distances{4, 10, 18, 28, 40, 54, 70, 90, 115, 145};
  for (const bool mind_points : {true, false}) {
    for (const double step : distances) {
      const double distance = step * unit;
      for (const Direction& d : directions) {
        const Box box = box_at(d, distance);
        if (clear_of_labels(box) && (!mind_points || clear_of_points(box)) && leader_clear(box, distance))
          return NearbyPlace{box, distance > 8 * unit};
      }
    }
  }
  // Crowded: the free place nearest to the anchor anywhere in the bounds, on a grid of places a
  // quarter of the text's width and half its height apart. Row by row outward from the anchor, and in a
  // row place by place outward, so that the search stops as soon as nothing nearer can be left.
  if (!(unit > 0) || !(w >= 0) || !(h >= 0) || !(bounds.width() >= w) || !(bounds.height() >= h)) return std::nullopt;
  const double step_x = std::max(4 * unit, w / 4);
  const double step_y = std::max(4 * unit, h / 2);
  const auto count = [](double room, double step) {
    return static_cast<std::size_t>(std::min(std::floor(room / step), 1e6)) + 1;
  };
  const std::size_t columns = count(bounds.width() - w, step_x);
  const std::size_t rows = count(bounds.height() - h, step_y);
  const auto gap = [](double low, double high, double at) { return std::max({0.0, low - at, at - high}); };
  std::vector<std::pair<double, std::size_t>> row_order;  // vertical distance, row
  for (std::size_t r = 0; r < rows; ++r) {
    const double top = bounds.top + static_cast<double>(r) * step_y;
    row_order.emplace_back(gap(top, top + h, anchor.y), r);
  }
  std::sort(row_order.begin(), row_order.end());
  // The column whose place lies nearest the anchor across: the text then ends at or starts at it.
  const double nearest_left = std::clamp(anchor.x - w / 2, bounds.left, bounds.right - w);
  const auto nearest_column = static_cast<std::ptrdiff_t>(
      std::min(std::nearbyint((nearest_left - bounds.left) / step_x), static_cast<double>(columns - 1)));
  std::optional<Box> best;
  double best_distance = std::numeric_limits<double>::infinity();
  for (const auto& row : row_order) {
    const double dy = row.first;
    const std::size_t r = row.second;
    if (dy >= best_distance) break;
    const double top = bounds.top + static_cast<double>(r) * step_y;
    const auto box_in = [&](std::ptrdiff_t c) {
      const double left = bounds.left + static_cast<double>(c) * step_x;
      return Box{left, top, left + w, top + h};
    };
    const auto distance_of = [&](const Box& box) { return std::hypot(gap(box.left, box.right, anchor.x), dy); };
    // Outward from the nearest column, always to the nearer of the two next places.
    std::ptrdiff_t lower = nearest_column;
    std::ptrdiff_t upper = nearest_column + 1;
    while (lower >= 0 || upper < static_cast<std::ptrdiff_t>(columns)) {
      const double lower_distance = lower >= 0 ? distance_of(box_in(lower)) : std::numeric_limits<double>::infinity();
      const double upper_distance = upper < static_cast<std::ptrdiff_t>(columns)
                                        ? distance_of(box_in(upper))
                                        : std::numeric_limits<double>::infinity();
      const bool take_lower = lower_distance <= upper_distance;
      const double distance = take_lower ? lower_distance : upper_distance;
      if (distance >= best_distance) break;
      const Box box = box_in(take_lower ? lower-- : upper++);
      if (clear_of_labels(box)) {
        best = box;
        best_distance = distance;
        break;
      }
    }
  }
  if (best) return NearbyPlace{*best, true};
  return std::nullopt;
}
