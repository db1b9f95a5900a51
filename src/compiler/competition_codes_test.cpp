#include "compiler/competition_codes.h"

#include <string>

#include <gtest/gtest.h>

#include "compiler/compile_scenario.h"
#include "compiler/finishing_pass.h"
#include "scenario/binary_format.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

// Expected codes are computed here from identity texts written out by hand.
int plain_sum(const std::string& identity) {
  int sum = 0;
  for (int n = 0; n < 25; ++n) sum += static_cast<uint8_t>(identity.at(static_cast<std::size_t>(n)));
  return sum;
}

int weighted_sum(const std::string& identity) {
  int sum = 0;
  for (int n = 0; n < 25; ++n) sum += static_cast<uint8_t>(identity.at(static_cast<std::size_t>(n))) * (n + 1);
  return sum;
}

RunState with_identity(const std::string& train_number, const std::string& line_key) {
  RunState state;
  state.table[kServiceRecord].text = train_number;
  state.table[kLineRecord].text = line_key;
  return state;
}

struct CodeCase {
  const char* name;
  std::string train_number;
  std::string line_key;
  std::string identity;  // written out by hand: lower case, then the pad
};
// Test names show the case by its name.
void PrintTo(const CodeCase& c, std::ostream* os) { *os << c.name; }

class CodeCases : public ::testing::TestWithParam<CodeCase> {};

TEST_P(CodeCases, CodesAreSumsOverTheFirst25CharactersOfTheIdentity) {
  const CodeCase& c = GetParam();
  RunState state = with_identity(c.train_number, c.line_key);
  EXPECT_EQ(codice_gara_og(state), plain_sum(c.identity));
  EXPECT_EQ(state.current_field, c.identity);
  state.current_field = "something else";
  EXPECT_EQ(codice_gara_st(state), weighted_sum(c.identity));
  EXPECT_EQ(state.current_field, c.identity);
}

INSTANTIATE_TEST_SUITE_P(
    Identity, CodeCases,
    ::testing::Values(CodeCase{"Scenario", "148", "Lesca-Varo", "148lesca-varoppqqrrssttuuvvwwzzkkjjyyxx"},
                      CodeCase{"Swapped", "Lesca-Varo", "148", "lesca-varo148ppqqrrssttuuvvwwzzkkjjyyxx"},
                      CodeCase{"Empty", "", "", "ppqqrrssttuuvvwwzzkkjjyyxx"},
                      CodeCase{"LongKey", "9", "Abcdefghijklmnopqrstuvwxyz0123",
                               "9abcdefghijklmnopqrstuvwxyz0123ppqqrrssttuuvvwwzzkkjjyyxx"},
                      CodeCase{"AccentedCapitals", "1", "\xC0\xC9\xD7\xDE\x8A\x9F",
                               "1\xE0\xE9\xD7\xFE\x9A\xFFppqqrrssttuuvvwwzzkkjjyyxx"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompetitionCodes, EmptyIdentityGivesThePadsCodes) {
  // p q r s t u v w z k j y twice, then x: 2 * 1380 + 120.
  RunState state = with_identity("", "");
  EXPECT_EQ(codice_gara_og(state), 2880);
}

TEST(CompetitionCodes, SwappingLineKeyAndTrainNumberChangesOnlyTheWeightedCode) {
  RunState scenario = with_identity("148", "Lesca-Varo");
  RunState swapped = with_identity("Lesca-Varo", "148");
  EXPECT_EQ(codice_gara_og(scenario), codice_gara_og(swapped));
  EXPECT_NE(codice_gara_st(scenario), codice_gara_st(swapped));
}

TEST(CompetitionCodes, UpperAndLowerCaseGiveTheSameCodes) {
  RunState upper = with_identity("148", "LESCA-VARO");
  RunState lower = with_identity("148", "lesca-varo");
  RunState mixed = with_identity("148", "Lesca-Varo");
  EXPECT_EQ(codice_gara_og(upper), codice_gara_og(lower));
  EXPECT_EQ(codice_gara_st(upper), codice_gara_st(lower));
  EXPECT_EQ(codice_gara_st(mixed), codice_gara_st(lower));
}

TEST(CompetitionCodes, CharactersAfterThe25thDoNotCount) {
  RunState a = with_identity("9", "Abcdefghijklmnopqrstuvwxyz0123");
  RunState b = with_identity("9", "Abcdefghijklmnopqrstuvwx###");
  EXPECT_EQ(codice_gara_og(a), codice_gara_og(b));
  EXPECT_EQ(codice_gara_st(a), codice_gara_st(b));
}

TEST(CompetitionCodes, ReadTheTableNotTheRunStateNamesAndChangeNothingElse) {
  RunState state = with_identity("148", "Lesca-Varo");
  state.line_key = "Other";
  state.train_number = "1";
  state.table[kLineRecord].number1 = 7;
  const std::string before = encode_table(state.table);
  EXPECT_EQ(codice_gara_st(state), weighted_sum("148lesca-varoppqqrrssttuuvvwwzzkkjjyyxx"));
  EXPECT_EQ(codice_gara_og(state), plain_sum("148lesca-varoppqqrrssttuuvvwwzzkkjjyyxx"));
  EXPECT_EQ(encode_table(state.table), before);
  EXPECT_EQ(state.table[kLineRecord].text, "Lesca-Varo");
}

class StampTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state = with_identity("148", "Lesca-Varo");
    state.grid.create(36000);
  }
  ScenarioRecord& record() { return state.table[kLineRecord]; }
  TrackCell& cell() { return state.grid[1]; }

  RunState state;
};

TEST_F(StampTest, StampsMarkersAndCodes) {
  const std::string identity = "148lesca-varoppqqrrssttuuvvwwzzkkjjyyxx";
  EXPECT_EQ(stamp_codes(state), 0);
  EXPECT_EQ(record().short1, 610);
  EXPECT_EQ(cell().value1, 5121);
  EXPECT_EQ(record().number4, weighted_sum(identity));
  EXPECT_EQ(cell().value2, plain_sum(identity));
  // Nothing else of cell 1 or record 85 is touched.
  EXPECT_EQ(cell().kind, 0);
  EXPECT_EQ(cell().value3, 0);
  EXPECT_EQ(record().short2, 0);
  EXPECT_EQ(record().number1, 0);
}

struct TakenCase {
  const char* name;
  int16_t short1;
  int16_t value1;
  int32_t number4;
  int16_t value2;
  int32_t result;
};
// Test names show the case by its name.
void PrintTo(const TakenCase& c, std::ostream* os) { *os << c.name; }

class TakenCases : public StampTest, public ::testing::WithParamInterface<TakenCase> {};

TEST_P(TakenCases, StopsAtTheFirstTakenPlace) {
  const TakenCase& c = GetParam();
  record().short1 = c.short1;
  cell().value1 = c.value1;
  record().number4 = c.number4;
  cell().value2 = c.value2;
  EXPECT_EQ(stamp_codes(state), c.result);
  if (c.result == kErrorMarkerTaken) {
    // Nothing written.
    EXPECT_EQ(record().short1, c.short1);
    EXPECT_EQ(cell().value1, c.value1);
  } else {
    // The markers are in place, the codes are not.
    EXPECT_EQ(record().short1, 610);
    EXPECT_EQ(cell().value1, 5121);
  }
  EXPECT_EQ(record().number4, c.number4);
  EXPECT_EQ(cell().value2, c.value2);
}

INSTANTIATE_TEST_SUITE_P(Stamp, TakenCases,
                         ::testing::Values(TakenCase{"TableMarker", 1, 0, 0, 0, kErrorMarkerTaken},
                                           TakenCase{"GridMarker", 0, -4, 0, 0, kErrorMarkerTaken},
                                           TakenCase{"MarkerBeforeCode", 610, 0, 9, 9, kErrorMarkerTaken},
                                           TakenCase{"TableCode", 0, 0, 82875, 0, kErrorCodeTaken},
                                           TakenCase{"GridCode", 0, 0, 0, 1, kErrorCodeTaken}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StampTest, ControlPointPlacedInCell1ByTheFinishingPassIs1250) {
  state.grid[10].set_kind(CellKind::SlowdownWarning);
  state.grid[3].set_kind(CellKind::Signal);
  state.grid[2].set_kind(CellKind::SpeedBoard);
  finishing_pass(state);
  ASSERT_TRUE(cell().is(CellKind::ControlPoint));
  EXPECT_EQ(stamp_codes(state), kErrorMarkerTaken);
  EXPECT_EQ(cell().value1, kControlPointSpeed);
  EXPECT_EQ(record().short1, 0);
}

// A line key beyond ASCII comes in UTF-8 and is stored, and so counted, as its Windows-1252 bytes: "Città"
// is five characters, not six bytes.
TEST(CompetitionCodes, AreCountedOverTheWindows1252BytesOfTheNames) {
  RunState compiled;
  compiled.line_key = "Citt\xC3\xA0";
  compiled.train_number = "\xE2\x82\xAC"
                          "5";
  compile_scenario(compiled, "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\n[fine]\r\n",
                   "[generale]\r\n[fine]\r\n", {.keep_going = true});
  EXPECT_EQ(compiled.table[kLineRecord].text, "Citt\xE0");
  EXPECT_EQ(compiled.table[kServiceRecord].text, "\x80"
                                                 "5");
  const std::string identity = std::string("\x80"
                                           "5"
                                           "citt\xE0") +
                               "ppqqrrssttuuvvwwzzkkjjyyxx";
  EXPECT_EQ(codice_gara_og(compiled), plain_sum(identity));
  EXPECT_EQ(codice_gara_st(compiled), weighted_sum(identity));
}

}  // namespace
