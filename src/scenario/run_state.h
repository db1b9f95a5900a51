#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scenario/read_failure.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"
#include "scenario/track_trace.h"

/// Something the format passes over or changes silently, noted for the author with its place.
struct SourceWarning {
  SourcePlace place;
  std::string message;
};

/// Capacity of the mountain tables: stretches are stored at indices 1 to 80.
inline constexpr int kMountainCapacity = 80;

/// The whole state of one run, owned by the form and passed to every procedure of the compiler.
struct RunState {
  std::string line_key;
  std::string train_number;
  /// Where the run's files live.
  std::string program_directory;

  TrackGrid grid;
  TrackTrace trace;
  ScenarioTable table;

  std::string current_field;
  int32_t grid_extent = 0;
  int32_t trace_flag = 0;

  int32_t error_code = 0;
  /// The position in metres that goes with the error code, when the error has one.
  std::optional<int32_t> error_position;
  /// Where in which source the error was found, when it comes from a field of a source.
  std::optional<SourcePlace> error_place;
  /// What exactly failed, for a read failure.
  std::string error_detail;

  /// The keyword field of the entry being read, for the warnings of the recorders.
  SourcePlace entry_place;
  std::vector<SourceWarning> warnings;

  int32_t mountain_count = 0;
  std::array<int32_t, kMountainCapacity + 1> mountain_starts{};
  std::array<int32_t, kMountainCapacity + 1> mountain_ends{};
  int32_t marker_flag = 0;

  /// Next ScenarioTable index for an information-board text; counts down from 80.
  int32_t board_slot = kFirstBoardRecord;

  /// Walk index of the finishing pass; keeps its value from one use to the next.
  int32_t h = 0;
};

/// Sets the error code; the error has no position and no place in a source.
inline void set_error(RunState& state, int32_t code) {
  state.error_code = code;
  state.error_position.reset();
  state.error_place.reset();
  state.error_detail.clear();
}

/// Sets the error code and the position that goes with it.
inline void set_error(RunState& state, int32_t code, int32_t position) {
  set_error(state, code);
  state.error_position = position;
}

/// Sets the error code, its position, and the field of the source it comes from.
inline void set_error(RunState& state, int32_t code, int32_t position, SourcePlace place) {
  set_error(state, code, position);
  state.error_place = place;
}

/// Notes a warning at a place of a source.
inline void warn(RunState& state, SourcePlace place, std::string message) {
  state.warnings.push_back({place, std::move(message)});
}
