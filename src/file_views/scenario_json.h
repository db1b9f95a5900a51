#pragma once
// The three binary scenario files as JSON that holds every stored value, so that the JSON read back and
// encoded gives the same bytes, and beside them what the values mean in the author's units. Stored
// fields are named and ordered as the files store them (visit_cell_fields, visit_record_fields); the
// added keys follow them. Keys in this order:
//   grid:  {"format": "grid", "lastCell": N, "cellCount": N (the same number, its former name), "cells":
//          [N + 1 cells: {"kind", "value1".."value4", "signalTime",
//          "approachMark", "mountainType", "speedLimit", "gradient", "adhesion", then "kindName" (null
//          for a code no procedure writes), "metre" ((i - 1) x 50, where an object of cell i stands),
//          "gradientPerMille", "speedLimitKmH"; a signal also "firstSide" and "otherSide" (the three
//          aspects of each, unpacked from value1 to value3), "rapp" and "sideKinds" (sx x 3 + dx, from
//          value4); a speed board "firstSideKmH", "otherSideKmH" (the three speeds of each side) and
//          "stripes" ([first side, other side])}, ...]};
//   table: {"format": "table", "records": [{"code", "number1".."number3", "mark", "text", "short1"..
//          "short5", "byte1".."byte4", "number4", then "role"; a station also "time" (hh:mm:ss) and,
//          when the table has kilometric references, "kilometricProgressive" (metres); a kilometric
//          reference in use "countingDown" and "kilometricProgressive" (at its start, the 100 added for
//          the flag taken off); the service "clock"}, ... 87 records]}; a text holds each byte as the
//          character of the same number (U+0000 to U+00FF), so accented letters read as themselves and
//          every byte comes back;
//   trace: {"format": "trace", "gridExtent": E, "points": [[x, y], ... E + 1 points]}, point m at metre
//          m; a coordinate is null when empty, a JSON integer when stored as a 16-bit integer, a JSON
//          number with a fraction or exponent when stored as a double (a double that is not finite is
//          the string "0x" and its 64 bits in hex); a point with both coordinates empty is null.
// Each document is written as it is made, one cell, record or point per line, so that its size never
// has to fit in memory.

#include <cstdint>
#include <ostream>

#include <nlohmann/json.hpp>

#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"
#include "scenario/track_trace.h"

/// JSON with its keys kept in the order they are written.
using ScenarioJson = nlohmann::ordered_json;

/// One cell of a grid, one record of a table: the stored fields, then the added keys.
ScenarioJson cell_json(const TrackGrid& grid, int32_t index);
ScenarioJson record_json(const ScenarioTable& table, int index);

/// The whole file as JSON text, ended by "\n", written to `out` one element at a time; stops early
/// when `out` fails.
void write_grid_json(const TrackGrid& grid, std::ostream& out);
void write_table_json(const ScenarioTable& table, std::ostream& out);
void write_trace_json(const TrackTrace& trace, std::ostream& out);
