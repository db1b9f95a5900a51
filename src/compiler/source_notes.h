#pragma once

#include <string>
#include <string_view>

#include "compiler/keywords.h"
#include "scenario/read_failure.h"

struct RunState;

/// The warnings a reader notes for the author about fields the format passes over: a keyword as the
/// last field of the file, a keyword field taken for a comment, a field that is no keyword (once per
/// line, and not on a line already noted).
class SourceNotes {
 public:
  SourceNotes(RunState& state, SourceKind source)
      : state_(state),
        source_(source),
        part_(source == SourceKind::Line ? KeywordPlace::LineGeneral : KeywordPlace::Service) {}

  /// The part of the source being read, whose keywords an entry's field may hold.
  void reading(KeywordPlace part) { part_ = part; }
  /// The field whose reading reached the end of the file, which is never interpreted: noted when it is a
  /// keyword of the part being read, whose entry is then lost (an entry whose last value ends the file is
  /// read as usual).
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
  KeywordPlace part_;
  int noted_line_ = 0;
};
