#include "compiler/target_cells.h"

#include "scenario/track_grid.h"

SignalCells signal_cells(int32_t posizione) { return {object_cell(posizione)}; }

std::vector<TargetCell> SignalCells::targets() const {
  std::vector<TargetCell> cells{{signal, CellRole::Signal}};
  for (int32_t k = 1; k <= kSignalApproachMarks && approach_mark(k) >= 0; ++k)
    cells.push_back({approach_mark(k), CellRole::SignalApproachMark, k});
  return cells;
}

SlowdownCells slowdown_cells(int32_t x, int64_t l, int32_t f_ta) {
  const bool warned = x > kLastStartWithoutWarning;
  const int64_t before = int64_t{x} - kSlowdownWarningDistance;
  SlowdownCells cells{};
  if (warned) cells.warning = object_cell(before);
  cells.start = object_cell(x);
  cells.end = object_cell(int64_t{x} + l);
  // Without a warning the switch counts as 0.
  cells.has_approach = warned && f_ta != 0;
  cells.first_approach = profile_cell(before);
  return cells;
}

std::vector<TargetCell> SlowdownCells::targets() const {
  std::vector<TargetCell> cells;
  if (warning) cells.push_back({*warning, CellRole::SlowdownWarning});
  cells.push_back({start, CellRole::SlowdownStart});
  cells.push_back({end, CellRole::SlowdownEnd});
  for (int32_t k = 1; has_approach && k <= kSlowdownApproachCells; ++k)
    cells.push_back({approach_cell(k), CellRole::SlowdownApproach, k});
  return cells;
}

StationCells station_cells(int32_t kind, int32_t platform_end) {
  StationCells cells{};
  const double end = platform_end / static_cast<double>(kCellLength);
  cells.on_grid = kind < kFirstStationKindOffGrid;
  cells.room_for_mark = end - 1 > 1;
  cells.mark = static_cast<int64_t>(round_half_even(end - 1));
  if (kind != kStationKindBeforeFirst && kind != kStationKindBeforeSecond) {
    for (int32_t k = 1; k <= kStationApproachMarks; ++k)
      if (end - k - 1 > 1)
        cells.approach_marks[static_cast<std::size_t>(k - 1)] = static_cast<int64_t>(round_half_even(end - k - 1));
  }
  return cells;
}

std::vector<TargetCell> StationCells::targets() const {
  std::vector<TargetCell> cells;
  if (!on_grid || !room_for_mark) return cells;
  for (int32_t k = 1; k <= kStationApproachMarks; ++k)
    if (const auto cell = approach_marks[static_cast<std::size_t>(k - 1)])
      cells.push_back({*cell, CellRole::StationApproachMark, k});
  cells.push_back({mark, CellRole::StationMark});
  return cells;
}

MountainCells mountain_cells(int32_t inizio, int32_t fine) {
  return {profile_cell(inizio), static_cast<int64_t>(round_half_even(fine / static_cast<double>(kCellLength) - 1))};
}

int64_t speed_cut_cell(int32_t position) { return profile_cell(position); }
