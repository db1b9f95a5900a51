#include "compiler/memo_montagna.h"

#include "compiler/value_cut.h"
#include "scenario/checked_arithmetic.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {
constexpr int32_t kMarkerTypeOffset = 10;
constexpr int32_t kJoinedStretchGap = 150;
constexpr int32_t kJoinedStretchType = 3;
constexpr int32_t kMarkerEvery = 4;
}  // namespace

void memo_montagna(RunState& state, int32_t& inizio, int32_t& fine, int32_t& tipo) {
  if (state.mountain_count >= kMountainCapacity) {
    set_error(state, kErrorMountainCapacity, inizio);
    return;
  }
  state.marker_flag = 0;
  if (tipo > kMarkerTypeOffset) {
    tipo -= kMarkerTypeOffset;
    state.marker_flag = 1;
  }
  ++state.mountain_count;
  state.mountain_starts[static_cast<std::size_t>(state.mountain_count)] = inizio;
  state.mountain_ends[static_cast<std::size_t>(state.mountain_count)] = fine;
  if (state.mountain_count > 1 &&
      add32(inizio, -int64_t{state.mountain_ends[static_cast<std::size_t>(state.mountain_count - 1)]}) <=
          kJoinedStretchGap)
    tipo = kJoinedStretchType;

  const auto first = static_cast<int32_t>(profile_cell(inizio));
  const auto last = static_cast<int32_t>(round_half_even(fine / static_cast<double>(kCellLength) - 1));
  const uint8_t type = first <= last ? cut8(state, tipo, "mountain type") : low8(tipo);
  int32_t count = 0;
  for (int32_t index = first; index <= last; ++index) {
    TrackCell& cell = state.grid[index];
    ++count;
    cell.mountainType = type;
    if (state.marker_flag == 1 && count % kMarkerEvery == 0 && cell.is(CellKind::Plain)) {
      cell.set_kind(CellKind::MountainMarker);
      state.grid.set_origin(index, {state.entry_place, inizio});
    }
  }
}
