#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <variant>

#include "app/author_sources.h"
#include "app/commands.h"
#include "app/diagnostic_output.h"
#include "app/exit_status.h"
#include "app/output_directory.h"
#include "documents/slowdown_order_for.h"
#include "documents/timetable_card_for.h"
#include "model/scenario_model.h"
#include "platform/program_directory.h"
#include "scenario/counted.h"
#include "scenario/file_names.h"

namespace {

struct DocumentsOptions {
  SourceOptions sources;
  DiagnosticOptions diagnostics;
  std::string directory = ".";
};

/// Compiles the author's two files and writes the timetable card and the slowdown order of the result;
/// a scenario with an error gets none.
int write_documents(const DocumentsOptions& options) {
  auto read = read_author_sources(options.sources);
  if (const int* status = std::get_if<int>(&read)) return *status;
  const AuthorSources& author = std::get<AuthorSources>(read);
  const std::string collision = output_replacing_input(
      {{"line description", options.sources.line_path}, {"train service", options.sources.service_path}},
      {{"timetable card",
        path_in(options.directory,
                scenario_file_name(ScenarioFile::TimetableCard, author.names.line_key, author.names.train_number))},
       {"slowdown order",
        path_in(options.directory,
                scenario_file_name(ScenarioFile::SlowdownOrder, author.names.line_key, author.names.train_number))}});
  if (!collision.empty()) {
    std::cerr << "scenario: error: " << collision << "\n";
    return kExitUsage;
  }
  const bool text = options.diagnostics.format == DiagnosticsFormat::Text;
  if (author.input.errors() > 0) {
    print_diagnostics(options.diagnostics, author.sources, author.input);
    std::cerr << "scenario: no file written\n";
    return kExitError;
  }

  const AuthorCompilation compiled = compile_author_sources(author, /*keep_going=*/false, options.directory);
  const RunState& state = compiled.state;
  if (state.diagnostics.errors() > 0) {
    print_diagnostics(options.diagnostics, author.sources, state.diagnostics, text);
    tell_errors_after_the_first(author);
    std::cerr << "scenario: no file written\n";
    return kExitError;
  }

  DirectoryLock lock;
  if (const std::string claimed = claim_output_directory(options.directory, lock); !claimed.empty()) {
    std::cerr << "scenario: error: " << claimed << "\n";
    return kExitFileFailure;
  }
  const ScenarioModel model = read_scenario_model(state.grid, state.table);
  write_timetable_card_for(state, model);
  write_slowdown_order_for(state, model);
  (text ? std::cout : std::cerr) << author.names.line_key << " " << author.names.train_number << ": "
                                 << counted(model.stations.size(), "station") << ", "
                                 << counted(model.slowdowns.size(), "slowdown") << "; wrote "
                                 << scenario_file_name(ScenarioFile::TimetableCard, author.names.line_key, author.names.train_number)
                                 << ", "
                                 << scenario_file_name(ScenarioFile::SlowdownOrder, author.names.line_key, author.names.train_number)
                                 << "\n";
  return kExitSuccess;
}

}  // namespace

void add_documents_command(CLI::App& app, int& status) {
  auto options = std::make_shared<DocumentsOptions>();
  auto* command = app.add_subcommand(
      "documents", "Compile a line description and a train service and write the driver's timetable card and "
                   "slowdown order (K_N_scheda_treno.txt, K_N_rallentamenti.txt), with blank cells to fill by "
                   "hand for what the files do not hold.");
  add_source_options(command, options->sources);
  add_diagnostic_options(command, options->diagnostics);
  command->add_option("-o,--output", options->directory,
                      "Directory for the two documents, made with its parents when missing (default: .)")
      ->check(non_empty_path());
  command->callback([options, &status] { status = write_documents(*options); });
}
