#include "model/scenario_model.h"

#include <gtest/gtest.h>

#include "scenario/track_cell.h"

namespace {

TEST(ScenarioModel, ReadsEveryKindOfObjectWhereItStands) {
  TrackGrid grid;
  grid.create(1000);  // cells 0 to 20
  grid[2].set_kind(CellKind::Signal);
  grid[15].set_kind(CellKind::Signal);
  grid[4].set_kind(CellKind::SpeedBoard);
  grid[5].set_kind(CellKind::InfoBoard);
  grid[5].value1 = 80;
  grid[6].set_kind(CellKind::SlowdownStart);
  grid[8].set_kind(CellKind::SlowdownEnd);
  grid[9].set_kind(CellKind::StationMark);  // the station itself is its record
  ScenarioTable table;
  table[1].number3 = 400;
  table[80].text = "(PONTE)";
  table[kTrainRecord].number1 = 130;
  table[kTrainRecord].number2 = 29000;
  table[kKilometricTreRecord].number2 = 29100;
  table[kKilometricTreRecord].number3 = kKilometricCountingDown;

  const ScenarioModel model = read_scenario_model(grid, table);
  EXPECT_EQ(model.line_length, 29000);
  EXPECT_EQ(stored_line_length(table), 29000);
  EXPECT_EQ(model.braked_mass_percentage, 130);
  ASSERT_EQ(model.signals.size(), 2u);
  EXPECT_EQ(model.signals[0].cell, 2);
  EXPECT_EQ(model.signals[0].metre, 50);
  EXPECT_EQ(model.signals[1].metre, 700);
  ASSERT_EQ(model.stations.size(), 1u);
  EXPECT_EQ(model.stations[0].metre, 400);
  ASSERT_EQ(model.speed_boards.size(), 1u);
  EXPECT_EQ(model.speed_boards[0].metre, 150);
  ASSERT_EQ(model.info_boards.size(), 1u);
  EXPECT_EQ(model.info_boards[0].caption, "PONTE");
  ASSERT_EQ(model.slowdowns.size(), 1u);
  EXPECT_EQ(model.slowdowns[0].to, 350);
  ASSERT_EQ(model.references.size(), 1u);
  EXPECT_EQ(model.references[0].progressive, 29000);
  EXPECT_EQ(model.references[0].direction, -1);
}

TEST(ScenarioModel, SignalsUnpackTheirPairsAsTheRecorderPackedThem) {
  // "segnale, 28450, 2, 2, 3, 0, 7, 1, 4, 0, 0, 255": s1 2, s2 3, s3 0, rapp 7, sx 2, dx 1, d1 4.
  TrackGrid grid;
  grid.create(1000);
  TrackCell& cell = grid[12];
  cell.set_kind(CellKind::Signal);
  cell.value1 = 2 * 10 + 4;
  cell.value2 = 3 * 10 + 0;
  cell.value3 = 0;
  cell.value4 = 7 * 10 + 2 * 3 + 1;
  cell.signalTime = 255;
  const std::vector<Signal> signals = read_signals(grid);
  ASSERT_EQ(signals.size(), 1u);
  const Signal& signal = signals[0];
  EXPECT_EQ(signal.metre, 550);
  EXPECT_EQ(signal.first_side, (std::array<int, 3>{2, 3, 0}));
  EXPECT_EQ(signal.other_side, (std::array<int, 3>{4, 0, 0}));
  EXPECT_EQ(signal.rapp, 7);
  EXPECT_EQ(signal.side_kinds, 7);
  EXPECT_EQ(signal.time, 255);
  // Any cell reads as a signal on request, the way a damaged file may hold one.
  EXPECT_EQ(signal_at(grid, 3).first_side, (std::array<int, 3>{0, 0, 0}));
}

TEST(ScenarioModel, AnEmptyGridAndTableHoldNothing) {
  const ScenarioModel model = read_scenario_model(TrackGrid{}, ScenarioTable{});
  EXPECT_EQ(model.line_length, 0);
  EXPECT_TRUE(model.references.empty());
  EXPECT_TRUE(model.stations.empty());
  EXPECT_TRUE(model.signals.empty());
  EXPECT_TRUE(model.speed_boards.empty());
  EXPECT_TRUE(model.info_boards.empty());
  EXPECT_TRUE(model.slowdowns.empty());
}

}  // namespace
