#pragma once

#include <string>
#include <string_view>

#include "compiler/source_files.h"
#include "scenario/diagnostics.h"

/// The diagnostics of a compilation as a compiler prints them for people:
///   "FILE:LINE:COL: error E<code>: <message> (at <position> m, cell <n>): <detail>" or "... warning: ...",
/// then the source line and a caret under the field, and each related place as a note. The line is
/// shown as the terminal shows text (Windows-1252 converted to UTF-8), control characters escaped as
/// \xNN, tabs kept so that the caret lines up, a long line as a window around the caret. An error
/// without a place names the file it concerns. With colour, the parts are coloured as compilers do.
class DiagnosticPrinter {
 public:
  DiagnosticPrinter(const Sources& sources, bool colour = false);

  /// `diagnostic` with its places in the compiled texts (they are moved to the files here).
  std::string format(const Diagnostic& diagnostic) const;
  /// One line for what the sink only counted: "... and N more ...".
  std::string format(const Omitted& omitted) const;

 private:
  std::string quote(const SourcePlace& place) const;
  std::string located(const std::string& where, const char* colour, const std::string& label,
                      const std::string& text) const;

  const Sources& sources_;
  bool colour_;
};
