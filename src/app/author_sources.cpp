#include "app/author_sources.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <map>

#include "platform/file_error.h"
#include "platform/files.h"
#include "scenario/counted.h"
#include "scenario/file_names.h"
#include "scenario/read_limits.h"

namespace {

std::string file_name(const std::string& path) { return utf8_name(filesystem_path(path).filename()); }

/// What a source's file name says, when it has the form of that source's name.
std::optional<ParsedFileName> parsed_as(const std::string& path, ScenarioFile file) {
  auto parsed = parse_file_name(file_name(path));
  if (!parsed || parsed->file != file) return std::nullopt;
  return parsed;
}

/// A file read as one of the two sources: a regular file of at most kSourceReadLimit bytes.
Result<std::string> read_source(const std::string& path) {
  try {
    return read_file(path, kSourceReadLimit);
  } catch (const FileError& failure) {
    return Status::io_error(failure.path(), "cannot read " + failure.path() + ": " + failure.reason());
  }
}

}  // namespace

void add_source_options(CLI::App* command, SourceOptions& options) {
  command->add_option("LINE", options.line_path, "Line description (K_linea.txt)")->required();
  command->add_option("SERVICE", options.service_path, "Train service (K_N-.txt)")->required();
  command->add_option("--line-key", options.line_key, "Line key, when the file names do not give it");
  command->add_option("--train", options.train, "Train number, when the file name does not give it");
  command
      ->add_option("--input-encoding", options.encoding,
                   "Encoding of the two files: windows-1252 (the format's own) or utf-8 (converted)")
      ->transform(
          CLI::CheckedTransformer(std::map<std::string, InputEncoding>{{"windows-1252", InputEncoding::Windows1252},
                                                                       {"utf-8", InputEncoding::Utf8}},
                                  CLI::ignore_case)
              // The help shows the words an author types, not the map's values.
              .description("{windows-1252,utf-8}"));
}

std::vector<RunFile> source_inputs(const SourceOptions& options) {
  return {{std::string(scenario_file_role(ScenarioFile::LineSource)), options.line_path},
          {std::string(scenario_file_role(ScenarioFile::ServiceSource)), options.service_path}};
}

Result<AuthorSources> read_author_sources(const SourceOptions& options) {
  AuthorSources author;
  std::string& key = author.names.line_key;
  std::string& train = author.names.train_number;
  key = options.line_key;
  train = options.train;
  const auto line_name = parsed_as(options.line_path, ScenarioFile::LineSource);
  const auto service_name = parsed_as(options.service_path, ScenarioFile::ServiceSource);
  // Each name in the form of the other source's: the two were given the wrong way round. Said whatever the
  // options, since reading a train service as a line description cannot give what the author meant.
  if (!line_name && !service_name && parsed_as(options.line_path, ScenarioFile::ServiceSource) &&
      parsed_as(options.service_path, ScenarioFile::LineSource))
    return Status::invalid_argument("the two files are given in the wrong order: " + file_name(options.line_path) +
                                    " is a train service and " + file_name(options.service_path) +
                                    " a line description; give the line description (K_linea.txt) first, then the "
                                    "train service (K_N-.txt)");
  if (key.empty() && line_name) key = line_name->line_key;
  if (key.empty() && service_name) key = service_name->line_key;
  if (train.empty() && service_name) train = service_name->train_number;
  if (key.empty())
    return Status::invalid_argument(
        "cannot tell the line key from the file names (they are not K_linea.txt and K_N-.txt): give --line-key");
  if (train.empty())
    return Status::invalid_argument("cannot tell the train number from the file name " +
                                    file_name(options.service_path) + " (it is not K_N-.txt): give --train");
  if (const Status names = check_names(key, train); !names.is_ok())
    return names.in_context("the line key \"" + key.substr(0, 60) + "\" and the train number \"" + train.substr(0, 60) +
                            "\" cannot name the scenario's files");
  if (options.line_key.empty()) {
    author.names.line_file = line_name;
    author.names.service_file = service_name;
  }

  // The author's files are only read; the compiler works on copies.
  auto line_text = read_source(options.line_path);
  if (!line_text) return line_text.status();
  auto service_text = read_source(options.service_path);
  if (!service_text) return service_text.status();
  author.sources.line = SourceFile(options.line_path, std::move(*line_text), options.encoding);
  author.sources.service = SourceFile(options.service_path, std::move(*service_text), options.encoding);
  author.input = convert_sources(author.sources);
  return author;
}

AuthorCompilation compile_author_sources(const AuthorSources& author, bool keep_going, const std::string& directory) {
  AuthorCompilation compilation;
  compilation.state.program_directory = directory;
  compilation.outcome = compile_pair(compilation.state, author.sources, author.names, keep_going);
  return compilation;
}

void tell_errors_after_the_first(const AuthorSources& author) {
  const AuthorCompilation checked = compile_author_sources(author, /*keep_going=*/true);
  if (const std::size_t found = checked.state.diagnostics.errors(); found > 1)
    std::cerr << "scenario: " << counted(found - 1, "more error") << " after this one: scenario check lists them all\n";
}
