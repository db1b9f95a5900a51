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
