#pragma once

// The cells an entry of the sources aims its objects and marks at, each with its role: one rule for
// each kind of entry, which the recorders follow when they place and the editor's hover shows. The
// cells are whole numbers without a grid: a cell may lie outside any grid, and the caller tests it.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "scenario/format.h"

/// What a target cell is for.
enum class CellRole : uint8_t {
  Signal,
  SignalApproachMark,  // k from 1 (nearest the signal) to 4
  SlowdownWarning,
  SlowdownStart,
  SlowdownEnd,
  SlowdownApproach,  // k from 1 (next to the warning) to 4
  StationMark,
  StationApproachMark,  // k from 1 (next to the mark) to 4
};

struct TargetCell {
  int64_t cell;
  CellRole role;
  /// The number of an approach cell or mark; 0 for the others.
  int32_t k = 0;
};

/// A signal at `posizione`: its cell round(posizione / 50 + 1), and its approach marks 2, 4, 6 and 8
/// cells before it.
struct SignalCells {
  int64_t signal;
  /// The cell of approach mark k (1 to 4): signal - 2k.
  int64_t approach_mark(int32_t k) const { return signal - int64_t{kSignalApproachStep} * k; }
  /// The signal, then its approach marks from k = 1, leaving out those before cell 0 (a signal near the
  /// start of the line has fewer).
  std::vector<TargetCell> targets() const;
};
SignalCells signal_cells(int32_t posizione);

/// A slowdown from `x` over `l` metres with its switch `f_ta`, in the order the recorder tests them:
/// its warning mark 1200 m before the start (only for x beyond 1500 m), its start round(x / 50 + 1), its
/// end round((x + l) / 50 + 1), and (with f_ta not 0 and a warning) its four approach cells right
/// before the warning: round((x - 1200) / 50) - (k - 1). The end is computed in 64 bits; the recorder
/// tests the 32-bit sum itself.
struct SlowdownCells {
  std::optional<int64_t> warning;
  int64_t start;
  int64_t end;
  bool has_approach;
  /// Approach cell 1, the cell before the warning's when positions are multiples of 50.
  int64_t first_approach;

  /// The cell of approach cell k (1 to 4), whether or not the slowdown has them.
  int64_t approach_cell(int32_t k) const { return first_approach - (k - 1); }
  std::vector<TargetCell> targets() const;
};
SlowdownCells slowdown_cells(int32_t x, int64_t l, int32_t f_ta);

/// A station of kind `kind` whose platform ends at `platform_end` metres: with E = platform_end / 50, its
/// mark in cell round(E - 1) when E - 1 > 1 (else there is no room, error 24), and the approach marks
/// k = 1 to 4 in the cells round(E - k - 1) where E - k - 1 > 1, not for the kinds 5 and 6. A kind of 25
/// or above places nothing.
struct StationCells {
  bool on_grid;
  bool room_for_mark;
  int64_t mark;
  std::array<std::optional<int64_t>, kStationApproachMarks> approach_marks;
  /// The approach marks from k = 1, then the mark; nothing off the grid or without room.
  std::vector<TargetCell> targets() const;
};
StationCells station_cells(int32_t kind, int32_t platform_end);

/// The cells of a mountain stretch from `inizio` to `fine`: round(inizio / 50) to round(fine / 50 - 1);
/// none when the first comes after the last.
struct MountainCells {
  int64_t first;
  int64_t last;
  bool empty() const { return first > last; }
  /// With markers, the n-th cell of the stretch (n from 1) gets one when n is a multiple of 4.
  bool marker_at(int64_t cell) const { return (cell - first + 1) % kMountainMarkerEvery == 0; }
};
MountainCells mountain_cells(int32_t inizio, int32_t fine);

/// The cell of a speed cut at `position`: round(position / 50), one before a single object's.
int64_t speed_cut_cell(int32_t position);
