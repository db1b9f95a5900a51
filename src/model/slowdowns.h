#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "scenario/track_grid.h"

/// A slowdown: from its start cell to its end cell, at its speed.
struct Slowdown {
  int32_t start_cell = 0;
  std::optional<int32_t> end_cell;  // none when the grid holds no free end after the start
  int speed = 0;                    // km/h, as the start cell stores it
  int32_t from = 0;                 // metres: where the start and the end cells' objects stand
  std::optional<int32_t> to;
};

/// The slowdowns of the grid, by start cell. The grid does not tie an end to its start: each start
/// takes the first end after it that no earlier start has taken.
std::vector<Slowdown> read_slowdowns(const TrackGrid& grid);
