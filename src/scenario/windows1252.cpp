#include "scenario/windows1252.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace {

/// The characters of bytes 0x80 to 0x9F; 0 where the code page leaves the byte undefined.
constexpr std::array<char32_t, 32> kHighRow{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

[[noreturn]] void malformed(std::size_t offset) {
  throw std::invalid_argument("malformed UTF-8 at byte " + std::to_string(offset));
}

/// Decodes the character that starts at `index` and moves `index` past it. Only the shortest form
/// of each code point is accepted; surrogates and values past U+10FFFF are malformed.
char32_t decode(std::string_view text, std::size_t& index) {
  const std::size_t start = index;
  const auto lead = static_cast<uint8_t>(text[index++]);
  if (lead < 0x80) return lead;

  int extra = 0;
  char32_t value = 0;
  uint8_t low = 0x80;   // bounds of the first continuation byte
  uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    malformed(start);
  }

  for (int k = 0; k < extra; ++k) {
    if (index >= text.size()) malformed(start);
    const auto next = static_cast<uint8_t>(text[index]);
    if (next < low || next > high) malformed(start);
    low = 0x80;
    high = 0xBF;
    value = (value << 6) | (next & 0x3F);
    ++index;
  }
  return value;
}

char encode(char32_t value, std::size_t offset) {
  if (value < 0x80 || (value >= 0xA0 && value <= 0xFF)) return static_cast<char>(value);
  for (std::size_t k = 0; k < kHighRow.size(); ++k)
    if (kHighRow[k] == value) return static_cast<char>(0x80 + k);
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(value));
  throw std::invalid_argument(std::string("no Windows-1252 form for ") + name + " at byte " +
                              std::to_string(offset));
}

void append_utf8(std::string& out, char32_t value) {
  if (value < 0x80) {
    out += static_cast<char>(value);
  } else if (value < 0x800) {
    out += static_cast<char>(0xC0 | (value >> 6));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (value >> 12));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  }
}

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

std::string windows1252_to_utf8(std::string_view bytes) {
  std::string utf8;
  utf8.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<uint8_t>(c);
    char32_t value = byte;
    if (byte >= 0x80 && byte < 0xA0) value = kHighRow[byte - 0x80] != 0 ? kHighRow[byte - 0x80] : kReplacement;
    append_utf8(utf8, value);
  }
  return utf8;
}

std::string utf8_to_windows1252(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(utf8.size());
  std::size_t index = 0;
  while (index < utf8.size()) {
    const std::size_t start = index;
    bytes.push_back(encode(decode(utf8, index), start));
  }
  return bytes;
}
