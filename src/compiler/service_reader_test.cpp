#include "compiler/service_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "scenario/error_codes.h"
#include "scenario/read_failure.h"
#include "scenario/run_state.h"
#include "source/dati_treno.h"

namespace {

/// A run state as the line description of the scenario leaves it: cells 0 to 720, the kilometric
/// reference (0, 29100, 1) in record 81, and the seven boards in records 80 to 74.
RunState scenario_state() {
  RunState state;
  state.grid.create(36000);
  state.board_slot = 73;
  state.table[kKilometricTreRecord].number1 = 0;
  state.table[kKilometricTreRecord].number2 = 29100;
  state.table[kKilometricTreRecord].number3 = 1;
  return state;
}

/// A signal entry as the scenario writes it, at a given position.
std::string signal_at(int32_t position) { return "segnale," + std::to_string(position) + ",2,3,0,0,0,0,0,0,0,0\r\n"; }

/// A station entry with the values the reader tests, the others 0; the position field is at column 10.
std::string station(int32_t position, int kind, int32_t length, int byte3 = 0, int byte4 = 0,
                    const std::string& name = "NAME") {
  return "stazione," + std::to_string(position) + "," + std::to_string(kind) + "," + std::to_string(length) + ",0," +
         std::to_string(byte4) + "," + std::to_string(byte3) + ",0,0,0,0,0,0,0,16,0,0," + name + "\r\n";
}

class ServiceReaderTest : public ::testing::Test {
 protected:
  /// Reads "[generale]" (line 1), then `body`, then "[codici]" and "[fine]".
  void read(const std::string& body) { read_train_service(state, "[generale]\r\n" + body + "[codici]\r\n[fine]\r\n"); }

  RunState state = scenario_state();
};

// --- The scenario's own file -------------------------------------------------------------------

class ScenarioServiceTest : public ServiceReaderTest {
 protected:
  void SetUp() override { read_train_service(state, encode_lines(train_service_lines())); }
};

TEST_F(ScenarioServiceTest, LeavesErrorCodeZeroAndTheTrainSlots) {
  EXPECT_EQ(state.error.code, 0);
  EXPECT_FALSE(state.error.position.has_value());
  EXPECT_EQ(state.table[kTrainRecord].number1, 130);
  EXPECT_EQ(state.table[kTrainRecord].number3, 3);
  EXPECT_EQ(state.table[kServiceRecord].short1, 100);
  EXPECT_EQ(state.table[kServiceRecord].short3, 16);
  EXPECT_EQ(state.table[kServiceRecord].short4, 22);
  EXPECT_EQ(state.table[kServiceRecord].short5, 40);
}

TEST_F(ScenarioServiceTest, ThirteenStationRecordsWithTheirPlatformsAndTimes) {
  struct Station {
    int32_t position;
    uint8_t kind;
    const char* name;
    int hour, minute, second;
  };
  const Station stations[] = {
      {650, 12, "CRISTOFORO COLOMBO", 16, 23, 0}, {1900, 24, "CASTEL FUSANO", 16, 25, 0},
      {3250, 24, "STELLA POLARE", 16, 27, 0},     {4450, 12, "LIDO CENTRO", 16, 30, 0},
      {5550, 24, "OSTIA NORD", 16, 31, 0},        {7650, 24, "OSTIA ANTICA", 16, 34, 0},
      {13300, 22, "ACILIA", 16, 40, 0},           {14950, 22, "CASAL BERNOCCHI", 16, 44, 10},
      {17250, 22, "VITINIA", 16, 49, 0},          {21250, 28, "TOR DI VALLE", 16, 53, 0},
      {24400, 12, "MAGLIANA", 16, 56, 0},         {26700, 12, "S.PAOLO BASILICA", 16, 59, 0},
      {29000, 6, "ROMA PORTA S.PAOLO", 17, 3, 0},
  };
  for (int n = 1; n <= 13; ++n) {
    const Station& s = stations[n - 1];
    const ScenarioRecord& record = state.table[n];
    SCOPED_TRACE(s.name);
    EXPECT_EQ(record.number3, s.position);
    EXPECT_EQ(record.code, s.kind);
    EXPECT_EQ(record.text, s.name);
    EXPECT_EQ(record.number4, s.hour * 3600 + s.minute * 60 + s.second);
    EXPECT_EQ(record.byte3, 0);
    EXPECT_EQ(record.byte4, 0);  // 300 m platforms
    if (s.kind != 6) {
      // A 300 m platform centred on the position.
      EXPECT_EQ(record.number1, s.position - 150);
      EXPECT_EQ(record.number2, s.position + 150);
    }
  }
  EXPECT_EQ(state.table[14].number3, 0);
  EXPECT_TRUE(state.table[14].text.empty());
}

TEST_F(ScenarioServiceTest, FirstStationRecordAndMarks) {
  const ScenarioRecord& first = state.table[1];
  EXPECT_EQ(first.number1, 500);
  EXPECT_EQ(first.number2, 800);
  EXPECT_EQ(first.number4, 58980);
  EXPECT_EQ(first.mark, 1);
  EXPECT_EQ(first.byte3, 0);
  EXPECT_EQ(first.byte4, 0);  // read as 1, cleared for the first station
  EXPECT_EQ(first.short1, 4);
  EXPECT_EQ(first.short2, 1);
  EXPECT_EQ(first.byte1, 0);
  EXPECT_EQ(first.short3, 2);
  EXPECT_EQ(first.short4, 1);
  EXPECT_EQ(first.short5, 1);
  EXPECT_EQ(first.byte2, 1);
  EXPECT_EQ(state.grid[14].approachMark, 81);
  EXPECT_EQ(state.grid[13].approachMark, 82);
  EXPECT_EQ(state.grid[12].approachMark, 83);
  EXPECT_EQ(state.grid[11].approachMark, 84);
  EXPECT_TRUE(state.grid[15].is(CellKind::StationMark));
  EXPECT_EQ(state.grid[15].value1, 1);
}

TEST_F(ScenarioServiceTest, LastStationRecordAndMarkWithoutApproachMarks) {
  const ScenarioRecord& last = state.table[13];
  EXPECT_EQ(last.code, 6);
  EXPECT_EQ(last.number1, 28700);
  EXPECT_EQ(last.number2, 29150);
  EXPECT_EQ(last.number4, 61380);
  EXPECT_EQ(last.mark, 1);
  EXPECT_EQ(last.byte2, 0);
  EXPECT_TRUE(state.grid[582].is(CellKind::StationMark));
  EXPECT_EQ(state.grid[582].value1, 13);
  for (int cell = 578; cell <= 581; ++cell) EXPECT_EQ(state.grid[cell].approachMark, 0) << cell;
}

TEST_F(ScenarioServiceTest, StationOfKind28PlacesNothing) {
  // TOR DI VALLE: its platform end 21400 would give the mark in cell 427 and approach marks in 426 to
  // 423 (426 and 424 carry the marks of the signal at 21450).
  EXPECT_TRUE(state.grid[427].is(CellKind::Plain));
  EXPECT_EQ(state.grid[425].approachMark, 0);
  EXPECT_EQ(state.grid[423].approachMark, 0);
  int marks = 0;
  for (const TrackCell& cell : state.grid.cells()) marks += cell.is(CellKind::StationMark);
  EXPECT_EQ(marks, 12);
}

TEST_F(ScenarioServiceTest, SpeedAndAdhesionProfiles) {
  for (int32_t cell = 0; cell <= 720; ++cell) {
    const uint8_t speed = cell <= 87 ? 16 : cell <= 717 ? 18 : 0;
    const uint8_t adhesion = cell <= 717 ? 100 : 0;
    EXPECT_EQ(state.grid[cell].speedLimit, speed) << "cell " << cell;
    EXPECT_EQ(state.grid[cell].adhesion, adhesion) << "cell " << cell;
  }
}

TEST_F(ScenarioServiceTest, SignalsAndSlowdowns) {
  const TrackCell& first = state.grid[31];
  EXPECT_TRUE(first.is(CellKind::Signal));
  EXPECT_EQ(first.value1, 30);
  EXPECT_EQ(first.value2, 0);
  EXPECT_EQ(first.value3, 0);
  EXPECT_EQ(first.value4, 6);
  EXPECT_EQ(first.signalTime, 0);
  EXPECT_EQ(state.grid[29].approachMark, 61);
  EXPECT_EQ(state.grid[27].approachMark, 62);
  EXPECT_EQ(state.grid[25].approachMark, 63);
  EXPECT_EQ(state.grid[23].approachMark, 64);

  const TrackCell& last = state.grid[570];
  EXPECT_TRUE(last.is(CellKind::Signal));
  EXPECT_EQ(last.value1, 20);
  EXPECT_EQ(last.value2, 30);
  EXPECT_EQ(last.value4, 6);
  EXPECT_EQ(last.signalTime, 255);

  EXPECT_TRUE(state.grid[53].is(CellKind::SlowdownWarning));
  EXPECT_EQ(state.grid[53].value1, 40);
  EXPECT_TRUE(state.grid[77].is(CellKind::SlowdownStart));
  EXPECT_EQ(state.grid[77].value1, 40);
  EXPECT_TRUE(state.grid[84].is(CellKind::SlowdownEnd));
  EXPECT_EQ(state.grid[84].value1, 40);
  EXPECT_TRUE(state.grid[52].is(CellKind::Plain));  // no approach cells

  int signals = 0;
  for (const TrackCell& cell : state.grid.cells()) signals += cell.is(CellKind::Signal);
  EXPECT_EQ(signals, 19);
}

// --- Every error code, with its position and the field that gave it ---------------------------

struct ErrorCase {
  const char* name;
  std::string body;  // after "[generale]" on line 1
  int32_t code;
  std::optional<int32_t> position;
  int line = 0;  // place of the field that gave the error, 0 for none
  int column = 0;
  void (*prepare)(RunState&) = nullptr;
};
// Test names show the case by its name.
void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class ServiceReaderErrors : public ServiceReaderTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ServiceReaderErrors, SetsCodePositionAndPlace) {
  const ErrorCase& c = GetParam();
  if (c.prepare) c.prepare(state);
  read(c.body);
  EXPECT_EQ(state.error.code, c.code);
  EXPECT_EQ(state.error.position, c.position);
  if (c.line == 0) {
    EXPECT_FALSE(state.error.place.has_value());
  } else {
    ASSERT_TRUE(state.error.place.has_value());
    EXPECT_EQ(state.error.place->source, SourceKind::Service);
    EXPECT_EQ(state.error.place->line, c.line);
    EXPECT_EQ(state.error.place->column, c.column);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, ServiceReaderErrors,
    ::testing::Values(
        ErrorCase{"kilometric_start_not_multiple_of_50", "sabbia,5\r\n", kErrorKilometricReference, std::nullopt, 0, 0,
                  [](RunState& s) { s.table[kKilometricUnoRecord].number1 = 25; }},
        ErrorCase{"kilometric_value_replaces_15", signal_at(35901), kErrorKilometricReference, std::nullopt, 0, 0,
                  [](RunState& s) { s.table[kKilometricDueRecord].number2 = 1010; }},
        ErrorCase{"speed_cut_on_signal", signal_at(1950) + "abbattimento,2000,60\r\n", kErrorSpeedCutOccupied, 2000, 3,
                  14},
        ErrorCase{"station_not_multiple_of_50", station(2875, 12, 300), kErrorStationPosition, 2875, 2, 10},
        ErrorCase{"platform_not_multiple_of_100", station(650, 12, 350), kErrorPlatformLength, 650, 2, 17},
        ErrorCase{"station_reaches_board_slot", station(650, 12, 300), kErrorStationRecords, std::nullopt, 2, 1,
                  [](RunState& s) { s.board_slot = 2; }},
        ErrorCase{"speed_beyond_grid", "velocita,35901,80\r\n", kErrorOutOfRange, 35901, 2, 10},
        ErrorCase{"adhesion_beyond_grid", "aderenza,35901,100\r\n", kErrorOutOfRange, 35901, 2, 10},
        ErrorCase{"signal_beyond_grid", signal_at(35901), kErrorOutOfRange, 35901, 2, 9},
        ErrorCase{"signal_before_cell_0", signal_at(-100), kErrorOutOfRange, -100, 2, 9},
        ErrorCase{"slowdown_beyond_grid", "rallentamento,35901,40,350,0,0,0\r\n", kErrorOutOfRange, 35901, 2, 15},
        ErrorCase{"slowdown_start_before_cell_0", "rallentamento,-200,40,350,0,0,0\r\n", kErrorOutOfRange, -200, 2, 15},
        ErrorCase{"slowdown_end_beyond_grid", "rallentamento,3800,40,40000,0,0,0\r\n", kErrorOutOfRange, 43800, 2, 23},
        ErrorCase{"slowdown_end_before_cell_0", "rallentamento,1000,40,-2000,0,0,0\r\n", kErrorOutOfRange, -1000, 2,
                  23},
        ErrorCase{"speed_cut_beyond_grid", "abbattimento,35901,60\r\n", kErrorOutOfRange, 35901, 2, 14},
        ErrorCase{"speed_cut_before_cell_0", "abbattimento,-100,60\r\n", kErrorOutOfRange, -100, 2, 14},
        ErrorCase{"station_beyond_grid", station(35300, 12, 300), kErrorOutOfRange, 35300, 2, 10},
        ErrorCase{"station_mark_beyond_grid", station(30000, 7, 20000), kErrorOutOfRange, 30000, 2, 10},
        ErrorCase{"signal_on_signal", signal_at(1500) + signal_at(1510), kErrorSignalOccupied, 1510, 3, 9},
        ErrorCase{"slowdown_warning_taken", signal_at(2600) + "rallentamento,3800,40,350,0,0,0\r\n",
                  kErrorWarningOccupied, 3800, 3, 15},
        ErrorCase{"slowdown_start_taken", signal_at(3800) + "rallentamento,3800,40,350,0,0,0\r\n",
                  kErrorSlowdownStartOccupied, 3800, 3, 15},
        ErrorCase{"slowdown_end_taken", signal_at(4150) + "rallentamento,3800,40,350,0,0,0\r\n",
                  kErrorSlowdownEndOccupied, 3800, 3, 15},
        ErrorCase{"slowdown_approach_taken", signal_at(250) + "rallentamento,1550,40,350,0,1,0\r\n",
                  kErrorApproachOccupied, 1550, 3, 15},
        ErrorCase{"platforms_too_near", station(650, 12, 300) + station(1000, 12, 300), kErrorStationSpacing, 1000, 3,
                  10},
        ErrorCase{"stations_out_of_order", station(5000, 12, 300) + station(650, 12, 300), kErrorStationSpacing, 650, 3,
                  10},
        ErrorCase{"platform_end_at_100", station(50, 12, 100), kErrorPlatformTooNear, std::nullopt, 2, 1}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST_F(ServiceReaderTest, HardErrorsLeaveTheProfilesUnfinishedButFifteenFinishesThem) {
  read("velocita,0,80\r\naderenza,0,100\r\n" + signal_at(1500) + signal_at(1500) + "sabbia,7\r\n");
  EXPECT_EQ(state.error.code, kErrorSignalOccupied);
  EXPECT_EQ(state.grid[0].speedLimit, 0);
  EXPECT_EQ(state.grid[0].adhesion, 0);
  EXPECT_EQ(state.table[kServiceRecord].short1, 0);  // the entries after the refusal are not read

  state = scenario_state();
  read("velocita,0,80\r\naderenza,0,100\r\n" + signal_at(35901) + "sabbia,7\r\n");
  EXPECT_EQ(state.error.code, kErrorOutOfRange);
  EXPECT_EQ(state.grid[0].speedLimit, 16);
  EXPECT_EQ(state.grid[717].speedLimit, 16);
  EXPECT_EQ(state.grid[717].adhesion, 100);
  EXPECT_EQ(state.grid[718].adhesion, 0);
  EXPECT_EQ(state.table[kServiceRecord].short1, 0);
}

TEST_F(ServiceReaderTest, ARefusalLeavesWhatWasWrittenBefore) {
  read(signal_at(250) + "rallentamento,1550,40,350,0,1,0\r\n");
  EXPECT_EQ(state.error.code, kErrorApproachOccupied);
  EXPECT_TRUE(state.grid[8].is(CellKind::SlowdownWarning));
  EXPECT_TRUE(state.grid[32].is(CellKind::SlowdownStart));
  EXPECT_TRUE(state.grid[39].is(CellKind::SlowdownEnd));
}

TEST_F(ServiceReaderTest, FifteenFromAnIndexOutsideTheGridWritesNothingOfTheEntry) {
  read("rallentamento,3800,40,40000,0,0,0\r\n");
  EXPECT_EQ(state.error.code, kErrorOutOfRange);
  for (int cell : {53, 77}) EXPECT_TRUE(state.grid[cell].is(CellKind::Plain)) << cell;
}

// --- Read failures: error code 25 comes from the caller, which catches this exception ----------

TEST_F(ServiceReaderTest, ReadFailures) {
  struct Case {
    const char* name;
    std::string body;
  };
  const Case cases[] = {
      {"a number field holding text", "sabbia,abc\r\n"},
      {"a station kind of 256", station(650, 256, 300)},
      {"a 16-bit value of 40000", "orologio,40000,0,0\r\n"},
      {"a 16-bit station value of 40000", "stazione,650,12,300,0,0,0,40000,0,0,0,0,0,0,16,0,0,NAME\r\n"},
      {"a station byte of 256", "stazione,650,12,300,256,0,0,0,0,0,0,0,0,0,16,0,0,NAME\r\n"},
      {"a timetable hour of 1000000", "stazione,650,12,300,0,0,0,0,0,0,0,0,0,0,1000000,0,0,NAME\r\n"},
      {"a slowdown end beyond 32 bits", "rallentamento,35000,40,2147483647,0,0,0\r\n"},
      {"a speed limit above 255", "velocita,0,1300\r\n"},
      {"a negative speed limit", "velocita,0,-10\r\n"},
      {"a number beyond 32 bits", "velocita,0,2147483648\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state = scenario_state();
    EXPECT_THROW(read(c.body), ReadFailure);
  }
}

TEST_F(ServiceReaderTest, AFileEndingInsideAnEntryIsAReadFailure) {
  EXPECT_THROW(read_train_service(state, "[generale]\r\nstazione,650,12\r\n"), ReadFailure);
  state = scenario_state();
  EXPECT_THROW(read_train_service(state, "[generale]\r\nsegnale,1500,2,3"), ReadFailure);
}

TEST_F(ServiceReaderTest, AFileEndingRightAfterAKeywordEndsNormally) {
  for (const char* text : {"[generale]\r\nvelocita,0,80\r\nstazione\r\n", "[generale]\r\nvelocita,0,80\r\nstazione"}) {
    SCOPED_TRACE(text);
    state = scenario_state();
    read_train_service(state, text);
    EXPECT_EQ(state.error.code, 0);
    EXPECT_EQ(state.table[1].number3, 0);
    EXPECT_EQ(state.grid[717].speedLimit, 16);  // the closing step ran
  }
}

// --- The reader's own field rules ---------------------------------------------------------------

TEST_F(ServiceReaderTest, KeywordsAreFoundInAnyCase) {
  read_train_service(state, "[GENERALE]\r\nSABBIA,7\r\nNumero Vetture,3\r\nVELOCITA,0,80\r\n[FINE]\r\n");
  EXPECT_EQ(state.table[kServiceRecord].short1, 7);
  EXPECT_EQ(state.table[kTrainRecord].number3, 3);
  EXPECT_EQ(state.grid[0].speedLimit, 16);
}

TEST_F(ServiceReaderTest, FrenataWithoutMassaTriggersNothingAndItsValueIsReadAsAKeyword) {
  read("percentuale frenata,130\r\nnumero vetture,3\r\n");
  EXPECT_EQ(state.table[kTrainRecord].number1, 0);
  EXPECT_EQ(state.table[kTrainRecord].number3, 3);
  EXPECT_EQ(state.error.code, 0);

  state = scenario_state();
  read("frenata,sabbia,7\r\n");
  EXPECT_EQ(state.table[kServiceRecord].short1, 7);
}

TEST_F(ServiceReaderTest, EveryKeyStringAFieldContainsTriggersItsEntryInOrder) {
  read("velocita aderenza,0,80,0,90\r\nsabbia orologio,16,22,40,7\r\n");
  EXPECT_EQ(state.grid[0].speedLimit, 16);
  EXPECT_EQ(state.grid[0].adhesion, 90);
  // "orologio" is tested before "sabbia".
  EXPECT_EQ(state.table[kServiceRecord].short3, 16);
  EXPECT_EQ(state.table[kServiceRecord].short5, 40);
  EXPECT_EQ(state.table[kServiceRecord].short1, 7);
}

TEST_F(ServiceReaderTest, WithoutGeneraleNoEntryIsReadButTheClosingStepRuns) {
  state.table[kKilometricUnoRecord].number1 = 25;
  read_train_service(state, "sabbia,7\r\nvelocita,0,80\r\n[fine]\r\n");
  EXPECT_EQ(state.table[kServiceRecord].short1, 0);
  EXPECT_EQ(state.grid[0].speedLimit, 0);
  EXPECT_EQ(state.error.code, kErrorKilometricReference);
}

TEST_F(ServiceReaderTest, AStationNameIsCutAtACommaAndTheRestReadAsAKeyword) {
  read(station(650, 12, 300, 0, 0, "CRISTOFORO, sabbia, 7"));
  EXPECT_EQ(state.table[1].text, "CRISTOFORO");
  EXPECT_EQ(state.table[kServiceRecord].short1, 7);
  EXPECT_EQ(state.error.code, 0);
}

TEST_F(ServiceReaderTest, ClockValuesSeparatedByBlanksOnly) {
  read("orologio,    16              22            40 \r\n");
  EXPECT_EQ(state.table[kServiceRecord].short3, 16);
  EXPECT_EQ(state.table[kServiceRecord].short4, 22);
  EXPECT_EQ(state.table[kServiceRecord].short5, 40);
}

TEST_F(ServiceReaderTest, AtMostTwoDashFieldsInARowArePassedOver) {
  struct Case {
    const char* body;
    int16_t sand;
  };
  const Case cases[] = {
      {"-note,sabbia,7\r\n", 7},
      {"-note,-sabbia,7\r\n", 0},        // "-sabbia" is passed over for "7"
      {"-note,-more,-sabbia,7\r\n", 7},  // the third is a keyword field again
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    state = scenario_state();
    read(c.body);
    EXPECT_EQ(state.table[kServiceRecord].short1, c.sand);
    EXPECT_EQ(state.error.code, 0);
  }
}

TEST_F(ServiceReaderTest, AfterTheSoftFifteenOfTheLineTheFirstSignalEndsTheReading) {
  set_error(state, kErrorOutOfRange, 40000);
  read("velocita,0,80\r\n" + signal_at(1500) + "sabbia,7\r\n");
  EXPECT_EQ(state.error.code, kErrorOutOfRange);
  EXPECT_EQ(state.error.position, 1500);
  EXPECT_TRUE(state.grid[31].is(CellKind::Signal));  // placed before the code is looked at
  EXPECT_EQ(state.table[kServiceRecord].short1, 0);
  EXPECT_EQ(state.grid[0].speedLimit, 0);  // no closing step

  state = scenario_state();
  set_error(state, kErrorOutOfRange, 40000);
  read("velocita,0,80\r\nrallentamento,3800,40,350,0,0,0\r\n");
  EXPECT_EQ(state.error.code, kErrorOutOfRange);
  EXPECT_EQ(state.error.position, 3800);
  EXPECT_EQ(state.grid[0].speedLimit, 0);

  // Without a signal or slowdown the code of the line stays, and the profiles are finished.
  state = scenario_state();
  set_error(state, kErrorOutOfRange, 40000);
  read("velocita,0,80\r\n" + station(650, 12, 300) + "abbattimento,2000,60\r\n");
  EXPECT_EQ(state.error.code, kErrorOutOfRange);
  EXPECT_EQ(state.error.position, 40000);
  EXPECT_EQ(state.grid[717].speedLimit, 16);
  EXPECT_TRUE(state.grid[40].is(CellKind::ControlPoint));
}

// --- Profiles -----------------------------------------------------------------------------------

TEST_F(ServiceReaderTest, TwoSpeedEntriesInOneCellWriteOneMoreCellWithTheEarlierSpeed) {
  read("velocita,0,80\r\nvelocita,1000,90\r\nvelocita,1010,100\r\n");
  for (int cell = 0; cell <= 19; ++cell) EXPECT_EQ(state.grid[cell].speedLimit, 16) << cell;
  EXPECT_EQ(state.grid[20].speedLimit, 18);
  for (int cell = 21; cell <= 717; ++cell) EXPECT_EQ(state.grid[cell].speedLimit, 20) << cell;
  EXPECT_EQ(state.grid[718].speedLimit, 0);
}

TEST_F(ServiceReaderTest, BeforeTheFirstEntryTheProfilesHoldZero) {
  read("velocita,1000,90\r\naderenza,1000,100\r\n");
  EXPECT_EQ(state.grid[19].speedLimit, 0);
  EXPECT_EQ(state.grid[19].adhesion, 0);
  EXPECT_EQ(state.grid[20].speedLimit, 18);
  EXPECT_EQ(state.grid[20].adhesion, 100);
}

TEST_F(ServiceReaderTest, AdhesionKeepsItsLowByte) {
  read("aderenza,0,300\r\n");
  EXPECT_EQ(state.grid[0].adhesion, 44);
  EXPECT_EQ(state.grid[717].adhesion, 44);
}

// An entry writes at least one cell, from where the one before stopped (a line speed run also stops when
// it reaches the last cell), and so does the end of the reading: entries crowded at the end of the grid
// push the cursor beyond it, where the format's write fails (a read failure).
TEST_F(ServiceReaderTest, ProfileFillsWriteUpToTheLastCellAndFailBeyondIt) {
  state.grid.create(200);  // cells 0 to 4; the largest accepted position is 100
  std::string body;
  for (int i = 0; i < 3; ++i) body += "velocita,100,80\r\n";
  EXPECT_NO_THROW(read(body));
  EXPECT_EQ(state.error.code, 0);
  EXPECT_EQ(state.grid[0].speedLimit, 0);
  EXPECT_EQ(state.grid[1].speedLimit, 0);
  for (int cell = 2; cell <= 4; ++cell) EXPECT_EQ(state.grid[cell].speedLimit, 16) << cell;

  for (const int entries : {4, 5}) {
    SCOPED_TRACE(entries);
    state = scenario_state();
    state.grid.create(200);
    std::string more;
    for (int i = 0; i < entries; ++i) more += "velocita,100,80\r\n";
    EXPECT_THROW(read(more), ReadFailure);
  }
}

// --- Speed cuts -------------------------------------------------------------------------------

TEST_F(ServiceReaderTest, SpeedCutsGoOneCellBeforeASingleObject) {
  struct Case {
    const char* body;
    CellKind kind;
    int16_t value1;
  };
  const Case cases[] = {
      {"abbattimento,2000,60\r\n", CellKind::ControlPoint, 60},
      {"abbattimento,2000,1\r\n", CellKind::ControlPoint, 1},
      {"abbattimento,2000,0\r\n", CellKind::ControlPointNoValue, 0},
      {"abbattimento,2000,-5\r\n", CellKind::ControlPointNoValue, 0},
      {"abbattimento,2000,70000\r\n", CellKind::ControlPoint, 4464},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    state = scenario_state();
    read(c.body);
    EXPECT_EQ(state.error.code, 0);
    EXPECT_TRUE(state.grid[40].is(c.kind));
    EXPECT_EQ(state.grid[40].value1, c.value1);
    EXPECT_TRUE(state.grid[41].is(CellKind::Plain));
  }
}

TEST_F(ServiceReaderTest, ASpeedCutOverAMountainMarkerIsAccepted) {
  state.grid[40].set_kind(CellKind::MountainMarker);
  read("abbattimento,2000,60\r\n");
  EXPECT_EQ(state.error.code, 0);
  EXPECT_TRUE(state.grid[40].is(CellKind::ControlPoint));
}

// --- Stations ---------------------------------------------------------------------------------

TEST_F(ServiceReaderTest, PlatformsByKind) {
  struct Case {
    const char* name;
    int kind;
    int byte3;
    int32_t number1, number2;
    int32_t mark_cell;
    bool approach_marks;
  };
  const Case cases[] = {
      {"ordinary kind, centred", 12, 0, 1850, 2150, 42, true},
      {"ordinary kind, extended end", 12, 1, 1850, 2200, 43, true},
      {"kind 5 lies before the position", 5, 1, 1700, 2150, 42, false},
      {"kind 6 lies before the position", 6, 0, 1700, 2150, 42, false},
      {"kind 7 reaches both sides", 7, 1, 1700, 2300, 45, true},
      {"kind 8 reaches both sides", 8, 0, 1700, 2300, 45, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state = scenario_state();
    // A first station out of the way, so that byte3 is not cleared for the one looked at.
    read(station(100, 28, 0) + station(2000, c.kind, 300, c.byte3, 1));
    ASSERT_EQ(state.error.code, 0);
    const ScenarioRecord& record = state.table[2];
    EXPECT_EQ(record.number1, c.number1);
    EXPECT_EQ(record.number2, c.number2);
    EXPECT_EQ(record.byte3, c.kind == 12 ? c.byte3 : 0);
    EXPECT_EQ(record.byte4, 0);  // platform under 600 m
    EXPECT_TRUE(state.grid[c.mark_cell].is(CellKind::StationMark));
    EXPECT_EQ(state.grid[c.mark_cell].value1, 2);
    for (int k = 1; k <= 4; ++k)
      EXPECT_EQ(state.grid[c.mark_cell - k].approachMark, c.approach_marks ? 80 + k : 0) << k;
  }
}

TEST_F(ServiceReaderTest, TheFirstStationUsesItsExtensionFlagBeforeItIsCleared) {
  read(station(650, 12, 300, 1, 1) + station(2000, 12, 600, 1, 1));
  EXPECT_EQ(state.table[1].number2, 850);
  EXPECT_EQ(state.table[1].byte3, 0);
  EXPECT_EQ(state.table[1].byte4, 0);
  EXPECT_TRUE(state.grid[16].is(CellKind::StationMark));
  EXPECT_EQ(state.table[2].byte3, 1);
  EXPECT_EQ(state.table[2].byte4, 1);  // 600 m platform keeps it
  EXPECT_EQ(state.table[2].number2, 2350);
}

TEST_F(ServiceReaderTest, TheStationMarkIgnoresWhatTheCellHeld) {
  state.grid[15].set_kind(CellKind::Signal);
  read(station(650, 12, 300));
  EXPECT_EQ(state.error.code, 0);
  EXPECT_TRUE(state.grid[15].is(CellKind::StationMark));
}

TEST_F(ServiceReaderTest, AStationOfKind28StillTakesPartInTheSpacingTest) {
  read(station(650, 28, 300) + station(900, 12, 300));
  EXPECT_EQ(state.error.code, kErrorStationSpacing);
  EXPECT_EQ(state.table[1].code, 28);
  EXPECT_EQ(state.table[1].number2, 800);
  EXPECT_TRUE(state.grid[15].is(CellKind::Plain));  // the kind 28 station placed nothing
  EXPECT_EQ(state.grid[14].approachMark, 0);
}

TEST_F(ServiceReaderTest, ThePositionIsStoredBeforeItsRangeTest) {
  read("velocita,0,80\r\n" + station(35300, 12, 300));
  EXPECT_EQ(state.error.code, kErrorOutOfRange);
  EXPECT_EQ(state.table[1].number3, 35300);
  EXPECT_EQ(state.table[1].code, 0);          // nothing after the position is read
  EXPECT_EQ(state.grid[717].speedLimit, 16);  // the closing step ran
}

TEST_F(ServiceReaderTest, TheSlotTestRunsAfterTheStationIsWritten) {
  state.board_slot = 2;  // 78 information boards
  read(station(650, 12, 300));
  EXPECT_EQ(state.error.code, kErrorStationRecords);
  EXPECT_EQ(state.table[1].number2, 800);
  EXPECT_TRUE(state.grid[15].is(CellKind::StationMark));
}

TEST_F(ServiceReaderTest, WithoutBoardsSeventyEightStationsFitAndTheSeventyNinthIsRefused) {
  state.board_slot = 80;
  std::string body;
  for (int n = 1; n <= 79; ++n) body += station(400 * n, 12, 0);
  read(body);
  EXPECT_EQ(state.error.code, kErrorStationRecords);
  EXPECT_EQ(state.table[78].number3, 400 * 78);
  EXPECT_EQ(state.table[79].number3, 400 * 79);
  EXPECT_TRUE(state.table[80].text.empty());
  EXPECT_EQ(state.table[80].number3, 0);
}

}  // namespace
