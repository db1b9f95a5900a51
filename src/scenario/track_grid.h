#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "scenario/format.h"
#include "scenario/source_place.h"
#include "scenario/track_cell.h"

/// The entry that put a cell's object: its keyword field in a source, and the position in metres that
/// entry gave (for every cell of a slowdown, the slowdown's start). Kept beside the grid for the
/// messages that name what holds a cell; never part of a file.
struct CellOrigin {
  SourcePlace place;
  int32_t position = 0;
  /// Placed by the finishing pass for the slowdown at `position`, not by the entry itself.
  bool by_finishing_pass = false;
};

/// The line cut into cells 0 to cellCount(); empty until the line length has been read.
class TrackGrid {
 public:
  /// (Re-)creates the grid for a grid extent (line length + 7000), every byte zero: cells 0 to
  /// last_cell_of_extent(grid_extent). An extent whose last cell would lie before cell 0 leaves no grid.
  void create(int32_t grid_extent);
  bool exists() const { return !cells_.empty(); }
  /// The upper bound: the index of the last cell.
  int32_t cellCount() const { return static_cast<int32_t>(cells_.size()) - 1; }
  bool contains(int64_t index) const { return index >= 0 && index <= cellCount(); }

  TrackCell& operator[](int32_t index) { return cells_.at(static_cast<std::size_t>(index)); }
  const TrackCell& operator[](int32_t index) const { return cells_.at(static_cast<std::size_t>(index)); }
  const std::vector<TrackCell>& cells() const { return cells_; }

  /// Where the object of a cell came from; an origin without a place when nothing recorded it. Both throw
  /// std::out_of_range for a cell outside the grid.
  const CellOrigin& origin(int32_t index) const;
  void set_origin(int32_t index, CellOrigin origin);

 private:
  std::vector<TrackCell> cells_;
  // Only the cells that hold an object have an origin: a few thousand on the longest line, where a
  // dense array would be 400 KB that a compilation writes and pays for page by page.
  std::unordered_map<int32_t, CellOrigin> origins_;
};

/// Rounds half to even, as every conversion of a real value to a whole number does.
double round_half_even(double value);

/// The last cell of the grid of a grid extent (line length + 7000 m): round(extent / 50). A line of
/// -6975 m or less gives 0 (a grid of cell 0 alone), one of -7026 m or less a last cell before cell 0.
int64_t last_cell_of_extent(int64_t grid_extent);

/// Cell of a single object at position p: round(p / 50 + 1).
int64_t object_cell(int64_t position);
/// First cell of a profile run that starts at position p: round(p / 50).
int64_t profile_cell(int64_t position);
/// The inverses, for showing a cell in metres: the single object of cell i stands at (i - 1) x 50 m (every
/// cell is shown by these metres; exact in 32 bits for every cell of a grid); the profile value of cell i
/// holds from i x 50 m to (i + 1) x 50 m (64 bits: the end of the last cell of a grid read from a file
/// may pass 32 bits).
constexpr int32_t object_metre(int32_t cell) { return (cell - 1) * kCellLength; }
constexpr int64_t profile_metre(int64_t cell) { return cell * kCellLength; }

/// Range test: a position is accepted when cellCount >= (p + margin) / 50, as real numbers. The sum
/// p + margin is 32-bit arithmetic: beyond it, a read failure.
bool passes_range_test(const TrackGrid& grid, int64_t position, int32_t margin = kRangeMargin);
