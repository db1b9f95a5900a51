#include "model/scenario_model.h"

#include "model/positions.h"
#include "scenario/format.h"

int32_t stored_line_length(const ScenarioTable& table) { return table[kTrainRecord].number2; }

int32_t stored_braked_mass_percentage(const ScenarioTable& table) { return table[kTrainRecord].number1; }

Signal signal_at(const TrackGrid& grid, int32_t i) {
  const TrackCell& cell = grid[i];
  Signal signal;
  signal.cell = i;
  signal.metre = object_metre(i);
  const int16_t pairs[] = {cell.value1, cell.value2, cell.value3};
  for (std::size_t k = 0; k < 3; ++k) {
    signal.first_side[k] = pairs[k] / kPairFactor;
    signal.other_side[k] = pairs[k] % kPairFactor;
  }
  signal.rapp = cell.value4 / kPairFactor;
  signal.side_kinds = cell.value4 % kPairFactor;
  signal.time = cell.signalTime;
  return signal;
}

std::vector<Signal> read_signals(const TrackGrid& grid) {
  std::vector<Signal> signals;
  for (const int32_t i : cells_of_kind(grid, CellKind::Signal)) signals.push_back(signal_at(grid, i));
  return signals;
}

ScenarioModel read_scenario_model(const TrackGrid& grid, const ScenarioTable& table) {
  ScenarioModel model;
  model.line_length = stored_line_length(table);
  model.braked_mass_percentage = stored_braked_mass_percentage(table);
  model.references = kilometric_references(table);
  model.stations = read_stations(table);
  model.signals = read_signals(grid);
  model.speed_boards = read_speed_boards(grid);
  model.info_boards = read_info_boards(grid, table);
  model.slowdowns = read_slowdowns(grid);
  return model;
}
