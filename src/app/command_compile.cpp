#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <variant>

#include "app/author_sources.h"
#include "app/commands.h"
#include "app/diagnostic_output.h"
#include "app/exit_status.h"
#include "app/explain_code.h"
#include "app/output_directory.h"
#include "model/stations.h"
#include "output/binary_files.h"
#include "review/timetable_review.h"
#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/counted.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

namespace {

struct CompileCommandOptions {
  SourceOptions sources;
  DiagnosticOptions diagnostics;
  std::string directory = ".";
  bool force = false;
  bool werror = false;
};

int refuse(const std::string& message, int status = kExitError) {
  std::cerr << "scenario: error: " << message << "\n";
  return status;
}

std::string summary(const RunState& state) {
  int signals = 0, slowdowns = 0, boards = 0;
  for (const TrackCell& cell : state.grid.cells()) {
    signals += cell.is(CellKind::Signal);
    slowdowns += cell.is(CellKind::SlowdownStart);
    boards += cell.is(CellKind::SpeedBoard) || cell.is(CellKind::InfoBoard);
  }
  std::string text = counted(static_cast<std::size_t>(state.grid.cellCount()) + 1, "cell") + ", " +
                     counted(static_cast<std::size_t>(station_count(state.table)), "station") + ", " +
                     counted(static_cast<std::size_t>(signals), "signal") + ", " +
                     counted(static_cast<std::size_t>(slowdowns), "slowdown") + ", " +
                     counted(static_cast<std::size_t>(boards), "board");
  if (const std::size_t warnings = state.diagnostics.warnings(); warnings > 0)
    text += ", " + counted(warnings, "warning") + " (scenario check shows them)";
  return text;
}

/// Compiles the author's two files; with `write`, writes the binary files (compile), else only checks.
int compile(const CompileCommandOptions& options, bool write) {
  auto read = read_author_sources(options.sources);
  if (const int* status = std::get_if<int>(&read)) return *status;
  const AuthorSources& author = std::get<AuthorSources>(read);
  if (write) {
    const std::string collision = output_replacing_input(
        {{"line description", options.sources.line_path}, {"train service", options.sources.service_path}},
        {{"plan trace", path_in(options.directory, trace_file_name(author.names.line_key))},
         {"scenario table", path_in(options.directory, table_file_name(author.names.line_key, author.names.train_number))},
         {"track grid", path_in(options.directory, grid_file_name(author.names.line_key, author.names.train_number))}});
    if (!collision.empty()) return refuse(collision, kExitUsage);
  }
  const bool text = options.diagnostics.format == DiagnosticsFormat::Text;
  if (author.input.errors() > 0) {
    print_diagnostics(options.diagnostics, author.sources, author.input);
    if (write) std::cerr << "scenario: no file written\n";
    return kExitError;
  }

  AuthorCompilation compiled = compile_author_sources(author, /*keep_going=*/!write, options.directory);
  if (!write) add_timetable_warnings(compiled.state);
  const RunState& state = compiled.state;
  const bool failed = state.diagnostics.errors() > 0;
  print_diagnostics(options.diagnostics, author.sources, state.diagnostics, write && text);
  // The format stops at the first refusal; checking reads on, and tells how many more there are.
  if (write && failed) tell_errors_after_the_first(author);

  if (write && compiled.outcome.writable(state) && (!failed || options.force)) {
    DirectoryLock lock;
    if (const std::string claimed = claim_output_directory(options.directory, lock); !claimed.empty())
      return refuse(claimed, kExitFileFailure);
    write_binary_files(state);
    std::string files;
    const std::string& key = author.names.line_key;
    const std::string& train = author.names.train_number;
    for (const std::string& name : {trace_file_name(key), table_file_name(key, train), grid_file_name(key, train)}) {
      files += (files.empty() ? "" : ", ") + name + " (" +
               std::to_string(std::filesystem::file_size(filesystem_path(path_in(options.directory, name)))) + " bytes)";
    }
    (text ? std::cout : std::cerr) << key << " " << train << ": " << summary(state) << "; wrote " << files << "\n";
  } else if (write) {
    std::cerr << "scenario: no file written\n";
  }
  if (!write) {
    if (text)
      std::cerr << counted(state.diagnostics.errors(), "error") << ", " << counted(state.diagnostics.warnings(), "warning")
                << "\n";
    if (!failed && options.werror && state.diagnostics.warnings() > 0) return kExitError;
  }
  return failed ? kExitError : kExitSuccess;
}

}  // namespace

void add_compile_commands(CLI::App& app, int& status) {
  auto compile_options = std::make_shared<CompileCommandOptions>();
  auto* compile_command =
      app.add_subcommand("compile", "Compile a line description and a train service into the three binary files.");
  add_source_options(compile_command, compile_options->sources);
  add_diagnostic_options(compile_command, compile_options->diagnostics);
  compile_command->add_option("-o,--output", compile_options->directory, "Directory for the files (default: .)")
      ->check(non_empty_path());
  compile_command->add_flag("--force", compile_options->force, "Write the files even when the compilation left an error");
  compile_command->callback([compile_options, &status] { status = compile(*compile_options, true); });

  auto check_options = std::make_shared<CompileCommandOptions>();
  auto* check_command = app.add_subcommand(
      "check", "Compile without writing anything, reading on after every error, and warn about what the format "
               "passes over or takes silently.");
  add_source_options(check_command, check_options->sources);
  add_diagnostic_options(check_command, check_options->diagnostics);
  check_command->add_flag("--werror", check_options->werror, "Exit with status 1 on a warning too");
  auto explain = std::make_shared<std::string>();
  check_command->add_option("--explain", *explain, "Print what an error code (E16) means, an example and its fix; "
                                                   "LINE and SERVICE are then not needed");
  for (const char* source : {"LINE", "SERVICE"}) check_command->get_option(source)->required(false);
  check_command->callback([check_options, explain, &status] {
    if (!explain->empty()) return void(status = explain_error_code(*explain, std::cout, std::cerr));
    for (const std::string* path : {&check_options->sources.line_path, &check_options->sources.service_path})
      if (path->empty()) throw CLI::RequiredError(path == &check_options->sources.line_path ? "LINE" : "SERVICE");
    status = compile(*check_options, false);
  });
}
