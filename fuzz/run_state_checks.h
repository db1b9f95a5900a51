#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "fuzz_check.h"
#include "scenario/binary_format.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

/// Lines of a source as the field reader counts them (a last line after the final line end included).
inline int source_lines(std::string_view text) {
  int lines = 1;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++lines;
  return lines;
}

/// A place in a source of `lines` lines.
inline void check_source_place(const SourcePlace& place, int lines) {
  FUZZ_CHECK(place.line >= 1 && place.line <= lines);
  FUZZ_CHECK(place.column >= 1);
}

/// What every reading leaves, whatever its input: a known error code, counters inside their tables, texts
/// that fit their records, a trace as long as the grid.
inline void check_run_state(const RunState& state) {
  if (state.error.code != 0) {
    const auto table = error_code_table();
    FUZZ_CHECK(std::any_of(table.begin(), table.end(),
                           [&](const ErrorCodeInfo& info) { return info.code == state.error.code; }));
    // The error the run keeps was reported: the diagnostics hold at least one error.
    FUZZ_CHECK(state.diagnostics.errors() > 0);
  }
  FUZZ_CHECK(state.diagnostics.all().size() <= state.diagnostics.errors() + state.diagnostics.warnings());
  FUZZ_CHECK(state.mountain_count >= 0 && state.mountain_count <= kMountainCapacity);
  FUZZ_CHECK(state.board_slot >= 0 && state.board_slot <= kFirstBoardRecord);
  for (const ScenarioRecord& record : state.table) FUZZ_CHECK(record.text.size() <= kMaxRecordText);
  if (state.grid.exists()) {
    // A line may be 0 m or less long, but a grid always has the cell of the output's marker.
    FUZZ_CHECK(state.grid.cellCount() >= kCodeCell);
    FUZZ_CHECK(state.grid.cellCount() == last_cell_of_extent(state.grid_extent));
    if (state.trace.exists()) FUZZ_CHECK(state.trace.last_metre() == state.grid_extent);
  }
}
