#include "output/binary_files.h"

#include "platform/program_directory.h"
#include "scenario/binary_format.h"
#include "scenario/run_state.h"

std::function<void(ByteSink&)> binary_file_bytes(const RunState& state, ScenarioFile file) {
  switch (file) {
    case ScenarioFile::Trace:
      return [&state](ByteSink& sink) { encode_trace_to(state.trace, sink); };
    case ScenarioFile::Table:
      return [&state](ByteSink& sink) { sink.write(encode_table(state.table)); };
    default:
      return [&state](ByteSink& sink) { encode_grid_to(state.grid, sink); };
  }
}

std::vector<FileReplacement> binary_file_replacements(const RunState& state) {
  std::vector<FileReplacement> files;
  for (const ScenarioFile file : binary_files()) {
    if (file == ScenarioFile::Trace && state.trace_flag == 0) continue;
    files.push_back({path_in(state.program_directory, scenario_file_name(file, state.line_key, state.train_number)),
                     binary_file_bytes(state, file)});
  }
  return files;
}

void write_binary_files(const RunState& state) { replace_files(binary_file_replacements(state)); }
