#include "compiler/line_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "scenario/error_codes.h"
#include "scenario/read_failure.h"
#include "scenario/run_state.h"
#include "source/dati_linea.h"

namespace {

RunState fresh_state() {
  RunState state;
  state.line_key = "Lesca-Varo";
  state.train_number = "148";
  state.trace_flag = 1;
  return state;
}

/// A line description of 29000 m with the given line entries.
std::string line_with(const std::string& entries) {
  return "[generale]\r\nlunghezza percorso,    29000\r\n[curve]\r\n" + entries + "[fine]\r\n";
}

class ScenarioLine : public ::testing::Test {
 protected:
  void SetUp() override {
    state = fresh_state();
    text = encode_lines(line_description_lines());
    ok = read_line_description(state, text);
  }
  RunState state;
  std::string text;
  bool ok = false;
};

TEST_F(ScenarioLine, IsReadWithoutErrorIntoAGridOf721Cells) {
  EXPECT_TRUE(ok);
  EXPECT_EQ(state.error.code, 0);
  EXPECT_EQ(state.grid.cellCount(), 720);
  EXPECT_EQ(state.grid_extent, 36000);
  EXPECT_EQ(state.trace.last_metre(), 36000);
  EXPECT_EQ(state.table[kTrainRecord].number2, 29000);
  EXPECT_EQ(state.table[kLineRecord].text, "Lesca-Varo");
  EXPECT_EQ(state.table[kServiceRecord].text, "148");
  EXPECT_EQ(state.table[kLineRecord].number1, 1);  // sfondo uno
  EXPECT_EQ(state.table[kLineRecord].number2, 0);
  EXPECT_EQ(state.table[kLineRecord].number3, 0);
  // "ripetizione segnali 4 codici, 0 ,0": the code falls to 0 with a second position of 0.
  EXPECT_EQ(state.table[kServiceRecord].number1, 0);
  EXPECT_EQ(state.table[kServiceRecord].number2, 0);
  EXPECT_EQ(state.table[kServiceRecord].number3, 0);
}

TEST_F(ScenarioLine, OrdersItsKilometricReference) {
  const auto& r81 = state.table[kKilometricTreRecord];
  EXPECT_EQ(r81.number1, 0);
  EXPECT_EQ(r81.number2, 29100);
  EXPECT_EQ(r81.number3, 1);
  for (int record : {kKilometricDueRecord, kKilometricUnoRecord}) {
    EXPECT_EQ(state.table[record].number1, 0);
    EXPECT_EQ(state.table[record].number2, 0);
    EXPECT_EQ(state.table[record].number3, 0);
  }
}

TEST_F(ScenarioLine, FillsTheGradientProfileUpToThreeCellsFromTheEnd) {
  const TrackGrid& grid = state.grid;
  for (int cell = 0; cell <= 96; ++cell) ASSERT_EQ(grid[cell].gradient, 100) << cell;
  for (int cell = 97; cell <= 103; ++cell) ASSERT_EQ(grid[cell].gradient, 98) << cell;
  for (int cell = 104; cell <= 113; ++cell) ASSERT_EQ(grid[cell].gradient, 100) << cell;
  EXPECT_EQ(grid[114].gradient, 102);  // 5700 m: +2
  EXPECT_EQ(grid[285].gradient, 82);   // 14250 m: -18 from cell 285
  EXPECT_EQ(grid[717].gradient, 100);
  for (int cell = 718; cell <= 720; ++cell) EXPECT_EQ(grid[cell].gradient, 0) << cell;
}

TEST_F(ScenarioLine, PlacesBoardsAndMountains) {
  const TrackGrid& grid = state.grid;
  // Speed boards at 850 and 4100 m.
  EXPECT_EQ(grid[18].cell_kind(), CellKind::SpeedBoard);
  EXPECT_EQ(grid[18].value1, 1600);
  EXPECT_EQ(grid[18].value2, 1600);
  EXPECT_EQ(grid[18].value3, 1600);
  EXPECT_EQ(grid[18].value4, 0);
  EXPECT_EQ(grid[83].value1, 1800);
  // Information boards: the first two at 2826 and 3500 m, records 80 and 79.
  EXPECT_EQ(grid[58].cell_kind(), CellKind::InfoBoard);
  EXPECT_EQ(grid[58].value1, 80);
  EXPECT_EQ(grid[71].cell_kind(), CellKind::InfoBoard);
  EXPECT_EQ(grid[71].value1, 79);
  EXPECT_EQ(state.table[80].text, "(     PONTE      )(CANALE PESCATORI)(    26.174      )");
  EXPECT_EQ(state.table[74].text, "(  EX STAZIONE)(    TORRINO  )(     8.800   )");
  EXPECT_EQ(state.board_slot, 73);
  // Mountains: 25950-26000 is cell 519 alone, no marker; 27150-27400 is cells 543 to 547, marker in 546.
  EXPECT_EQ(state.mountain_count, 3);
  EXPECT_EQ(grid[518].mountainType, 0);
  EXPECT_EQ(grid[519].mountainType, 2);
  EXPECT_EQ(grid[519].cell_kind(), CellKind::Plain);
  EXPECT_EQ(grid[520].mountainType, 0);
  for (int cell = 543; cell <= 547; ++cell) EXPECT_EQ(grid[cell].mountainType, 2) << cell;
  EXPECT_EQ(grid[548].mountainType, 0);
  EXPECT_EQ(grid[546].cell_kind(), CellKind::MountainMarker);
  EXPECT_EQ(grid[545].cell_kind(), CellKind::Plain);
}

TEST_F(ScenarioLine, TracesThePlanFromTheSeedToTwoMetresBeforeTheEnd) {
  const TrackTrace trace = state.trace.points();
  EXPECT_EQ(trace.tag(0, kAxisX), TraceTag::Integer);
  EXPECT_EQ(trace.tag(1, kAxisY), TraceTag::Integer);
  EXPECT_EQ(trace.value(1, kAxisY), 1.0);
  // Straight along +Y up to 1400 m, then the first curve turns right by 0.0004 per metre.
  EXPECT_EQ(trace.tag(2, kAxisX), TraceTag::Double);
  EXPECT_EQ(trace.value(1400, kAxisX), 0.0);
  EXPECT_EQ(trace.value(1400, kAxisY), 1400.0);
  EXPECT_EQ(trace.value(1401, kAxisX), 0.0004);
  EXPECT_EQ(trace.value(1401, kAxisY), 1401.0);
  EXPECT_EQ(trace.value(1402, kAxisX), (0.0004 + 0.0004) + 0.0004 * 1.0);
  EXPECT_EQ(trace.value(1402, kAxisY), (1401.0 + 1.0) - 0.0004 * 0.0004);
  EXPECT_EQ(trace.tag(35998, kAxisY), TraceTag::Double);
  EXPECT_EQ(trace.tag(35999, kAxisX), TraceTag::Empty);
  EXPECT_EQ(trace.tag(36000, kAxisY), TraceTag::Empty);
}

TEST(LineReader, GradientsTakeEffectFromTheirProfileCell) {
  RunState state = fresh_state();
  ASSERT_TRUE(read_line_description(
      state,
      line_with("pendenza,  0,   0\r\npendenza,  4850,   -2\r\npendenza,  5200,   0\r\npendenza,  5700,   2\r\n")));
  for (int cell = 0; cell <= 96; ++cell) ASSERT_EQ(state.grid[cell].gradient, 100) << cell;
  for (int cell = 97; cell <= 103; ++cell) ASSERT_EQ(state.grid[cell].gradient, 98) << cell;
  for (int cell = 104; cell <= 113; ++cell) ASSERT_EQ(state.grid[cell].gradient, 100) << cell;
  for (int cell = 114; cell <= 717; ++cell) ASSERT_EQ(state.grid[cell].gradient, 102) << cell;
}

// Every gradient entry beyond cell 0 writes at least one cell, from where the one before stopped, and so
// does the end of the reading: entries crowded into one cell push the cursor on, up to the grid's last
// cell and then beyond it, where the format's write fails (a read failure).
TEST(LineReader, GradientsInOneCellStillWriteACellEachUpToTheGridsLastCell) {
  std::string entries = "pendenza,  0,   5\r\n";
  for (int i = 0; i < 720; ++i) entries += "pendenza,  50,   7\r\n";  // lines 5 to 724
  RunState state = fresh_state();
  ASSERT_TRUE(read_line_description(state, line_with(entries)));
  EXPECT_EQ(state.error.code, 0);
  EXPECT_EQ(state.grid[0].gradient, 105);
  EXPECT_EQ(state.grid[719].gradient, 107);
  EXPECT_EQ(state.grid[720].gradient, 107);  // the end of the reading writes one cell more

  // One entry more: the end of the reading would write cell 721, told at the last entry's gradient; two
  // more: the second entry's own write fails, at its keyword.
  struct Failed {
    int more_entries;
    int line;
    int column;
  };
  for (const Failed f : {Failed{1, 725, 18}, Failed{2, 726, 1}}) {
    SCOPED_TRACE(f.more_entries);
    std::string more = entries;
    for (int i = 0; i < f.more_entries; ++i) more += "pendenza,  50,   7\r\n";
    RunState failed = fresh_state();
    try {
      read_line_description(failed, line_with(more));
      ADD_FAILURE() << "no read failure";
    } catch (const ReadFailure& failure) {
      EXPECT_EQ(failure.place().line, f.line);
      EXPECT_EQ(failure.place().column, f.column);
      EXPECT_NE(std::string(failure.what()).find("beyond the grid's last cell 720"), std::string::npos);
    }
  }
}

TEST(LineReader, KeepsTheLowEightBitsOfAGradient) {
  RunState state = fresh_state();
  ASSERT_TRUE(read_line_description(state, line_with("pendenza,  0,   200\r\npendenza,  100,   -101\r\n")));
  EXPECT_EQ(state.grid[0].gradient, 44);   // 300 mod 256
  EXPECT_EQ(state.grid[2].gradient, 255);  // -1 mod 256
}

TEST(LineReader, CurveKeywordsGiveSideAndSharpness) {
  struct Case {
    const char* keyword;
    double turn;
  };
  for (const Case& c : {Case{"curvaS2", -0.0002}, Case{"curvad24", 0.0002}, Case{"CURVAD6", 0.003},
                        Case{"curvad1", 0.0001}, Case{"curvas4", -0.001}}) {
    SCOPED_TRACE(c.keyword);
    RunState state = fresh_state();
    ASSERT_TRUE(read_line_description(state, line_with(std::string(c.keyword) + ",  100,  10\r\n")));
    // At metre 101 the step (0, 1) turns once: X = 0 + 0 + k.
    EXPECT_EQ(state.trace.points().value(100, kAxisX), 0.0);
    EXPECT_EQ(state.trace.points().value(101, kAxisX), c.turn);
  }
}

TEST(LineReader, CurvesAreSkippedWithoutTheTraceFlag) {
  RunState state = fresh_state();
  state.trace_flag = 0;
  ASSERT_TRUE(read_line_description(state, line_with("curvad7,  100,  10\r\n")));
  EXPECT_EQ(state.error.code, 0);
  EXPECT_FALSE(state.trace.exists());
}

TEST(LineReader, CaseRulesOfTheGeneralKeywords) {
  RunState state = fresh_state();
  ASSERT_TRUE(read_line_description(
      state, "[GENERALE]\r\nLunghezza Percorso, 1000\r\nSfondo uno, 5\r\nsfondo tre, 6\r\n[curve]\r\n[fine]\r\n"));
  EXPECT_EQ(state.grid.cellCount(), 160);
  EXPECT_EQ(state.table[kLineRecord].number1, 0);  // "Sfondo uno" is not a keyword
  EXPECT_EQ(state.table[kLineRecord].number2, 6);
}

TEST(LineReader, CommentFieldsArePassedOver) {
  RunState state = fresh_state();
  // A dashed keyword is a comment: its entry is lost, its number fields are passed over one by one.
  ASSERT_TRUE(
      read_line_description(state, line_with("---------\r\npendenza-x,  0,   9\r\nmontagna,  100,  200,  5\r\n")));
  EXPECT_EQ(state.error.code, 0);
  EXPECT_EQ(state.grid[0].gradient, 100);
  EXPECT_EQ(state.grid[2].mountainType, 5);
  EXPECT_EQ(state.grid[3].mountainType, 5);
}

TEST(LineReader, AnEntryOnTheLastLineIsReadButTheLastFieldIsNot) {
  RunState state = fresh_state();
  ASSERT_TRUE(read_line_description(
      state, "[generale]\r\nlunghezza percorso, 29000\r\n[curve]\r\nmontagna,  100,  200,  5\r\n"));
  EXPECT_EQ(state.grid[2].mountainType, 5);
  EXPECT_EQ(state.diagnostics.warnings(), 0u);  // nothing is lost, nothing is warned of
  RunState other = fresh_state();
  // Here the keyword itself is the last field: it is never interpreted, and its entry is lost.
  ASSERT_TRUE(read_line_description(other, "[generale]\r\nlunghezza percorso, 29000\r\n[curve]\r\nmontagna"));
  EXPECT_EQ(other.error.code, 0);
  ASSERT_EQ(other.diagnostics.warnings(), 1u);
  EXPECT_EQ(other.diagnostics.all()[0].warning, WarningKind::KeywordLastField);
  // A last field that would be no keyword there loses nothing: a general keyword among the line entries.
  RunState general = fresh_state();
  ASSERT_TRUE(read_line_description(general, "[generale]\r\nlunghezza percorso, 29000\r\n[curve]\r\nsfondo uno"));
  EXPECT_EQ(general.diagnostics.warnings(), 0u);
}

TEST(LineReader, MountainTypeRules) {
  RunState state = fresh_state();
  ASSERT_TRUE(read_line_description(state, line_with("montagna,  1000,  1100,  4\r\n"
                                                     "montagna,  1250,  1300,  4\r\n"      // 150 m after: type 3
                                                     "montagna,  1451,  1550,  4\r\n"      // 151 m after: keeps 4
                                                     "montagna,  2000,  2500,  5\r\n")));  // no markers below 11
  EXPECT_EQ(state.grid[20].mountainType, 4);
  EXPECT_EQ(state.grid[25].mountainType, 3);
  EXPECT_EQ(state.grid[29].mountainType, 4);
  for (int cell = 40; cell <= 49; ++cell) EXPECT_EQ(state.grid[cell].cell_kind(), CellKind::Plain);
  RunState marked = fresh_state();
  ASSERT_TRUE(read_line_description(marked, line_with("montagna,  1000,  1100,  12\r\n"
                                                      "montagna,  1200,  1600,  12\r\n")));
  // The second starts 100 m after the first: type 3, still with markers on its 4th and 8th cells.
  EXPECT_EQ(marked.grid[24].mountainType, 3);
  EXPECT_EQ(marked.grid[27].cell_kind(), CellKind::MountainMarker);
  EXPECT_EQ(marked.grid[31].cell_kind(), CellKind::MountainMarker);
  EXPECT_EQ(marked.grid[28].cell_kind(), CellKind::Plain);
}

TEST(LineReader, SpeedBoardPacking) {
  RunState state = fresh_state();
  ASSERT_TRUE(
      read_line_description(state, line_with("indicatori_vmax,  1000,  90,  90,  90,  3,  62,  63,  65,  2\r\n")));
  const TrackCell& cell = state.grid[21];
  EXPECT_EQ(cell.cell_kind(), CellKind::SpeedBoard);
  EXPECT_EQ(cell.value1, 1812);
  EXPECT_EQ(cell.value2, 1813);
  EXPECT_EQ(cell.value3, 1813);
  EXPECT_EQ(cell.value4, 32);
}

TEST(LineReader, ObjectsOverAMountainMarkerAreAccepted) {
  RunState state = fresh_state();
  // Markers on cells 23 and 27; a speed board at 1100 m and an information board at 1300 m land there.
  ASSERT_TRUE(read_line_description(state, line_with("montagna,  1000,  1500,  12\r\n"
                                                     "indicatori_vmax,  1100,  80,  80,  80,  0,  ,  ,  ,  0\r\n"
                                                     "cartello_indicatore,  1300,  (X)\r\n")));
  EXPECT_EQ(state.error.code, 0);
  EXPECT_EQ(state.grid[23].cell_kind(), CellKind::SpeedBoard);
  EXPECT_EQ(state.grid[27].cell_kind(), CellKind::InfoBoard);
  EXPECT_EQ(state.grid[27].mountainType, 2);
}

TEST(LineReader, ARangeErrorStopsTheEntriesButCompletesTheProfile) {
  RunState state = fresh_state();
  EXPECT_TRUE(read_line_description(state, line_with("pendenza,  0,   3\r\npendenza,  40000,   5\r\n"
                                                     "montagna,  100,  200,  5\r\n")));
  EXPECT_EQ(state.error.code, kErrorOutOfRange);
  EXPECT_EQ(state.error.position, 40000);
  EXPECT_EQ(state.grid[2].mountainType, 0);  // not read
  EXPECT_EQ(state.grid[717].gradient, 103);  // profile completed
  EXPECT_EQ(state.trace.points().tag(35998, kAxisX), TraceTag::Double);
}

TEST(LineReader, ARangeTestAcceptsUpTo35900OnA29000MetreLine) {
  RunState state = fresh_state();
  EXPECT_TRUE(read_line_description(state, line_with("pendenza,  35900,   3\r\n")));
  EXPECT_EQ(state.error.code, 0);
  RunState beyond = fresh_state();
  EXPECT_TRUE(read_line_description(beyond, line_with("pendenza,  35901,   3\r\n")));
  EXPECT_EQ(beyond.error.code, kErrorOutOfRange);
}

// Every error code of the line reading, from a small input.
TEST(LineReader, ErrorCodes) {
  struct Case {
    const char* name;
    std::string text;
    int32_t code;
    std::optional<int32_t> position;
    bool service_follows;
    int line;  // place of the error in the text (0: none)
    int column;
  };
  const std::string general = "[generale]\r\nlunghezza percorso,    29000\r\n";
  const std::vector<Case> cases = {
      {"length above the maximum",
       "[generale]\r\nlunghezza percorso, 1000001\r\n[curve]\r\n[fine]\r\n",
       kErrorLineLength,
       {},
       false,
       2,
       21},
      {"a length whose grid has no cell 1",
       "[generale]\r\nlunghezza percorso, -6975\r\n[curve]\r\n[fine]\r\n",
       kErrorLineLength,
       {},
       false,
       2,
       21},
      {"first repetition position",
       general + "ripetizione segnali 4 codici, 25, 0\r\n[curve]\r\n[fine]\r\n",
       kErrorRepetitionFirst,
       {},
       false,
       3,
       31},
      {"second repetition position",
       general + "ripetizione segnali 4 codici, 0, 2025\r\n[curve]\r\n[fine]\r\n",
       kErrorRepetitionSecond,
       {},
       false,
       3,
       34},
      {"no code count",
       general + "ripetizione segnali, 0, 2000\r\n[curve]\r\n[fine]\r\n",
       kErrorRepetitionCodes,
       {},
       false,
       3,
       1},
      {"board on a speed board",
       line_with("indicatori_vmax,  850,  80,  80,  80,  0,  ,  ,  ,  0\r\ncartello_indicatore,  870,  (X)\r\n"),
       kErrorInfoBoardOccupied, 870, false, 5, 23},
      {"position beyond the grid", line_with("montagna,  35950,  36000,  2\r\n"), kErrorOutOfRange, 35950, true, 4, 12},
      {"mountain's last cell beyond the grid", line_with("montagna,  100,  36100,  2\r\n"), kErrorOutOfRange, 36100,
       true, 4, 18},
      {"cell before the start of the grid", line_with("cartello_indicatore,  -100,  (X)\r\n"), kErrorOutOfRange, -100,
       true, 4, 23},
      {"curve end beyond the trace", line_with("curvad3,  35000,  999\r\n"), kErrorOutOfRange, 35999, true, 4, 19},
      {"speed board on a board",
       line_with("cartello_indicatore,  850,  (X)\r\nindicatori_vmax,  850,  80,  80,  80,  0,  ,  ,  ,  0\r\n"),
       kErrorSpeedBoardOccupied, 850, false, 5, 19},
      {"no general section", "[curve]\r\npendenza, 0, 0\r\n[fine]\r\n", kErrorNoGeneralSection, {}, false, 1, 1},
      {"curve without sharpness", line_with("curvad,  100,  10\r\n"), kErrorCurve, {}, false, 4, 1},
      {"no line length",
       "[generale]\r\nsfondo uno, 1\r\n[curve]\r\npendenza, 0, 0\r\n[fine]\r\n",
       kErrorNoLineLength,
       {},
       false,
       4,
       1},
      {"no line length and no entry",
       "[generale]\r\nsfondo uno, 1\r\n[curve]\r\n[fine]\r\n",
       kErrorNoLineLength,
       {},
       false,
       0,
       0},
      {"81 mountains", line_with([] {
         std::string s;
         for (int i = 0; i < 81; ++i)
           s += "montagna,  " + std::to_string(i * 400) + ",  " + std::to_string(i * 400 + 100) + ",  2\r\n";
         return s;
       }()),
       kErrorMountainCapacity, 32000, false, 84, 12},
      {"81 information boards", line_with([] {
         std::string s;
         for (int i = 0; i < 81; ++i) s += "cartello_indicatore,  " + std::to_string(i * 100) + ",  (X)\r\n";
         return s;
       }()),
       kErrorBoardCapacity, 8000, false, 84, 23},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunState state = fresh_state();
    EXPECT_EQ(read_line_description(state, c.text), c.service_follows);
    EXPECT_EQ(state.error.code, c.code);
    EXPECT_EQ(state.error.position, c.position);
    if (c.line == 0) {
      EXPECT_FALSE(state.error.place.has_value());
    } else if (state.error.place) {
      EXPECT_EQ(state.error.place->line, c.line);
      EXPECT_EQ(state.error.place->column, c.column);
    } else {
      ADD_FAILURE() << "no place";
    }
  }
}

TEST(LineReader, ATraceBeyondOneMillionMetresEndsTheReading) {
  RunState state = fresh_state();
  const std::string text =
      "[generale]\r\nlunghezza percorso, 1000000\r\n[curve]\r\ncurvad3,  999000,  1500\r\n[fine]\r\n";
  EXPECT_FALSE(read_line_description(state, text));
  EXPECT_EQ(state.error.code, kErrorCurve);
}

TEST(LineReader, ReadFailuresLeaveWithThePlaceOfTheField) {
  struct Case {
    const char* name;
    std::string text;
    int line;
    int column;
  };
  const std::vector<Case> cases = {
      {"text for a number", line_with("pendenza,  abc,  2\r\n"), 4, 12},
      // Told at the entry that the end of the file cut short.
      {"file ends inside an entry", line_with("") + "montagna,  100,", 5, 1},
      {"stripe count beyond 16 bits", line_with("indicatori_vmax,  850,  80,  80,  80,  40000,  ,  ,  ,  0\r\n"), 4,
       40},
      {"packed speed beyond 16 bits", line_with("indicatori_vmax,  850,  1639,  80,  80,  0,  ,  ,  ,  0\r\n"), 4, 1},
      {"position sum beyond 32 bits", line_with("pendenza,  2147483600,  2\r\n"), 4, 1},
      {"a length for which no plan trace can be made", "[generale]\r\nlunghezza percorso, -7001\r\n[fine]\r\n", 2, 21},
      {"a length for which no grid can be made", "[generale]\r\nlunghezza percorso, -7026\r\n[fine]\r\n", 2, 21},
      {"empty file", "", 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunState state = fresh_state();
    try {
      read_line_description(state, c.text);
      ADD_FAILURE() << "no read failure";
    } catch (const ReadFailure& failure) {
      EXPECT_EQ(failure.place().line, c.line);
      EXPECT_EQ(failure.place().column, c.column);
    }
  }
}

// Each length dimensions the grid afresh: the last one counts, whatever came before, and a length read
// before a failure of the general section has made its grid.
TEST(LineReader, TheLastLineLengthDimensionsTheGrid) {
  std::string many = "[generale]\r\n";
  for (int n = 0; n < 500; ++n) many += "lunghezza percorso, 1000000\r\n";
  many += "lunghezza percorso, 1000\r\n[curve]\r\npendenza, 0, 5\r\n[fine]\r\n";
  RunState state = fresh_state();
  EXPECT_TRUE(read_line_description(state, many));
  EXPECT_EQ(state.grid.cellCount(), 160);
  EXPECT_EQ(state.trace.last_metre(), 8000);
  EXPECT_EQ(state.grid[0].gradient, 105);

  RunState refused = fresh_state();
  EXPECT_FALSE(read_line_description(
      refused, "[generale]\r\nlunghezza percorso, 1000\r\nlunghezza percorso, 2000000\r\n[curve]\r\n[fine]\r\n"));
  EXPECT_EQ(refused.error.code, kErrorLineLength);
  EXPECT_EQ(refused.grid.cellCount(), 160);  // the first length's grid stays

  RunState failed = fresh_state();
  EXPECT_THROW(read_line_description(failed, "[generale]\r\nlunghezza percorso, 1000\r\nsfondo uno, x\r\n[fine]\r\n"),
               ReadFailure);
  EXPECT_EQ(failed.grid.cellCount(), 160);
}

// The format refuses a length only above 1000000 m: a line of 0 m or less has the grid beyond its end
// alone, down to where its arrays cannot be made (a read failure) or lack cell 1, which the output needs.
TEST(LineReader, ALineOfZeroMetresOrLessHasOnlyTheGridBeyondItsEnd) {
  struct Case {
    int32_t length;
    int32_t trace_flag;
    int32_t code;       // 0: accepted
    int64_t last_cell;  // of the grid, when accepted
  };
  for (const Case& c :
       {Case{0, 1, 0, 140}, Case{-100, 1, 0, 138}, Case{-6974, 1, 0, 1}, Case{-6975, 1, kErrorLineLength, 0},
        Case{-7000, 1, kErrorLineLength, 0}, Case{-7001, 1, kErrorReadFailure, 0}, Case{-7025, 0, kErrorLineLength, 0},
        Case{-7026, 0, kErrorReadFailure, 0}, Case{-2147483647 - 1, 1, kErrorReadFailure, 0}}) {
    SCOPED_TRACE(c.length);
    RunState state = fresh_state();
    state.trace_flag = c.trace_flag;
    const std::string text = "[generale]\r\nlunghezza percorso, " + std::to_string(c.length) +
                             "\r\n[curve]\r\npendenza, -100, 2\r\n[fine]\r\n";
    bool failed = false;
    try {
      read_line_description(state, text);
    } catch (const ReadFailure&) {
      failed = true;
    }
    EXPECT_EQ(failed, c.code == kErrorReadFailure);
    if (!failed) {
      EXPECT_EQ(state.error.code, c.code);
    }
    if (c.code != 0) {
      EXPECT_FALSE(state.grid.exists());
      continue;
    }
    ASSERT_TRUE(state.grid.exists());
    EXPECT_EQ(state.grid.cellCount(), c.last_cell);
    EXPECT_EQ(state.trace.last_metre(), c.length + 7000);
    EXPECT_EQ(state.grid[0].gradient, 102);  // the gradient from -100 m holds from cell round(-2) on
    ASSERT_EQ(state.diagnostics.warnings(), 1u);
    EXPECT_EQ(state.diagnostics.all()[0].warning, WarningKind::LineNotPositive);
  }
  // A grid that cannot be made leaves an earlier length's grid; a trace that cannot be made does not (the
  // grid was made again, of cell 0 alone, before it).
  RunState kept = fresh_state();
  EXPECT_THROW(
      read_line_description(kept, "[generale]\r\nlunghezza percorso, 1000\r\nlunghezza percorso, -7026\r\n[fine]\r\n"),
      ReadFailure);
  EXPECT_EQ(kept.grid.cellCount(), 160);
  RunState dropped = fresh_state();
  EXPECT_THROW(read_line_description(
                   dropped, "[generale]\r\nlunghezza percorso, 1000\r\nlunghezza percorso, -7001\r\n[fine]\r\n"),
               ReadFailure);
  EXPECT_FALSE(dropped.grid.exists());
}

}  // namespace
