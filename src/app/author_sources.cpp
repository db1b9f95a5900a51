#include "app/author_sources.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <map>

#include "app/exit_status.h"
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

int refuse(const std::string& message, int status) {
  std::cerr << "scenario: error: " << message << "\n";
  return status;
}

/// A file read as one of the two sources: a regular file of at most kSourceReadLimit bytes.
std::optional<std::string> read_source(const std::string& path, std::string& failure) {
  try {
    return read_file(path, kSourceReadLimit);
  } catch (const FileError& file_failure) {
    failure = "cannot read " + file_failure.path() + ": " + file_failure.reason();
    return std::nullopt;
  }
}

}  // namespace

void add_source_options(CLI::App* command, SourceOptions& options) {
  command->add_option("LINE", options.line_path, "Line description (K_linea.txt)")->required();
  command->add_option("SERVICE", options.service_path, "Train service (K_N-.txt)")->required();
  command->add_option("--line-key", options.line_key, "Line key, when the file names do not give it");
  command->add_option("--train", options.train, "Train number, when the file name does not give it");
  command->add_option("--input-encoding", options.encoding,
                      "Encoding of the two files: windows-1252 (the format's own) or utf-8 (converted)")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, InputEncoding>{{"windows-1252", InputEncoding::Windows1252},
                                               {"utf-8", InputEncoding::Utf8}},
          CLI::ignore_case));
}

std::variant<AuthorSources, int> read_author_sources(const SourceOptions& options) {
  AuthorSources author;
  std::string& key = author.names.line_key;
  std::string& train = author.names.train_number;
  key = options.line_key;
  train = options.train;
  const auto line_name = parsed_as(options.line_path, ScenarioFile::LineSource);
  const auto service_name = parsed_as(options.service_path, ScenarioFile::ServiceSource);
  if (key.empty() && line_name) key = line_name->line_key;
  if (key.empty() && service_name) key = service_name->line_key;
  if (train.empty() && service_name) train = service_name->train_number;
  if (key.empty())
    return refuse("cannot tell the line key from the file names (they are not K_linea.txt and K_N-.txt): "
                  "give --line-key",
                  kExitUsage);
  if (train.empty())
    return refuse("cannot tell the train number from the file name " + file_name(options.service_path) +
                      " (it is not K_N-.txt): give --train",
                  kExitUsage);
  if (const std::string problem = names_problem(key, train); !problem.empty())
    return refuse("the line key \"" + key.substr(0, 60) + "\" and the train number \"" + train.substr(0, 60) +
                      "\" cannot name the scenario's files: " + problem,
                  kExitUsage);
  if (options.line_key.empty()) {
    author.names.line_file = line_name;
    author.names.service_file = service_name;
  }

  // The author's files are only read; the compiler works on copies.
  std::string failure;
  const auto line_text = read_source(options.line_path, failure);
  if (!line_text) return refuse(failure, kExitFileFailure);
  const auto service_text = read_source(options.service_path, failure);
  if (!service_text) return refuse(failure, kExitFileFailure);
  author.sources.line = SourceFile(options.line_path, *line_text, options.encoding);
  author.sources.service = SourceFile(options.service_path, *service_text, options.encoding);
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
