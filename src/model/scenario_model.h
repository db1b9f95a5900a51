#pragma once

// The scenario as its author thinks of it, read back from the decoded grid and table: stations with
// their times, signals, boards and slowdowns at their metres, speeds in km/h, the kilometric references.
// The line profile is read over a range of cells (model/line_profile.h), since a reader may want the
// whole grid or only a part of it.

#include <cstdint>
#include <vector>

#include "model/boards.h"
#include "model/kilometric.h"
#include "model/slowdowns.h"
#include "model/stations.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"

/// A signal and where it stands.
struct Signal {
  int32_t cell = 0;
  int32_t metre = 0;
};

struct ScenarioModel {
  int32_t line_length = 0;  // as the table stores it: not checked
  int32_t braked_mass_percentage = 0;  // 0 when the service gives none
  std::vector<KilometricReference> references;
  std::vector<Station> stations;
  std::vector<Signal> signals;
  std::vector<SpeedBoard> speed_boards;
  std::vector<InfoBoard> info_boards;
  std::vector<Slowdown> slowdowns;
};

/// The line length the table stores (record 84, second number), metres.
int32_t stored_line_length(const ScenarioTable& table);

/// The train's braked-mass percentage the table stores (record 84, first number).
int32_t stored_braked_mass_percentage(const ScenarioTable& table);

/// The signals of the grid, by cell.
std::vector<Signal> read_signals(const TrackGrid& grid);

/// Everything above, from any grid and table: what they hold is taken as it is, never refused.
ScenarioModel read_scenario_model(const TrackGrid& grid, const ScenarioTable& table);
