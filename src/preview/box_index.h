#pragma once

// Boxes and points of the page filed by where they lie, so that "does anything here overlap this box"
// costs what lies near the box rather than what lies on the whole page.

#include <cstddef>
#include <vector>

#include "preview/picture.h"

/// A grid of buckets over an area: each box is filed in every bucket it touches, each point in the one
/// that holds it. Boxes and points outside the area are filed in the buckets at its edge, so nothing is
/// ever lost; the area only decides which queries are cheap.
class BoxIndex {
 public:
  /// An index over `area` whose buckets are about `bucket` units wide and high (fewer and larger when
  /// the area would need too many).
  BoxIndex(const Box& area, double bucket);

  void add(const Box& box);
  void add(Point point);

  /// Whether a box added shares some area with `box` (touching edges do not count), leaving out those
  /// for which `skip` says true.
  template <typename Skip>
  bool overlaps(const Box& box, Skip skip) const {
    return visit(box, [&](const Box& other) { return other.overlaps(box) && !skip(other); });
  }
  bool overlaps(const Box& box) const {
    return overlaps(box, [](const Box&) { return false; });
  }
  /// Whether a point added lies inside `box` or on its edge.
  bool holds_point(const Box& box) const;

  /// Calls `found` with every box added that may lie in `box` (some farther ones too, each at most once
  /// per bucket); stops and gives true at the first call that gives true.
  template <typename Found>
  bool visit(const Box& box, Found found) const {
    if (boxes_.empty()) return false;
    const Range range = range_of(box);
    for (std::size_t row = range.top; row <= range.bottom; ++row)
      for (std::size_t column = range.left; column <= range.right; ++column)
        for (const std::size_t index : boxes_[row * columns_ + column])
          if (found(all_boxes_[index])) return true;
    return false;
  }

 private:
  struct Range {
    std::size_t left, top, right, bottom;
  };
  Range range_of(const Box& box) const;
  std::size_t column_of(double x) const;
  std::size_t row_of(double y) const;

  Box area_;
  double bucket_width_ = 1;
  double bucket_height_ = 1;
  std::size_t columns_ = 1;
  std::size_t rows_ = 1;
  std::vector<Box> all_boxes_;
  std::vector<std::vector<std::size_t>> boxes_;  // per bucket, indices into all_boxes_; made at the first box
  std::vector<std::vector<Point>> points_;       // per bucket; made at the first point
};
