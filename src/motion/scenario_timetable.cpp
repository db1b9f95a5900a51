#include "motion/scenario_timetable.h"

Result<ScenarioTimetable> scenario_timetable(const TrackGrid& grid, const ScenarioTable& table,
                                             const std::vector<CurveStretch>& curves, const TimetableOptions& options) {
  ScenarioTimetable timetable;
  timetable.train_data = read_train_data(table);
  const ScenarioTrain scenario = scenario_train_of(table);
  auto stock = rolling_stock_for(scenario, options.rolling_stock);
  if (!stock) return stock.status();
  timetable.stock = *stock;
  timetable.train = train_of(timetable.stock, scenario.sand);
  timetable.line = motion_line_of(grid, curves, options.rank);
  timetable.stations = read_stations(table);
  timetable.runs = timetable_runs(timetable.train, timetable.line, timetable.stations, options.settings);
  return timetable;
}

const char* rank_name(TrainRank rank) {
  switch (rank) {
    case TrainRank::A:
      return "A";
    case TrainRank::B:
      return "B";
    case TrainRank::C:
      return "C";
  }
  return "C";
}
