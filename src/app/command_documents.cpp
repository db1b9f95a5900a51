#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/commands.h"
#include "app/compile_command.h"
#include "app/exit_status.h"
#include "app/output_directory.h"
#include "compiler/compile_scenario.h"
#include "documents/slowdown_order_for.h"
#include "documents/timetable_card_for.h"
#include "model/scenario_model.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

namespace {

std::string counted(std::size_t count, const std::string& word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

/// Compiles the author's two files and writes the timetable card and the slowdown order of the result;
/// a scenario with an error gets none.
int write_documents(const CompileCommandOptions& options) {
  std::string key;
  std::string train;
  Sources sources;
  if (const int refused = load_sources(options, true, key, train, sources); refused != 0) return refused;

  RunState state;
  state.line_key = key;
  state.train_number = train;
  state.program_directory = options.directory;
  compile_scenario(state, sources.line.compiled, sources.service.compiled);
  if (state.diagnostics.errors() > 0) {
    print_diagnostics(options, sources, state.diagnostics, options.format == DiagnosticsFormat::Text);
    tell_more_errors(sources, key, train);
    std::cerr << "scenario: no file written\n";
    return kExitError;
  }

  if (const std::string made = create_output_directory(options.directory); !made.empty()) {
    std::cerr << "scenario: error: cannot make the output directory " << options.directory << ": " << made << "\n";
    return kExitFileFailure;
  }
  const ScenarioModel model = read_scenario_model(state.grid, state.table);
  write_timetable_card_for(state, model);
  write_slowdown_order_for(state, model);
  (options.format == DiagnosticsFormat::Text ? std::cout : std::cerr)
      << key << " " << train << ": " << counted(model.stations.size(), "station") << ", "
      << counted(model.slowdowns.size(), "slowdown") << "; wrote "
      << scenario_file_name(ScenarioFile::TimetableCard, key, train) << ", "
      << scenario_file_name(ScenarioFile::SlowdownOrder, key, train) << "\n";
  return kExitSuccess;
}

}  // namespace

void add_documents_command(CLI::App& app, int& status) {
  auto options = std::make_shared<CompileCommandOptions>();
  auto* command = app.add_subcommand(
      "documents", "Compile a line description and a train service and write the driver's timetable card and "
                   "slowdown order (K_N_scheda_treno.txt, K_N_rallentamenti.txt), with blank cells to fill by "
                   "hand for what the files do not hold.");
  add_source_arguments(command, *options);
  command->add_option("-o,--output", options->directory,
                      "Directory for the two documents, made with its parents when missing (default: .)")
      ->check(non_empty_path());
  command->callback([options, &status] { status = write_documents(*options); });
}
