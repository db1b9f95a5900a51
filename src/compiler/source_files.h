#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/diagnostics.h"
#include "scenario/source_place.h"

/// The encoding of an author's source files: Windows-1252, the format's own, or UTF-8 (converted to
/// Windows-1252 before it is compiled).
enum class InputEncoding { Windows1252, Utf8 };

/// A source file of a compilation: the name to show, its text as the file holds it, and the text the
/// compiler reads (the same bytes, or the UTF-8 file in Windows-1252).
struct SourceFile {
  SourceFile() = default;
  /// A file of that name and text, in Windows-1252 (compiled as it is) or in UTF-8 (see make_source).
  SourceFile(std::string name, std::string text, InputEncoding encoding = InputEncoding::Windows1252);

  std::string name;
  std::string text;
  InputEncoding encoding = InputEncoding::Windows1252;
  std::string compiled;

  /// The place in the file of a place in the compiled text (they differ only on lines of a UTF-8 file
  /// that hold characters beyond ASCII).
  SourcePlace in_file(SourcePlace compiled_place) const;
  /// The column of a place of the file as people and tools count it: characters, not bytes (they differ
  /// in a UTF-8 file).
  int character_column(const SourcePlace& file_place) const;
  /// The text of a 1-based line of the file, without its line end ("" beyond the last line).
  std::string_view line(int number) const;

  /// For lines of a UTF-8 file with characters beyond ASCII: the file's byte column of each compiled
  /// column (index 0 for column 1), and one past the end.
  std::map<int, std::vector<int>> columns;
  std::vector<std::size_t> line_starts;  // byte offsets of the file's lines
};

/// The two sources of a compilation.
struct Sources {
  SourceFile line;
  SourceFile service;
  const SourceFile& of(SourceKind kind) const { return kind == SourceKind::Line ? line : service; }
};

/// Converts a UTF-8 source's text to Windows-1252, the text that is compiled. A character that Windows-1252
/// cannot hold, or malformed UTF-8, is an error at its place (returned); the compiled text is then not
/// complete. A byte order mark that opens the file is taken off (the columns still count it). A
/// Windows-1252 source needs nothing.
std::optional<Diagnostic> make_source(SourceFile& source, SourceKind kind);

/// A diagnostic with its places moved from the compiled texts to the files.
Diagnostic in_files(const Diagnostic& diagnostic, const Sources& sources);
