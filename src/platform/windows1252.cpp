#include "platform/windows1252.h"

#include <cstdio>

// What does not depend on the system: the control bytes and how a text shows them.

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
