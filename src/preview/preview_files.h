#pragma once

#include <optional>
#include <string>
#include <utility>

#include "platform/status.h"
#include "scenario/binary_format.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"
#include "scenario/track_trace.h"

/// The three binary files of one compiled scenario, decoded, with the names that tie them together.
struct ScenarioFiles {
  std::string line_key;
  std::string train_number;
  TrackGrid grid;
  ScenarioTable table;
  TrackTrace trace;
};

/// Whether three decoded files can be the picture of one scenario (a Corruption saying why not): the
/// table must name the same line key and train number as the files, the trace must reach the line
/// length plus 7000 m and the grid must have the cells of that extent, and every point of the trace
/// up to the end of the line must be there and finite.
Status mismatch_of(const ScenarioFiles& files);

/// Reads the grid "K_N.dat" at `grid_path` and, beside it, the table "K_N.sim" and the plan trace
/// "K_linea.dat" (each a regular file within its kind's read limit); decodes the three and checks that
/// they belong together. The message names the file. An IOError when a file could not be read at all
/// (missing, not a regular file, larger than any file of its kind, no permission): a failure of the
/// files, not of the scenario; a Corruption when they are not one scenario's; an InvalidArgument for a
/// name that is no grid's.
Result<ScenarioFiles> load_scenario_files(const std::string& grid_path);
