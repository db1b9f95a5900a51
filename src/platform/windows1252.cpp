#include "platform/windows1252.h"

#include <cstdio>
#include <stdexcept>

// What does not depend on the system: the control bytes and how a text shows them, the length of a UTF-8
// character, and the refusal of a conversion as words.

std::size_t utf8_character_length(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0x80             ? 1
                             : (lead & 0xE0) == 0xC0 ? 2
                             : (lead & 0xF0) == 0xE0 ? 3
                             : (lead & 0xF8) == 0xF0 ? 4
                                                     : 1;
  for (std::size_t n = 1; n < length; ++n)
    if (at + n >= text.size() || (static_cast<unsigned char>(text[at + n]) & 0xC0) != 0x80) return 1;
  return length;
}

std::string Windows1252Refusal::reason() const {
  if (!character) return "malformed UTF-8";
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(*character));
  return std::string(name) + " has no byte in Windows-1252";
}

std::string utf8_to_windows1252(std::string_view utf8) {
  Windows1252Text converted = to_windows1252(utf8);
  if (converted.refusal)
    throw std::invalid_argument(converted.refusal->reason() + " at byte " + std::to_string(converted.refusal->offset));
  return std::move(converted.text);
}

bool is_control_byte(unsigned char byte) { return (byte < 0x20 && byte != '\t') || byte == 0x7F; }

std::string escaped_byte(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02X", byte);
  return text;
}

std::string shown_text(std::string_view windows1252) {
  std::string out;
  for (const char c : windows1252) {
    const auto byte = static_cast<unsigned char>(c);
    if (is_control_byte(byte) || byte == '\t')
      out += escaped_byte(byte);
    else if (byte < 0x80)
      out += c;
    else
      out += windows1252_to_utf8(std::string_view(&c, 1));
  }
  return out;
}
