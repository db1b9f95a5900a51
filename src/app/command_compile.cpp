#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <iostream>
#include <memory>
#include <optional>

#include "app/commands.h"
#include "app/diagnostics.h"
#include "app/diagnostics_json.h"
#include "app/diagnostics_sarif.h"
#include "app/exit_status.h"
#include "app/explain_code.h"
#include "app/output_directory.h"
#include "compiler/compile_scenario.h"
#include "compiler/source_check.h"
#include "compiler/source_files.h"
#include "model/stations.h"
#include "output/binary_files.h"
#include "platform/file_error.h"
#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

namespace {

enum class DiagnosticsFormat { Text, Json, Sarif };
enum class Colour { Auto, Always, Never };

struct CompileCommandOptions {
  std::string line_path;
  std::string service_path;
  std::string directory = ".";
  std::string line_key;
  std::string train;
  bool force = false;
  bool werror = false;
  InputEncoding encoding = InputEncoding::Windows1252;
  DiagnosticsFormat format = DiagnosticsFormat::Text;
  Colour colour = Colour::Auto;
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

std::string plural(std::size_t count, const std::string& word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

std::string summary(const RunState& state) {
  int signals = 0, slowdowns = 0, boards = 0;
  for (const TrackCell& cell : state.grid.cells()) {
    signals += cell.is(CellKind::Signal);
    slowdowns += cell.is(CellKind::SlowdownStart);
    boards += cell.is(CellKind::SpeedBoard) || cell.is(CellKind::InfoBoard);
  }
  std::string text = std::to_string(state.grid.cellCount() + 1) + " cells, " +
                     std::to_string(station_count(state.table)) + " stations, " + std::to_string(signals) +
                     " signals, " + std::to_string(slowdowns) + " slowdowns, " + std::to_string(boards) + " boards";
  if (const std::size_t warnings = state.diagnostics.warnings(); warnings > 0)
    text += ", " + plural(warnings, "warning") + " (scenario check shows them)";
  return text;
}

bool colour_wanted(Colour colour) {
  if (colour != Colour::Auto) return colour == Colour::Always;
  const char* no_colour = std::getenv("NO_COLOR");
  const char* term = std::getenv("TERM");
  return (no_colour == nullptr || *no_colour == '\0') && isatty(STDERR_FILENO) != 0 &&
         !(term != nullptr && std::string_view(term) == "dumb");
}

/// A file read as one of the two sources: a plain file only, since a device or a pipe could block the
/// read or never end.
std::optional<std::string> read_source(const std::string& path, std::string& failure) {
  std::error_code error;
  const auto type = std::filesystem::status(path, error).type();
  if (!error && type != std::filesystem::file_type::regular) {
    failure = "cannot read " + path + ": not a regular file";
    return std::nullopt;
  }
  try {
    return read_file(path);
  } catch (const FileError& file_failure) {
    failure = "cannot read " + file_failure.path() + ": " + file_failure.reason();
    return std::nullopt;
  }
}

/// Prints the diagnostics: for people on standard error, for tools (JSON lines, a SARIF log) alone on
/// standard output. `first_only`: of the errors, only the first (compile), and no warning.
void print_diagnostics(const CompileCommandOptions& options, const Sources& sources, const Diagnostics& diagnostics,
                       bool first_only) {
  if (options.format == DiagnosticsFormat::Sarif) {
    std::cout << sarif_log(diagnostics, sources).dump(2) << "\n";
    return;
  }
  if (options.format == DiagnosticsFormat::Json) {
    for (const Diagnostic& diagnostic : diagnostics.all()) std::cout << diagnostic_json(diagnostic, sources).dump() << "\n";
    return;
  }
  const DiagnosticPrinter printer(sources, colour_wanted(options.colour));
  for (const Diagnostic& diagnostic : diagnostics.all()) {
    if (first_only && diagnostic.severity != Severity::Error) continue;
    std::cerr << printer.format(diagnostic);
    if (first_only) return;
  }
  for (const Omitted& omitted : diagnostics.omitted()) std::cerr << printer.format(omitted);
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
                  "give --line-key", kExitUsage);
  if (train.empty())
    return refuse("cannot tell the train number from the file name " + file_name(options.service_path) +
                  " (it is not K_N-.txt): give --train", kExitUsage);
  if (const std::string problem = names_problem(key, train); !problem.empty())
    return refuse("the line key \"" + key.substr(0, 60) + "\" and the train number \"" + train.substr(0, 60) +
                      "\" cannot name the scenario's files: " + problem,
                  kExitUsage);

  // The author's files are only read; the compiler works on copies.
  Sources sources;
  std::string failure;
  const auto line_text = read_source(options.line_path, failure);
  if (!line_text) return refuse(failure, kExitFileFailure);
  const auto service_text = read_source(options.service_path, failure);
  if (!service_text) return refuse(failure, kExitFileFailure);
  sources.line = SourceFile(options.line_path, *line_text, options.encoding);
  sources.service = SourceFile(options.service_path, *service_text, options.encoding);
  const Diagnostics input = convert_sources(sources);
  if (input.errors() > 0) {
    print_diagnostics(options, sources, input, false);
    if (write) std::cerr << "scenario: no file written\n";
    return kExitError;
  }

  // The file names are compared only when they gave the line key.
  PairNames names{key, train, std::nullopt, std::nullopt};
  if (options.line_key.empty()) {
    names.line_file = line_name;
    names.service_file = service_name;
  }
  RunState state;
  state.program_directory = options.directory;
  const CompileOutcome outcome = compile_pair(state, sources, names, !write);
  const bool failed = state.diagnostics.errors() > 0;

  print_diagnostics(options, sources, state.diagnostics, write && options.format == DiagnosticsFormat::Text);
  if (write && failed) {
    // The format stops at the first refusal; checking reads on, and tells how many more there are.
    RunState checked;
    compile_pair(checked, sources, names, true);
    if (const std::size_t found = checked.diagnostics.errors(); found > 1)
      std::cerr << "scenario: " << plural(found - 1, "more error") << " after this one: scenario check lists them all\n";
  }

  if (write && outcome.writable(state) && (!failed || options.force)) {
    if (const std::string made = create_output_directory(options.directory); !made.empty())
      return refuse("cannot make the output directory " + options.directory + ": " + made, kExitFileFailure);
    write_binary_files(state);
    std::string files;
    for (const std::string& name : {trace_file_name(key), table_file_name(key, train), grid_file_name(key, train)}) {
      files += (files.empty() ? "" : ", ") + name + " (" +
               std::to_string(std::filesystem::file_size(path_in(options.directory, name))) + " bytes)";
    }
    (options.format == DiagnosticsFormat::Text ? std::cout : std::cerr)
        << key << " " << train << ": " << summary(state) << "; wrote " << files << "\n";
  } else if (write) {
    std::cerr << "scenario: no file written\n";
  }
  if (!write) {
    if (options.format == DiagnosticsFormat::Text)
      std::cerr << plural(state.diagnostics.errors(), "error") << ", " << plural(state.diagnostics.warnings(), "warning")
                << "\n";
    if (!failed && options.werror && state.diagnostics.warnings() > 0) return kExitError;
  }
  return failed ? kExitError : kExitSuccess;
}

void add_source_arguments(CLI::App* command, CompileCommandOptions& options) {
  command->add_option("LINE", options.line_path, "Line description (K_linea.txt)")->required();
  command->add_option("SERVICE", options.service_path, "Train service (K_N-.txt)")->required();
  command->add_option("--line-key", options.line_key, "Line key, when the file names do not give it");
  command->add_option("--train", options.train, "Train number, when the file name does not give it");
  command->add_option("--input-encoding", options.encoding,
                      "Encoding of the two files: windows-1252 (the format's own) or utf-8 (converted)")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, InputEncoding>{{"windows-1252", InputEncoding::Windows1252}, {"utf-8", InputEncoding::Utf8}},
          CLI::ignore_case));
  command->add_option("--diagnostics-format", options.format,
                      "text (for people, on standard error), json (one object per line) or sarif (a SARIF 2.1.0 "
                      "log), the last two alone on standard output")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, DiagnosticsFormat>{
              {"text", DiagnosticsFormat::Text}, {"json", DiagnosticsFormat::Json}, {"sarif", DiagnosticsFormat::Sarif}},
          CLI::ignore_case));
  command->add_option("--color", options.colour, "Colours in the text diagnostics: auto (on a terminal, unless "
                                                 "NO_COLOR is set), always or never")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, Colour>{{"auto", Colour::Auto}, {"always", Colour::Always}, {"never", Colour::Never}},
          CLI::ignore_case));
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
