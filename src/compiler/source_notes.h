#pragma once

#include <string>
#include <string_view>

#include "scenario/read_failure.h"

struct RunState;

/// The warnings a reader notes for the author about fields the format passes over: a keyword as the
/// last field of the file, a keyword field taken for a comment, a field that is no keyword (once per
/// line, and not on a line already noted).
class SourceNotes {
 public:
  SourceNotes(RunState& state, SourceKind source) : state_(state), source_(source) {}

  /// The field whose reading reached the end of the file, which is never interpreted.
  void last_field(const std::string& field, SourcePlace place);
  /// A field passed over as a comment because it holds "-".
  void comment(const std::string& field, SourcePlace place);
  /// A field that matched no keyword.
  void unknown(const std::string& field, SourcePlace place);
  /// A line that has had its note: no "no keyword" note follows on it.
  void line_noted(int line) { noted_line_ = line; }

 private:
  RunState& state_;
  SourceKind source_;
  int noted_line_ = 0;
};
