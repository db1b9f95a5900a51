#pragma once

#include "compiler/source_files.h"
#include "scenario/diagnostics.h"

namespace CLI {
class App;
}

enum class DiagnosticsFormat { Text, Json, Sarif };
enum class ColourUse { Auto, Always, Never };

/// How a command shows its diagnostics.
struct DiagnosticOptions {
  DiagnosticsFormat format = DiagnosticsFormat::Text;
  ColourUse colour = ColourUse::Auto;
  bool no_warnings = false;  // -w: print the errors alone, in every format
};

/// Which diagnostics a printer shows in the text format (the tools' formats have them all).
enum class Shown {
  All,
  FirstErrorAndWarnings,  // of the errors only the first, which stopped the format's reading (compile)
  FirstErrorOnly,         // of the errors only the first, and no warning
};

/// Adds --diagnostics-format and --color to a command.
void add_diagnostic_options(CLI::App* command, DiagnosticOptions& options);

/// Prints diagnostics: for people on standard error (coloured as asked: auto means on a terminal, unless
/// NO_COLOR is set), for tools (JSON lines, a SARIF log) alone on standard output; with `no_warnings`,
/// the errors alone.
void print_diagnostics(const DiagnosticOptions& options, const Sources& sources, const Diagnostics& diagnostics,
                       Shown shown = Shown::All);
