#include "model/line_profile.h"

#include <algorithm>

#include "model/positions.h"
#include "scenario/format.h"

namespace {

/// The cells a profile reading covers: to end_cell, within the grid.
int32_t cells_until(const TrackGrid& grid, int32_t end_cell) {
  return std::min(end_cell, grid.exists() ? grid.cellCount() + 1 : 0);
}

}  // namespace

int profile_value(const TrackCell& cell, ProfileQuantity quantity) {
  switch (quantity) {
    case ProfileQuantity::Gradient:
      return gradient_per_mille(cell.gradient);
    case ProfileQuantity::SpeedLimit:
      return speed_km_h(cell.speedLimit);
    case ProfileQuantity::Adhesion:
      return cell.adhesion;
    case ProfileQuantity::MountainType:
      return cell.mountainType;
  }
  return 0;
}

std::vector<ProfileRun> profile_runs(const TrackGrid& grid, ProfileQuantity quantity, int32_t end_cell) {
  std::vector<ProfileRun> runs;
  const int32_t cells = cells_until(grid, end_cell);
  for (int32_t i = 0; i < cells; ++i) {
    const int value = profile_value(grid[i], quantity);
    if (!runs.empty() && runs.back().value == value)
      runs.back().last_cell = i;
    else
      runs.push_back({i, i, value});
  }
  return runs;
}

std::vector<ProfilePoint> height_profile(const TrackGrid& grid, int32_t end_cell) {
  const int32_t cells = cells_until(grid, end_cell);
  std::vector<ProfilePoint> heights{{0, 0.0}};
  int64_t gradient_sum = 0;
  for (int32_t i = 0; i < cells; ++i) {
    gradient_sum += gradient_per_mille(grid[i].gradient);
    heights.push_back({profile_metre(i + 1), static_cast<double>(gradient_sum) * kCellLength / 1000.0});
  }
  return heights;
}

int32_t profile_length(const TrackGrid& grid) {
  return std::max(0, (grid.cellCount() - kProfileTailCells) * kCellLength);
}
