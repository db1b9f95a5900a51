#pragma once

// Places as the editor counts them. The compiler counts a column in bytes of the Windows-1252 text it
// reads (1-based); the protocol counts a position from 0, its character in UTF-16 code units or, when
// the editor agrees to it, in bytes of UTF-8. A text the editor holds open is UTF-8; a file read from
// disk is Windows-1252, which the editor shows one character per byte.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/line_index.h"
#include "lsp/protocol.h"

/// A text with the index of its lines (the protocol cuts lines as the compiler does), which converts
/// between byte columns and positions. The text and its index must outlive it.
class TextLines {
 public:
  /// `windows1252`: the text is Windows-1252 bytes, else UTF-8.
  TextLines(std::string_view text, const LineIndex& lines, bool windows1252)
      : text_(text), lines_(&lines), windows1252_(windows1252) {}

  /// The number of lines (a text without line ends has one).
  int line_count() const { return lines_->count(); }
  /// The text of a 1-based line without its line end ("" beyond the last line).
  std::string_view line(int number) const { return lines_->line(text_, number); }

  /// The position of a 1-based line and 1-based byte column; a column beyond the line's end stands at
  /// its end, a line beyond the text at the end of the last line.
  protocol::Position position(int line, int byte_column, protocol::PositionEncoding encoding) const;
  /// The 1-based line and byte column of a position; a character beyond the line's end gives the column
  /// just after it, a character inside a character's units the column where that character starts.
  std::pair<int, int> byte_place(protocol::Position position, protocol::PositionEncoding encoding) const;

 private:
  std::string_view text_;
  const LineIndex* lines_;
  bool windows1252_;
};

/// The byte column (1-based) just after the field that starts at `column` of a line: a field in quotes
/// runs to its closing quote, any other to the next comma or the end of the line, without the blanks
/// at its end. A field that holds nothing ends where it starts.
int field_end_column(std::string_view line, int column);

/// The absolute path a "file:" URI names (percent-escapes decoded), or nothing for another URI.
std::optional<std::string> path_of_uri(std::string_view uri);
/// The "file:" URI of an absolute path, every byte other than letters, digits, "-._~/" escaped.
std::string uri_of_path(std::string_view path);
