#include "preview/preview_files.h"

#include <cmath>
#include <filesystem>

#include "model/scenario_model.h"
#include "platform/file_error.h"
#include "platform/files.h"
#include "scenario/file_names.h"
#include "scenario/read_limits.h"

namespace {

LoadedScenarioFiles failure(std::string error, bool unreadable = false) {
  LoadedScenarioFiles loaded;
  loaded.error = std::move(error);
  loaded.unreadable = unreadable;
  return loaded;
}

/// The bytes of a file, or why it cannot be read.
std::optional<std::string> read_scenario_file(const std::string& path, const char* what, ReadLimit limit,
                                              std::string& error) {
  if (!file_exists(path)) {
    error = "the " + std::string(what) + " " + path + " is missing";
    return std::nullopt;
  }
  try {
    return read_file(path, limit);
  } catch (const FileError& failure) {
    error = "cannot read the " + std::string(what) + " " + failure.path() + ": " + failure.reason();
    return std::nullopt;
  }
}

}  // namespace

std::string mismatch_of(const ScenarioFiles& files) {
  const ScenarioTable& table = files.table;
  if (table[kLineRecord].text != files.line_key)
    return "the scenario table names the line \"" + table[kLineRecord].text + "\", the file names say \"" +
           files.line_key + "\"";
  if (table[kServiceRecord].text != files.train_number)
    return "the scenario table names the train \"" + table[kServiceRecord].text + "\", the file names say \"" +
           files.train_number + "\"";
  const int32_t length = stored_line_length(table);
  if (length <= 0 || length > kMaxLineLength)
    return "the scenario table gives a line length of " + std::to_string(length) + " m";
  const int32_t extent = length + kGridBeyondLine;
  const int32_t trace_extent = files.trace.last_metre();
  if (trace_extent != extent)
    return "the plan trace reaches " + std::to_string(trace_extent) + " m, but a line of " + std::to_string(length) +
           " m needs a trace to " + std::to_string(extent) + " m";
  const auto cells = static_cast<int32_t>(round_half_even(extent / static_cast<double>(kCellLength)));
  if (files.grid.cellCount() != cells)
    return "the grid has cells 0 to " + std::to_string(files.grid.cellCount()) + ", but the trace's extent of " +
           std::to_string(extent) + " m needs cells 0 to " + std::to_string(cells);
  for (int32_t metre = 0; metre <= length; ++metre) {
    for (const int axis : {kAxisX, kAxisY}) {
      if (files.trace.tag(metre, axis) == TraceTag::Empty)
        return "the plan trace has no point at metre " + std::to_string(metre) + ", inside the line";
      if (!std::isfinite(files.trace.value(metre, axis)))
        return "the plan trace's point at metre " + std::to_string(metre) + " is not a finite number";
    }
  }
  return {};
}

LoadedScenarioFiles load_scenario_files(const std::string& grid_path) {
  const auto names = parse_file_name(std::filesystem::path(grid_path).filename().string());
  if (!names || names->file != ScenarioFile::Grid)
    return failure(grid_path + " is not the name of a grid file: a grid file is named K_N.dat, K the line key and "
                               "N the train number");
  ScenarioFiles files;
  files.line_key = names->line_key;
  files.train_number = names->train_number;
  const std::filesystem::path directory = std::filesystem::path(grid_path).parent_path();
  const std::string table_path = (directory / table_file_name(files.line_key, files.train_number)).string();
  const std::string trace_path = (directory / trace_file_name(files.line_key)).string();

  std::string error;
  const auto grid_bytes = read_scenario_file(grid_path, "track grid", kGridReadLimit, error);
  if (!grid_bytes) return failure(error, /*unreadable=*/true);
  const auto table_bytes = read_scenario_file(table_path, "scenario table", kTableReadLimit, error);
  if (!table_bytes) return failure(error, /*unreadable=*/true);
  const auto trace_bytes = read_scenario_file(trace_path, "plan trace", kTraceReadLimit, error);
  if (!trace_bytes) return failure(error, /*unreadable=*/true);

  auto grid = decode_grid(*grid_bytes);
  if (!grid) return failure("the track grid " + grid_path + " is damaged: " + grid.error);
  auto table = decode_table(*table_bytes);
  if (!table) return failure("the scenario table " + table_path + " is damaged: " + table.error);
  auto trace = decode_trace(*trace_bytes);
  if (!trace) return failure("the plan trace " + trace_path + " is damaged: " + trace.error);
  files.grid = std::move(*grid.value);
  files.table = std::move(*table.value);
  files.trace = std::move(*trace.value);

  const std::string mismatch = mismatch_of(files);
  if (!mismatch.empty()) return failure("the files do not belong together: " + mismatch);
  LoadedScenarioFiles loaded;
  loaded.value = std::move(files);
  return loaded;
}
