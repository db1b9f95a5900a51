#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/author_sources.h"
#include "app/commands.h"
#include "app/diagnostic_output.h"
#include "app/exit_status.h"
#include "app/output_plan.h"
#include "app/refusal.h"
#include "documents/slowdown_order_for.h"
#include "documents/timetable_card.h"
#include "documents/timetable_card_for.h"
#include "model/scenario_model.h"
#include "platform/files.h"
#include "platform/windows1252.h"
#include "scenario/counted.h"
#include "scenario/file_names.h"
#include "source/line_table.h"

namespace {

struct DocumentsOptions {
  SourceOptions sources;
  DiagnosticOptions diagnostics;
  std::string directory = ".";
};

/// Compiles the author's two files and writes the timetable card and the slowdown order of the result;
/// a scenario with an error gets none.
int write_documents(const DocumentsOptions& options) {
  const Result<AuthorSources> read = read_author_sources(options.sources);
  if (!read) return refuse(read.status());
  const AuthorSources& author = *read;
  const std::string& key = author.names.line_key;
  const std::string& train = author.names.train_number;
  constexpr ScenarioFile kDocuments[] = {ScenarioFile::TimetableCard, ScenarioFile::SlowdownOrder};
  const Result<OutputPlan> plan = plan_outputs(
      source_inputs(options.sources), scenario_outputs(options.directory, kDocuments, key, train), {options.directory});
  if (!plan) return refuse(plan.status());
  const bool text = options.diagnostics.format == DiagnosticsFormat::Text;
  if (author.input.errors() > 0) {
    print_diagnostics(options.diagnostics, author.sources, author.input);
    std::cerr << "scenario: no file written\n";
    return kExitError;
  }

  const AuthorCompilation compiled = compile_author_sources(author, /*keep_going=*/false, options.directory);
  const RunState& state = compiled.state;
  if (state.diagnostics.errors() > 0) {
    print_diagnostics(options.diagnostics, author.sources, state.diagnostics,
                      text ? Shown::FirstErrorOnly : Shown::All);
    tell_errors_after_the_first(author);
    std::cerr << "scenario: no file written\n";
    return kExitError;
  }

  // The card's title box holds only so much of the train number: the author is told what it shows.
  if (const std::string shown = name_as_stored(train); shown.size() > train_number_room() && text)
    std::cerr << "scenario: warning: "
              << shown_name("the train number \"" + train + "\" is longer than the " +
                            std::to_string(train_number_room()) +
                            " characters the timetable card's title holds: the card shows \"")
              << shown_text(shown.substr(0, train_number_room())) << "\"\n";
  const ScenarioModel model = read_scenario_model(state.grid, state.table);
  const std::vector<OutputWriter> writers = {
      [&](ByteSink& sink) { sink.write(encode_lines(timetable_card_for(model, state.grid, train))); },
      [&](ByteSink& sink) { sink.write(encode_lines(slowdown_order_for(model, key, train))); }};
  DirectoryLocks locks;
  const auto written = carry_out(*plan, writers, locks);
  if (!written) return refuse(written.status());
  (text ? std::cout : std::cerr) << shown_name(key + " " + train + ": " + counted(model.stations.size(), "station") +
                                               ", " + counted(model.slowdowns.size(), "slowdown") + "; wrote " +
                                               written_files(plan->outputs))
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
  command
      ->add_option("-o,--output", options->directory,
                   "Directory for the two documents, made with its parents when missing (default: .)")
      ->check(non_empty_path());
  command->callback([options, &status] { status = write_documents(*options); });
}
