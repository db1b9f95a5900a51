#pragma once

// Where the grid's objects stand (object_metre and profile_metre, in scenario/track_grid.h, read the
// grid's two position rules backwards), and which cells hold a kind.

#include <cstdint>
#include <vector>

#include "scenario/format.h"
#include "scenario/track_cell.h"
#include "scenario/track_grid.h"

/// The cells that hold an object of a kind, in order.
inline std::vector<int32_t> cells_of_kind(const TrackGrid& grid, CellKind kind) {
  std::vector<int32_t> cells;
  for (int32_t i = 0; grid.exists() && i <= grid.cellCount(); ++i)
    if (grid[i].is(kind)) cells.push_back(i);
  return cells;
}
