#include "compiler/source_files.h"

#include <stdexcept>
#include <utility>

#include "platform/windows1252.h"

namespace {

std::vector<std::size_t> line_starts_of(std::string_view text) {
  std::vector<std::size_t> starts{0};
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
      starts.push_back(i + 1);
  return starts;
}

bool is_ascii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

/// The byte offset named in the converter's refusal ("... at byte N").
std::size_t offset_in(const std::invalid_argument& refusal) {
  const std::string what = refusal.what();
  const auto at = what.rfind("at byte ");
  return at == std::string::npos ? 0 : std::stoul(what.substr(at + 8));
}

}  // namespace

SourceFile::SourceFile(std::string name, std::string text, InputEncoding encoding)
    : name(std::move(name)), text(std::move(text)), encoding(encoding), line_starts(line_starts_of(this->text)) {
  if (encoding == InputEncoding::Windows1252) compiled = this->text;
}

std::string_view SourceFile::line(int number) const {
  if (number < 1 || static_cast<std::size_t>(number) > line_starts.size()) return {};
  const std::size_t start = line_starts[static_cast<std::size_t>(number - 1)];
  std::size_t end = start;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
  return std::string_view(text).substr(start, end - start);
}

int SourceFile::character_column(const SourcePlace& file_place) const {
  if (encoding == InputEncoding::Windows1252) return file_place.column;
  const std::string_view text = line(file_place.line);
  int column = 1;
  for (std::size_t k = 0; k + 1 < static_cast<std::size_t>(file_place.column) && k < text.size(); ++k)
    if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) ++column;
  return column;
}

SourcePlace SourceFile::in_file(SourcePlace compiled_place) const {
  const auto found = columns.find(compiled_place.line);
  if (found == columns.end() || compiled_place.column < 1) return compiled_place;
  const std::vector<int>& map = found->second;
  const auto index = static_cast<std::size_t>(compiled_place.column - 1);
  compiled_place.column = index < map.size() ? map[index] : map.back();
  return compiled_place;
}

std::optional<Diagnostic> make_source(SourceFile& source, SourceKind kind) {
  if (source.encoding == InputEncoding::Windows1252) return std::nullopt;
  source.compiled.clear();
  source.compiled.reserve(source.text.size());
  for (std::size_t n = 0; n < source.line_starts.size(); ++n) {
    const std::size_t start = source.line_starts[n];
    const std::size_t end = n + 1 < source.line_starts.size() ? source.line_starts[n + 1] : source.text.size();
    std::string_view line = std::string_view(source.text).substr(start, end - start);
    // A byte order mark opens many UTF-8 files written on Windows: it is no character of the text, so it
    // is taken off, and the columns of the first line still count its three bytes.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    const std::size_t skipped = n == 0 && line.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    line.remove_prefix(skipped);
    if (skipped == 0 && is_ascii(line)) {
      source.compiled += line;
      continue;
    }
    std::string converted;
    try {
      converted = utf8_to_windows1252(line);
    } catch (const std::invalid_argument& refusal) {
      Diagnostic error;
      error.severity = Severity::Error;
      error.place = SourcePlace{kind, static_cast<int>(n + 1), static_cast<int>(skipped + offset_in(refusal)) + 1};
      error.message = "a character the scenario's files cannot hold";
      const std::string what = refusal.what();
      const auto code = what.find("U+");
      error.detail = code == std::string::npos
                         ? "malformed UTF-8"
                         : what.substr(code, what.find(' ', code) - code) + " has no byte in Windows-1252, the code page of "
                                                                             "the simulator's files";
      return error;
    }
    // Each converted byte is one character of the line: its column in the file is where that character
    // starts.
    std::vector<int> map;
    for (std::size_t k = 0; k < line.size(); ++k)
      if ((static_cast<unsigned char>(line[k]) & 0xC0) != 0x80) map.push_back(static_cast<int>(skipped + k) + 1);
    map.push_back(static_cast<int>(skipped + line.size()) + 1);
    source.columns.emplace(static_cast<int>(n + 1), std::move(map));
    source.compiled += converted;
  }
  return std::nullopt;
}

Diagnostic in_files(const Diagnostic& diagnostic, const Sources& sources) {
  Diagnostic moved = diagnostic;
  if (moved.place) moved.place = sources.of(moved.place->source).in_file(*moved.place);
  for (RelatedPlace& related : moved.related) related.place = sources.of(related.place.source).in_file(related.place);
  return moved;
}
