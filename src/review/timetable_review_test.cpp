#include "review/timetable_review.h"

#include <gtest/gtest.h>

#include "compiler/compile_scenario.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "source/line_table.h"
#include "source/starter_scenario.h"

namespace {

RunState compiled(const std::string& line, const std::string& service) {
  RunState state;
  state.line_key = "K";
  state.train_number = "1";
  compile_scenario(state, line, service, {.keep_going = true});
  return state;
}

RunState embedded() { return compiled(encode_lines(line_description_lines()), encode_lines(train_service_lines())); }

/// A starter whose service has these station entries in place of its own.
std::string service_with(const std::vector<std::string>& stations, const std::string& more = "") {
  std::string text = "[generale]\r\nnumero vetture, 3\r\npercentuale massa frenata, 130\r\norologio, 15, 59, 30\r\n"
                     "aderenza, 0, 100\r\nvelocita, 0, 80\r\n" +
                     more;
  for (const std::string& station : stations) text += station + "\r\n";
  return text + "[fine]\r\n";
}

std::string station(int metre, int minute, int second, const std::string& name) {
  return "stazione, " + std::to_string(metre) + ", 12, 300, 0, 0, 0, 1,1,0, 4,1,1, 10, 16, " + std::to_string(minute) +
         ", " + std::to_string(second) + ", " + name;
}

struct Found {
  std::string kind;
  int line;
  std::string message;
};

std::vector<Found> timetable_warnings(const RunState& state) {
  std::vector<Found> found;
  for (const Diagnostic& d : state.diagnostics.all()) {
    const std::string name(warning_kind_name(d.warning));
    if (d.severity == Severity::Warning && name.starts_with("timetable"))
      found.push_back({name, d.place ? d.place->line : 0, d.message});
  }
  return found;
}

TEST(TimetableReview, TheEmbeddedTimetableIsShortTwiceAndSlackTwiceForTheDefaultTrain) {
  RunState state = embedded();
  add_timetable_warnings(state);
  const std::vector<Found> found = timetable_warnings(state);
  ASSERT_EQ(found.size(), 4u);
  // At the entries of the stations the runs end at: lines 16, 20, 22 and 24 of the train service.
  EXPECT_EQ(found[0].kind, "timetable-short");
  EXPECT_EQ(found[0].line, 16);
  EXPECT_EQ(found[0].message,
            "the timetable gives 0:40 from LIDO CENTRO to OSTIA NORD; the train needs at least 1:22: 42 s short");
  EXPECT_EQ(found[1].kind, "timetable-slack");
  EXPECT_EQ(found[1].line, 20);
  EXPECT_NE(found[1].message.find("(a 30 km/h slowdown over 1600 m)"), std::string::npos) << found[1].message;
  EXPECT_EQ(found[2].kind, "timetable-short");
  EXPECT_EQ(found[2].line, 22);
  EXPECT_EQ(found[3].kind, "timetable-slack");
  EXPECT_EQ(found[3].line, 24);
}

TEST(TimetableReview, TheStarterIsKeptWithoutAWarning) {
  RunState state = compiled(encode_lines(starter_line_lines()), encode_lines(starter_service_lines()));
  add_timetable_warnings(state);
  EXPECT_EQ(state.diagnostics.warnings(), 0u);
  for (const Diagnostic& d : state.diagnostics.all()) ADD_FAILURE() << d.message;
}

TEST(TimetableReview, ShortSlackNoRunAndALateStartAreWarnedWithTheirReason) {
  const std::string line = encode_lines(starter_line_lines());
  struct Case {
    const char* what;
    std::vector<std::string> stations;
    std::string more;
    std::vector<std::string> kinds;
    std::string says;
  };
  const Case cases[] = {
      {"kept", {station(650, 0, 0, "A"), station(2450, 3, 0, "B")}, "", {}, ""},
      {"too short", {station(650, 0, 0, "A"), station(2450, 1, 30, "B")}, "", {"timetable-short"}, "s short"},
      {"a slowdown makes it short",
       {station(650, 0, 0, "A"), station(2450, 2, 30, "B")},
       "rallentamento, 1000, 20, 1000, 0, 0, 0\r\n",
       {"timetable-short"},
       "(a 20 km/h slowdown over 1000 m, an 80 km/h limit)"},
      {"slack", {station(650, 0, 0, "A"), station(2450, 9, 0, "B")}, "", {"timetable-slack"}, "far above"},
      {"a speed of 0 km/h",
       {station(650, 0, 0, "A"), station(2450, 3, 0, "B")},
       "velocita, 1500, 0\r\nvelocita, 1600, 80\r\n",
       {"timetable-no-run"},
       "the speed limit is 0 km/h at "},
      {"departure before the clock", {station(650, 59, 0, "A")}, "", {"timetable-short"}, "30 s late at the start"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string service = service_with(c.stations, c.more);
    if (std::string(c.what) == "departure before the clock") service.replace(service.find("16, 59"), 2, "15");
    RunState state = compiled(line, service);
    ASSERT_EQ(state.diagnostics.errors(), 0u)
        << (state.diagnostics.all().empty() ? "" : state.diagnostics.all()[0].message);
    add_timetable_warnings(state);
    const std::vector<Found> found = timetable_warnings(state);
    ASSERT_EQ(found.size(), c.kinds.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].kind, c.kinds[i]);
      EXPECT_NE(found[i].message.find(c.says), std::string::npos) << found[i].message;
    }
  }
}

TEST(TimetableReview, NothingIsAddedAfterAnError) {
  RunState state = compiled(encode_lines(starter_line_lines()),
                            service_with({station(650, 0, 0, "A"), station(2450, 0, 10, "B"), "stazione, 2475, 12"}));
  ASSERT_GT(state.diagnostics.errors(), 0u);
  const std::size_t before = state.diagnostics.warnings();
  add_timetable_warnings(state);
  EXPECT_EQ(state.diagnostics.warnings(), before);
  EXPECT_FALSE(station_run_text(state, 2).has_value());
}

TEST(TimetableReview, AStationsHoverTellsTheRunThatEndsThere) {
  const RunState state = embedded();
  EXPECT_FALSE(station_run_text(state, 1).has_value());  // the first station: no run ends there
  EXPECT_EQ(station_run_text(state, 5),
            "Run from LIDO CENTRO (1100 m): the timetable gives 0:40, the train needs at least 1:22; margin -42 s "
            "(-51 %), cannot be kept.");
  const auto normal = station_run_text(state, 2);
  ASSERT_TRUE(normal.has_value());
  EXPECT_TRUE(normal->ends_with("normal.")) << *normal;
  EXPECT_FALSE(station_run_text(state, 40).has_value());
}

TEST(TimetableReview, ReviewPairIsTheCheckThenTheTimetable) {
  Sources sources;
  sources.line = SourceFile("K_linea.txt", encode_lines(line_description_lines()), InputEncoding::Windows1252);
  sources.service = SourceFile("K_1-.txt", encode_lines(train_service_lines()), InputEncoding::Windows1252);
  PairNames names;
  names.line_key = "K";
  names.train_number = "1";
  const PairCheck check = review_pair(sources, names);
  ASSERT_TRUE(check.state);
  EXPECT_EQ(check.diagnostics().errors(), 0u);
  EXPECT_EQ(timetable_warnings(*check.state).size(), 4u);
}

}  // namespace
