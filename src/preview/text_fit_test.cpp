#include "preview/text_fit.h"

#include <gtest/gtest.h>

#include <string>

namespace {

/// 6 units per character, counting a UTF-8 character once however many bytes it takes.
TextSize by_characters(const std::string& text, const FontSpec&) {
  double characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return {6 * characters, 8, 2};
}

TEST(FitText, CutsAtACharacterAndEndsWithTheEllipsis) {
  const std::string ellipsis = kEllipsis;
  struct Case {
    const char* name;
    std::string text;
    double max_width;
    std::string fitted;
  };
  const Case cases[] = {
      {"fits", "ACILIA", 36, "ACILIA"},
      {"one character too many", "ACILIA", 35, "ACIL" + ellipsis},
      {"room for the ellipsis only", "ACILIA", 6, ellipsis},
      {"not even the ellipsis", "ACILIA", 5, ""},
      {"an empty text", "", 0, ""},
      // Two-byte letters are never cut in half.
      {"accented letters", "CITT\u00C0 DELL\u00C0", 36, "CITT\u00C0" + ellipsis},
      {"accented letters, one less", "CITT\u00C0 DELL\u00C0", 35, "CITT" + ellipsis},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string fitted = fit_text(c.text, {11, false}, c.max_width, by_characters);
    EXPECT_EQ(fitted, c.fitted);
    EXPECT_LE(by_characters(fitted, {}).width, c.max_width);
  }
}

TEST(FitText, AVeryLongTextShowsAtMostItsFirstCharacters) {
  // 65535 bytes, the longest text a record holds: cut even on a page wide enough for all of it.
  const std::string text(65535, 'A');
  const std::string fitted = fit_text(text, {11, false}, 1e9, by_characters);
  EXPECT_EQ(fitted, std::string(kLongestShownText, 'A') + kEllipsis);
  const std::string narrow = fit_text(text, {11, false}, 60, by_characters);
  EXPECT_EQ(narrow, std::string(9, 'A') + kEllipsis);
}

}  // namespace
