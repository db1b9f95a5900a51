#include "compiler/finishing_pass.h"

#include <algorithm>
#include <initializer_list>

#include "compiler/error_report.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

bool is_kind(const TrackGrid& grid, int32_t index, CellKind kind) {
  return grid.contains(index) && grid[index].is(kind);
}

/// A cell outside the grid is never free.
bool is_free(const TrackGrid& grid, int32_t index) { return grid.contains(index) && grid[index].is_free(); }

/// A control point, which comes from the slowdown whose cell `origin` the pass is looking at.
void make_control_point(TrackGrid& grid, int32_t index, CellOrigin origin) {
  grid[index].set_kind(CellKind::ControlPoint);
  grid[index].value1 = kControlPointSpeed;
  origin.by_finishing_pass = true;
  grid.set_origin(index, origin);
}

/// Places a control point in the first free cell of `candidates`; returns which one (0, 1, 2...), or
/// -1 when none is free.
int place_in_first_free(TrackGrid& grid, std::initializer_list<int32_t> candidates, const CellOrigin& origin) {
  int which = 0;
  for (int32_t index : candidates) {
    if (is_free(grid, index)) {
      make_control_point(grid, index, origin);
      return which;
    }
    ++which;
  }
  return -1;
}

void lower_control_point(TrackGrid& grid, int32_t index) {
  grid[index].value1 = minimo(kControlPointSpeed, grid[index].value1);
}

int32_t position_of(int32_t index) { return index * kCellLength; }

/// An error of the pass about cell `cell`: the run keeps cell x 50 as its position, the messages show the
/// cell with its metres, the slowdown concerned (at `slowdown`, a cell of it) and the cells found taken.
void refuse_cells(RunState& state, int32_t code, int32_t cell, int32_t slowdown, std::string why,
                  std::initializer_list<int32_t> taken) {
  Refusal refusal(code, position_of(cell));
  refusal.cell = cell;
  refusal.shown_position = object_metre(cell);
  std::string held;
  for (const int32_t index : taken) {
    const Occupant occupant = occupant_of(state, index);
    held += (held.empty() ? "" : "; ") + cell_text(index) + " holds " + occupant.description;
  }
  refusal.detail = std::move(why) + (held.empty() ? "" : ": " + held);
  const CellOrigin& origin = state.grid.origin(slowdown);
  if (origin.place)
    refusal.related.push_back({origin.place, "the slowdown at " + std::to_string(origin.position) + " m"});
  raise_error(state, std::move(refusal));
}

/// "the slowdown at 4250 m", or "the slowdown starting in cell 86 (4250 m)" when the grid knows no entry.
std::string slowdown_name(const RunState& state, int32_t cell) {
  const CellOrigin& origin = state.grid.origin(cell);
  if (origin.place) return "the slowdown at " + std::to_string(origin.position) + " m";
  return "the slowdown of " + cell_text(cell);
}

/// Step A: a control point before every signal in the 20 cells before the warning at `i`.
void look_back(RunState& state, int32_t i) {
  TrackGrid& grid = state.grid;
  for (int32_t k = 1; k <= kLookBackCells; ++k) {
    const int32_t d = i - k;
    if (d < kLookBackFloor) break;
    if (!grid[d].is(CellKind::Signal)) continue;
    if (is_free(grid, d - 1)) {
      make_control_point(grid, d - 1, grid.origin(i));
    } else if (is_free(grid, d - 2)) {
      make_control_point(grid, d - 2, grid.origin(i));
    } else if (is_kind(grid, d - 1, CellKind::ControlPoint)) {
      lower_control_point(grid, d - 1);
    } else if (is_kind(grid, d - 2, CellKind::ControlPoint)) {
      lower_control_point(grid, d - 2);
    } else {
      refuse_cells(state, kErrorSignalControlPoint, d, i,
                   "the signal in " + cell_text(d) + ", 1000 m or less before the warning mark of " +
                       slowdown_name(state, i) + ", needs a control point in one of the two cells before it",
                   {d - 1, d - 2});
    }
  }
}

/// Steps B1 to B3: one control point in each of three groups of cells ahead of the start at `i`; the
/// group whose nearest cell is i - n is cells i - n, i - n - 1, i - n - 2, tried only when i > n + 2.
void before_start(RunState& state, int32_t i) {
  for (const int32_t n : {5, 11, 18}) {
    if (i <= n + 2) continue;
    if (place_in_first_free(state.grid, {i - n, i - n - 1, i - n - 2}, state.grid.origin(i)) < 0)
      refuse_cells(state, kErrorSlowdownControlPoint, i, i,
                   slowdown_name(state, i) + " needs a control point " + std::to_string(n) + " to " +
                       std::to_string(n + 2) + " cells before its start",
                   {i - n, i - n - 1, i - n - 2});
  }
}

/// A slowdown whose start at `i` has no end after it, up to the last cell.
void no_end(RunState& state, int32_t i, int32_t last) {
  refuse_cells(state, kErrorSlowdownWalk, last, i,
               slowdown_name(state, i) + " has no end cell after its start (a slowdown shorter than 25 m ends in its "
                                         "own start cell, which the start then takes)",
               {});
}

/// Step B4: walks a slowdown from its start at `i` to its end, a control point every 8 cells. Leaves
/// `state.h` on the end cell; a walk that reaches the last cell of the grid without finding the end
/// sets error 13 and stops there.
void walk_slowdown(RunState& state, int32_t i) {
  TrackGrid& grid = state.grid;
  const int32_t last = grid.cellCount();
  int32_t counter = 0;
  state.h = i;
  while (true) {
    if (state.h >= last) {
      no_end(state, i, last);
      return;
    }
    const int32_t h = ++state.h;
    ++counter;
    if (counter == kWalkStep) {
      // Placing at h - 1 or h + 1 shifts the count, so the next one still comes 8 cells after it.
      switch (place_in_first_free(grid, {h, h - 1, h + 1}, grid.origin(i))) {
        case 0:
          counter = 0;
          break;
        case 1:
          counter = 1;
          break;
        case 2:
          counter = -1;
          break;
        default:
          refuse_cells(state, kErrorSlowdownWalk, h, i,
                       slowdown_name(state, i) + " needs a control point every 8 cells along it", {h, h - 1, h + 1});
          break;
      }
    }
    if (grid[h].is(CellKind::SlowdownEnd)) return;
  }
}

/// For a slowdown that is not walked: leaves `state.h` on its end cell, placing nothing, bounded and
/// reported like the walk.
void find_slowdown_end(RunState& state, int32_t i) {
  const TrackGrid& grid = state.grid;
  const int32_t last = grid.cellCount();
  state.h = i;
  while (true) {
    if (state.h >= last) {
      no_end(state, i, last);
      return;
    }
    ++state.h;
    if (grid[state.h].is(CellKind::SlowdownEnd)) return;
  }
}

/// Step B5: a control point just before the first signal among cells h to h + 12.
void signal_after_slowdown(RunState& state, int32_t i) {
  const CellOrigin origin = state.grid.origin(i);
  TrackGrid& grid = state.grid;
  const int32_t h = state.h;
  const int32_t bound = std::min(h + kSignalSearchCells, grid.cellCount());
  int32_t p = 0;
  for (int32_t search = h; search <= bound; ++search) {
    if (grid[search].is(CellKind::Signal)) {
      p = search - 1;
      break;
    }
  }
  if (p > 0 && place_in_first_free(grid, {p, p - 1}, origin) < 0)
    refuse_cells(state, kErrorSlowdownWalk, h, i,
                 "the first signal after the end of " + slowdown_name(state, i) + ", in " + cell_text(p + 1) +
                     ", needs a control point in one of the two cells before it",
                 {p, p - 1});
}

void around_slowdown(RunState& state, int32_t i) {
  before_start(state, i);
  if (state.grid[i].value1 < kWalkedSlowdownSpeed)
    walk_slowdown(state, i);
  else
    find_slowdown_end(state, i);
  signal_after_slowdown(state, i);
}

}  // namespace

void finishing_pass(RunState& state) {
  if (!state.grid.exists()) return;
  const int32_t last = state.grid.cellCount() - 2;
  for (int32_t i = 1; i <= last; ++i) {
    const TrackCell& cell = state.grid[i];
    if (cell.is(CellKind::SlowdownWarning))
      look_back(state, i);
    else if (cell.is(CellKind::SlowdownStart))
      around_slowdown(state, i);
  }
}
