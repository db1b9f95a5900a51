#include "model/speed_cuts.h"

#include "model/positions.h"
#include "scenario/format.h"

std::vector<SpeedCut> read_speed_cuts(const TrackGrid& grid) {
  std::vector<SpeedCut> cuts;
  for (int32_t i = 0; grid.exists() && i <= grid.cellCount(); ++i) {
    const TrackCell& cell = grid[i];
    if (!cell.is(CellKind::ControlPoint) && !cell.is(CellKind::ControlPointNoValue)) continue;
    SpeedCut cut;
    cut.cell = i;
    // A cut given at p lies in cell round(p / 50): its cell starts where it was given.
    cut.metre = static_cast<int32_t>(profile_metre(i));
    if (cell.is(CellKind::ControlPoint)) cut.speed = cell.value1;
    cuts.push_back(cut);
  }
  return cuts;
}
