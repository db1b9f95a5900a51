#pragma once

// The scenario as its author thinks of it, read back from the decoded grid and table: stations with
// their times, signals, boards and slowdowns at their metres, speeds in km/h, the kilometric references.
// The line profile is read over a range of cells (model/line_profile.h), since a reader may want the
// whole grid or only a part of it.

#include <array>
#include <cstdint>
#include <vector>

#include "model/boards.h"
#include "model/kilometric.h"
#include "model/slowdowns.h"
#include "model/stations.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"

/// A signal, where it stands, and its packed values read back: each of value1 to value3 is an aspect
/// of the first side x 10 + the other side's, value4 is rapp x 10 + sx x 3 + dx (sx and dx, the kinds
/// of the two sides, stay summed: the packing does not keep them apart).
struct Signal {
  int32_t cell = 0;
  int32_t metre = 0;
  std::array<int, 3> first_side{};  // s1, s2, s3
  std::array<int, 3> other_side{};  // d1, d2, d3
  int rapp = 0;
  int side_kinds = 0;  // sx x 3 + dx
  int time = 0;        // signalTime
};

struct ScenarioModel {
  int32_t line_length = 0;             // as the table stores it: not checked
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

/// The values of a cell read as a signal's, whatever its kind.
Signal signal_at(const TrackGrid& grid, int32_t cell);

/// The signals of the grid, by cell.
std::vector<Signal> read_signals(const TrackGrid& grid);

/// Everything above, from any grid and table: what they hold is taken as it is, never refused.
ScenarioModel read_scenario_model(const TrackGrid& grid, const ScenarioTable& table);
