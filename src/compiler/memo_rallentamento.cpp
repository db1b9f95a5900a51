#include "compiler/memo_rallentamento.h"

#include "compiler/target_cells.h"
#include "compiler/value_cut.h"
#include "scenario/checked_arithmetic.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

void memo_rallentamento(RunState& state, int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta, int32_t& d_v) {
  TrackGrid& grid = state.grid;
  const SlowdownCells cells = slowdown_cells(x, l, f_ta);
  const bool warned = cells.warning.has_value();

  // Each cell is checked against the grid at the step that needs it, so the refusals keep their order.
  const auto warning = static_cast<int32_t>(cells.warning.value_or(-1));
  if (warned) {
    if (!grid.contains(*cells.warning)) {
      set_error(state, kErrorOutOfRange, x);
      return;
    }
    if (!grid[warning].is_free()) {
      set_error(state, kErrorWarningOccupied);
      return;
    }
  }
  if (!grid.contains(cells.start)) {
    set_error(state, kErrorOutOfRange, x);
    return;
  }
  const auto start = static_cast<int32_t>(cells.start);
  if (!grid[start].is_free()) {
    set_error(state, kErrorSlowdownStartOccupied);
    return;
  }
  const int32_t end_position = add32(x, l);
  if (!grid.contains(cells.end)) {
    set_error(state, kErrorOutOfRange, end_position);
    return;
  }
  const auto end = static_cast<int32_t>(cells.end);
  if (!grid[end].is_free()) {
    set_error(state, kErrorSlowdownEndOccupied);
    return;
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

  if (!cells.has_approach) return;
  for (int32_t k = 1; k <= kSlowdownApproachCells; ++k) {
    // The approach cells lie just before the warning cell, which is in the grid; a start near cell 0
    // could still put them before it.
    if (!grid.contains(cells.approach_cell(k))) {
      set_error(state, kErrorOutOfRange, x);
      return;
    }
    if (!grid[static_cast<int32_t>(cells.approach_cell(k))].is_free()) {
      set_error(state, kErrorApproachOccupied);
      return;
    }
  }
  for (int32_t k = 1; k <= kSlowdownApproachCells; ++k) {
    const auto index = static_cast<int32_t>(cells.approach_cell(k));
    TrackCell& cell = grid[index];
    cell.set_kind(CellKind::SlowdownApproach);
    grid.set_origin(index, origin);
    cell.value1 = low16(k);
    if (d_v != 0) cell.value2 = low16(k);
  }
}
