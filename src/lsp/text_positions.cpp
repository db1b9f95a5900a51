#include "lsp/text_positions.h"

#include <algorithm>

#include "lsp/ascii.h"
#include "platform/file_uri.h"
#include "platform/windows1252.h"

namespace {

/// One character of a line: how many bytes it takes in the text, and how many units in the encoding.
struct Character {
  std::size_t bytes;
  int units;
};

Character character_at(std::string_view line, std::size_t at, bool windows1252, protocol::PositionEncoding encoding) {
  if (windows1252) {
    const auto byte = static_cast<unsigned char>(line[at]);
    // Every Windows-1252 character lies in the basic plane: one UTF-16 unit.
    if (encoding == protocol::PositionEncoding::Utf16 || byte < 0x80) return {1, 1};
    return {1, static_cast<int>(windows1252_to_utf8(line.substr(at, 1)).size())};
  }
  const std::size_t length = utf8_character_length(line, at);
  if (encoding == protocol::PositionEncoding::Utf8) return {length, static_cast<int>(length)};
  return {length, length == 4 ? 2 : 1};
}

}  // namespace

protocol::Position TextLines::position(int line_number, int byte_column, protocol::PositionEncoding encoding) const {
  if (line_number < 1) return {0, 0};
  if (line_number > line_count()) {
    line_number = line_count();
    byte_column = static_cast<int>(line(line_number).size()) + 1;
  }
  const std::string_view text = line(line_number);
  const std::size_t until = std::min(text.size(), static_cast<std::size_t>(std::max(byte_column, 1) - 1));
  int units = 0;
  for (std::size_t k = 0; k < until;) {
    const Character c = character_at(text, k, windows1252_, encoding);
    units += c.units;
    k += c.bytes;
  }
  return {line_number - 1, units};
}

std::pair<int, int> TextLines::byte_place(protocol::Position position, protocol::PositionEncoding encoding) const {
  if (position.line < 0) return {1, 1};
  if (position.line >= line_count()) return {line_count(), static_cast<int>(line(line_count()).size()) + 1};
  const int number = position.line + 1;
  const std::string_view text = line(number);
  int units = 0;
  for (std::size_t k = 0; k < text.size();) {
    const Character c = character_at(text, k, windows1252_, encoding);
    if (units + c.units > position.character) return {number, static_cast<int>(k) + 1};
    units += c.units;
    k += c.bytes;
  }
  return {number, static_cast<int>(text.size()) + 1};
}

int field_end_column(std::string_view line, int column) {
  if (column < 1) return 1;
  const auto start = static_cast<std::size_t>(column - 1);
  if (start >= line.size()) return column;
  if (line[start] == '"') {
    const std::size_t close = line.find('"', start + 1);
    return static_cast<int>(close == std::string_view::npos ? line.size() : close + 1) + 1;
  }
  std::size_t end = line.find(',', start);
  if (end == std::string_view::npos) end = line.size();
  while (end > start && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  return static_cast<int>(end) + 1;
}

std::optional<std::string> path_of_uri(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.size() < kScheme.size() || !same_letters(uri.substr(0, kScheme.size()), kScheme)) return std::nullopt;
  uri.remove_prefix(kScheme.size());
  const std::size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view authority = uri.substr(0, slash);
  if (!authority.empty() && !same_letters(authority, "localhost")) return std::nullopt;
  uri.remove_prefix(slash);
  std::string path;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '?' || uri[i] == '#') break;
    if (uri[i] != '%') {
      path += uri[i];
      continue;
    }
    const int high = i + 2 < uri.size() ? hex_digit(uri[i + 1]) : -1;
    const int low = i + 2 < uri.size() ? hex_digit(uri[i + 2]) : -1;
    if (high < 0 || low < 0) return std::nullopt;
    path += static_cast<char>(high * 16 + low);
    i += 2;
  }
  if (path.find('\0') != std::string::npos) return std::nullopt;
  return system_path_of_uri_path(path);
}

std::string uri_of_path(std::string_view system_path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (const char c : uri_path_of_system_path(std::string(system_path))) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0xF];
    }
  }
  return uri;
}
