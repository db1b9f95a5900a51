#include "platform/windows1252.h"

#include <array>
#include <cstdio>
#include <stdexcept>

// The code page is built in, the same on every system: a static program on Linux cannot rely on the C
// library's conversion modules (they must come from the very version it was linked with), and the
// system's own conversions on Windows give the five undefined places control characters. The conversions
// give what the C library's iconv (WINDOWS-1252, UTF-8) gives, which the platform tests check
// exhaustively on Linux, and what the Windows system's code page 1252 gives, checked so on Windows.

namespace {

/// The characters of the bytes 0x80 to 0x9F; 0 where the code page leaves the byte undefined.
constexpr std::array<char16_t, 32> kRow80 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

constexpr char32_t kReplacementCharacter = 0xFFFD;

/// The character of a Windows-1252 byte: itself below 0x80 and from 0xA0 on, the row's in between.
char32_t character_of(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  const char16_t character = kRow80[byte - 0x80];
  return character != 0 ? character : kReplacementCharacter;
}

/// The byte of a character, or none when the code page has none.
std::optional<unsigned char> byte_of(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return static_cast<unsigned char>(character);
  for (std::size_t k = 0; k < kRow80.size(); ++k)
    if (kRow80[k] != 0 && kRow80[k] == character) return static_cast<unsigned char>(0x80 + k);
  return std::nullopt;
}

void append_utf8(std::string& out, char32_t character) {
  if (character < 0x80) {
    out += static_cast<char>(character);
  } else if (character < 0x800) {
    out += static_cast<char>(0xC0 | character >> 6);
    out += static_cast<char>(0x80 | (character & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | character >> 12);
    out += static_cast<char>(0x80 | (character >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (character & 0x3F));
  }
}

}  // namespace

std::string windows1252_to_utf8(std::string_view bytes) {
  std::string utf8;
  utf8.reserve(bytes.size());
  for (const char byte : bytes) append_utf8(utf8, character_of(static_cast<unsigned char>(byte)));
  return utf8;
}

Windows1252Text to_windows1252(std::string_view utf8) {
  Windows1252Text converted;
  converted.text.reserve(utf8.size());
  for (std::size_t offset = 0; offset < utf8.size();) {
    const std::optional<char32_t> character = utf8_character_at(utf8, offset);
    const std::optional<unsigned char> byte = character ? byte_of(*character) : std::nullopt;
    if (!byte) {
      Windows1252Refusal refusal;
      refusal.offset = offset;
      refusal.length = utf8_character_length(utf8, offset);
      refusal.character = character;
      converted.refusal = refusal;
      break;
    }
    converted.text += static_cast<char>(*byte);
    offset += utf8_character_length(utf8, offset);
  }
  return converted;
}

// What a text is beside its conversion: a UTF-8 character and its length, the control bytes and how a
// text shows them, and the refusal of a conversion as words.

std::optional<char32_t> utf8_character_at(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t n) { return static_cast<unsigned char>(text[at + n]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return lead;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  char32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong below
    if (lead == 0xED) high = 0x9F;  // the surrogates above
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong below
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF above
  } else {
    return std::nullopt;
  }
  if (text.size() - at < length) return std::nullopt;
  if (byte(1) < low || byte(1) > high) return std::nullopt;
  for (std::size_t n = 1; n < length; ++n) {
    if ((byte(n) & 0xC0) != 0x80) return std::nullopt;
    value = value << 6 | (byte(n) & 0x3F);
  }
  return value;
}

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
