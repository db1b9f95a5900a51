#include "inspect/inspection.h"

#include <cstdint>
#include <optional>

#include "inspect/grid_description.h"
#include "inspect/scenario_json.h"
#include "inspect/table_description.h"
#include "inspect/trace_description.h"
#include "scenario/binary_format.h"
#include "scenario/file_names.h"

namespace {

std::string str(int64_t value) { return std::to_string(value); }

}  // namespace

Inspection inspect_file(std::string_view file_name, std::string_view bytes, bool as_json) {
  const std::string name(file_name);
  const std::string header = name + ": " + str(static_cast<int64_t>(bytes.size())) + " bytes\n";
  const std::optional<ScenarioFile> file = binary_file_by_ending(file_name);
  switch (file.value_or(ScenarioFile::LineSource)) {
    case ScenarioFile::Trace: {
      const Decoded<TrackTrace> decoded = decode_trace(bytes);
      if (!decoded) return {{}, name + ": not a plan trace: " + decoded.error};
      return {as_json ? json_text(trace_to_json(*decoded.value)) : header + describe_trace(*decoded.value), {}};
    }
    case ScenarioFile::Table: {
      const Decoded<ScenarioTable> decoded = decode_table(bytes);
      if (!decoded) return {{}, name + ": not a scenario table: " + decoded.error};
      return {as_json ? json_text(table_to_json(*decoded.value)) : header + describe_table(*decoded.value), {}};
    }
    case ScenarioFile::Grid: {
      const Decoded<TrackGrid> decoded = decode_grid(bytes);
      if (!decoded) return {{}, name + ": not a track grid: " + decoded.error};
      return {as_json ? json_text(grid_to_json(*decoded.value)) : header + describe_grid(*decoded.value), {}};
    }
    default: break;
  }
  return {{}, name + ": unknown file type: the name must end in \"_linea.dat\", \".sim\" or \".dat\""};
}
