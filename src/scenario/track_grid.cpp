#include "scenario/track_grid.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "scenario/checked_arithmetic.h"

double round_half_even(double value) { return std::nearbyint(value); }

int64_t last_cell_of_extent(int64_t grid_extent) {
  return static_cast<int64_t>(round_half_even(static_cast<double>(grid_extent) / kCellLength));
}

void TrackGrid::create(int32_t grid_extent) {
  const int64_t upper = last_cell_of_extent(grid_extent);
  cells_.assign(static_cast<std::size_t>(std::max<int64_t>(upper + 1, 0)), TrackCell{});
  origins_.clear();
}

namespace {

[[noreturn]] void no_cell(int32_t index) {
  std::string what = "no cell ";
  what.append(std::to_string(index)).append(" in the grid");
  throw std::out_of_range(what);
}

}  // namespace

const CellOrigin& TrackGrid::origin(int32_t index) const {
  static const CellOrigin kNone;
  if (!contains(index)) no_cell(index);
  const auto found = origins_.find(index);
  return found == origins_.end() ? kNone : found->second;
}

void TrackGrid::set_origin(int32_t index, CellOrigin origin) {
  if (!contains(index)) no_cell(index);
  origins_.insert_or_assign(index, origin);
}

int64_t object_cell(int64_t position) {
  return static_cast<int64_t>(round_half_even(static_cast<double>(position) / kCellLength + 1));
}

int64_t profile_cell(int64_t position) {
  return static_cast<int64_t>(round_half_even(static_cast<double>(position) / kCellLength));
}

bool passes_range_test(const TrackGrid& grid, int64_t position, int32_t margin) {
  return static_cast<double>(grid.cellCount()) >= static_cast<double>(add32(position, margin)) / kCellLength;
}
