#pragma once

#include <cstdint>
#include <vector>

#include "scenario/track_cell.h"
#include "scenario/track_grid.h"

/// The four quantities of the line profile that every cell stores.
enum class ProfileQuantity { Gradient, SpeedLimit, Adhesion, MountainType };

/// A quantity's value in a cell, in the author's unit: the gradient in per mille, the speed limit in
/// km/h, the adhesion as stored, the mountain type (0: none).
int profile_value(const TrackCell& cell, ProfileQuantity quantity);

/// A run of cells in which a quantity keeps one value: cells first_cell to last_cell, from
/// profile_metre(first_cell) to profile_metre(last_cell + 1).
struct ProfileRun {
  int32_t first_cell = 0;
  int32_t last_cell = 0;
  int value = 0;
};

/// The runs of a quantity over cells 0 to end_cell - 1 (the grid's cells, at most), in order.
std::vector<ProfileRun> profile_runs(const TrackGrid& grid, ProfileQuantity quantity, int32_t end_cell);

/// One point of the height profile: the height at a cell boundary, relative to the start, metres.
struct ProfilePoint {
  int64_t metre = 0;
  double height = 0;
};

/// The heights at the boundaries of cells 0 to end_cell - 1 (the grid's cells, at most), from 0 m to
/// the end of the last of them: each cell climbs its gradient over its 50 metres.
std::vector<ProfilePoint> height_profile(const TrackGrid& grid, int32_t end_cell);

/// The metres the profile covers: the profile fills stop kProfileTailCells cells before the last, so the
/// last cells of a grid keep none.
int32_t profile_length(const TrackGrid& grid);
