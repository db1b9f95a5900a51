// Checking reads on after a refusal: every independent mistake in one reading, the refused entry taken
// as the format leaves it, what follows from an earlier error not reported again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/compile_scenario.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

std::string line_with(const std::string& entries) {
  return "[generale]\r\nlunghezza percorso, 29000\r\n[curve]\r\n" + entries + "[fine]\r\n";
}
std::string service_with(const std::string& entries) {
  return "[generale]\r\nvelocita, 0, 80\r\naderenza, 0, 100\r\n" + entries + "[fine]\r\n";
}
std::string signal_at(int position) {
  std::string entry = "segnale, ";
  entry += std::to_string(position);
  entry += ", 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n";
  return entry;
}
std::string station(int position, int length, const std::string& name) {
  return "stazione, " + std::to_string(position) + ", 12, " + std::to_string(length) +
         ", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 23, 0, " + name + "\r\n";
}

struct Found {
  int32_t code;
  int line;
};

std::vector<Found> errors_of(const RunState& state) {
  std::vector<Found> found;
  for (const Diagnostic& d : state.diagnostics.all())
    if (d.severity == Severity::Error) found.push_back({d.code, d.place ? d.place->line : 0});
  return found;
}

RunState checked(const std::string& line, const std::string& service) {
  RunState state;
  state.line_key = std::string("K");
  state.train_number = std::string("7");
  compile_scenario(state, line, service, {.keep_going = true});
  return state;
}

TEST(ReadingOn, EveryIndependentMistakeIsFoundInOneReading) {
  const RunState state = checked(line_with("pendenza, 40000, 1\r\n"                               // line 4: E15
                                           "cartello_indicatore, 1500, (X)\r\n"                   // line 5
                                           "indicatori_vmax, 1500, 80, 80, 80, 0, , , , 0\r\n"),  // line 6: E21
                                 service_with(signal_at(3000) + signal_at(3010) +                 // lines 4, 5: E16
                                              station(675, 300, "A") +                            // line 6: E8
                                              station(2000, 350, "B") +                           // line 7: E9
                                              signal_at(5000)));                                  // line 8: placed
  const std::vector<Found> found = errors_of(state);
  ASSERT_EQ(found.size(), 5u);
  EXPECT_EQ(found[0].code, kErrorOutOfRange);
  EXPECT_EQ(found[0].line, 4);
  EXPECT_EQ(found[1].code, kErrorSpeedBoardOccupied);
  EXPECT_EQ(found[2].code, kErrorSignalOccupied);
  EXPECT_EQ(found[2].line, 5);
  EXPECT_EQ(found[3].code, kErrorStationPosition);
  EXPECT_EQ(found[4].code, kErrorPlatformLength);
  // The entries after the refusals were read and placed.
  EXPECT_TRUE(state.grid[101].is(CellKind::Signal));
  EXPECT_EQ(state.grid[0].speedLimit, 16);
}

TEST(ReadingOn, ARefusedEntryIsTakenAsTheFormatLeavesIt) {
  // A station refused for its spacing has written its record and its marks: the next station fills the
  // same record again and follows the one before it, and the marks stay. A slowdown refused for its
  // approach cells has written its warning, start and end, so a later signal on its start is refused.
  const RunState state = checked(
      line_with(""), service_with(station(650, 300, "A") + station(900, 300, "B") + station(2000, 300, "C") +
                                  signal_at(2000) + "rallentamento, 3300, 40, 100, 0, 1, 0\r\n" + signal_at(3300)));
  const std::vector<Found> found = errors_of(state);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].code, kErrorStationSpacing);
  EXPECT_EQ(found[1].code, kErrorApproachOccupied);
  EXPECT_EQ(found[2].code, kErrorSignalOccupied);
  EXPECT_EQ(found[2].line, 9);
  EXPECT_EQ(state.table[1].text, "A");
  EXPECT_EQ(state.table[2].text, "C");
  EXPECT_EQ(state.table[3].text, "");
  EXPECT_TRUE(state.grid[20].is(CellKind::StationMark));  // B's, whose platform ends at 1050 m
  EXPECT_TRUE(state.grid[43].is(CellKind::SlowdownWarning));
  EXPECT_TRUE(state.grid[67].is(CellKind::SlowdownStart));
  EXPECT_TRUE(state.grid[69].is(CellKind::SlowdownEnd));
}

TEST(ReadingOn, AReadFailureIsToldAndTheNextLinesStillRead) {
  // A missing comma takes the next line's keyword as a value; the reading goes on from that line.
  const RunState state =
      checked(line_with("pendenza 6000, 25\r\ncurvad3, 100, 200\r\nmontagna, x, 200, 2\r\npendenza, 40000, 1\r\n"),
              service_with(""));
  const std::vector<Found> found = errors_of(state);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].code, kErrorReadFailure);
  EXPECT_EQ(found[0].line, 4);  // the entry that was cut, not the line its value was looked for on
  EXPECT_EQ(found[1].code, kErrorReadFailure);
  EXPECT_EQ(found[1].line, 6);
  EXPECT_EQ(found[2].code, kErrorOutOfRange);
  EXPECT_EQ(found[2].line, 7);
  const Diagnostic& cut = state.diagnostics.all()[0];
  EXPECT_NE(cut.detail.find("has 1 of the 2 values it needs (position, gradient)"), std::string::npos) << cut.detail;
  ASSERT_EQ(cut.related.size(), 1u);
  EXPECT_EQ(cut.related[0].place.line, 5);
  // The curve of line 5 was read again as an entry of its own.
  EXPECT_NE(state.trace.points().tag(150, kAxisX), TraceTag::Empty);
}

TEST(ReadingOn, WhatFollowsFromAnEarlierErrorIsNotReportedAgain) {
  std::string mountains;
  for (int i = 0; i < 85; ++i)
    mountains += "montagna, " + std::to_string(i * 300) + ", " + std::to_string(i * 300 + 100) + ", 2\r\n";
  // Every candidate cell before the slowdown taken: the three groups of its start would each say so.
  std::string signals;
  for (int position = 12300; position <= 12750; position += 50) signals += signal_at(position);
  const RunState state =
      checked(line_with(mountains), service_with(signals + "rallentamento, 13300, 120, 100, 0, 0, 0\r\n"));
  std::size_t capacity = 0;
  std::size_t control_points = 0;
  for (const Found& found : errors_of(state)) {
    capacity += found.code == kErrorMountainCapacity;
    control_points += found.code == kErrorSlowdownControlPoint;
  }
  EXPECT_EQ(capacity, 1u);
  EXPECT_EQ(control_points, 1u);
}

TEST(ReadingOn, TheFormatsOwnReadingIsNotChangedByIt) {
  // The same sources read by the format stop at the first refusal and write what they wrote.
  const std::string line =
      line_with("cartello_indicatore, 1500, (X)\r\nindicatori_vmax, 1500, 80, 80, 80, 0, , , , 0\r\n"
                "pendenza, 0, 3\r\n");
  RunState strict;
  compile_scenario(strict, line, service_with(""));
  EXPECT_EQ(strict.error.code, kErrorSpeedBoardOccupied);
  EXPECT_EQ(strict.diagnostics.errors(), 1u);
  EXPECT_EQ(strict.grid[0].gradient, 0);  // the reading ended before the gradient
  const RunState reading_on = checked(line, service_with(""));
  EXPECT_EQ(reading_on.grid[0].gradient, 103);
}

TEST(ReadingOn, TheServiceReadOnlyUpToItsFirstSignalOrSlowdownAfterALinePositionBeyondTheGridIsSaid) {
  // Line 4 of the line description is beyond the grid (E15): the format reads the train service on, up to
  // its first signal or slowdown (line 6 here), places it and stops. Compiling and checking both say so
  // there, once; a line without that error says nothing.
  const std::string beyond = line_with("pendenza, 0, 0\r\npendenza, 90000, 1\r\n");
  const std::string service =
      service_with("rallentamento, 3000, 40, 100, 0, 1, 0\r\n" + signal_at(5000) + signal_at(8000));
  const auto read_in_part = [](const RunState& state) {
    std::vector<int> lines;
    for (const Diagnostic& d : state.diagnostics.all())
      if (d.severity == Severity::Warning && d.warning == WarningKind::ServiceReadInPart) {
        EXPECT_EQ(d.place->source, SourceKind::Service);
        EXPECT_EQ(d.place->column, 1);
        EXPECT_NE(std::string(d.message).find("error E15 (line 5)"), std::string::npos) << d.message;
        lines.push_back(d.place->line);
      }
    return lines;
  };
  RunState strict;
  compile_scenario(strict, beyond, service);
  EXPECT_EQ(strict.error.code, kErrorOutOfRange);
  EXPECT_EQ(read_in_part(strict), std::vector<int>{4});
  EXPECT_EQ(read_in_part(checked(beyond, service)), std::vector<int>{4});
  EXPECT_TRUE(read_in_part(checked(line_with("pendenza, 0, 0\r\n"), service)).empty());
  // After another first error of the line the service is not read at all: nothing to say of it.
  const std::string occupied_first = line_with(
      "cartello_indicatore, 1500, (X)\r\nindicatori_vmax, 1500, 80, 80, 80, 0, , , , 0\r\npendenza, 90000, 1\r\n");
  EXPECT_TRUE(read_in_part(checked(occupied_first, service)).empty());
}

/// Every diagnostic as "E16 service:6" or "value-cut line:4": the code or the warning's kind, the source
/// and the line.
std::vector<std::string> listed(const RunState& state) {
  std::vector<std::string> items;
  for (const Diagnostic& d : state.diagnostics.all()) {
    std::string item = d.severity == Severity::Error ? std::string("E").append(std::to_string(d.code))
                                                     : std::string(warning_kind_name(d.warning));
    if (d.place)
      item += std::string(d.place->source == SourceKind::Line ? " line:" : " service:") + std::to_string(d.place->line);
    items.push_back(item);
  }
  return items;
}

// What checking lists, and the one error compiling stops at, where the format and the author's
// expectation meet: a line of no length, one mistake told once where it is made, entries the format
// has partly written, values that never reach the grid, and mistakes after one that ends the reading
// or within one entry.
TEST(ReadingOn, ListsWhatTheFormatWouldReportOnceEachEarlierMistakeWereMended) {
  struct Case {
    const char* name;
    std::string line;
    std::string service;
    std::vector<std::string> checked;
    std::string compiled;  // the run's error; "" for none
  };
  const std::string kSlowdownWithApproach = "rallentamento, 3800, 40, 350, 0, 1, 0\r\n";
  const std::vector<Case> cases = {
      {"a line of -100 m is accepted, with a warning",
       "[generale]\r\nlunghezza percorso, -100\r\n[curve]\r\npendenza, 0, 2\r\n[fine]\r\n",
       service_with(""),
       {"line-not-positive line:2"},
       ""},
      {"a line too short for cell 1: E1, and checking reads on",
       "[generale]\r\nlunghezza percorso, -6980\r\n[curve]\r\ncurvad, 100, 200\r\n[fine]\r\n",
       service_with(station(675, 300, "A")),
       {"E1 line:2", "E103 line:4", "E8 service:4"},
       "E1 line:2"},
      {"an over-large line speed: one error, at its entry",
       line_with(""),
       service_with("velocita, 100, 2000\r\nvelocita, 200, 80\r\nvelocita, 300, 80\r\nvelocita, 400, 80\r\n"),
       {"E25 service:4"},
       "E25 service:4"},
      {"an over-large line speed that never reaches the grid",
       line_with(""),
       service_with("velocita, 10, 2000\r\nvelocita, 20, 80\r\n"),
       {},
       ""},
      {"a slowdown refused for its approach cells leaves its start, where a later signal is refused",
       line_with(""),
       service_with(signal_at(2450) + kSlowdownWithApproach + signal_at(3800)),
       {"E20 service:5", "E16 service:6"},
       "E20 service:5"},
      {"a gradient and an adhesion never written are not warned of",
       line_with("pendenza, 0, 300\r\npendenza, 0, 0\r\n"),
       service_with("aderenza, 10, 300\r\naderenza, 20, 100\r\n"),
       {},
       ""},
      {"a gradient written is warned of, at its value",
       line_with("pendenza, 0, 300\r\npendenza, 1000, 0\r\n"),
       service_with(""),
       {"value-cut line:4"},
       ""},
      {"after a line too long: the line's curve and the service's station",
       "[generale]\r\nlunghezza percorso, 2000000\r\n[curve]\r\ncurvad, 100, 200\r\n[fine]\r\n",
       service_with(station(675, 300, "A")),
       {"E1 line:2", "E103 line:4", "E8 service:4"},
       "E1 line:2"},
      {"after no general section: the service's station",
       "lunghezza percorso, 5000\r\n[curve]\r\n[fine]\r\n",
       service_with(station(675, 300, "A")),
       {"E102 line:1", "E8 service:4"},
       "E102 line:1"},
      {"after no line length: the curve's keyword and the service's station",
       "[generale]\r\nsfondo uno, 1\r\n[curve]\r\ncurvad, 100, 200\r\n[fine]\r\n",
       service_with(station(675, 300, "A")),
       {"E104 line:4", "E103 line:4", "E8 service:4"},
       "E104 line:4"},
      {"the three values of the signal repetition",
       "[generale]\r\nlunghezza percorso, 29000\r\nripetizione segnali codici, 25, 75\r\n[curve]\r\n[fine]\r\n",
       service_with(""),
       {"E3 line:3", "E4 line:3", "E5 line:3"},
       "E3 line:3"},
      {"a curve's start beyond the grid and its keyword without a sharpness",
       line_with("curvad, 40000, 100\r\n"),
       service_with(""),
       {"E15 line:4", "E103 line:4"},
       "E15 line:4"},
      {"a station's position and its platform's length",
       line_with(""),
       service_with(station(675, 350, "A")),
       {"E8 service:4", "E9 service:4"},
       "E8 service:4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(listed(checked(c.line, c.service)), c.checked);
    RunState compiled;
    compile_scenario(compiled, c.line, c.service);
    std::string error;
    if (compiled.error.code != 0) {
      error = std::string("E").append(std::to_string(compiled.error.code));
      if (compiled.error.place)
        error += std::string(compiled.error.place->source == SourceKind::Line ? " line:" : " service:") +
                 std::to_string(compiled.error.place->line);
    }
    EXPECT_EQ(error, c.compiled);
  }
}

}  // namespace
