#pragma once

#include <string>

#include "scenario/read_failure.h"

struct RunState;
struct SourceWarning;

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

/// The error code left in the run state, as a compiler reports it:
/// "FILE:LINE:COL: error E<code>: <meaning> (at <position> m, cell <n>)", then the source line and a
/// caret under the field. An error without a place names the file it concerns and no line.
std::string format_error(const RunState& state, const Sources& sources);

/// A warning, in the same form: "FILE:LINE:COL: warning: <message>", the line and the caret.
std::string format_warning(const SourceWarning& warning, const Sources& sources);
