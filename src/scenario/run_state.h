#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scenario/diagnostics.h"
#include "scenario/plan_trace.h"
#include "scenario/scenario_table.h"
#include "scenario/source_place.h"
#include "scenario/track_grid.h"

/// Capacity of the mountain tables: stretches are stored at indices 1 to 80.
inline constexpr int kMountainCapacity = 80;

/// A curve entry as the line reader took it: where it starts, its length, its sharpness (the digit 1 to 6
/// that its keyword holds) and the turn of the plan per metre that the sharpness gives (negative for a
/// curve to the left, "s").
struct CurveEntry {
  int32_t start = 0;
  int32_t length = 0;
  int sharpness = 0;
  double turn_per_metre = 0;
  SourcePlace place;  // the keyword field
};

/// The error a run keeps: the code (0 for none), and the position in metres and the field of a source
/// that go with it when the error has them. A later error replaces the whole of an earlier one.
struct RunError {
  int32_t code = 0;
  std::optional<int32_t> position;
  std::optional<SourcePlace> place;
  /// What exactly failed, for a read failure.
  std::string detail;
};

/// The whole state of one run, owned by the form and passed to every procedure of the compiler.
struct RunState {
  std::string line_key;
  std::string train_number;
  /// Where the run's files live.
  std::string program_directory;

  TrackGrid grid;
  PlanTrace trace;
  ScenarioTable table;

  std::string current_field;
  int32_t grid_extent = 0;
  int32_t trace_flag = 0;
  /// The curves read with the trace flag on, in file order.
  std::vector<CurveEntry> curves;

  RunError error;
  /// Every error and warning found, with its place; the error above is the one the run keeps.
  Diagnostics diagnostics;
  /// When set, a refusal is reported and the reading goes on with the next entry, the refused entry
  /// taken as the format leaves it (what it wrote before its refusal stays), so that one reading finds
  /// every independent mistake. Only checking sets it: the output is then not what the format gives.
  bool keep_going = false;
  /// Checking reads on after the line length was refused or missing: the grid is then the longest
  /// line's, standing in for the one the author meant, and there is no plan trace.
  bool grid_stands_in = false;
  /// The keyword field of the entry being read, for the warnings of the recorders and the origin of
  /// the objects they place.
  SourcePlace entry_place;

  /// The entry that filled each record of the table (a station, a board text), for the messages and the
  /// tools; no place for a record no entry filled.
  std::array<SourcePlace, kScenarioRecordCount> record_places{};

  /// The kilometric reference entries that gave records 81 to 83, in the records' order (kept beside
  /// the table for the messages; no place when a record was not given).
  std::array<SourcePlace, 3> kilometric_places{};

  int32_t mountain_count = 0;
  std::array<int32_t, kMountainCapacity + 1> mountain_starts{};
  std::array<int32_t, kMountainCapacity + 1> mountain_ends{};
  int32_t marker_flag = 0;

  /// Next ScenarioTable index for an information-board text; counts down from 80.
  int32_t board_slot = kFirstBoardRecord;

  /// Walk index of the finishing pass; keeps its value from one use to the next.
  int32_t h = 0;
};

/// Sets the run's error, replacing the whole of an earlier one: the code, and the position and the
/// place that go with it (none when not given).
inline void set_error(RunState& state, int32_t code, std::optional<int32_t> position = std::nullopt,
                      std::optional<SourcePlace> place = std::nullopt) {
  state.error = RunError{code, position, place, {}};
}

/// Notes a warning at a place of a source.
inline void warn(RunState& state, WarningKind kind, SourcePlace place, std::string message) {
  Diagnostic diagnostic;
  diagnostic.severity = Severity::Warning;
  diagnostic.warning = kind;
  diagnostic.place = place;
  diagnostic.message = std::move(message);
  state.diagnostics.add(std::move(diagnostic));
}
