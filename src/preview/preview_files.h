#pragma once

#include <optional>
#include <string>
#include <utility>

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

/// Why three decoded files cannot be the picture of one scenario, or an empty text when they can: the
/// table must name the same line key and train number as the files, the trace must reach the line
/// length plus 7000 m and the grid must have the cells of that extent, and every point of the trace
/// up to the end of the line must be there and finite.
std::string mismatch_of(const ScenarioFiles& files);

/// The three files read and decoded, or why not; `unreadable` when a file could not be read at all
/// (missing, not a regular file, larger than any file of its kind, no permission): a failure of the
/// files, not of the scenario.
struct LoadedScenarioFiles : Decoded<ScenarioFiles> {
  bool unreadable = false;
};

/// Reads the grid "K_N.dat" at `grid_path` and, beside it, the table "K_N.sim" and the plan trace
/// "K_linea.dat" (each a regular file within its kind's read limit); decodes the three and checks that
/// they belong together. The error names the file.
LoadedScenarioFiles load_scenario_files(const std::string& grid_path);
