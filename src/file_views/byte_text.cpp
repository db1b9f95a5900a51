#include "file_views/byte_text.h"

#include <cstdio>

void append_byte_character(std::string& out, unsigned char byte) {
  if (byte < 0x80) {
    out.push_back(static_cast<char>(byte));
  } else {
    out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
    out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
  }
}

std::string quoted_text(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += c;
    } else if ((byte >= 0x20 && byte < 0x7F) || byte >= 0xA0) {
      append_byte_character(out, byte);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    }
  }
  return out + "\"";
}

std::string text_to_json(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) append_byte_character(out, static_cast<unsigned char>(c));
  return out;
}
