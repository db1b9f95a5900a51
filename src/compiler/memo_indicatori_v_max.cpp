#include "compiler/memo_indicatori_v_max.h"

#include "compiler/value_cut.h"
#include "scenario/checked_arithmetic.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

/// One packed speed: round(other side / 5 + first side x 20); beyond 16 bits a read failure.
int16_t pack_speeds(int32_t first_side, int32_t other_side) {
  return round16(other_side / static_cast<double>(kBoardOtherSideUnit) +
                 static_cast<double>(mul32(first_side, kBoardFirstSideFactor)));
}

}  // namespace

void memo_indicatori_v_max(RunState& state, int32_t posizione, int32_t& vas, int32_t& vbs, int32_t& vcs,
                           int16_t& strisces, int32_t& vad, int32_t& vbd, int32_t& vcd, int16_t& strisced) {
  const auto index = static_cast<int32_t>(object_cell(posizione));
  TrackCell& cell = state.grid[index];
  if (!cell.is_free()) {
    set_error(state, kErrorSpeedBoardOccupied);
    return;
  }
  cell.set_kind(CellKind::SpeedBoard);
  state.grid.set_origin(index, {state.entry_place, posizione});
  cell.value1 = pack_speeds(vas, vad);
  cell.value2 = pack_speeds(vbs, vbd);
  cell.value3 = pack_speeds(vcs, vcd);
  cell.value4 = cut16(state, int64_t{strisces} * kPairFactor + strisced, "stripe counts strisces x 10 + strisced");
}
