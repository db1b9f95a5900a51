#include "compiler/target_cells.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Expected {
  int64_t cell;
  CellRole role;
  int32_t k;
};

void expect_targets(const std::vector<TargetCell>& targets, const std::vector<Expected>& expected) {
  ASSERT_EQ(targets.size(), expected.size());
  for (std::size_t n = 0; n < expected.size(); ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(targets[n].cell, expected[n].cell);
    EXPECT_EQ(targets[n].role, expected[n].role);
    EXPECT_EQ(targets[n].k, expected[n].k);
  }
}

constexpr auto kMark = CellRole::SignalApproachMark;

TEST(TargetCells, ASignalAndItsApproachMarksEverySecondCellBeforeIt) {
  expect_targets(signal_cells(1500).targets(),
                 {{31, CellRole::Signal, 0}, {29, kMark, 1}, {27, kMark, 2}, {25, kMark, 3}, {23, kMark, 4}});
  // Near the start of the line the marks before cell 0 are left out.
  expect_targets(signal_cells(100).targets(), {{3, CellRole::Signal, 0}, {1, kMark, 1}});
  EXPECT_EQ(signal_cells(100).approach_mark(2), -1);
  EXPECT_EQ(signal_cells(2875).signal, 58);  // 58.5 rounds to 58
}

TEST(TargetCells, ASlowdownsCellsInTheOrderTheyAreTested) {
  expect_targets(
      slowdown_cells(3800, 350, 0).targets(),
      {{53, CellRole::SlowdownWarning, 0}, {77, CellRole::SlowdownStart, 0}, {84, CellRole::SlowdownEnd, 0}});
  // At 1500 m there is no warning, and so no approach cells whatever f_ta says.
  const SlowdownCells at_1500 = slowdown_cells(1500, 100, 1);
  EXPECT_FALSE(at_1500.warning.has_value());
  EXPECT_FALSE(at_1500.has_approach);
  expect_targets(at_1500.targets(), {{31, CellRole::SlowdownStart, 0}, {33, CellRole::SlowdownEnd, 0}});
  // At 1550 m with f_ta the four approach cells stand right before the warning, numbered from it.
  expect_targets(slowdown_cells(1550, 100, 1).targets(), {{8, CellRole::SlowdownWarning, 0},
                                                          {32, CellRole::SlowdownStart, 0},
                                                          {34, CellRole::SlowdownEnd, 0},
                                                          {7, CellRole::SlowdownApproach, 1},
                                                          {6, CellRole::SlowdownApproach, 2},
                                                          {5, CellRole::SlowdownApproach, 3},
                                                          {4, CellRole::SlowdownApproach, 4}});
  // x - 1200 an odd multiple of 25: half to even puts approach cell 1 on the warning's cell.
  const SlowdownCells odd = slowdown_cells(1575, 100, 1);
  EXPECT_EQ(odd.warning, 8);
  EXPECT_EQ(odd.approach_cell(1), 8);
  // The end is computed beyond 32 bits without failing.
  EXPECT_EQ(slowdown_cells(2147483600, 2147483600, 0).end, 85899345);
}

TEST(TargetCells, AStationsMarkAndItsApproachMarks) {
  constexpr auto kApproach = CellRole::StationApproachMark;
  // A 300 m platform centred on 650 m ends at 800 m: the mark in cell 15, approach marks 81 to 84 before it.
  expect_targets(
      station_cells(12, 800).targets(),
      {{14, kApproach, 1}, {13, kApproach, 2}, {12, kApproach, 3}, {11, kApproach, 4}, {15, CellRole::StationMark, 0}});
  // Kinds 5 and 6 have no approach marks; from kind 25 nothing is placed.
  expect_targets(station_cells(6, 29150).targets(), {{582, CellRole::StationMark, 0}});
  EXPECT_TRUE(station_cells(28, 800).targets().empty());
  EXPECT_FALSE(station_cells(28, 800).on_grid);
  // A platform that ends at 100 m leaves no room for the mark; one that ends at 150 m has its mark in
  // cell 2 and no approach mark (150 / 50 - 1 - 1 is not beyond 1); at 200 m one approach mark fits.
  EXPECT_FALSE(station_cells(12, 100).room_for_mark);
  EXPECT_TRUE(station_cells(12, 100).targets().empty());
  expect_targets(station_cells(12, 150).targets(), {{2, CellRole::StationMark, 0}});
  expect_targets(station_cells(12, 200).targets(), {{2, kApproach, 1}, {3, CellRole::StationMark, 0}});
}

TEST(TargetCells, AMountainStretchAndItsMarkers) {
  const MountainCells one = mountain_cells(25950, 26000);
  EXPECT_EQ(one.first, 519);
  EXPECT_EQ(one.last, 519);
  const MountainCells five = mountain_cells(27150, 27400);
  EXPECT_EQ(five.first, 543);
  EXPECT_EQ(five.last, 547);
  for (int64_t cell = 543; cell <= 547; ++cell) EXPECT_EQ(five.marker_at(cell), cell == 546) << cell;
  EXPECT_TRUE(mountain_cells(1000, 1000).empty());
}

TEST(TargetCells, ASpeedCutTakesTheCellBeforeASingleObjects) {
  EXPECT_EQ(speed_cut_cell(2000), 40);
  EXPECT_EQ(signal_cells(2000).signal, 41);
}

}  // namespace
