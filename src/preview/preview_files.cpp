#include "preview/preview_files.h"

#include <cmath>
#include <filesystem>

#include "model/scenario_model.h"
#include "platform/file_error.h"
#include "platform/files.h"
#include "scenario/file_names.h"
#include "scenario/read_limits.h"

namespace {

/// The bytes of a file, or why it cannot be read (an IOError whose message names the file).
Result<std::string> read_scenario_file(const std::string& path, ScenarioFile file, ReadLimit limit) {
  const std::string what(scenario_file_role(file));
  if (!file_exists(path)) return Status::io_error(path, "the " + what + " " + path + " is missing");
  try {
    return read_file(path, limit);
  } catch (const FileError& failure) {
    return Status::io_error(path, "cannot read the " + what + " " + failure.path() + ": " + failure.reason());
  }
}

Status damaged(const std::string& what, const std::string& path, const Status& why) {
  return Status::corruption("the " + what + " " + path + " is damaged: " + why.message());
}

}  // namespace

Status mismatch_of(const ScenarioFiles& files) {
  const auto mismatch = [](std::string why) { return Status::corruption(std::move(why)); };
  const ScenarioTable& table = files.table;
  if (table[kLineRecord].text != files.line_key)
    return mismatch("the scenario table names the line \"" + table[kLineRecord].text + "\", the file names say \"" +
                    files.line_key + "\"");
  if (table[kServiceRecord].text != files.train_number)
    return mismatch("the scenario table names the train \"" + table[kServiceRecord].text + "\", the file names say \"" +
                    files.train_number + "\"");
  const int32_t length = stored_line_length(table);
  if (length <= 0 || length > kMaxLineLength)
    return mismatch("the scenario table gives a line length of " + std::to_string(length) + " m");
  const int32_t extent = length + kGridBeyondLine;
  const int32_t trace_extent = files.trace.last_metre();
  if (trace_extent != extent)
    return mismatch("the plan trace reaches " + std::to_string(trace_extent) + " m, but a line of " +
                    std::to_string(length) + " m needs a trace to " + std::to_string(extent) + " m");
  const auto cells = static_cast<int32_t>(round_half_even(extent / static_cast<double>(kCellLength)));
  if (files.grid.cellCount() != cells)
    return mismatch("the grid has cells 0 to " + std::to_string(files.grid.cellCount()) +
                    ", but the trace's extent of " + std::to_string(extent) + " m needs cells 0 to " +
                    std::to_string(cells));
  for (int32_t metre = 0; metre <= length; ++metre) {
    for (const int axis : {kAxisX, kAxisY}) {
      if (files.trace.tag(metre, axis) == TraceTag::Empty)
        return mismatch("the plan trace has no point at metre " + std::to_string(metre) + ", inside the line");
      if (!std::isfinite(files.trace.value(metre, axis)))
        return mismatch("the plan trace's point at metre " + std::to_string(metre) + " is not a finite number");
    }
  }
  return {};
}

Result<ScenarioFiles> load_scenario_files(const std::string& grid_path) {
  const auto names = parse_file_name(std::filesystem::path(grid_path).filename().string());
  if (!names || names->file != ScenarioFile::Grid)
    return Status::invalid_argument(grid_path + " is not the name of a grid file: a grid file is named K_N.dat, K "
                                                "the line key and N the train number");
  ScenarioFiles files;
  files.line_key = names->line_key;
  files.train_number = names->train_number;
  const std::filesystem::path directory = std::filesystem::path(grid_path).parent_path();
  const std::string table_path = (directory / table_file_name(files.line_key, files.train_number)).string();
  const std::string trace_path = (directory / trace_file_name(files.line_key)).string();

  const auto grid_bytes = read_scenario_file(grid_path, ScenarioFile::Grid, kGridReadLimit);
  if (!grid_bytes) return grid_bytes.status();
  const auto table_bytes = read_scenario_file(table_path, ScenarioFile::Table, kTableReadLimit);
  if (!table_bytes) return table_bytes.status();
  const auto trace_bytes = read_scenario_file(trace_path, ScenarioFile::Trace, kTraceReadLimit);
  if (!trace_bytes) return trace_bytes.status();

  auto grid = decode_grid(*grid_bytes);
  if (!grid) return damaged("track grid", grid_path, grid.status());
  auto table = decode_table(*table_bytes);
  if (!table) return damaged("scenario table", table_path, table.status());
  auto trace = decode_trace(*trace_bytes);
  if (!trace) return damaged("plan trace", trace_path, trace.status());
  files.grid = std::move(*grid);
  files.table = std::move(*table);
  files.trace = std::move(*trace);

  if (const Status belonging = mismatch_of(files); !belonging.is_ok())
    return belonging.in_context("the files do not belong together");
  return files;
}
