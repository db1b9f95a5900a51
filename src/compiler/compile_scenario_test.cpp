#include "compiler/compile_scenario.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "scenario/binary_format.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "source/starter_scenario.h"

namespace {

std::string line_with(const std::string& entries) {
  return "[generale]\r\nlunghezza percorso,    29000\r\n[curve]\r\n" + entries + "[fine]\r\n";
}

TEST(CompileSources, LeavesFilesAloneAndGivesTheReadFailureItsPlace) {
  RunState state;
  state.trace_flag = 1;
  const std::string line = line_with("");
  const std::string service = "[generale]\r\n\r\nstazione,  650, 300\r\n";
  const SourcesRead read = compile_sources(state, line, service);
  EXPECT_TRUE(read.line);
  EXPECT_TRUE(read.service);
  EXPECT_EQ(state.error.code, kErrorReadFailure);
  ASSERT_TRUE(state.error.place.has_value());
  EXPECT_EQ(state.error.place->source, SourceKind::Service);
  EXPECT_EQ(state.error.place->line, 3);
}

// The rules where the reading is easiest to get wrong: a mountain stretch whose end is not range-tested,
// the order of a slowdown's refusals, and the length limit that only stored texts have.
TEST(CompileSources, RangeOrderAndLengthRules) {
  struct Case {
    const char* name;
    std::string line_entries;
    std::string service_entries;
    int32_t code;
    std::optional<int32_t> position;
    std::function<void(const TrackGrid&)> cells;
  };
  // A 1000 m line: extent 8000, cells 0 to 160.
  const auto short_line = [](const std::string& entries) {
    return "[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\n" + entries + "[fine]\r\n";
  };
  const std::string dashes(70000, '-');
  const std::string signal = ", 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n";
  const auto mountain_cells = [](int first, int last) {
    return [first, last](const TrackGrid& grid) {
      for (int cell = first - 1; cell <= std::min(last + 1, grid.cellCount()); ++cell)
        EXPECT_EQ(grid[cell].mountainType, cell >= first && cell <= last ? 5 : 0) << "cell " << cell;
    };
  };
  const auto profiles_unfinished = [](const TrackGrid& grid) { EXPECT_EQ(grid[0].speedLimit, 0); };
  const std::vector<Case> cases = {
      {"mountain ending before the range limit", "montagna, 7800, 7950, 5\r\n", "", 0, {}, mountain_cells(156, 158)},
      {"mountain ending in the last cell", "montagna, 7800, 8050, 5\r\n", "", 0, {}, mountain_cells(156, 160)},
      {"mountain ending beyond the last cell", "montagna, 7800, 8100, 5\r\n", "", kErrorOutOfRange, 8100,
       [](const TrackGrid& grid) { EXPECT_EQ(grid[156].mountainType, 0); }},
      {"slowdown whose warning cell is taken", "",
       "velocita, 0, 80\r\nsegnale, 2600" + signal + "rallentamento, 3800, 40, 5000, 0, 0, 0\r\n",
       kErrorWarningOccupied, 3800, profiles_unfinished},
      {"slowdown whose start cell is taken", "",
       "velocita, 0, 80\r\nsegnale, 3800" + signal + "rallentamento, 3800, 40, 5000, 0, 0, 0\r\n",
       kErrorSlowdownStartOccupied, 3800, profiles_unfinished},
      {"slowdown whose end alone is beyond the grid", "",
       "velocita, 0, 80\r\nrallentamento, 3800, 40, 5000, 0, 0, 0\r\n", kErrorOutOfRange, 8800,
       [](const TrackGrid& grid) {
         EXPECT_EQ(grid[0].speedLimit, 16);  // a range error still finishes the profiles
         EXPECT_TRUE(grid[53].is(CellKind::Plain));
         EXPECT_TRUE(grid[77].is(CellKind::Plain));
       }},
      {"a 70000-byte comment in each file", dashes + "\r\n", dashes + "\r\n", 0, {}, nullptr},
      {"a board text of 65536 bytes",
       "cartello_indicatore, 500, " + std::string(65536, 'B') + "\r\n",
       "",
       kErrorReadFailure,
       {},
       nullptr},
      {"a station name of 65536 bytes",
       "",
       "stazione, 650, 12, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 23, 0, " + std::string(65536, 'S') + "\r\n",
       kErrorReadFailure,
       {},
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunState state;
    state.trace_flag = 1;
    const std::string line = short_line(c.line_entries);
    const std::string service = "[generale]\r\n" + c.service_entries + "[fine]\r\n";
    compile_sources(state, line, service);
    EXPECT_EQ(state.error.code, c.code) << state.error.detail;
    EXPECT_EQ(state.error.position, c.position);
    ASSERT_TRUE(state.grid.exists());
    if (c.cells) c.cells(state.grid);
  }
}

TEST(CompileScenario, TheScenarioCompilesWithoutDiagnosticsAndCanBeWritten) {
  RunState state;
  state.line_key = "Lesca-Varo";
  state.train_number = "148";
  const std::string line = encode_lines(line_description_lines());
  const std::string service = encode_lines(train_service_lines());
  const CompileOutcome outcome = compile_scenario(state, line, service);
  EXPECT_TRUE(outcome.read.line);
  EXPECT_TRUE(outcome.read.service);
  EXPECT_EQ(outcome.taken, 0);
  EXPECT_TRUE(outcome.writable(state));
  EXPECT_EQ(state.error.code, 0);
  EXPECT_TRUE(state.diagnostics.all().empty());
  EXPECT_EQ(state.grid[kCodeCell].value1, kGridMarker);
  EXPECT_EQ(encode_grid(state.grid).size(), 10815u);
}

// The starter an author begins with: no error, no warning (not even when checking reads on), and the
// objects where the author's guide says they are.
TEST(CompileScenario, TheStarterScenarioCompilesWithoutAnErrorOrAWarning) {
  const std::string line = encode_lines(starter_line_lines());
  const std::string service = encode_lines(starter_service_lines());
  for (const bool keep_going : {false, true}) {
    SCOPED_TRACE(keep_going ? "checking" : "compiling");
    RunState state;
    state.line_key = std::string("Demo");
    state.train_number = std::string("1");
    const CompileOutcome outcome = compile_scenario(state, line, service, {.keep_going = keep_going});
    EXPECT_TRUE(outcome.read.service);
    EXPECT_TRUE(outcome.writable(state));
    EXPECT_EQ(state.error.code, 0) << state.error.detail;
    EXPECT_EQ(state.diagnostics.errors(), 0u);
    EXPECT_EQ(state.diagnostics.warnings(), 0u);
    for (const Diagnostic& diagnostic : state.diagnostics.all()) ADD_FAILURE() << diagnostic.message;
    ASSERT_EQ(state.grid.cellCount(), 240);

    struct Object {
      int32_t cell;
      CellKind kind;
      int16_t value1;
    };
    const Object objects[] = {
        {15, CellKind::StationMark, 1},    {18, CellKind::SpeedBoard, 1600},    {36, CellKind::ControlPoint, 180},
        {37, CellKind::Signal, 30},        {41, CellKind::MountainMarker, 0},   {45, CellKind::MountainMarker, 0},
        {51, CellKind::StationMark, 2},    {53, CellKind::SlowdownWarning, 40}, {58, CellKind::InfoBoard, 80},
        {59, CellKind::ControlPoint, 180}, {60, CellKind::SpeedBoard, 1800},    {66, CellKind::ControlPoint, 180},
        {72, CellKind::ControlPoint, 180}, {77, CellKind::SlowdownStart, 40},   {84, CellKind::SlowdownEnd, 40},
        {88, CellKind::ControlPoint, 180}, {89, CellKind::Signal, 40},          {102, CellKind::StationMark, 3},
    };
    int objects_found = 0;
    for (int32_t cell = 2; cell <= state.grid.cellCount(); ++cell)
      objects_found += !state.grid[cell].is(CellKind::Plain);
    EXPECT_EQ(objects_found, static_cast<int>(std::size(objects)));
    for (const Object& object : objects) {
      SCOPED_TRACE("cell " + std::to_string(object.cell));
      EXPECT_TRUE(state.grid[object.cell].is(object.kind));
      EXPECT_EQ(state.grid[object.cell].value1, object.value1);
    }
    EXPECT_EQ(state.table[kFirstBoardRecord].text, "(    PONTE     )(  FIUME VERDE )(    2.174     )");
    EXPECT_EQ(state.table[3].text, "VALLE ALTA");
    EXPECT_EQ(state.table[3].number4, 16 * 3600 + 6 * 60 + 30);
  }
}

TEST(CompileScenario, ATakenReservedPlaceIsReportedAndForbidsTheFiles) {
  RunState state;
  const CompileOutcome outcome =
      compile_scenario(state, "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\n[fine]\r\n",
                       "[generale]\r\nsegnale, 10, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n[fine]\r\n");
  EXPECT_EQ(outcome.taken, kErrorMarkerTaken);
  EXPECT_FALSE(outcome.writable(state));
  EXPECT_EQ(state.error.code, kErrorMarkerTaken);
  ASSERT_EQ(state.diagnostics.errors(), 1u);
  EXPECT_EQ(state.diagnostics.all().back().code, kErrorMarkerTaken);
}

TEST(CompileScenario, EveryErrorTheRunKeepsIsReportedWithItsPlace) {
  RunState state;
  compile_scenario(state, "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\n[fine]\r\n",
                   "[generale]\r\nsegnale, 1500, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n"
                   "segnale, 1510, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n[fine]\r\n");
  ASSERT_EQ(state.error.code, kErrorSignalOccupied);
  ASSERT_EQ(state.diagnostics.all().size(), 1u);
  const Diagnostic& error = state.diagnostics.all().front();
  EXPECT_EQ(error.severity, Severity::Error);
  EXPECT_EQ(error.code, kErrorSignalOccupied);
  EXPECT_EQ(error.position, 1510);
  EXPECT_EQ(error.cell, 31);
  ASSERT_TRUE(error.place.has_value());
  EXPECT_EQ(*error.place, (SourcePlace{SourceKind::Service, 3, 10}));
}

// Each object remembers the entry that placed it, for the messages that name what holds a cell.
TEST(CompileScenario, EveryObjectRemembersTheEntryThatPlacedIt) {
  RunState state;
  const std::string line = "[generale]\r\nlunghezza percorso, 29000\r\n[curve]\r\n"
                           "indicatori_vmax, 850, 80, 80, 80, 0, , , , 0\r\n"  // line 4: cell 18
                           "cartello_indicatore, 2826, (X)\r\n"                // line 5: cell 58
                           "montagna, 25950, 26400, 12\r\n[fine]\r\n";         // line 6: marker in cell 522
  const std::string service =
      "[generale]\r\nsegnale, 1500, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n"                      // line 2: cell 31
      "rallentamento, 3800, 40, 350, 0, 1, 0\r\n"                                          // line 3: 53, 77, 84, 52..49
      "abbattimento, 2000, 60\r\n"                                                         // line 4: cell 40
      "stazione, 650, 12, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 23, 0, A\r\n[fine]\r\n";  // line 5: cell 15
  compile_scenario(state, line, service);
  ASSERT_EQ(state.error.code, 0);
  struct Expected {
    int32_t cell;
    SourceKind source;
    int line;
    int32_t position;
  };
  const Expected expected[] = {
      {18, SourceKind::Line, 4, 850},
      {58, SourceKind::Line, 5, 2826},
      {522, SourceKind::Line, 6, 25950},
      {31, SourceKind::Service, 2, 1500},
      {53, SourceKind::Service, 3, 3800},
      {77, SourceKind::Service, 3, 3800},
      {84, SourceKind::Service, 3, 3800},
      {49, SourceKind::Service, 3, 3800},
      {40, SourceKind::Service, 4, 2000},
      {15, SourceKind::Service, 5, 650},
      // Control points of the finishing pass come from the slowdown they serve.
      {72, SourceKind::Service, 3, 3800},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE("cell " + std::to_string(e.cell));
    EXPECT_NE(state.grid[e.cell].kind, 0);  // the cell holds an object
    const CellOrigin& origin = state.grid.origin(e.cell);
    EXPECT_EQ(origin.place, (SourcePlace{e.source, e.line, 1}));
    EXPECT_EQ(origin.position, e.position);
  }
  EXPECT_FALSE(state.grid.origin(100).place);  // a plain cell
}

// What the format takes without a word but an author surely meant otherwise: each gives a warning of its
// kind at its place.
TEST(CompileScenario, WarnsOfWhatTheFormatTakesSilently) {
  struct Case {
    const char* name;
    std::string line_entries;
    std::optional<std::string> service;  // the whole train service; nothing: a minimal one
    WarningKind kind;
    SourceKind source;
    int line;
    const char* words;  // words the message holds
  };
  const std::string profiles = "velocita, 0, 80\r\naderenza, 0, 100\r\n";
  const auto service_with = [&](const std::string& entries) {
    return "[generale]\r\n" + profiles + entries + "[fine]\r\n";
  };
  const std::vector<Case> cases = {
      {"an empty train service", "", std::string(), WarningKind::SourceNotRead, SourceKind::Service, 1, "is empty"},
      {"a train service without [generale]", "", std::string("velocita, 0, 80\r\n[fine]\r\n"),
       WarningKind::SourceNotRead, SourceKind::Service, 1, "no field \"[generale]\""},
      {"a binary train service", "", std::string("[generale]\r\nvelo\0cita\r\n", 23), WarningKind::SourceNotRead,
       SourceKind::Service, 2, "NUL byte"},
      {"a quote never closed", "",
       service_with("stazione, 650, 12, 300, 0,0,0, 0,0,0, 0,0,0, 0, 16,23,0, \"A\r\n" +
                    std::string("segnale, 1500, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n")),
       WarningKind::UnclosedQuote, SourceKind::Service, 4, "never closed"},
      {"a slowdown past the end of the line", "", service_with("rallentamento, 28900, 40, 500, 0, 0, 0\r\n"),
       WarningKind::PastLineEnd, SourceKind::Service, 4, "past the end of the 29000 m line"},
      {"a mountain that places nothing", "montagna, 5000, 5000, 2\r\n", std::nullopt, WarningKind::MountainChanged,
       SourceKind::Line, 4, "places nothing"},
      {"a mountain whose type the 150 m rule changes", "montagna, 5000, 5500, 2\r\nmontagna, 5600, 6000, 5\r\n",
       std::nullopt, WarningKind::MountainChanged, SourceKind::Line, 5, "type 5 becomes 3"},
      {"curves that overlap", "curvad3, 1000, 400\r\ncurvas3, 1200, 100\r\n", std::nullopt, WarningKind::CurveOverlap,
       SourceKind::Line, 5, "before the previous one ends at 1400 m"},
      {"a minute above 59", "", service_with("stazione, 650, 12, 300, 0,0,0, 0,0,0, 0,0,0, 0, 16,75,0, A\r\n"),
       WarningKind::TimeOutOfRange, SourceKind::Service, 4, "16:75:0"},
      {"a speed of 0 before the first speed entry", "",
       std::string("[generale]\r\nvelocita, 1000, 80\r\naderenza, 0, 100\r\n[fine]\r\n"), WarningKind::ProfileGap,
       SourceKind::Service, 2, "cells 0 to 19 (0 to 1000 m) keep a line speed of 0"},
      {"UTF-8 text", "cartello_indicatore, 2000, CITT\xC3\x80\r\n", std::nullopt, WarningKind::NotWindows1252,
       SourceKind::Line, 4, "is UTF-8, not Windows-1252 text"},
      {"a byte Windows-1252 leaves undefined", "cartello_indicatore, 2000, A\x81\r\n", std::nullopt,
       WarningKind::NotWindows1252, SourceKind::Line, 4, "byte 0x81"},
      {"a control byte", "cartello_indicatore, 2000, \x1B]2;x\x07\r\n", std::nullopt, WarningKind::NotWindows1252,
       SourceKind::Line, 4, "control byte 0x1B"},
      {"a station mark over a signal", "",
       service_with("segnale, 700, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n"
                    "stazione, 650, 12, 300, 0,0,0, 0,0,0, 0,0,0, 0, 16,23,0, A\r\n"),
       WarningKind::ObjectOverwritten, SourceKind::Service, 5, "written over the signal at 700 m"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunState state;
    const std::string line = line_with(c.line_entries);
    const std::string service = c.service.value_or(service_with(""));
    compile_scenario(state, line, service, {.keep_going = true});
    bool found = false;
    for (const Diagnostic& d : state.diagnostics.all()) {
      if (d.severity != Severity::Warning || d.warning != c.kind) continue;
      found = true;
      ASSERT_TRUE(d.place.has_value());
      EXPECT_EQ(d.place->source, c.source);
      EXPECT_EQ(d.place->line, c.line);
      EXPECT_NE(d.message.find(c.words), std::string::npos) << d.message;
    }
    EXPECT_TRUE(found) << "no warning of its kind";
  }
  // The scenario itself takes nothing silently.
  RunState scenario;
  compile_scenario(scenario, encode_lines(line_description_lines()), encode_lines(train_service_lines()),
                   {.keep_going = true});
  EXPECT_EQ(scenario.diagnostics.warnings(), 0u);
}

}  // namespace

namespace {

// The curves are read and listed alike by a check and by a compilation, and the trace is kept as the runs
// that make it: its points made as they are written are those made whole.
TEST(CompileScenario, TheCurvesGiveTheirDiagnosticsAndAreListedAndTheirTraceIsWrittenFromItsRuns) {
  const std::string longest = "[generale]\r\nlunghezza percorso, 1000000\r\n[curve]\r\n";
  struct Case {
    const char* what;
    std::string line;
    std::vector<std::string> rules;  // of the diagnostics, in order
  };
  const std::vector<Case> cases = {
      {"curves, one overlapping the other",
       line_with("curvad3, 1000, 400\r\ncurvas5, 1200, 100\r\npendenza, 3000, 4\r\n"),
       {"curve-overlap"}},
      {"a curve without its sharpness, read on", line_with("curvad, 1000, 400\r\ncurvas2, 3000, 100\r\n"), {"E103"}},
      {"a curve that ends past the grid", line_with("curvad3, 35500, 999\r\ncurvad1, 100, 10\r\n"), {"E15"}},
      {"a curve that takes the plan past its limit",
       longest + "curvad3, 999000, 1500\r\npendenza, 5000, 3\r\n[fine]\r\n",
       {"E103"}},
      {"a curve that ends on the plan's limit", longest + "curvad3, 999000, 1000\r\n[fine]\r\n", {"E103"}},
      {"a curve that ends just before it", longest + "curvad3, 999000, 999\r\n[fine]\r\n", {}},
  };
  const std::string service = "[generale]\r\nvelocita, 0, 80\r\naderenza, 0, 100\r\n[fine]\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunState checked;
    compile_scenario(checked, c.line, service, {.keep_going = true});
    std::vector<std::string> rules;
    for (const Diagnostic& d : checked.diagnostics.all()) rules.push_back(rule_id(d));
    EXPECT_EQ(rules, c.rules);
    RunState compiled;
    const CompileOutcome outcome = compile_scenario(compiled, c.line, service);
    // The format's reading ends at a curve's error; a check reads on. Up to there both list the same curves.
    ASSERT_LE(compiled.curves.size(), checked.curves.size());
    for (std::size_t n = 0; n < compiled.curves.size(); ++n) {
      EXPECT_EQ(checked.curves[n].start, compiled.curves[n].start);
      EXPECT_EQ(checked.curves[n].length, compiled.curves[n].length);
      EXPECT_EQ(checked.curves[n].sharpness, compiled.curves[n].sharpness);
      EXPECT_EQ(checked.curves[n].turn_per_metre, compiled.curves[n].turn_per_metre);
    }
    ASSERT_TRUE(compiled.trace.exists());
    EXPECT_EQ(outcome.writable(compiled), compiled.grid.exists());
    // Made as it is written or made whole, the trace has the same bytes.
    StringSink streamed;
    encode_trace_to(compiled.trace, streamed);
    EXPECT_EQ(streamed.bytes(), encode_trace(compiled.trace.points()));
  }
  RunState state;
  compile_scenario(state, line_with("curvad3, 1000, 400\r\ncurvas5, 1200, 100\r\n"), service, {.keep_going = true});
  ASSERT_EQ(state.curves.size(), 2u);
  EXPECT_EQ(state.curves[1].start, 1200);
  EXPECT_EQ(state.curves[1].length, 100);
  EXPECT_EQ(state.curves[1].sharpness, 5);
  EXPECT_EQ(state.curves[1].turn_per_metre, -0.002);
  EXPECT_EQ(state.curves[1].place.line, 5);
}

}  // namespace
