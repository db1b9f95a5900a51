#include "compiler/keywords.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Keywords, TheTableIsInTheOrderOfItsKeywordsAndDescribesEveryField) {
  const auto table = keyword_table();
  for (std::size_t n = 0; n < table.size(); ++n) {
    SCOPED_TRACE(std::string(table[n].written));
    EXPECT_EQ(static_cast<std::size_t>(table[n].keyword), n);
    EXPECT_EQ(&keyword_info(table[n].keyword), &table[n]);
    EXPECT_FALSE(table[n].words.empty());
    EXPECT_FALSE(table[n].summary.empty());
    // The keyword as written is recognised as itself.
    EXPECT_TRUE(matches(table[n].written, table[n].keyword));
    for (const KeywordField& field : table[n].fields) EXPECT_FALSE(field.meaning.empty()) << field.name;
  }
  EXPECT_EQ(keyword_info(Keyword::Station).fields.size(), 17u);
  EXPECT_EQ(keyword_info(Keyword::Signal).fields.size(), 11u);
}

TEST(Keywords, CaseRulesAndWordsAnywhereInTheField) {
  struct Case {
    const char* field;
    Keyword keyword;
    bool matches;
    bool but_for_case;
  };
  const Case cases[] = {
      {"Lunghezza Percorso", Keyword::LineLength, true, false},
      {"percorso, la lunghezza", Keyword::LineLength, true, false},
      {"Sfondo uno", Keyword::BackgroundUno, false, true},
      {"sfondo UNO", Keyword::BackgroundUno, false, true},
      {"sfondo uno", Keyword::BackgroundUno, true, false},
      {"progressiva chilometrica Tre", Keyword::KilometricTre, false, true},
      {"cartello_indicatore", Keyword::InfoBoard, true, false},
      {"indicatori_vmax", Keyword::InfoBoard, false, false},  // "indicat" but no "cartello"
      {"FRENATA", Keyword::BrakedMass, false, false},         // "massa" missing
      {"CURVAS5", Keyword::Curve, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(matches(c.field, c.keyword), c.matches);
    EXPECT_EQ(matches_but_for_case(c.field, c.keyword), c.but_for_case);
  }
}

TEST(Keywords, AFieldMentionsAKeywordOfItsOwnSource) {
  EXPECT_TRUE(mentions_keyword("--pendenza--", SourceKind::Line));
  EXPECT_FALSE(mentions_keyword("--pendenza--", SourceKind::Service));
  EXPECT_TRUE(mentions_keyword("-stazione-", SourceKind::Service));
  EXPECT_TRUE(mentions_keyword("[Generale]", SourceKind::Service));
  EXPECT_FALSE(mentions_keyword("uno due tre", SourceKind::Line));
  EXPECT_FALSE(mentions_keyword("----------", SourceKind::Line));
}

// The editor and the guide say what the readers do: the range of a line speed and the curve's rule come
// from the numbers the readers use.
TEST(Keywords, TheDescriptionsGiveTheReadersNumbers) {
  const std::string speed(keyword_info(Keyword::Speed).fields[1].meaning);
  EXPECT_NE(speed.find(std::to_string(kLowestLineSpeed) + " to " + std::to_string(kHighestLineSpeed)),
            std::string::npos)
      << speed;
  EXPECT_EQ(kLowestLineSpeed, -2);
  EXPECT_EQ(kHighestLineSpeed, 1277);
  const std::string curve(keyword_info(Keyword::Curve).summary);
  std::string digits;
  for (const CurveSharpness& sharpness : kCurveSharpness)
    digits += std::string(digits.empty() ? "" : ", ") + sharpness.digit;
  EXPECT_NE(curve.find("first of the digits " + digits + " that it holds, tested in that order"), std::string::npos)
      << curve;
}

TEST(Keywords, ACurvesSharpnessIsTheFirstOfItsDigitsInTheirOrderAndItsSideTheLetterS) {
  struct Case {
    const char* field;
    char digit;  // 0: none
    bool left;
  };
  for (const Case& c : {Case{"curvad3", '3', false}, Case{"curva 42", '2', false}, Case{"curvaS61", '1', true},
                        Case{"curva destra 3", '3', true}, Case{"curvad7", 0, false}, Case{"CURVAD", 0, false}}) {
    SCOPED_TRACE(c.field);
    const CurveSharpness* sharpness = curve_sharpness(c.field);
    EXPECT_EQ(sharpness ? sharpness->digit : 0, c.digit);
    EXPECT_EQ(curve_turns_left(c.field), c.left);
  }
}

}  // namespace
