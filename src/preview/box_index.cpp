#include "preview/box_index.h"

#include <algorithm>
#include <cmath>

namespace {

/// Buckets enough for any page the command draws, few enough that an empty index is cheap.
constexpr double kMostBuckets = 1 << 16;

}  // namespace

BoxIndex::BoxIndex(const Box& area, double bucket) : area_(area) {
  const bool usable = std::isfinite(area.left) && std::isfinite(area.top) && std::isfinite(area.right) &&
                      std::isfinite(area.bottom) && area.width() > 0 && area.height() > 0;
  if (!usable) area_ = {0, 0, 1, 1};
  double size = std::isfinite(bucket) && bucket > 0 ? bucket : 1;
  size = std::max(size, std::sqrt(area_.width() * area_.height() / kMostBuckets));
  columns_ = static_cast<std::size_t>(std::clamp(std::ceil(area_.width() / size), 1.0, kMostBuckets));
  rows_ = static_cast<std::size_t>(std::clamp(std::ceil(area_.height() / size), 1.0, kMostBuckets / columns_));
  bucket_width_ = area_.width() / static_cast<double>(columns_);
  bucket_height_ = area_.height() / static_cast<double>(rows_);
}

std::size_t BoxIndex::column_of(double x) const {
  const double column = std::floor((x - area_.left) / bucket_width_);
  // NaN, and everything outside, lands in an edge bucket.
  if (!(column > 0)) return 0;
  return static_cast<std::size_t>(std::min(column, static_cast<double>(columns_ - 1)));
}

std::size_t BoxIndex::row_of(double y) const {
  const double row = std::floor((y - area_.top) / bucket_height_);
  if (!(row > 0)) return 0;
  return static_cast<std::size_t>(std::min(row, static_cast<double>(rows_ - 1)));
}

BoxIndex::Range BoxIndex::range_of(const Box& box) const {
  Range range{column_of(box.left), row_of(box.top), column_of(box.right), row_of(box.bottom)};
  // A box whose edges are not numbers, or are the wrong way round, may lie anywhere.
  if (!(box.left <= box.right)) range.left = 0, range.right = columns_ - 1;
  if (!(box.top <= box.bottom)) range.top = 0, range.bottom = rows_ - 1;
  return range;
}

void BoxIndex::add(const Box& box) {
  if (boxes_.empty()) boxes_.resize(columns_ * rows_);
  all_boxes_.push_back(box);
  const Range range = range_of(box);
  for (std::size_t row = range.top; row <= range.bottom; ++row)
    for (std::size_t column = range.left; column <= range.right; ++column)
      boxes_[row * columns_ + column].push_back(all_boxes_.size() - 1);
}

void BoxIndex::add(Point point) {
  if (points_.empty()) points_.resize(columns_ * rows_);
  points_[row_of(point.y) * columns_ + column_of(point.x)].push_back(point);
}

bool BoxIndex::holds_point(const Box& box) const {
  if (points_.empty()) return false;
  const Range range = range_of(box);
  for (std::size_t row = range.top; row <= range.bottom; ++row)
    for (std::size_t column = range.left; column <= range.right; ++column)
      for (const Point& p : points_[row * columns_ + column])
        if (box.contains(p)) return true;
  return false;
}
