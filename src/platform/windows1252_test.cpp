#include "platform/windows1252.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

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
      {"à", 224}, {"è", 232}, {"ò", 242}, {"ù", 249},  // the letters of the notes
      {"é", 233}, {"ì", 236}, {"À", 192}, {"È", 200},  // other Italian letters
      {"\u00A0", 0xA0}, {"°", 0xB0}, {"ÿ", 0xFF},       // ends of the Latin-1 row
      {"€", 0x80}, {"‚", 0x82}, {"…", 0x85}, {"Š", 0x8A}, {"Ž", 0x8E},
      {"‘", 0x91}, {"’", 0x92}, {"“", 0x93}, {"”", 0x94}, {"–", 0x96}, {"—", 0x97},
      {"™", 0x99}, {"œ", 0x9C}, {"ž", 0x9E}, {"Ÿ", 0x9F},
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
      "Ā",             // U+0100, just past the Latin-1 row
      "a\u0081",       // a control character whose byte the code page leaves undefined
      "\u2019\u0152x\u20AD",  // U+20AD, next to the euro sign
      "ok \xF0\x9F\x98\x80",  // U+1F600, four bytes
      "\u4E2D",        // a CJK ideograph
  };
  for (const char* text : cases) EXPECT_THROW(utf8_to_windows1252(text), std::invalid_argument) << text;
}

TEST(Windows1252, ErrorNamesTheCharacterAndItsOffset) {
  try {
    utf8_to_windows1252("citt\xC3\xA0 \xC4\x80");
    FAIL() << "no error for U+0100";
  } catch (const std::invalid_argument& error) {
    EXPECT_STREQ(error.what(), "no Windows-1252 form for U+0100 at byte 7");
  }
}

TEST(Windows1252, MalformedUtf8IsAnError) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"\x80", "malformed UTF-8 at byte 0"},              // continuation byte without a lead
      {"a\xC3", "malformed UTF-8 at byte 1"},             // sequence cut short at the end
      {"\xC3(", "malformed UTF-8 at byte 0"},             // lead followed by a non-continuation byte
      {"\xC0\xAF", "malformed UTF-8 at byte 0"},          // overlong form of '/'
      {"\xE0\x80\xAF", "malformed UTF-8 at byte 0"},      // overlong three-byte form
      {"\xED\xA0\x80", "malformed UTF-8 at byte 0"},      // a surrogate
      {"\xF4\x90\x80\x80", "malformed UTF-8 at byte 0"},  // past U+10FFFF
      {"\xFF", "malformed UTF-8 at byte 0"},              // never a lead byte
      {"ab\xE8 c", "malformed UTF-8 at byte 2"},          // a Windows-1252 byte where UTF-8 is expected
  };
  for (const auto& c : cases) {
    try {
      utf8_to_windows1252(c.text);
      ADD_FAILURE() << "no error for: " << c.message;
    } catch (const std::invalid_argument& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
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
