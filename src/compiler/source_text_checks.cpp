#include "compiler/source_text_checks.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "platform/windows1252.h"
#include "scenario/run_state.h"

namespace {

bool is_continuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

/// The length of a well-formed UTF-8 sequence of two or more bytes at `at`, or 0.
std::size_t utf8_sequence(std::string_view text, std::size_t at) {
  const auto lead = static_cast<uint8_t>(text[at]);
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k)
    if (!is_continuation(static_cast<uint8_t>(text[at + k]))) return 0;
  return length;
}

bool undefined_in_windows1252(uint8_t byte) {
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

bool is_control(uint8_t byte) { return (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || byte == 0x7F; }

std::string hex(uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

/// The word around `at`, as far as blanks, commas and line ends.
std::string_view word_at(std::string_view text, std::size_t at) {
  std::size_t start = at;
  while (start > 0 && text[start - 1] != ' ' && text[start - 1] != ',' && text[start - 1] != '\n' &&
         text[start - 1] != '\r' && text[start - 1] != '\t' && at - start < 40)
    --start;
  std::size_t end = at;
  while (end < text.size() && text[end] != ' ' && text[end] != ',' && text[end] != '\n' && text[end] != '\r' &&
         text[end] != '\t' && end - at < 40)
    ++end;
  return text.substr(start, end - start);
}

}  // namespace

void check_source_text(RunState& state, std::string_view text, SourceKind source) {
  const std::string name = source == SourceKind::Line ? "the line description" : "the train service";
  int line = 1;
  std::size_t line_start = 0;
  int noted_line = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<uint8_t>(text[at]);
    if (byte == '\n' || (byte == '\r' && (at + 1 >= text.size() || text[at + 1] != '\n'))) {
      ++line;
      line_start = at + 1;
      continue;
    }
    if (byte == 0) {
      warn(state, WarningKind::SourceNotRead, {source, line, static_cast<int>(at - line_start) + 1},
           name + " holds a NUL byte: it is not a text file, and the format reads it as one long field");
      return;
    }
    if (line == noted_line || !(byte >= 0x80 || is_control(byte))) continue;
    const SourcePlace place{source, line, static_cast<int>(at - line_start) + 1};
    if (const std::size_t length = utf8_sequence(text, at); length > 0) {
      noted_line = line;
      const std::string_view word = word_at(text, at);
      std::string meant;
      try {
        meant = utf8_to_windows1252(word);
      } catch (const std::invalid_argument&) {
        meant.clear();
      }
      std::string message = "\"";
      message.append(word).append("\" is UTF-8, not Windows-1252 text: the simulator shows it as it reads here");
      if (!meant.empty()) message.append(", not as \"").append(meant).append("\"");
      message.append("; save the file as Windows-1252, or give --input-encoding utf-8");
      warn(state, WarningKind::NotWindows1252, place, std::move(message));
      at += length - 1;
    } else if (undefined_in_windows1252(byte)) {
      noted_line = line;
      warn(state, WarningKind::NotWindows1252, place,
           "byte " + hex(byte) + " is no character of Windows-1252: the simulator shows no letter for it");
    } else if (is_control(byte)) {
      noted_line = line;
      warn(state, WarningKind::NotWindows1252, place, "control byte " + hex(byte) + " in the text");
    }
  }
}
