#pragma once

#include "compiler/source_files.h"
#include "lsp/protocol.h"
#include "lsp/text_positions.h"
#include "scenario/source_place.h"

/// A source as both the compiler and the editor see it: converts between places in its compiled text
/// (Windows-1252, byte columns) and positions of the protocol in the file's text. An open document's
/// text is UTF-8; a file read from disk is Windows-1252. The source file must outlive the view.
class SourceView {
 public:
  SourceView(const SourceFile& file, protocol::PositionEncoding encoding);

  /// The position of a place of the compiled text.
  protocol::Position position(SourcePlace compiled) const;
  /// The range of the field that starts at a place of the compiled text (see field_end_column).
  protocol::Range field_range(SourcePlace compiled) const;
  /// The range from one place of the compiled text to another.
  protocol::Range range(SourcePlace from, SourcePlace to) const;
  /// The place of the compiled text at a position (the character that holds it).
  SourcePlace compiled_place(protocol::Position position, SourceKind source) const;
  /// The text of a 1-based line of the file.
  std::string_view file_line(int line) const { return lines_.line(line); }
  /// Between positions and places of the file's text (1-based line, byte column).
  protocol::Position file_position(int line, int byte_column) const {
    return lines_.position(line, byte_column, encoding_);
  }
  std::pair<int, int> file_place(protocol::Position position) const { return lines_.byte_place(position, encoding_); }

 private:
  const SourceFile& file_;
  TextLines lines_;
  protocol::PositionEncoding encoding_;
};
