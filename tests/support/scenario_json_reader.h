#pragma once

// The JSON of `scenario inspect --json` (file_views/scenario_json.h) read back into the structures, so
// that tests can encode it again and compare the bytes with the files it came from. Only the stored
// fields are read; the keys added beside them (a cell's "kindName", "metre", ..., a record's "role",
// ...) say what the values mean and are passed over.

#include "file_views/scenario_json.h"
#include "scenario/binary_format.h"

/// The structure, or what is wrong with the JSON (a missing key, a value of the wrong type or outside
/// its field's range, a count that does not match).
Result<TrackGrid> grid_from_json(const ScenarioJson& json);
Result<ScenarioTable> table_from_json(const ScenarioJson& json);
Result<TrackTrace> trace_from_json(const ScenarioJson& json);
