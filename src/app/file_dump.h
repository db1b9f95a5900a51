#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "scenario/binary_format.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"
#include "scenario/track_trace.h"

// The three binary scenario files turned back into text: a readable description for people, and JSON
// that holds every stored value, so that the JSON read back and encoded gives the same bytes.
//
// JSON forms (keys in this order):
//   grid:  {"format": "grid", "cellCount": N, "cells": [{"kind", "value1".."value4", "signalTime",
//          "approachMark", "mountainType", "speedLimit", "gradient", "adhesion"}, ...]}, stored values;
//   table: {"format": "table", "records": [{"code", "number1".."number3", "mark", "text", "short1"..
//          "short5", "byte1".."byte4", "number4"}, ... 87 records]}; a text holds each byte as the
//          character of the same number (U+0000 to U+00FF), so accented letters read as themselves and
//          every byte comes back;
//   trace: {"format": "trace", "gridExtent": E, "points": [[x, y], ... E + 1 points]}; a coordinate is
//          null when empty, a JSON integer when stored as a 16-bit integer, a JSON number with a
//          fraction or exponent when stored as a double (a double that is not finite is the string
//          "0x" and its 64 bits in hex); a point with both coordinates empty is null.

/// JSON with its keys kept in the order they are written.
using ScenarioJson = nlohmann::ordered_json;

/// Readable descriptions, one item per line, each line ended by "\n".
/// Grid: the runs of each profile field, then every cell with an object, a value or an approach mark.
std::string describe_grid(const TrackGrid& grid);
/// Table: every record in use, with its role and its fields.
std::string describe_table(const ScenarioTable& table);
/// Trace: the number of points, the bounding box and the length of the line through its points.
std::string describe_trace(const TrackTrace& trace);

/// Everything the files store, as JSON.
ScenarioJson grid_to_json(const TrackGrid& grid);
ScenarioJson table_to_json(const ScenarioTable& table);
ScenarioJson trace_to_json(const TrackTrace& trace);

/// The reverse: the structure, or what is wrong with the JSON (a missing key, a value of the wrong type
/// or outside its field's range, a count that does not match).
Decoded<TrackGrid> grid_from_json(const ScenarioJson& json);
Decoded<ScenarioTable> table_from_json(const ScenarioJson& json);
Decoded<TrackTrace> trace_from_json(const ScenarioJson& json);

/// JSON as text: the top-level object with one element of each array per line, ended by "\n".
std::string json_text(const ScenarioJson& json);

/// What the inspect command prints for a file's bytes, or its error (which names the file).
struct Inspection {
  std::string output;
  std::string error;  // empty on success
};
Inspection inspect_file(std::string_view file_name, std::string_view bytes, bool as_json);
