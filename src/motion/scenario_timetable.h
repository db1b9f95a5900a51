#pragma once

// The timetable check of a compiled scenario: its stations, its line and its train, and the run between
// each pair of consecutive stops.

#include <optional>
#include <string>
#include <vector>

#include "model/curves.h"
#include "model/stations.h"
#include "model/train_data.h"
#include "motion/rolling_stock.h"
#include "motion/scenario_line.h"
#include "motion/timetable.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"

struct TimetableOptions {
  TrainRank rank = TrainRank::C;
  TimetableSettings settings;
  /// The text of a rolling-stock file (JSON) whose values override the defaults.
  std::optional<std::string> rolling_stock;
};

struct ScenarioTimetable {
  std::vector<Station> stations;
  TrainData train_data;
  RollingStock stock;
  Train train;
  MotionLine line;
  std::vector<StopRun> runs;

  const Station& from(const StopRun& run) const { return stations[run.from]; }
  const Station& to(const StopRun& run) const { return stations[run.to]; }
};

/// The check of a compiled grid and table; the curves from the plan trace (curve_stretches) or from the
/// curve entries. An invalid argument when the rolling-stock file is refused, its message saying why.
Result<ScenarioTimetable> scenario_timetable(const TrackGrid& grid, const ScenarioTable& table,
                                             const std::vector<CurveStretch>& curves, const TimetableOptions& options);

/// The rank's letter: "A", "B" or "C".
const char* rank_name(TrainRank rank);
