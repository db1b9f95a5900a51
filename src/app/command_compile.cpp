#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "app/commands.h"
#include "app/diagnostics.h"
#include "app/exit_status.h"
#include "app/explain_code.h"
#include "app/output_directory.h"
#include "compiler/compile_scenario.h"
#include "output/binary_files.h"
#include "platform/file_error.h"
#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

namespace {

struct CompileCommandOptions {
  std::string line_path;
  std::string service_path;
  std::string directory = ".";
  std::string line_key;
  std::string train;
  bool force = false;
  bool werror = false;
};

std::string file_name(const std::string& path) { return std::filesystem::path(path).filename().string(); }

/// What a source's file name says, when it has the form of that source's name.
std::optional<ParsedFileName> parsed_as(const std::string& path, ScenarioFile file) {
  auto parsed = parse_file_name(file_name(path));
  if (!parsed || parsed->file != file) return std::nullopt;
  return parsed;
}

int refuse(const std::string& message, int status = kExitError) {
  std::cerr << "scenario: error: " << message << "\n";
  return status;
}

/// Number of station records: from record 1 up to the first board text.
int station_count(const RunState& state) {
  int count = 0;
  for (int record = kFirstStationRecord; record <= state.board_slot && record < kFirstBoardRecord; ++record) {
    const ScenarioRecord& r = state.table[static_cast<std::size_t>(record)];
    if (r.code != 0 || r.number3 != 0 || !r.text.empty()) ++count;
  }
  return count;
}

std::string summary(const RunState& state) {
  int signals = 0, slowdowns = 0, boards = 0;
  for (const TrackCell& cell : state.grid.cells()) {
    signals += cell.is(CellKind::Signal);
    slowdowns += cell.is(CellKind::SlowdownStart);
    boards += cell.is(CellKind::SpeedBoard) || cell.is(CellKind::InfoBoard);
  }
  return std::to_string(state.grid.cellCount() + 1) + " cells, " + std::to_string(station_count(state)) +
         " stations, " + std::to_string(signals) + " signals, " + std::to_string(slowdowns) + " slowdowns, " +
         std::to_string(boards) + " boards";
}

/// Compiles the author's two files; with `write`, writes the binary files (compile), else only checks.
int compile(const CompileCommandOptions& options, bool write) {
  std::string key = options.line_key;
  std::string train = options.train;
  const auto line_name = parsed_as(options.line_path, ScenarioFile::LineSource);
  const auto service_name = parsed_as(options.service_path, ScenarioFile::ServiceSource);
  if (key.empty() && line_name) key = line_name->line_key;
  if (key.empty() && service_name) key = service_name->line_key;
  if (train.empty() && service_name) train = service_name->train_number;
  if (key.empty())
    return refuse("cannot tell the line key from the file names (they are not K_linea.txt and K_N-.txt): "
                  "give --line-key");
  if (train.empty())
    return refuse("cannot tell the train number from the file name " + file_name(options.service_path) +
                  " (it is not K_N-.txt): give --train");

  // A device or a pipe could block the read or never end: only plain files are read.
  for (const std::string& path : {options.line_path, options.service_path}) {
    std::error_code error;
    const auto type = std::filesystem::status(path, error).type();
    if (!error && type != std::filesystem::file_type::regular)
      return refuse("cannot read " + path + ": not a regular file", kExitFileFailure);
  }
  Sources sources;
  try {
    // The author's files are only read; the compiler works on these copies.
    sources = {{options.line_path, read_file(options.line_path)}, {options.service_path, read_file(options.service_path)}};
  } catch (const FileError& failure) {
    return refuse("cannot read " + failure.path() + ": " + failure.reason(), kExitFileFailure);
  }

  RunState state;
  state.line_key = key;
  state.train_number = train;
  state.program_directory = options.directory;
  const CompileOutcome outcome = compile_scenario(state, sources.line.text, sources.service.text);

  const DiagnosticPrinter printer(sources);
  const bool failed = state.error.code != 0;
  for (const Diagnostic& diagnostic : state.diagnostics.all())
    if (!write || diagnostic.severity == Severity::Error) std::cerr << printer.format(diagnostic);
  for (const Omitted& omitted : state.diagnostics.omitted())
    if (!write || omitted.severity == Severity::Error) std::cerr << printer.format(omitted);

  if (write && outcome.writable(state) && (!failed || options.force)) {
    if (const std::string failure = create_output_directory(options.directory); !failure.empty())
      return refuse("cannot make the output directory " + options.directory + ": " + failure, kExitFileFailure);
    write_binary_files(state);
    std::string files;
    for (const std::string& name : {trace_file_name(key), table_file_name(key, train), grid_file_name(key, train)}) {
      files += (files.empty() ? "" : ", ") + name + " (" +
               std::to_string(std::filesystem::file_size(path_in(options.directory, name))) + " bytes)";
    }
    std::cout << key << " " << train << ": " << summary(state) << "; wrote " << files << "\n";
  } else if (write) {
    std::cerr << "scenario: no file written\n";
  }
  if (!write) {
    const std::size_t errors = state.diagnostics.errors();
    const std::size_t warnings = state.diagnostics.warnings();
    std::cerr << errors << " error" << (errors == 1 ? "" : "s") << ", " << warnings << " warning"
              << (warnings == 1 ? "" : "s") << "\n";
    if (!failed && options.werror && warnings > 0) return kExitError;
  }
  return failed ? kExitError : kExitSuccess;
}

void add_source_arguments(CLI::App* command, CompileCommandOptions& options) {
  command->add_option("LINE", options.line_path, "Line description (K_linea.txt)")->required();
  command->add_option("SERVICE", options.service_path, "Train service (K_N-.txt)")->required();
  command->add_option("--line-key", options.line_key, "Line key, when the file names do not give it");
  command->add_option("--train", options.train, "Train number, when the file name does not give it");
}

}  // namespace

void add_compile_commands(CLI::App& app, int& status) {
  auto compile_options = std::make_shared<CompileCommandOptions>();
  auto* compile_command =
      app.add_subcommand("compile", "Compile a line description and a train service into the three binary files.");
  add_source_arguments(compile_command, *compile_options);
  compile_command->add_option("-o,--output", compile_options->directory, "Directory for the files (default: .)")
      ->check(non_empty_path());
  compile_command->add_flag("--force", compile_options->force, "Write the files even when the compilation left an error");
  compile_command->callback([compile_options, &status] { status = compile(*compile_options, true); });

  auto check_options = std::make_shared<CompileCommandOptions>();
  auto* check_command = app.add_subcommand(
      "check", "Compile without writing anything, and warn about what the format passes over or changes.");
  add_source_arguments(check_command, *check_options);
  check_command->add_flag("--werror", check_options->werror, "Exit with status 1 on a warning too");
  auto explain = std::make_shared<std::string>();
  check_command->add_option("--explain", *explain, "Print what an error code (E16) means, an example and its fix; "
                                                   "LINE and SERVICE are then not needed");
  for (const char* source : {"LINE", "SERVICE"}) check_command->get_option(source)->required(false);
  check_command->callback([check_options, explain, &status] {
    if (!explain->empty()) return void(status = explain_error_code(*explain, std::cout, std::cerr));
    for (const std::string* path : {&check_options->line_path, &check_options->service_path})
      if (path->empty()) throw CLI::RequiredError(path == &check_options->line_path ? "LINE" : "SERVICE");
    status = compile(*check_options, false);
  });
}
