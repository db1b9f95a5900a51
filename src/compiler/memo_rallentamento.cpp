#include "compiler/memo_rallentamento.h"

#include "compiler/checked_arithmetic.h"
#include "compiler/error_codes.h"
#include "compiler/run_state.h"
#include "compiler/value_cut.h"

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

std::optional<int32_t> slowdown_outside_grid(const TrackGrid& grid, int32_t x, int32_t l, int32_t f_ta) {
  if (!grid.contains(object_cell(x))) return x;
  if (has_warning(x)) {
    if (!grid.contains(warning_cell(x))) return x;
    const int32_t approach = first_approach_cell(x);
    if (f_ta != 0 && !(grid.contains(approach) && grid.contains(approach - (kApproachCells - 1)))) return x;
  }
  const int32_t end = add32(x, l);
  if (!grid.contains(object_cell(end))) return end;
  return std::nullopt;
}

void memo_rallentamento(RunState& state, int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta,
                        int32_t& d_v) {
  if (const auto outside = slowdown_outside_grid(state.grid, x, l, f_ta)) {
    set_error(state, kErrorOutOfRange, *outside);
    return;
  }
  TrackGrid& grid = state.grid;
  const bool warned = has_warning(x);
  if (!warned) f_ta = 0;

  const int32_t warning = warned ? warning_cell(x) : -1;
  if (warned && !grid[warning].is_free()) {
    set_error(state, kErrorWarningOccupied);
    return;
  }
  const auto start = static_cast<int32_t>(object_cell(x));
  if (!grid[start].is_free()) {
    set_error(state, kErrorSlowdownStartOccupied);
    return;
  }
  const auto end = static_cast<int32_t>(object_cell(add32(x, l)));
  if (!grid[end].is_free()) {
    set_error(state, kErrorSlowdownEndOccupied);
    return;
  }

  const int16_t speed = cut16(state, v, "slowdown speed");
  const int16_t shared = cut16(state, d_v, "slowdown d_v");
  const int16_t stored = cut16(state, f_tt, "slowdown f_tt");
  // Written in this order: a slowdown shorter than a cell leaves its start over its end.
  grid[end].set_kind(CellKind::SlowdownEnd);
  if (d_v != 0) grid[end].value2 = shared;
  grid[start].set_kind(CellKind::SlowdownStart);
  if (d_v != 0) grid[start].value2 = shared;
  if (warned) {
    grid[warning].set_kind(CellKind::SlowdownWarning);
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
    if (!grid[approach - (k - 1)].is_free()) {
      set_error(state, kErrorApproachOccupied);
      return;
    }
  }
  for (int32_t k = 1; k <= kApproachCells; ++k) {
    TrackCell& cell = grid[approach - (k - 1)];
    cell.set_kind(CellKind::SlowdownApproach);
    cell.value1 = low16(k);
    if (d_v != 0) cell.value2 = low16(k);
  }
}
