#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct RunState;

/// Which sources a compilation has consumed (the run deletes those files afterwards).
struct SourcesRead {
  bool line = false;
  bool service = false;
};

/// What became of a compilation besides the run state it filled.
struct CompileOutcome {
  SourcesRead read;
  /// 0, or 1250 / 1251 when a reserved place of the output was already taken: then no binary file may
  /// be written.
  int32_t taken = 0;

  /// The binary files can be written: the line gave a grid and the reserved places were free. (They are
  /// written even after an error code of the readers or the finishing pass.)
  bool writable(const RunState& state) const;
  /// Why the binary files cannot be written, for the author who asked for them even after an error:
  /// "" when they can.
  std::string why_not_writable(const RunState& state) const;
};

/// Readies the run state for a compilation: the trace flag from `j`, no error and no diagnostics, no grid
/// and no trace, every record of the scenario table cleared.
void prepare_compilation(RunState& state, int32_t j);

/// Reads the two sources held in memory into the run state: the line description, then (when the line
/// part allows it) the train service. A missing line description (no value) is error 101. A read
/// failure is error 25 with the place of the field; a missing train service is a read failure once it is
/// needed.
SourcesRead compile_sources(RunState& state, std::optional<std::string_view> line,
                            std::optional<std::string_view> service);

/// Completes a read grid: the finishing pass, then the markers and competition codes. Returns 0, or
/// 1250 / 1251 (also reported as the run's error) when a reserved place was already taken.
int32_t finish_scenario(RunState& state);

/// How a compilation is made.
struct CompileOptions {
  /// Non-zero: the plan trace is built (the `j` of memorizza_percorso).
  int32_t trace_flag = 1;
  /// Reading on after a refusal to find every independent mistake, for checking only: the output is
  /// then not what the format gives and must not be written.
  bool keep_going = false;
};

/// The whole compilation in memory, as every caller makes it (the run, the command line, the tools,
/// the fuzz targets and the benchmarks): prepares a fresh run state whose line key and train number
/// are given, reads both sources, and finishes the grid when there is one. Touches no file; leaves
/// the grid, trace, table, error and diagnostics in the run state.
CompileOutcome compile_scenario(RunState& state, std::optional<std::string_view> line,
                                std::optional<std::string_view> service, const CompileOptions& options = {});
