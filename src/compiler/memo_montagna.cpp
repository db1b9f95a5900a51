#include "compiler/memo_montagna.h"

#include "compiler/target_cells.h"
#include "compiler/value_cut.h"
#include "scenario/checked_arithmetic.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

void memo_montagna(RunState& state, int32_t& inizio, int32_t& fine, int32_t& tipo) {
  if (state.mountain_count >= kMountainCapacity) {
    set_error(state, kErrorMountainCapacity, inizio);
    return;
  }
  state.marker_flag = 0;
  if (mountain_markers_asked(tipo)) {
    tipo = mountain_type_asked(tipo);
    state.marker_flag = 1;
  }
  ++state.mountain_count;
  state.mountain_starts[static_cast<std::size_t>(state.mountain_count)] = inizio;
  state.mountain_ends[static_cast<std::size_t>(state.mountain_count)] = fine;
  if (state.mountain_count > 1 &&
      add32(inizio, -int64_t{state.mountain_ends[static_cast<std::size_t>(state.mountain_count - 1)]}) <=
          kJoinedStretchGap)
    tipo = kJoinedStretchType;

  const MountainCells cells = mountain_cells(inizio, fine);
  const uint8_t type = cells.empty() ? low8(tipo) : cut8(state, tipo, "mountain type");
  for (auto index = static_cast<int32_t>(cells.first); index <= cells.last; ++index) {
    TrackCell& cell = state.grid[index];
    cell.mountainType = type;
    if (state.marker_flag == 1 && cells.marker_at(index) && cell.is(CellKind::Plain)) {
      cell.set_kind(CellKind::MountainMarker);
      state.grid.set_origin(index, {state.entry_place, inizio});
    }
  }
}
