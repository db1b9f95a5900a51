#pragma once

#include <ostream>
#include <string>

#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"

/// The scenario table beside a grid, which gives the grid's objects their kilometres, a station mark
/// its station and a board its text: its file's name, and the table, or why there is none.
struct TableBeside {
  std::string name;
  const ScenarioTable* table = nullptr;
  std::string problem;  // when `table` is null
};

/// The track grid for people, one item per line, written as it is made: the runs of each profile
/// quantity in its unit beside its stored value, then every cell with an object, a value or an
/// approach mark, with its kind's name and the values its kind uses (and any other that is set), then
/// what they mean in the author's units. `beside` (or nullptr) is the table beside the grid.
void describe_grid(const TrackGrid& grid, const TableBeside* beside, std::ostream& out);
