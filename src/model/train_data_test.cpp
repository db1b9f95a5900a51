#include "model/train_data.h"

#include <gtest/gtest.h>

#include "model/speed_cuts.h"

namespace {

TEST(TrainData, ReadsTheCarsBrakingSandAndClockFromTheirRecords) {
  ScenarioTable table;
  EXPECT_EQ(read_train_data(table).cars, 0);  // a service that gives none
  table[kTrainRecord].number1 = 130;
  table[kTrainRecord].number2 = 29000;  // the line length, not the train's
  table[kTrainRecord].number3 = 3;
  table[kServiceRecord].short1 = 100;
  table[kServiceRecord].short3 = 16;
  table[kServiceRecord].short4 = 22;
  table[kServiceRecord].short5 = 40;
  const TrainData data = read_train_data(table);
  EXPECT_EQ(data.cars, 3);
  EXPECT_EQ(data.braked_mass_percentage, 130);
  EXPECT_EQ(data.sand, 100);
  EXPECT_EQ(data.clock(), 16 * 3600 + 22 * 60 + 40);
  table[kServiceRecord].short4 = -30;  // the clock is taken as written, minutes below 0 included
  EXPECT_EQ(read_train_data(table).clock(), 16 * 3600 - 30 * 60 + 40);
}

TEST(SpeedCuts, ControlPointsWithAndWithoutASpeedWhereTheirCellStarts) {
  TrackGrid grid;
  grid.create(1000);
  grid[4].set_kind(CellKind::ControlPoint);
  grid[4].value1 = 60;
  grid[9].set_kind(CellKind::ControlPointNoValue);
  grid[12].set_kind(CellKind::Signal);
  const std::vector<SpeedCut> cuts = read_speed_cuts(grid);
  ASSERT_EQ(cuts.size(), 2u);
  EXPECT_EQ(cuts[0].cell, 4);
  EXPECT_EQ(cuts[0].metre, 200);  // an abbattimento at 200 m takes cell round(200 / 50)
  EXPECT_EQ(cuts[0].speed, 60);
  EXPECT_EQ(cuts[1].metre, 450);
  EXPECT_FALSE(cuts[1].speed.has_value());
  EXPECT_TRUE(read_speed_cuts(TrackGrid{}).empty());
}

}  // namespace
