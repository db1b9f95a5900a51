#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "compiler/line_index.h"
#include "scenario/diagnostics.h"
#include "scenario/source_place.h"

/// The encoding of an author's source files: Windows-1252, the format's own, or UTF-8 (converted to
/// Windows-1252 before it is compiled).
enum class InputEncoding { Windows1252, Utf8 };

/// A source file of a compilation: the name to show, its text as the file holds it with the index of its
/// lines, and the text the compiler reads (the same bytes, or the UTF-8 file in Windows-1252, one byte per
/// character). The file is the one owner of its text: copies of it share the text, and an editor's open
/// document may share its text with it.
///
/// A place of the compiled text (what the compiler's diagnostics hold) and a place of the file differ
/// only in their columns on lines of a UTF-8 file with characters beyond ASCII: a compiled column counts
/// characters (each UTF-8 character, or each malformed byte, is one, see utf8_character_length), a file
/// column bytes. The two are converted from the line's text when asked, so no table is kept.
struct SourceFile {
  SourceFile() = default;
  /// A file of that name and text, in Windows-1252 (compiled as it is) or in UTF-8 (see make_source).
  SourceFile(std::string name, std::string text, InputEncoding encoding = InputEncoding::Windows1252);
  /// The same for a text held elsewhere too, shared rather than copied.
  SourceFile(std::string name, std::shared_ptr<const std::string> text, InputEncoding encoding);

  std::string name;
  InputEncoding encoding = InputEncoding::Windows1252;

  /// The text as the file holds it.
  const std::string& text() const;
  /// The text the compiler reads: the file's own text in Windows-1252; for UTF-8, what make_source made.
  const std::string& compiled() const;
  /// The lines of the file's text.
  const LineIndex& lines() const;
  /// The text of a 1-based line of the file, without its line end ("" beyond the last line).
  std::string_view line(int number) const { return lines().line(text(), number); }

  /// The place in the file of a place in the compiled text; a column beyond its line's end stands just
  /// after the line.
  SourcePlace in_file(SourcePlace compiled_place) const;
  /// The place in the compiled text of a place in the file: the column of the character that holds it.
  SourcePlace in_compiled(SourcePlace file_place) const;
  /// The column of a place of the file as people and tools count it: characters, not bytes (they differ
  /// in a UTF-8 file).
  int character_column(const SourcePlace& file_place) const;

 private:
  friend bool make_source(SourceFile& source, SourceKind kind, Diagnostics& errors);

  std::shared_ptr<const std::string> text_;
  std::shared_ptr<const std::string> compiled_;
  std::shared_ptr<const LineIndex> lines_;
};

/// The two sources of a compilation.
struct Sources {
  SourceFile line;
  SourceFile service;
  const SourceFile& of(SourceKind kind) const { return kind == SourceKind::Line ? line : service; }
};

/// Converts a UTF-8 source's text to Windows-1252, the text that is compiled. Each character that
/// Windows-1252 cannot hold, and each malformed byte, is an error at its place in `errors` (which keeps
/// as many of them as a sink keeps of one kind) and stands in the compiled text as "?", so that its
/// places still match the file's. False when there was such an error: the source must then not be
/// compiled. A Windows-1252 source needs nothing. An all-ASCII UTF-8 text is compiled as it is, shared.
bool make_source(SourceFile& source, SourceKind kind, Diagnostics& errors);

/// A diagnostic with its places moved from the compiled texts to the files.
Diagnostic in_files(const Diagnostic& diagnostic, const Sources& sources);
