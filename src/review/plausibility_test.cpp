#include "review/plausibility.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/compile_scenario.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "source/line_table.h"
#include "source/starter_scenario.h"

namespace {

/// The kinds of warning a railway's sense gives, whichever pass finds them.
bool is_plausibility_kind(WarningKind kind) { return kind >= WarningKind::StationTimeOrder; }

struct Found {
  std::string kind;
  SourceKind source = SourceKind::Line;
  int line = 0;
  int column = 0;
  std::string message;
};

/// Compiles a pair as check does, then runs the plausibility pass; the plausibility warnings found.
std::vector<Found> plausibility_warnings(const std::string& line, const std::string& service) {
  RunState state;
  state.line_key = "K";
  state.train_number = "1";
  compile_scenario(state, line, service, {.keep_going = true});
  EXPECT_EQ(state.diagnostics.errors(), 0u)
      << (state.diagnostics.all().empty() ? "" : state.diagnostics.all()[0].message);
  add_plausibility_warnings(state);
  std::vector<Found> found;
  for (const Diagnostic& d : state.diagnostics.all())
    if (d.severity == Severity::Warning && is_plausibility_kind(d.warning)) {
      const SourcePlace place = d.place.value_or(SourcePlace{});
      found.push_back({std::string(warning_kind_name(d.warning)), place.source, place.line, place.column, d.message});
    }
  return found;
}

std::string starter_line() { return encode_lines(starter_line_lines()); }
std::string starter_service() { return encode_lines(starter_service_lines()); }

/// The text with its one occurrence of `from` replaced by `to`.
std::string edited(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

struct Expected {
  std::string kind;
  SourceKind source;
  int line;
  int column;
  std::string words;  // a part of the message: the value and what a railway would have
};

struct Case {
  std::string name;
  SourceKind file;  // the file edited
  std::string from;
  std::string to;
  std::vector<Expected> expected;
};

constexpr SourceKind L = SourceKind::Line;
constexpr SourceKind S = SourceKind::Service;

// Each case is the starter with one mistake; the line numbers are the starter's (docs/FORMAT.md shows it).
const std::vector<Case> kCases = {
    {"TimeGoesBackwards",
     S,
     "16, 3, 0, MOLINO",
     "15,59, 0, MOLINO",
     {{"station-time-order", S, 23, 1,
       "MOLINO is due at 15:59:00, before PORTO NUOVO (16:00:00): a train reaches each station later than the one "
       "before"}}},
    {"TimeStandsStill",
     S,
     "16, 3, 0, MOLINO",
     "16, 0, 0, MOLINO",
     {{"station-time-order", S, 23, 1, "MOLINO is due at 16:00:00, the same time as PORTO NUOVO (16:00:00)"}}},
    {"TimePastTheDay",
     S,
     "16, 6,30, VALLE ALTA",
     "24, 6,30, VALLE ALTA",
     {{"time-past-day", S, 25, 1, "VALLE ALTA is due at 24:06:30: a timetable's time runs from 0:00:00 to 23:59:59"}}},
    {"StationPastTheLineEnd",
     S,
     "stazione,    5000,  6",
     "stazione,    5500,  6",
     {{"beyond-line-end", S, 25, 1,
       "VALLE ALTA at 5500 m, past the end of the 5000 m line: it stands in the grid's tail"}}},
    {"SignalPastTheLineEnd",
     S,
     "segnale,    4400",
     "segnale,    5400",
     {{"beyond-line-end", S, 33, 1, "a signal at 5400 m, past the end of the 5000 m line"}}},
    {"SpeedBoardPastTheLineEnd",
     L,
     "indicatori_vmax,  2950",
     "indicatori_vmax,  6000",
     {{"beyond-line-end", L, 38, 1, "a speed board at 6000 m, past the end of the 5000 m line"}}},
    {"PlatformBeforeTheStart",
     S,
     "stazione,     650, 12",
     "stazione,     200,  6",
     {{"platform-before-start", S, 21, 1,
       "the platform of PORTO NUOVO begins at -100 m, before the start of the line: its approach marks are "
       "dropped"}}},
    {"LineSpeedZero",
     S,
     "velocita,    3000,    90",
     "velocita,    3000,    0",
     {{"speed-zero", S, 18, 23, "a line speed of 0 km/h from 3000 m: it is stored as 0 and the train cannot run there"},
      // The board at 2950 m announced the 90 km/h that now is 0.
      {"board-line-speed", L, 38, 1,
       "a speed board at 2950 m shows 90 km/h for speed c, but the train's line speed there is 80 km/h"}}},
    {"LineSpeedStoredAsZero",
     S,
     "velocita,    3000,    90",
     "velocita,    3000,    2",
     {{"speed-zero", S, 18, 23, "a line speed of 2 km/h from 3000 m: it is stored as 0"},
      {"board-line-speed", L, 38, 1, "a speed board at 2950 m shows 90 km/h"}}},
    {"SlowdownSpeedZero",
     S,
     "rallentamento,    3800,    40",
     "rallentamento,    3800,    0",
     {{"speed-zero", S, 28, 1, "a slowdown of 0 km/h from 3800 m: the train must stop there"}}},
    {"SpeedBoardZero",
     L,
     "indicatori_vmax,  850,  80,  80,  80",
     "indicatori_vmax,  850,  80,  80,  0",
     {{"speed-zero", L, 36, 1,
       "a speed board at 850 m shows 0 km/h (speed c): a train of that rank is given no limit"}}},
    {"SpeedBoardBelowTheLineSpeed",
     S,
     "velocita,    0,    80",
     "velocita,    0,    140",
     {{"board-line-speed", L, 36, 1,
       "a speed board at 850 m shows 80 km/h for speed c, but the train's line speed there is 140 km/h"}}},
    {"NoCars",
     S,
     "numero vetture,    3",
     "numero vetture,    0",
     {{"train-data-range", S, 4, 20, "a train of 0 cars: a train has 1 to 30"}}},
    {"AbsurdlyManyCars",
     S,
     "numero vetture,    3",
     "numero vetture,    400",
     {{"train-data-range", S, 4, 20, "a train of 400 cars"}}},
    {"NegativeBrakedMass",
     S,
     "percentuale massa frenata,    130",
     "percentuale massa frenata,    -20",
     {{"train-data-range", S, 6, 31, "a braked-mass percentage of -20 %: a train brakes with 30 to 250 %"}}},
    {"AbsurdBrakedMass",
     S,
     "percentuale massa frenata,    130",
     "percentuale massa frenata,    900",
     {{"train-data-range", S, 6, 31, "a braked-mass percentage of 900 %"}}},
    {"NoSand",
     S,
     "sabbia,    100",
     "sabbia,    0",
     {{"train-data-range", S, 8, 12, "a sand supply of 0: the train has no sand to lay"}}},
    {"NoAdhesion",
     S,
     "aderenza,    0,    100",
     "aderenza,    0,    0",
     {{"train-data-range", S, 13, 20, "an adhesion of 0 from 0 m: the wheels would never grip"}}},
    {"SignalInsideAPlatform",
     S,
     "segnale,    4400",
     "segnale,    4850",
     {{"signal-in-platform", S, 33, 1, "a signal at 4850 m, inside the platform of VALLE ALTA (4700 m to 5150 m)"}}},
    {"SlowdownEndingAlongAPlatform",
     S,
     "rallentamento,    3800,    40,  350",
     "rallentamento,    4500,    40,  350",
     {{"slowdown-on-platform", S, 28, 1,
       "a slowdown from 4500 m to 4850 m ends along the platform of VALLE ALTA (4700 m to 5150 m)"}}},
    {"KilometreTextApartFromTheProgressive",
     L,
     "(    2.174     )",
     "(    3.174     )",
     {{"kilometric-text", L, 41, 1,
       "an information board at 2826 m reads km 3.174, but the kilometric progressive there is km 2.174"}}},
    {"SignalMovedToItsCell",
     S,
     "segnale,    1800",
     "segnale,    1770",
     {{"position-moved", S, 31, 1, "a signal given at 1770 m stands at 1750 m, in its cell 36"}}},
    {"SpeedBoardMovedToItsCell",
     L,
     "indicatori_vmax,  2950",
     "indicatori_vmax,  2970",
     {{"position-moved", L, 38, 1, "a speed board given at 2970 m stands at 2950 m, in its cell 60"}}},
    {"SlowdownMovedToItsCell",
     S,
     "rallentamento,    3800",
     "rallentamento,    3810",
     {{"position-moved", S, 28, 1, "a slowdown given at 3810 m stands at 3800 m"}}},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Plausibility : public testing::TestWithParam<Case> {};

TEST_P(Plausibility, WarnsAtTheEntryWithTheValueAndWhatARailwayWouldHave) {
  const Case& c = GetParam();
  const std::string line = c.file == L ? edited(starter_line(), c.from, c.to) : starter_line();
  const std::string service = c.file == S ? edited(starter_service(), c.from, c.to) : starter_service();
  const std::vector<Found> found = plausibility_warnings(line, service);
  ASSERT_EQ(found.size(), c.expected.size()) << (found.empty() ? "" : found[0].kind + ": " + found[0].message);
  for (std::size_t i = 0; i < found.size(); ++i) {
    const Expected& e = c.expected[i];
    EXPECT_EQ(found[i].kind, e.kind);
    EXPECT_EQ(found[i].source, e.source) << found[i].message;
    EXPECT_EQ(found[i].line, e.line) << found[i].message;
    EXPECT_EQ(found[i].column, e.column) << found[i].message;
    EXPECT_NE(found[i].message.find(e.words), std::string::npos) << found[i].message;
  }
}

INSTANTIATE_TEST_SUITE_P(EachMistake, Plausibility, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(Plausibility, AnInformationBoardPastTheLineEndIsBeyondItAndOffItsKilometre) {
  const std::string line = edited(starter_line(), "cartello_indicatore,  2826", "cartello_indicatore,  6000");
  const std::vector<Found> found = plausibility_warnings(line, starter_service());
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].kind, "beyond-line-end");
  EXPECT_EQ(found[0].line, 41);
  EXPECT_NE(found[0].message.find("an information board at 6000 m, past the end of the 5000 m line"),
            std::string::npos);
  EXPECT_EQ(found[1].kind, "kilometric-text");
  EXPECT_NE(found[1].message.find("reads km 2.174, but the kilometric progressive there is km -1.000"),
            std::string::npos)
      << found[1].message;
}

TEST(Plausibility, TheStarterAndTheEmbeddedScenarioGiveNone) {
  EXPECT_TRUE(plausibility_warnings(starter_line(), starter_service()).empty());
  EXPECT_TRUE(
      plausibility_warnings(encode_lines(line_description_lines()), encode_lines(train_service_lines())).empty());
}

TEST(Plausibility, NothingAfterAnErrorOfTheCompilation) {
  RunState state;
  compile_scenario(state, edited(starter_line(), "indicatori_vmax,  850", "indicatori_vmax,  1800"),
                   edited(starter_service(), "16, 3, 0, MOLINO", "15,59, 0, MOLINO"), {.keep_going = true});
  ASSERT_GT(state.diagnostics.errors(), 0u);
  const std::size_t before = state.diagnostics.warnings();
  add_plausibility_warnings(state);
  EXPECT_EQ(state.diagnostics.warnings(), before);
}

}  // namespace
