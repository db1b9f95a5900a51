#include "platform/windows1252.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

TEST(Windows1252, AsciiPassesUnchanged) {
  std::string ascii;
  for (int c = 0; c < 128; ++c) ascii.push_back(static_cast<char>(c));
  EXPECT_EQ(utf8_to_windows1252(ascii), ascii);
  EXPECT_EQ(utf8_to_windows1252(""), "");
}

TEST(Windows1252, ConvertsEachCharacterToOneByte) {
  struct Case {
    const char* utf8;
    unsigned char byte;
  };
  const Case cases[] = {
      {"à", 224},       {"è", 232},  {"ò", 242},  {"ù", 249},  // the letters of the notes
      {"é", 233},       {"ì", 236},  {"À", 192},  {"È", 200},  // other Italian letters
      {"\u00A0", 0xA0}, {"°", 0xB0}, {"ÿ", 0xFF},              // ends of the Latin-1 row
      {"€", 0x80},      {"‚", 0x82}, {"…", 0x85}, {"Š", 0x8A}, {"Ž", 0x8E}, {"‘", 0x91}, {"’", 0x92}, {"“", 0x93},
      {"”", 0x94},      {"–", 0x96}, {"—", 0x97}, {"™", 0x99}, {"œ", 0x9C}, {"ž", 0x9E}, {"Ÿ", 0x9F},
  };
  for (const auto& c : cases) {
    const std::string converted = utf8_to_windows1252(c.utf8);
    ASSERT_EQ(converted.size(), 1u) << c.utf8;
    EXPECT_EQ(static_cast<unsigned char>(converted[0]), c.byte) << c.utf8;
  }
}

TEST(Windows1252, KeepsTheTextAroundAccentedLetters) {
  EXPECT_EQ(utf8_to_windows1252("più però è là"), "pi\xF9 per\xF2 \xE8 l\xE0");
}

TEST(Windows1252, CharacterWithoutASingleByteFormIsAnError) {
  const char* const cases[] = {
      "Ā",                    // U+0100, just past the Latin-1 row
      "a\u0081",              // a control character whose byte the code page leaves undefined
      "\u2019\u0152x\u20AD",  // U+20AD, next to the euro sign
      "ok \xF0\x9F\x98\x80",  // U+1F600, four bytes
      "\u4E2D",               // a CJK ideograph
  };
  for (const char* text : cases) EXPECT_THROW(utf8_to_windows1252(text), std::invalid_argument) << text;
}

TEST(Windows1252, ARefusalNamesTheCharacterItsOffsetAndItsLengthAsValues) {
  const Windows1252Text converted = to_windows1252("citt\xC3\xA0 \xC4\x80 x");
  EXPECT_EQ(converted.text, "citt\xE0 ");  // what came before the refused character
  ASSERT_TRUE(converted.refusal.has_value());
  EXPECT_EQ(converted.refusal->offset, 7u);
  EXPECT_EQ(converted.refusal->length, 2u);
  EXPECT_EQ(converted.refusal->character, U'\u0100');
  EXPECT_EQ(converted.refusal->reason(), "U+0100 has no byte in Windows-1252");

  const Windows1252Text four = to_windows1252("ok \xF0\x9F\x98\x80!");
  ASSERT_TRUE(four.refusal.has_value());
  EXPECT_EQ(four.refusal->length, 4u);
  EXPECT_EQ(four.refusal->reason(), "U+1F600 has no byte in Windows-1252");

  const Windows1252Text whole = to_windows1252("pi\xC3\xB9");
  EXPECT_FALSE(whole.refusal.has_value());
  EXPECT_EQ(whole.text, "pi\xF9");

  // The wrapper for callers that need no place.
  EXPECT_THROW(utf8_to_windows1252("\xC4\x80"), std::invalid_argument);
  EXPECT_EQ(utf8_to_windows1252("pi\xC3\xB9"), "pi\xF9");
}

TEST(Windows1252, MalformedUtf8IsRefusedOneCharacterAtATime) {
  struct Case {
    const char* text;
    std::size_t offset;
    std::size_t length;  // as a reader of the line counts the malformed character
  };
  const Case cases[] = {
      {"\x80", 0, 1},              // continuation byte without a lead
      {"a\xC3", 1, 1},             // sequence cut short at the end
      {"\xC3(", 0, 1},             // lead followed by a non-continuation byte
      {"\xC0\xAF", 0, 2},          // overlong form of '/'
      {"\xE0\x80\xAF", 0, 3},      // overlong three-byte form
      {"\xED\xA0\x80", 0, 3},      // a surrogate
      {"\xF4\x90\x80\x80", 0, 4},  // past U+10FFFF
      {"\xFF", 0, 1},              // never a lead byte
      {"ab\xE8 c", 2, 1},          // a Windows-1252 byte where UTF-8 is expected
  };
  for (const auto& c : cases) {
    const Windows1252Text converted = to_windows1252(c.text);
    ASSERT_TRUE(converted.refusal.has_value()) << c.text;
    EXPECT_EQ(converted.refusal->offset, c.offset) << c.text;
    EXPECT_EQ(converted.refusal->length, c.length) << c.text;
    EXPECT_FALSE(converted.refusal->character.has_value()) << c.text;
    EXPECT_EQ(converted.refusal->reason(), "malformed UTF-8") << c.text;
  }
}

TEST(Utf8CharacterLength, CountsAMalformedByteAsOneCharacter) {
  const std::string text = "a\xC3\xA0\xE2\x82\xAC\xF0\x9F\x98\x80\xC3(\x80";
  std::vector<std::size_t> lengths;
  for (std::size_t at = 0; at < text.size(); at += utf8_character_length(text, at))
    lengths.push_back(utf8_character_length(text, at));
  EXPECT_EQ(lengths, (std::vector<std::size_t>{1, 2, 3, 4, 1, 1, 1}));
}

}  // namespace

namespace {

TEST(Windows1252, EveryDefinedByteComesBackThroughUtf8) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    const std::string utf8 = windows1252_to_utf8(one);
    if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) {
      EXPECT_EQ(utf8, "\xEF\xBF\xBD") << byte;
    } else {
      EXPECT_EQ(utf8_to_windows1252(utf8), one) << byte;
    }
  }
  EXPECT_EQ(windows1252_to_utf8("Citt\xE0 \x80 5"), "Citt\xC3\xA0 \xE2\x82\xAC 5");
}

}  // namespace
