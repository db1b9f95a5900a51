#pragma once

// Small hand-built structures for the tests of file_views/: a grid and a table with one of each way a cell
// or a record is shown, and values at the limits of their fields.

#include "scenario/scenario_table.h"
#include "scenario/track_cell.h"
#include "scenario/track_grid.h"

namespace inspect_test {

/// Cells 0 to 8, with every profile run shape and one cell of each way of listing an object.
inline TrackGrid small_grid() {
  TrackGrid grid;
  grid.create(400);  // cellCount 8
  for (int32_t n = 0; n <= 8; ++n) {
    TrackCell& cell = grid[n];
    cell.gradient = n <= 2 ? 100 : n <= 5 ? 90 : 116;
    cell.speedLimit = n <= 4 ? 16 : n <= 7 ? 18 : 0;
    cell.adhesion = 255;
    cell.mountainType = n == 4 ? 2 : 0;
  }
  grid[0].approachMark = 64;
  grid[1].set_kind(CellKind::Signal);
  grid[1].value1 = 30;
  grid[1].value2 = -32768;
  grid[1].value3 = 32767;
  grid[1].value4 = 6;
  grid[1].signalTime = 255;
  grid[3].set_kind(CellKind::SlowdownStart);
  grid[3].value1 = 40;
  grid[3].value4 = 9;  // not a value of the kind, but set: shown
  grid[3].approachMark = 81;
  grid[4].set_kind(CellKind::MountainMarker);
  grid[5].set_kind(CellKind::StationMark);
  grid[5].value1 = 1;
  grid[6].kind = 7;  // never written by the compiler
  grid[6].value2 = 5;
  grid[7].set_kind(CellKind::ControlPointNoValue);
  grid[7].signalTime = 3;
  grid[8].set_kind(CellKind::InfoBoard);
  grid[8].value1 = 80;
  return grid;
}

inline ScenarioTable small_table() {
  ScenarioTable table;
  table[0].number4 = -1;
  ScenarioRecord& station = table[1];
  station.code = 12;
  station.number1 = 500;
  station.number2 = 800;
  station.number3 = 650;
  station.mark = 1;
  station.text = "CITT\xC0 \"NUOVA\"";
  station.short1 = -32768;
  station.byte1 = 255;
  station.number4 = 16 * 3600 + 23 * 60;
  table[80].text = "\x01\x80"
                   "ab\\";
  table[81].number2 = 29100;
  table[81].number3 = 1;
  table[85].number1 = 1;
  table[85].text = "Lesca-Varo";
  table[85].short1 = 610;
  table[85].byte2 = 7;  // not a field of the record's role, but set: shown
  table[85].number4 = 35743;
  table[86].text = "148";
  table[86].short3 = 16;
  table[86].short4 = 22;
  table[86].short5 = 40;
  return table;
}

}  // namespace inspect_test
