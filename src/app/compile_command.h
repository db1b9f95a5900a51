#pragma once

// What the commands that compile an author's two files share (compile, check, documents): their
// arguments, the line key and train number from the file names, the reading of the files, and the
// report of what the compilation found.

#include <string>

#include "app/source_files.h"

namespace CLI {
class App;
}
struct RunState;
class Diagnostics;

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

/// LINE, SERVICE, --line-key, --train, --input-encoding, --diagnostics-format and --color.
void add_source_arguments(CLI::App* command, CompileCommandOptions& options);

/// Settles the line key and the train number (given, else from the file names) into `key` and `train`,
/// reads the two files into `sources` and readies the text the compiler reads. Returns 0, or the exit
/// status after saying on standard error why it cannot (names that give no key or no train or cannot
/// name the files, a file that cannot be read, a character a UTF-8 file cannot bring over).
/// `writes`: a refusal of the sources ends with "scenario: no file written".
int load_sources(const CompileCommandOptions& options, bool writes, std::string& key, std::string& train,
                 Sources& sources);

/// Prints the diagnostics: for people on standard error, for tools (JSON lines, a SARIF log) alone on
/// standard output. `first_only`: of the errors, only the first (compile), and no warning.
void print_diagnostics(const CompileCommandOptions& options, const Sources& sources, const Diagnostics& diagnostics,
                       bool first_only);

/// After the first error of a compilation that stops there: how many more a check finds, on standard
/// error, when there are more.
void tell_more_errors(const Sources& sources, const std::string& key, const std::string& train);
