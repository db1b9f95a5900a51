#include "compiler/source_files.h"

#include <utility>

#include "platform/windows1252.h"

namespace {

const std::string& empty_text() {
  static const std::string empty;
  return empty;
}

bool is_ascii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

/// The substitute of a refused character in the compiled text: one byte, as the character would have been.
constexpr char kSubstitute = '?';

}  // namespace

SourceFile::SourceFile(std::string name, std::string text, InputEncoding encoding)
    : SourceFile(std::move(name), std::make_shared<const std::string>(std::move(text)), encoding) {}

SourceFile::SourceFile(std::string name, std::shared_ptr<const std::string> text, InputEncoding encoding)
    : name(std::move(name)),
      encoding(encoding),
      text_(text ? std::move(text) : std::make_shared<const std::string>()),
      lines_(std::make_shared<const LineIndex>(*text_)) {
  if (encoding == InputEncoding::Windows1252) compiled_ = text_;
}

const std::string& SourceFile::text() const { return text_ ? *text_ : empty_text(); }
const std::string& SourceFile::compiled() const { return compiled_ ? *compiled_ : empty_text(); }

const LineIndex& SourceFile::lines() const {
  static const LineIndex one_empty_line;
  return lines_ ? *lines_ : one_empty_line;
}

SourcePlace SourceFile::in_file(SourcePlace compiled_place) const {
  if (encoding == InputEncoding::Windows1252 || compiled_place.column < 1) return compiled_place;
  const std::string_view text = line(compiled_place.line);
  std::size_t byte = 0;
  for (int column = 1; column < compiled_place.column && byte < text.size(); ++column)
    byte += utf8_character_length(text, byte);
  compiled_place.column = static_cast<int>(byte) + 1;
  return compiled_place;
}

SourcePlace SourceFile::in_compiled(SourcePlace file_place) const {
  if (encoding == InputEncoding::Windows1252 || file_place.column < 1) return file_place;
  const std::string_view text = line(file_place.line);
  const auto wanted = static_cast<std::size_t>(file_place.column - 1);
  int column = 1;
  for (std::size_t byte = 0; byte < text.size();) {
    const std::size_t next = byte + utf8_character_length(text, byte);
    if (next > wanted) break;
    byte = next;
    ++column;
  }
  file_place.column = column;
  return file_place;
}

int SourceFile::character_column(const SourcePlace& file_place) const { return in_compiled(file_place).column; }

bool make_source(SourceFile& source, SourceKind kind, Diagnostics& errors) {
  if (source.encoding == InputEncoding::Windows1252) return true;
  const std::string& text = source.text();
  if (is_ascii(text)) {
    source.compiled_ = source.text_;
    return true;
  }
  auto compiled = std::make_shared<std::string>();
  compiled->reserve(text.size());
  bool whole = true;
  for (std::size_t offset = 0; offset < text.size();) {
    Windows1252Text converted = to_windows1252(std::string_view(text).substr(offset));
    *compiled += converted.text;
    if (!converted.refusal) break;
    whole = false;
    const std::size_t at = offset + converted.refusal->offset;
    const int line = source.lines().line_of(at);
    const SourcePlace in_file{kind, line, static_cast<int>(at - source.lines().start(line, text.size())) + 1};
    Diagnostic error;
    error.severity = Severity::Error;
    error.place = source.in_compiled(in_file);
    error.message = "a character the scenario's files cannot hold";
    error.detail = converted.refusal->character
                       ? converted.refusal->reason() + ", the code page of the simulator's files"
                       : converted.refusal->reason();
    errors.add(std::move(error));
    *compiled += kSubstitute;
    offset = at + converted.refusal->length;
  }
  source.compiled_ = std::move(compiled);
  return whole;
}

Diagnostic in_files(const Diagnostic& diagnostic, const Sources& sources) {
  Diagnostic moved = diagnostic;
  if (moved.place) moved.place = sources.of(moved.place->source).in_file(*moved.place);
  for (RelatedPlace& related : moved.related) related.place = sources.of(related.place.source).in_file(related.place);
  return moved;
}
