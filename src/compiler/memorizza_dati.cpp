#include "compiler/memorizza_dati.h"

#include "compiler/error_report.h"
#include "compiler/line_reader.h"
#include "platform/file_error.h"
#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/error_codes.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

namespace {

/// The content of a source file, or nothing when it is missing or cannot be read.
std::optional<std::string> load(const std::string& path) {
  if (!file_exists(path)) return std::nullopt;
  try {
    return read_file(path);
  } catch (const FileError&) {
    return std::nullopt;
  }
}

}  // namespace

CompileOutcome memorizza_dati(RunState& state) {
  const std::string line_path = path_in(state.program_directory, line_source_name(state.line_key));
  const std::string service_path =
      path_in(state.program_directory, service_source_name(state.line_key, state.train_number));
  const std::optional<std::string> line = load(line_path);
  const std::optional<std::string> service = load(service_path);
  std::optional<std::string_view> line_view;
  if (line) line_view = *line;
  std::optional<std::string_view> service_view;
  if (service) service_view = *service;

  if (!line_view && file_exists(line_path)) {
    // The line description is there but cannot be read: a read failure, which deletes both sources.
    prepare_compilation(state, state.trace_flag);
    store_identity(state);
    raise_error(state, Refusal(kErrorReadFailure, std::nullopt, std::nullopt, "the line description cannot be read"));
    delete_file_if_present(line_path);
    delete_file_if_present(service_path);
    return {};
  }
  const CompileOutcome outcome = compile_scenario(state, line_view, service_view, {.trace_flag = state.trace_flag});
  if (outcome.read.line) delete_file_if_present(line_path);
  if (outcome.read.service) delete_file_if_present(service_path);
  return outcome;
}
