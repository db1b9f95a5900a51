#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "scenario/track_grid.h"

/// A control point of the grid (a speed cut that the author placed, or one the compiler added), where it
/// stands and the speed it holds.
struct SpeedCut {
  int32_t cell = 0;
  int32_t metre = 0;         // cell x 50: the position an author's cut is given at
  std::optional<int> speed;  // km/h; none for a control point without a speed
};

/// The control points of the grid, by cell.
std::vector<SpeedCut> read_speed_cuts(const TrackGrid& grid);
