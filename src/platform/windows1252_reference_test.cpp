#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/windows1252.h"
#include "platform/windows1252_reference_test.h"

// The built-in code page against the system's conversions, exhaustively where that is cheap: every byte,
// every code point encoded in UTF-8, every sequence of two bytes, and the sequences of three and four bytes
// built from every lead byte and the bytes at the edges of UTF-8's ranges.

namespace {

std::string hex(std::string_view bytes) {
  std::string out;
  char digits[4];
  for (const char byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02X ", static_cast<unsigned char>(byte));
    out += digits;
  }
  return out;
}

std::string described(const Windows1252Text& converted) {
  std::string out = "text " + hex(converted.text);
  if (converted.refusal) {
    const Windows1252Refusal& refusal = *converted.refusal;
    out += "refused at " + std::to_string(refusal.offset) + " length " + std::to_string(refusal.length) + ": " +
           refusal.reason();
  }
  return out;
}

/// True when the text holds a tag character (U+E0000 to U+E007F: F3 A0 80..81 80..BF). The C library's
/// iconv drops those without a word where the target lacks them; the program refuses them like any other
/// character the code page lacks, as the Windows system does (nothing is ever dropped). The comparisons
/// leave such texts out; RefusesTheTagCharactersTheCLibraryDrops checks them.
bool holds_tag_character(std::string_view utf8) {
  for (std::size_t at = 0; at + 3 < utf8.size(); ++at) {
    const auto byte = [&](std::size_t n) { return static_cast<unsigned char>(utf8[at + n]); };
    if (byte(0) == 0xF3 && byte(1) == 0xA0 && (byte(2) == 0x80 || byte(2) == 0x81) && (byte(3) & 0xC0) == 0x80)
      return true;
  }
  return false;
}

/// Compares the two conversions of many texts, reporting the first few that differ and how many did.
class Comparison {
 public:
  void compare(std::string_view utf8) {
    if (holds_tag_character(utf8)) return;
    const Windows1252Text built_in = to_windows1252(utf8);
    const Windows1252Text system = system_to_windows1252(utf8);
    const bool same = built_in.text == system.text && built_in.refusal.has_value() == system.refusal.has_value() &&
                      (!built_in.refusal || (built_in.refusal->offset == system.refusal->offset &&
                                             built_in.refusal->length == system.refusal->length &&
                                             built_in.refusal->character == system.refusal->character));
    ++compared_;
    if (same) return;
    if (++differing_ <= 10)
      ADD_FAILURE() << "UTF-8 " << hex(utf8) << "\n  built in: " << described(built_in)
                    << "\n  system:   " << described(system);
  }
  ~Comparison() {
    EXPECT_EQ(differing_, 0u) << "of " << compared_ << " texts";
    EXPECT_GT(compared_, 0u);
  }

 private:
  std::size_t compared_ = 0;
  std::size_t differing_ = 0;
};

/// A code point's UTF-8 form, surrogates included (as a careless encoder writes them).
std::string encoded(char32_t code) {
  std::string out;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

/// `text` between two letters (built by appending: GCC 12 warns wrongly about `"a" + text` here).
std::string between_letters(std::string_view text) {
  std::string out = "a";
  out += text;
  out += 'z';
  return out;
}

TEST(Windows1252AgainstTheSystem, EveryByteReadsAsTheSystemReadsIt) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(windows1252_to_utf8(one), system_windows1252_to_utf8(one)) << "byte " << byte;
    all += one;
  }
  EXPECT_EQ(windows1252_to_utf8(all), system_windows1252_to_utf8(all));
}

TEST(Windows1252AgainstTheSystem, EveryCodePointConvertsAsTheSystemConvertsIt) {
  Comparison comparison;
  for (char32_t code = 0; code <= 0x10FFFF; ++code) comparison.compare(between_letters(encoded(code)));
  // Beyond the last code point, in the forms UTF-8 once allowed.
  for (const char* beyond :
       {"\xF4\x90\x80\x80", "\xF7\xBF\xBF\xBF", "\xF8\x88\x80\x80\x80", "\xFC\x84\x80\x80\x80\x80"})
    comparison.compare(between_letters(beyond));
}

TEST(Windows1252AgainstTheSystem, RefusesTheTagCharactersTheCLibraryDrops) {
  for (char32_t code = 0xE0000; code <= 0xE007F; ++code) {
    const Windows1252Text converted = to_windows1252(between_letters(encoded(code)));
    EXPECT_EQ(converted.text, "a");
    ASSERT_TRUE(converted.refusal.has_value());
    EXPECT_EQ(converted.refusal->offset, 1u);
    EXPECT_EQ(converted.refusal->length, 4u);
    EXPECT_EQ(converted.refusal->character, code);
  }
}

TEST(Windows1252AgainstTheSystem, MalformedSequencesAreRefusedAsTheSystemRefusesThem) {
  Comparison comparison;
  // Every sequence of two bytes, alone (a sequence cut off at the end) and before more text.
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const std::string pair{static_cast<char>(first), static_cast<char>(second)};
      comparison.compare(pair);
      comparison.compare(pair + "z");
    }
  }
  // Every lead byte before the bytes at the edges of the ranges UTF-8 gives its second and later bytes.
  const std::array<unsigned char, 18> edges = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF,
                                               0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xEF, 0xF0, 0xF4, 0xFF};
  for (int lead = 0; lead < 256; ++lead) {
    for (const unsigned char second : edges) {
      for (const unsigned char third : edges) {
        const std::string three{static_cast<char>(lead), static_cast<char>(second), static_cast<char>(third)};
        comparison.compare(three);
        for (const unsigned char fourth : edges) comparison.compare(three + static_cast<char>(fourth) + "z");
      }
    }
  }
}

}  // namespace
