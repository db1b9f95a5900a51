#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/diagnostics.h"
#include "scenario/source_place.h"

/// A source file of a compilation: the name to show and its text.
struct SourceFile {
  std::string name;
  std::string text;
};

/// The two sources of a compilation.
struct Sources {
  SourceFile line;
  SourceFile service;
  const SourceFile& of(SourceKind kind) const { return kind == SourceKind::Line ? line : service; }
};

/// The diagnostics of a compilation as a compiler prints them:
///   "FILE:LINE:COL: error E<code>: <message> (at <position> m, cell <n>)" or "FILE:LINE:COL: warning: ...",
/// then the source line and a caret under the field (tabs kept so that the caret lines up; a long line
/// shown as a window around the caret). An error without a place names the file it concerns.
class DiagnosticPrinter {
 public:
  explicit DiagnosticPrinter(const Sources& sources);

  std::string format(const Diagnostic& diagnostic) const;
  /// One line for what the sink only counted: "... and N more ...".
  std::string format(const Omitted& omitted) const;

 private:
  /// The text of a 1-based line of a source, without its line end.
  std::string_view line_text(SourceKind source, int line) const;
  std::string quote(const SourcePlace& place) const;

  const Sources& sources_;
  std::vector<std::size_t> line_starts_[2];  // by SourceKind, built once
};
