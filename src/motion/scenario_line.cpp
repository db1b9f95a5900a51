#include "motion/scenario_line.h"

#include <algorithm>

#include "model/boards.h"
#include "model/line_profile.h"
#include "model/slowdowns.h"
#include "model/speed_cuts.h"
#include "model/train_data.h"
#include "motion/train.h"
#include "scenario/track_cell.h"

namespace {

/// The runs of a grid quantity as a profile, each value turned by `convert`.
template <typename Convert>
void fill(Profile& profile, const TrackGrid& grid, ProfileQuantity quantity, Convert convert) {
  for (const ProfileRun& run : profile_runs(grid, quantity, grid.exists() ? grid.cellCount() + 1 : 0))
    profile.add(static_cast<double>(profile_metre(run.first_cell)), convert(run.value));
}

}  // namespace

MotionLine motion_line_of(const TrackGrid& grid, const std::vector<CurveStretch>& curves, TrainRank rank) {
  MotionLine line;
  fill(line.line_speed, grid, ProfileQuantity::SpeedLimit, [](int speed) { return km_h_to_m_s(speed); });
  fill(line.gradient, grid, ProfileQuantity::Gradient, [](int gradient) { return static_cast<double>(gradient); });
  fill(line.adhesion, grid, ProfileQuantity::Adhesion, [](int adhesion) { return adhesion / 100.0; });
  fill(line.tunnel, grid, ProfileQuantity::MountainType, [](int type) { return type != 0 ? 1.0 : 0.0; });
  for (const CurveStretch& curve : curves) {
    line.radius.add(curve.from, curve.radius);
    line.radius.add(curve.to, 0);
  }
  for (const SpeedBoard& board : read_speed_boards(grid)) {
    const int speed = board.speeds[static_cast<std::size_t>(rank)].first_side;
    line.board_speed.add(board.metre, speed > 0 ? km_h_to_m_s(speed) : MotionLine::kNoLimit);
  }
  const double grid_end = grid.exists() ? static_cast<double>(profile_metre(grid.cellCount() + 1)) : 0.0;
  line.end = grid_end;
  for (const Slowdown& slowdown : read_slowdowns(grid)) {
    const double to = slowdown.to ? *slowdown.to : grid_end;
    if (to > slowdown.from)
      line.restrictions.push_back({double(slowdown.from), to, km_h_to_m_s(std::max(0, slowdown.speed))});
  }
  for (const SpeedCut& cut : read_speed_cuts(grid))
    if (cut.speed && *cut.speed > 0) line.points.push_back({double(cut.metre), km_h_to_m_s(*cut.speed)});
  return line;
}

ScenarioTrain scenario_train_of(const ScenarioTable& table) {
  const TrainData data = read_train_data(table);
  return {data.cars, data.braked_mass_percentage, data.sand != 0};
}
