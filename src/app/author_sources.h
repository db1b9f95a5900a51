#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/output_plan.h"
#include "compiler/compile_scenario.h"
#include "compiler/source_check.h"
#include "compiler/source_files.h"
#include "platform/status.h"
#include "scenario/diagnostics.h"
#include "scenario/run_state.h"

namespace CLI {
class App;
}

/// How an author's line description and train service are named and read.
struct SourceOptions {
  std::string line_path;
  std::string service_path;
  /// Given on the command line when the file names do not give them; empty otherwise.
  std::string line_key;
  std::string train;
  InputEncoding encoding = InputEncoding::Windows1252;
};

/// Adds LINE, SERVICE, --line-key, --train and --input-encoding to a command.
void add_source_options(CLI::App* command, SourceOptions& options);

/// An author's two files, read and ready to compile.
struct AuthorSources {
  /// The line key and the train number, and the file names when they gave the key (compared for the
  /// warning of file_names_differ).
  PairNames names;
  Sources sources;
  /// Errors of the input itself (a character a UTF-8 file has that Windows-1252 cannot hold): nothing can
  /// be compiled then.
  Diagnostics input;
};

/// The two sources as a run's inputs, with their roles.
std::vector<RunFile> source_inputs(const SourceOptions& options);

/// Names the sources (from the file names, or the options) and reads them, converted to the text the
/// compiler reads. Refused: names the files do not give and no option gives, or names that cannot name
/// the scenario's files (InvalidArgument); a file that cannot be read, is not a regular file or is
/// larger than kSourceReadLimit (IOError).
Result<AuthorSources> read_author_sources(const SourceOptions& options);

/// A compilation of the author's sources (compile_pair): the format's own (what compile writes), or
/// reading on after each refusal (check, as the language server checks too).
struct AuthorCompilation {
  RunState state;
  CompileOutcome outcome;
};
AuthorCompilation compile_author_sources(const AuthorSources& author, bool keep_going,
                                         const std::string& directory = ".");

/// After the first error of a compilation that stops there (compile, documents): says on standard error
/// how many more a check, which reads on, finds, when it finds more.
void tell_errors_after_the_first(const AuthorSources& author);
