#include "model/slowdowns.h"

#include "model/positions.h"
#include "scenario/track_cell.h"

std::vector<Slowdown> read_slowdowns(const TrackGrid& grid) {
  const int32_t last_cell = grid.exists() ? grid.cellCount() : -1;
  std::vector<int32_t> ends;
  for (int32_t i = 0; i <= last_cell; ++i)
    if (grid[i].is(CellKind::SlowdownEnd)) ends.push_back(i);
  // Starts come in order, so the ends that earlier starts took all lie before the first end that none
  // took: one pass over the ends serves every start.
  std::size_t next_end = 0;
  std::vector<Slowdown> slowdowns;
  for (int32_t i = 0; i <= last_cell; ++i) {
    if (!grid[i].is(CellKind::SlowdownStart)) continue;
    Slowdown slowdown;
    slowdown.start_cell = i;
    slowdown.speed = grid[i].value1;
    slowdown.from = object_metre(i);
    while (next_end < ends.size() && ends[next_end] <= i) ++next_end;
    if (next_end < ends.size()) {
      slowdown.end_cell = ends[next_end++];
      slowdown.to = object_metre(*slowdown.end_cell);
    }
    slowdowns.push_back(slowdown);
  }
  return slowdowns;
}
