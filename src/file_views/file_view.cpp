#include "file_views/file_view.h"

#include <cstdint>

#include "file_views/grid_description.h"
#include "file_views/scenario_json.h"
#include "file_views/table_description.h"
#include "file_views/trace_description.h"
#include "model/scenario_model.h"
#include "scenario/binary_format.h"
#include "scenario/format.h"
#include "scenario/read_limits.h"
#include "scenario/track_grid.h"

namespace {

std::string str(int64_t value) { return std::to_string(value); }

/// The cells of the grid of a line: cells 0 to round((length + 7000) / 50). A line may be 0 m or less
/// long: its grid is then the part beyond its end alone.
int64_t last_cell_of_line(int64_t length) { return last_cell_of_extent(length + kGridBeyondLine); }

/// The longest line's grid extent, and so its plan trace's last metre.
constexpr int64_t kLargestExtent = int64_t{kMaxLineLength} + kGridBeyondLine;

/// The table beside a grid when it can serve it, or why not.
TableBeside table_for(const FileRead& read, const TrackGrid& grid, std::optional<ScenarioTable>& table) {
  TableBeside beside{read.name, nullptr, {}};
  if (!read.bytes) {
    beside.problem = read.name + ": " + read.bytes.status().message();
    return beside;
  }
  Result<ScenarioTable> decoded = decode_table(*read.bytes);
  if (!decoded) {
    beside.problem = read.name + ": not a scenario table: " + decoded.status().message();
    return beside;
  }
  const int64_t length = stored_line_length(*decoded);
  if (length > kMaxLineLength || last_cell_of_line(length) != grid.cellCount()) {
    beside.problem = read.name + " gives a line length of " + str(length) + " m, which is not this grid's";
    return beside;
  }
  table = std::move(*decoded);
  beside.table = &*table;
  return beside;
}

}  // namespace

uint64_t largest_file_size(ScenarioFile file) {
  switch (file) {
    case ScenarioFile::Trace:
      return kLargestTraceFile;
    case ScenarioFile::Table:
      return kLargestTableFile;
    default:
      return kLargestGridFile;
  }
}

std::string too_large_error(std::string_view name, ScenarioFile file, uint64_t size) {
  std::string why;
  switch (file) {
    case ScenarioFile::Trace:
      why = "the largest plan trace, metres 0 to " + str(kLargestExtent) + " all doubles";
      break;
    case ScenarioFile::Table:
      why = "the largest scenario table, " + str(kScenarioRecordCount) + " records with texts of " +
            str(static_cast<int64_t>(kMaxRecordText)) + " bytes";
      break;
    default:
      why = "the largest track grid, cells 0 to " + str(last_cell_of_line(kMaxLineLength));
      break;
  }
  return std::string(name) + ": not a " + std::string(scenario_file_role(file)) + ": " + std::to_string(size) +
         " bytes, more than " + why + " (" + std::to_string(largest_file_size(file)) + " bytes)";
}

std::string unknown_type_error(std::string_view name) {
  return std::string(name) + ": unknown file type: the name must end in \"_linea.dat\", \".sim\" or \".dat\"";
}

std::string table_beside_name(std::string_view grid_name) {
  std::string name(grid_name);
  if (name.ends_with(".dat")) name.resize(name.size() - 4);
  return name + ".sim";
}

Status inspect_file(std::string_view file_name, ScenarioFile file, std::string_view bytes, bool as_json,
                    std::ostream& out, const FileRead* table_beside) {
  const std::string name(file_name);
  const std::string header = name + ": " + str(static_cast<int64_t>(bytes.size())) + " bytes\n";
  switch (file) {
    case ScenarioFile::Trace: {
      const Result<TrackTrace> decoded = decode_trace(bytes);
      if (!decoded) return Status::corruption(name + ": not a plan trace: " + decoded.status().message());
      if (as_json)
        write_trace_json(*decoded, out);
      else
        out << header << describe_trace(*decoded);
      return {};
    }
    case ScenarioFile::Table: {
      const Result<ScenarioTable> decoded = decode_table(bytes);
      if (!decoded) return Status::corruption(name + ": not a scenario table: " + decoded.status().message());
      if (as_json) {
        write_table_json(*decoded, out);
      } else {
        out << header;
        describe_table(*decoded, out);
      }
      return {};
    }
    case ScenarioFile::Grid: {
      const Result<TrackGrid> decoded = decode_grid(bytes);
      if (!decoded) return Status::corruption(name + ": not a track grid: " + decoded.status().message());
      if (as_json) {
        write_grid_json(*decoded, out);
        return {};
      }
      out << header;
      std::optional<ScenarioTable> table;
      if (table_beside == nullptr) {
        describe_grid(*decoded, nullptr, out);
      } else {
        const TableBeside beside = table_for(*table_beside, *decoded, table);
        describe_grid(*decoded, &beside, out);
      }
      return {};
    }
    default:
      break;
  }
  return Status::corruption(unknown_type_error(name));
}
