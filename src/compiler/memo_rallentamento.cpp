#include "compiler/memo_rallentamento.h"

#include "compiler/value_cut.h"
#include "scenario/checked_arithmetic.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

/// Only a slowdown that starts beyond this position has a warning cell (and approach cells).
constexpr int32_t kLastStartWithoutWarning = 1500;
/// The warning stands this far before the start, metres.
constexpr int32_t kWarningDistance = 1200;
constexpr int32_t kApproachCells = 4;

int32_t warning_cell(int32_t x) { return static_cast<int32_t>(object_cell(int64_t{x} - kWarningDistance)); }
/// The cell just before the warning cell with positions that are multiples of 50: round((x - 1200) / 50).
int32_t first_approach_cell(int32_t x) {
  return static_cast<int32_t>(profile_cell(int64_t{x} - kWarningDistance));
}

bool has_warning(int32_t x) { return x > kLastStartWithoutWarning; }

}  // namespace

void memo_rallentamento(RunState& state, int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta,
                        int32_t& d_v) {
  TrackGrid& grid = state.grid;
  const bool warned = has_warning(x);
  if (!warned) f_ta = 0;

  // Each cell is checked against the grid at the step that needs it, so the refusals keep their order.
  const int32_t warning = warned ? warning_cell(x) : -1;
  if (warned) {
    if (!grid.contains(warning)) {
      set_error(state, kErrorOutOfRange, x);
      return;
    }
    if (!grid[warning].is_free()) {
      set_error(state, kErrorWarningOccupied);
      return;
    }
  }
  const int64_t start_cell = object_cell(x);
  if (!grid.contains(start_cell)) {
    set_error(state, kErrorOutOfRange, x);
    return;
  }
  const auto start = static_cast<int32_t>(start_cell);
  if (!grid[start].is_free()) {
    set_error(state, kErrorSlowdownStartOccupied);
    return;
  }
  const int32_t end_position = add32(x, l);
  const int64_t end_cell = object_cell(end_position);
  if (!grid.contains(end_cell)) {
    set_error(state, kErrorOutOfRange, end_position);
    return;
  }
  const auto end = static_cast<int32_t>(end_cell);
  if (!grid[end].is_free()) {
    set_error(state, kErrorSlowdownEndOccupied);
    return;
  }

  // Reading on after a refusal takes a refused slowdown as not written: its approach cells are then
  // tested before anything is written, a cell of its own counting as taken as it would once written.
  if (state.keep_going && f_ta != 0) {
    const int32_t approach = first_approach_cell(x);
    for (int32_t k = 1; k <= kApproachCells; ++k) {
      const int32_t cell = approach - (k - 1);
      if (!grid.contains(cell)) {
        set_error(state, kErrorOutOfRange, x);
        return;
      }
      if (!grid[cell].is_free() || cell == warning || cell == start || cell == end) {
        set_error(state, kErrorApproachOccupied);
        return;
      }
    }
  }

  const int16_t speed = cut16(state, v, "slowdown speed");
  const int16_t shared = cut16(state, d_v, "slowdown d_v");
  const int16_t stored = cut16(state, f_tt, "slowdown f_tt");
  // Written in this order: a slowdown shorter than a cell leaves its start over its end.
  const CellOrigin origin{state.entry_place, x};
  grid[end].set_kind(CellKind::SlowdownEnd);
  grid.set_origin(end, origin);
  if (d_v != 0) grid[end].value2 = shared;
  grid[start].set_kind(CellKind::SlowdownStart);
  grid.set_origin(start, origin);
  if (d_v != 0) grid[start].value2 = shared;
  if (warned) {
    grid[warning].set_kind(CellKind::SlowdownWarning);
    grid.set_origin(warning, origin);
    if (d_v != 0) grid[warning].value2 = shared;
    grid[warning].value1 = speed;
  }
  grid[start].value1 = speed;
  grid[end].value1 = speed;
  grid[start].value3 = stored;
  grid[end].value3 = stored;

  if (f_ta == 0) return;
  const int32_t approach = first_approach_cell(x);
  for (int32_t k = 1; k <= kApproachCells; ++k) {
    // The approach cells lie just before the warning cell, which is in the grid; a start near cell 0
    // could still put them before it.
    if (!grid.contains(approach - (k - 1))) {
      set_error(state, kErrorOutOfRange, x);
      return;
    }
    if (!grid[approach - (k - 1)].is_free()) {
      set_error(state, kErrorApproachOccupied);
      return;
    }
  }
  for (int32_t k = 1; k <= kApproachCells; ++k) {
    TrackCell& cell = grid[approach - (k - 1)];
    cell.set_kind(CellKind::SlowdownApproach);
    grid.set_origin(approach - (k - 1), origin);
    cell.value1 = low16(k);
    if (d_v != 0) cell.value2 = low16(k);
  }
}
