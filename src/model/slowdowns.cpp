#include "model/slowdowns.h"

#include "model/positions.h"

std::vector<Slowdown> read_slowdowns(const TrackGrid& grid) {
  const std::vector<int32_t> ends = cells_of_kind(grid, CellKind::SlowdownEnd);
  // Starts come in order, so the ends that earlier starts took all lie before the first end that none
  // took: one pass over the ends serves every start.
  std::size_t next_end = 0;
  std::vector<Slowdown> slowdowns;
  for (const int32_t start : cells_of_kind(grid, CellKind::SlowdownStart)) {
    Slowdown slowdown;
    slowdown.start_cell = start;
    slowdown.speed = grid[start].value1;
    slowdown.from = object_metre(start);
    while (next_end < ends.size() && ends[next_end] <= start) ++next_end;
    if (next_end < ends.size()) {
      slowdown.end_cell = ends[next_end++];
      slowdown.to = object_metre(*slowdown.end_cell);
    }
    slowdowns.push_back(slowdown);
  }
  return slowdowns;
}
