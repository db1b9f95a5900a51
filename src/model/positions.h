#pragma once

// Where the grid's objects stand. The grid's two rules for positions, read backwards: a single object (a signal, a board, a
// slowdown's start) written at position p lies in cell round(p / 50 + 1), so the object of cell i stands
// at (i - 1) x 50 m; a profile value (gradient, speed, adhesion, mountain) of cell i holds from i x 50 m
// to (i + 1) x 50 m.

#include <cstdint>
#include <vector>

#include "scenario/format.h"
#include "scenario/track_cell.h"
#include "scenario/track_grid.h"

/// Where the single object of a cell stands, metres. Exact for every cell of a grid.
constexpr int32_t object_metre(int32_t cell) { return (cell - 1) * kCellLength; }

/// Where the profile value of a cell starts, metres (a cell's end is the next cell's start). 64 bits:
/// the end of the last cell of the largest grid is beyond 32 bits.
constexpr int64_t profile_metre(int64_t cell) { return cell * kCellLength; }

/// The cells that hold an object of a kind, in order.
inline std::vector<int32_t> cells_of_kind(const TrackGrid& grid, CellKind kind) {
  std::vector<int32_t> cells;
  for (int32_t i = 0; grid.exists() && i <= grid.cellCount(); ++i)
    if (grid[i].is(kind)) cells.push_back(i);
  return cells;
}
