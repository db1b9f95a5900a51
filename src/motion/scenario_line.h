#pragma once

// The compiled scenario as the train's motion meets it: the grid's profiles, boards, slowdowns and
// speed cuts in SI units, and the train that the scenario and a rolling stock make.

#include <string>
#include <vector>

#include "model/curves.h"
#include "motion/motion_line.h"
#include "motion/rolling_stock.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"

/// The three ranks of train that a speed board gives a speed for (its speeds a, b and c).
enum class TrainRank { A = 0, B = 1, C = 2 };

/// The line from the grid: the line speed and adhesion of each cell (the adhesion value taken as a
/// percentage of the nominal coefficient), its gradient, a mountain stretch taken for a tunnel, the speed
/// boards' speeds for the rank on their first side (a speed of 0 gives no limit), the slowdowns from
/// their start to their end (to the end of the grid when they have none), the speed cuts that hold a
/// speed, and the curves given (from the plan trace, curve_stretches, or from the curve entries).
MotionLine motion_line_of(const TrackGrid& grid, const std::vector<CurveStretch>& curves, TrainRank rank);

/// The scenario's own train values: its number of cars and braked-mass percentage (0 when not given),
/// and whether it has sand.
ScenarioTrain scenario_train_of(const ScenarioTable& table);
