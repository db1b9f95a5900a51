#include "model/line_profile.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "scenario/format.h"

namespace {

/// Cells 0 to 8: gradients 0, -10 and +16 per mille, speeds 80 and 90 km/h, a mountain in cell 4.
TrackGrid small_grid() {
  TrackGrid grid;
  grid.create(400);
  for (int32_t n = 0; n <= 8; ++n) {
    TrackCell& cell = grid[n];
    cell.gradient = static_cast<uint8_t>(kGradientOffset + (n <= 2 ? 0 : n <= 5 ? -10 : 16));
    cell.speedLimit = static_cast<uint8_t>((n <= 4 ? 80 : 90) / kSpeedUnit);
    cell.adhesion = 255;
    cell.mountainType = n == 4 ? 2 : 0;
  }
  return grid;
}

using Runs = std::vector<std::tuple<int32_t, int32_t, int>>;  // first cell, last cell, value

Runs runs_of(const TrackGrid& grid, ProfileQuantity quantity, int32_t end_cell) {
  Runs found;
  for (const ProfileRun& run : profile_runs(grid, quantity, end_cell))
    found.emplace_back(run.first_cell, run.last_cell, run.value);
  return found;
}

TEST(LineProfile, RunsOfEachQuantityInItsUnit) {
  const TrackGrid grid = small_grid();
  EXPECT_EQ(runs_of(grid, ProfileQuantity::Gradient, 9), (Runs{{0, 2, 0}, {3, 5, -10}, {6, 8, 16}}));
  EXPECT_EQ(runs_of(grid, ProfileQuantity::SpeedLimit, 9), (Runs{{0, 4, 80}, {5, 8, 90}}));
  EXPECT_EQ(runs_of(grid, ProfileQuantity::Adhesion, 9), (Runs{{0, 8, 255}}));
  EXPECT_EQ(runs_of(grid, ProfileQuantity::MountainType, 9), (Runs{{0, 3, 0}, {4, 4, 2}, {5, 8, 0}}));
}

TEST(LineProfile, RunsStopAtTheEndCellAndAtTheGrid) {
  const TrackGrid grid = small_grid();
  EXPECT_EQ(runs_of(grid, ProfileQuantity::Gradient, 4), (Runs{{0, 2, 0}, {3, 3, -10}}));
  EXPECT_EQ(runs_of(grid, ProfileQuantity::Gradient, 1000), runs_of(grid, ProfileQuantity::Gradient, 9));
  EXPECT_EQ(runs_of(grid, ProfileQuantity::Gradient, 0), Runs{});
  EXPECT_EQ(runs_of(grid, ProfileQuantity::Gradient, -5), Runs{});
  EXPECT_EQ(runs_of(TrackGrid{}, ProfileQuantity::Gradient, 9), Runs{});
}

TEST(LineProfile, HeightsClimbEachCellsGradientOverFiftyMetres) {
  const std::vector<ProfilePoint> heights = height_profile(small_grid(), 9);
  ASSERT_EQ(heights.size(), 10u);
  const double expected[] = {0, 0, 0, 0, -0.5, -1.0, -1.5, -0.7, 0.1, 0.9};
  for (std::size_t k = 0; k < heights.size(); ++k) {
    EXPECT_EQ(heights[k].metre, static_cast<int64_t>(k) * 50) << k;
    EXPECT_DOUBLE_EQ(heights[k].height, expected[k]) << k;
  }
  EXPECT_EQ(height_profile(small_grid(), 2).size(), 3u);
  ASSERT_EQ(height_profile(TrackGrid{}, 9).size(), 1u);  // the start alone
}

TEST(LineProfile, TheLastThreeCellsKeepNoProfile) {
  TrackGrid grid;
  grid.create(36000);  // cells 0 to 720: the profile covers cells 0 to 717
  EXPECT_EQ(profile_length(grid), 35900);
  grid.create(100);  // cells 0 to 2
  EXPECT_EQ(profile_length(grid), 0);
  EXPECT_EQ(profile_length(TrackGrid{}), 0);
}

}  // namespace
