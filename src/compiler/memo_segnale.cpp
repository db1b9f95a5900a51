#include "compiler/memo_segnale.h"

#include "compiler/target_cells.h"
#include "compiler/value_cut.h"
#include "scenario/checked_arithmetic.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

/// A tempo from 1 to this value is raised to kRaisedTempo.
constexpr int32_t kShortestTempo = 100;
constexpr int32_t kRaisedTempo = 101;
/// Only a signal of this sx keeps its time.
constexpr int32_t kTimedSignal = 2;

}  // namespace

std::optional<int32_t> signal_outside_grid(const TrackGrid& grid, int32_t posizione) {
  if (!grid.contains(signal_cells(posizione).signal)) return posizione;
  return std::nullopt;
}

void memo_segnale(RunState& state, int32_t posizione, int32_t& sx, int32_t& s1, int32_t& s2, int32_t& s3, int32_t& rapp,
                  int32_t& dx, int32_t& d1, int32_t& d2, int32_t& d3, int32_t& tempo) {
  if (const auto outside = signal_outside_grid(state.grid, posizione)) {
    set_error(state, kErrorOutOfRange, *outside);
    return;
  }
  const SignalCells cells = signal_cells(posizione);
  const auto signal = static_cast<int32_t>(cells.signal);
  TrackCell& cell = state.grid[signal];
  if (!cell.is_free()) {
    set_error(state, kErrorSignalOccupied);
    return;
  }
  // Packed values are 16-bit: the products are taken whole and only their low 16 bits kept.
  cell.set_kind(CellKind::Signal);
  state.grid.set_origin(signal, {state.entry_place, posizione});
  const int64_t side = int64_t{sx} * kSignalSideFactor + dx;
  cell.value4 = cut16(state, int64_t{rapp} * kPairFactor + side, "signal rapp x 10 + sx x 3 + dx");
  cell.value1 = cut16(state, int64_t{s1} * kPairFactor + d1, "signal s1 x 10 + d1");
  cell.value2 = cut16(state, int64_t{s2} * kPairFactor + d2, "signal s2 x 10 + d2");
  cell.value3 = cut16(state, int64_t{s3} * kPairFactor + d3, "signal s3 x 10 + d3");

  if (tempo >= 1 && tempo <= kShortestTempo) tempo = kRaisedTempo;
  cell.signalTime = sx == kTimedSignal ? cut8(state, tempo, "signal tempo") : 0;

  const int64_t mark_base = side * kPairFactor;
  if (mark_base + 1 < 0 || mark_base + kSignalApproachMarks > 255)
    warn(state, WarningKind::ValueCut, state.entry_place,
         "signal approach marks (sx x 3 + dx) x 10 + k cut to their low 8 bits");
  // A signal near the start of the line has fewer marks: those before cell 0 are left out.
  for (const TargetCell& target : cells.targets())
    if (target.role == CellRole::SignalApproachMark)
      state.grid[static_cast<int32_t>(target.cell)].approachMark = low8(mark_base + target.k);
}
