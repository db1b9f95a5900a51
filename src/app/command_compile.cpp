#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/author_sources.h"
#include "app/commands.h"
#include "app/diagnostic_output.h"
#include "app/exit_status.h"
#include "app/explain_code.h"
#include "app/output_plan.h"
#include "app/refusal.h"
#include "model/stations.h"
#include "output/binary_files.h"
#include "platform/files.h"
#include "review/plausibility.h"
#include "review/timetable_review.h"
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

std::string summary(const RunState& state, bool warnings_shown) {
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
    text += ", " + counted(warnings, "warning") + (warnings_shown ? "" : " (scenario check shows them)");
  return text;
}

/// What writes each output of the plan: the binary files of the compiled state, in binary_files() order.
std::vector<OutputWriter> binary_writers(const RunState& state) {
  std::vector<OutputWriter> writers;
  for (const ScenarioFile file : binary_files()) writers.push_back(binary_file_bytes(state, file));
  return writers;
}

/// Compiles the author's two files; with `write`, writes the binary files (compile), else only checks.
int compile(const CompileCommandOptions& options, bool write) {
  const Result<AuthorSources> read = read_author_sources(options.sources);
  if (!read) return refuse(read.status());
  const AuthorSources& author = *read;
  const std::string& key = author.names.line_key;
  const std::string& train = author.names.train_number;
  std::optional<OutputPlan> plan;
  if (write) {
    Result<OutputPlan> planned = plan_outputs(source_inputs(options.sources),
                                              binary_outputs(options.directory, key, train), {options.directory});
    if (!planned) return refuse(planned.status());
    plan = std::move(*planned);
  }
  const bool text = options.diagnostics.format == DiagnosticsFormat::Text;
  if (author.input.errors() > 0) {
    print_diagnostics(options.diagnostics, author.sources, author.input);
    if (write) std::cerr << "scenario: no file written\n";
    return kExitError;
  }

  AuthorCompilation compiled = compile_author_sources(author, /*keep_going=*/!write, options.directory);
  // What a railway would not run is said by compile as by check; the timetable's check only by check.
  add_plausibility_warnings(compiled.state);
  if (!write) add_timetable_warnings(compiled.state);
  const RunState& state = compiled.state;
  const bool failed = state.diagnostics.errors() > 0;
  // compile shows the error that stopped the format's reading (check lists them all) and every warning.
  print_diagnostics(options.diagnostics, author.sources, state.diagnostics,
                    write && text ? Shown::FirstErrorAndWarnings : Shown::All);
  // The format stops at the first refusal; checking reads on, and tells how many more there are.
  if (write && failed) tell_errors_after_the_first(author);

  if (write && compiled.outcome.writable(state) && (!failed || options.force)) {
    DirectoryLocks locks;
    const auto written = carry_out(*plan, binary_writers(state), locks);
    if (!written) return refuse(written.status());
    (text ? std::cout : std::cerr) << shown_name(key + " " + train + ": " +
                                                 summary(state, !options.diagnostics.no_warnings) + "; wrote " +
                                                 written_files(plan->outputs, *written))
                                   << "\n";
  } else if (write && options.force) {
    // --force asked for the files: say what forbade them, since the error shown may not be it.
    std::cerr << "scenario: no file written: " << compiled.outcome.why_not_writable(state) << "\n";
  } else if (write) {
    std::cerr << "scenario: no file written\n";
  }
  if (!write) {
    if (text)
      std::cerr << counted(state.diagnostics.errors(), "error") << ", "
                << counted(state.diagnostics.warnings(), "warning") << "\n";
    if (!failed && options.werror && state.diagnostics.warnings() > 0) return kExitError;
  }
  return failed ? kExitError : kExitSuccess;
}

}  // namespace

void add_compile_command(CLI::App& app, int& status) {
  auto compile_options = std::make_shared<CompileCommandOptions>();
  auto* compile_command =
      app.add_subcommand("compile", "Compile a line description and a train service into the three binary files.");
  add_source_options(compile_command, compile_options->sources);
  add_diagnostic_options(compile_command, compile_options->diagnostics);
  compile_command->add_option("-o,--output", compile_options->directory, "Directory for the files (default: .)")
      ->check(non_empty_path());
  compile_command->add_flag("--force", compile_options->force,
                            "Write the files even when the compilation left an error");
  compile_command->add_flag("-w,--no-warnings", compile_options->diagnostics.no_warnings,
                            "Print the errors alone, not the warnings (the summary still counts them)");
  compile_command->callback([compile_options, &status] { status = compile(*compile_options, true); });
}

void add_check_command(CLI::App& app, int& status) {
  auto check_options = std::make_shared<CompileCommandOptions>();
  auto* check_command = app.add_subcommand(
      "check", "Compile without writing anything, reading on after every error, and warn about what the format "
               "passes over or takes silently.");
  add_source_options(check_command, check_options->sources);
  add_diagnostic_options(check_command, check_options->diagnostics);
  check_command->add_flag("--werror", check_options->werror, "Exit with status 1 on a warning too");
  auto explain = std::make_shared<std::string>();
  CLI::Option* explain_option =
      check_command->add_option("--explain", *explain,
                                "Print what an error code (E16) means, an example and its fix, or "
                                "what a warning kind (not-a-keyword) means; LINE and SERVICE "
                                "are then not needed");
  for (const char* source : {"LINE", "SERVICE"}) check_command->get_option(source)->required(false);
  check_command->callback([check_options, explain, explain_option, &status] {
    // Given, even empty: an empty code is a code to explain, not a missing LINE.
    if (explain_option->count() > 0) return void(status = explain_error_code(*explain, std::cout, std::cerr));
    for (const std::string* path : {&check_options->sources.line_path, &check_options->sources.service_path})
      if (path->empty()) throw CLI::RequiredError(path == &check_options->sources.line_path ? "LINE" : "SERVICE");
    status = compile(*check_options, false);
  });
}
