#pragma once

// The three binary scenario files as JSON that holds every stored value, so that the JSON read back and
// encoded gives the same bytes. Fields are named and ordered as the files store them
// (visit_cell_fields, visit_record_fields). Keys in this order:
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

#include <string>

#include <nlohmann/json.hpp>

#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"
#include "scenario/track_trace.h"

/// JSON with its keys kept in the order they are written.
using ScenarioJson = nlohmann::ordered_json;

/// Everything the files store, as JSON.
ScenarioJson grid_to_json(const TrackGrid& grid);
ScenarioJson table_to_json(const ScenarioTable& table);
ScenarioJson trace_to_json(const TrackTrace& trace);

/// JSON as text: the top-level object with one element of each array per line, ended by "\n".
std::string json_text(const ScenarioJson& json);
