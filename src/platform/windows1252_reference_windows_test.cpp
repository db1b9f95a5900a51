#include <algorithm>
#include <optional>

#include "platform/windows1252_reference_test.h"
#include "platform/windows_system.h"

// The system gives the five places the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) the
// control characters of the same value; the program reads those bytes as U+FFFD and gives those characters
// no byte, so the reference does too.

namespace {

constexpr UINT kCodePage = 1252;

bool undefined_place(unsigned value) {
  return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

/// The length of the UTF-8 sequence a lead byte begins (1 for a byte that begins none).
std::size_t sequence_length(unsigned char lead) {
  if (lead < 0xC0) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

/// One character of UTF-8 at `offset` as UTF-16, or nothing when it is malformed (as the system judges).
std::optional<std::wstring> character_at(std::string_view utf8, std::size_t offset, std::size_t& length) {
  length = std::min(sequence_length(static_cast<unsigned char>(utf8[offset])), utf8.size() - offset);
  wchar_t wide[2];
  const int got =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data() + offset, static_cast<int>(length), wide, 2);
  if (got <= 0) return std::nullopt;
  return std::wstring(wide, static_cast<std::size_t>(got));
}

/// The byte of one character, or nothing when the code page has none.
std::optional<char> byte_of(const std::wstring& character) {
  if (character.size() == 1 && undefined_place(character[0])) return std::nullopt;
  char byte[4];
  BOOL defaulted = FALSE;
  const int got = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, character.data(),
                                      static_cast<int>(character.size()), byte, sizeof byte, nullptr, &defaulted);
  if (got != 1 || defaulted) return std::nullopt;
  return byte[0];
}

}  // namespace

std::string system_windows1252_to_utf8(std::string_view bytes) {
  std::string utf8;
  for (const char byte : bytes) {
    if (undefined_place(static_cast<unsigned char>(byte))) {
      utf8 += "\xEF\xBF\xBD";
      continue;
    }
    wchar_t wide = 0;
    if (MultiByteToWideChar(kCodePage, 0, &byte, 1, &wide, 1) == 1)
      utf8 += windows_system::narrow(std::wstring(1, wide));
  }
  return utf8;
}

Windows1252Text system_to_windows1252(std::string_view utf8) {
  Windows1252Text converted;
  for (std::size_t offset = 0; offset < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[offset]);
    if (lead < 0x80) {
      converted.text += static_cast<char>(lead);
      ++offset;
      continue;
    }
    std::size_t length = 0;
    const auto character = character_at(utf8, offset, length);
    const auto byte = character ? byte_of(*character) : std::nullopt;
    if (!byte) {
      Windows1252Refusal refusal;
      refusal.offset = offset;
      refusal.length = utf8_character_length(utf8, offset);
      if (character) {
        unsigned value = (*character)[0];
        if (character->size() == 2) value = 0x10000 + ((value - 0xD800) << 10) + ((*character)[1] - 0xDC00);
        refusal.character = static_cast<char32_t>(value);
      }
      converted.refusal = refusal;
      return converted;
    }
    converted.text += *byte;
    offset += length;
  }
  return converted;
}
