#include "compiler/keyword_match.h"

#include <gtest/gtest.h>

namespace {

TEST(KeywordMatch, AWordIsFoundAnywhereInAFieldWhateverTheCaseOfItsAsciiLetters) {
  struct Case {
    const char* field;
    const char* word;
    bool found;
  };
  const Case cases[] = {
      {"pendenza", "pendenza", true},
      {"  PENDENZA ", "pendenza", true},
      {"Curva Destra 3", "destra", true},
      {"curvad3", "d", true},
      {"fine", "fine]", false},  // the word runs past the field's end
      {"aaab", "aab", true},     // a false start right before the true one
      {"abab", "abb", false},
      {"", "", true},
      {"field", "", true},
      {"", "x", false},
      {"ve", "velocita", false},  // longer than the field
      {"[GENERALE]", "[generale]", true},
      {"\xC8 ora", "\xE8", false},  // only ASCII letters fold: a Windows-1252 "È" is not "è"
      {"citt\xE0", "CITT\xE0", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " / " + c.word);
    EXPECT_EQ(contains_any_case(c.field, c.word), c.found);
  }
}

}  // namespace
