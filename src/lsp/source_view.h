#pragma once

#include "compiler/source_files.h"
#include "lsp/text_positions.h"
#include "scenario/source_place.h"

/// A source as both the compiler and the editor see it: converts between places in its compiled text
/// (Windows-1252, byte columns) and positions of the protocol in the file's text. An open document's
/// text is UTF-8; a file read from disk is Windows-1252. The source file must outlive the view.
class SourceView {
 public:
  SourceView(const SourceFile& file, PositionEncoding encoding);

  /// The position of a place of the compiled text.
  TextPosition position(SourcePlace compiled) const;
  /// The range of the field that starts at a place of the compiled text (see field_end_column).
  TextRange field_range(SourcePlace compiled) const;
  /// The range from one place of the compiled text to another.
  TextRange range(SourcePlace from, SourcePlace to) const;
  /// The place of the compiled text at a position (the character that holds it).
  SourcePlace compiled_place(TextPosition position, SourceKind source) const;
  /// The text of a 1-based line of the file.
  std::string_view file_line(int line) const { return lines_.line(line); }
  /// Between positions and places of the file's text (1-based line, byte column).
  TextPosition file_position(int line, int byte_column) const { return lines_.position(line, byte_column, encoding_); }
  std::pair<int, int> file_place(TextPosition position) const { return lines_.byte_place(position, encoding_); }

 private:
  const SourceFile& file_;
  TextLines lines_;
  PositionEncoding encoding_;
};
