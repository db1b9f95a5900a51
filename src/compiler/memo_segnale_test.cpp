#include "compiler/memo_segnale.h"

#include <gtest/gtest.h>

#include <array>

#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

/// The eleven values of a "segnale" entry, in file order.
struct Signal {
  int32_t posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo;
};

class MemoSegnaleTest : public ::testing::Test {
 protected:
  MemoSegnaleTest() { state.grid.create(36000); }  // cells 0 to 720, as for a 29000 m line

  /// Calls the recorder and returns the signal's tempo as the caller's variable holds it afterwards.
  int32_t place(Signal s) {
    memo_segnale(state, s.posizione, s.sx, s.s1, s.s2, s.s3, s.rapp, s.dx, s.d1, s.d2, s.d3, s.tempo);
    return s.tempo;
  }

  RunState state;
};

TEST_F(MemoSegnaleTest, PacksTheSignalCellAndItsFourApproachMarks) {
  struct Case {
    const char* name;
    Signal signal;
    int32_t cell;
    int16_t value1, value2, value3, value4;
    uint8_t signalTime;
    std::array<uint8_t, 4> marks;  // cells cell - 2, - 4, - 6, - 8
  };
  const Case cases[] = {
      {"scenario signal at 1500", {1500, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0}, 31, 30, 0, 0, 6, 0, {61, 62, 63, 64}},
      {"scenario signal at 28450", {28450, 2, 2, 3, 0, 0, 0, 0, 0, 0, 255}, 570, 20, 30, 0, 6, 255, {61, 62, 63, 64}},
      {"every value used", {5000, 1, 4, 5, 6, 7, 2, 1, 2, 3, 0}, 101, 41, 52, 63, 75, 0, {51, 52, 53, 54}},
      {"16-bit values keep their low 16 bits",
       {5000, 0, 4000, -4000, 3277, 3277, 0, 0, 0, 0, 0},
       101,
       -25536,
       25536,
       -32766,
       -32766,
       0,
       {1, 2, 3, 4}},
      {"approach marks keep their low 8 bits",
       {5000, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       101,
       0,
       0,
       0,
       30,
       0,
       {45, 46, 47, 48}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state = RunState{};
    state.grid.create(36000);
    place(c.signal);
    EXPECT_EQ(state.error.code, 0);
    const TrackCell& cell = state.grid[c.cell];
    EXPECT_TRUE(cell.is(CellKind::Signal));
    EXPECT_EQ(cell.value1, c.value1);
    EXPECT_EQ(cell.value2, c.value2);
    EXPECT_EQ(cell.value3, c.value3);
    EXPECT_EQ(cell.value4, c.value4);
    EXPECT_EQ(cell.signalTime, c.signalTime);
    for (int k = 1; k <= 4; ++k) {
      const TrackCell& ahead = state.grid[c.cell - 2 * k];
      EXPECT_EQ(ahead.approachMark, c.marks[k - 1]) << "k = " << k;
      EXPECT_TRUE(ahead.is(CellKind::Plain));
    }
    // The odd cells between the marks carry none.
    EXPECT_EQ(state.grid[c.cell - 1].approachMark, 0);
    EXPECT_EQ(state.grid[c.cell - 3].approachMark, 0);
  }
}

TEST_F(MemoSegnaleTest, TempoFromOneToHundredBecomesHundredOneInTheCallersVariable) {
  struct Case {
    int32_t sx;
    int32_t tempo;
    int32_t tempo_after;
    uint8_t signalTime;
  };
  const Case cases[] = {
      {2, 0, 0, 0},       {2, 1, 101, 101},  {2, 50, 101, 101}, {2, 100, 101, 101}, {2, 101, 101, 101},
      {2, 255, 255, 255}, {2, 300, 300, 44}, {2, -5, -5, 251},  {1, 50, 101, 0},    {3, 255, 255, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "sx " << c.sx << ", tempo " << c.tempo);
    state = RunState{};
    state.grid.create(36000);
    EXPECT_EQ(place({1500, c.sx, 3, 0, 0, 0, 0, 0, 0, 0, c.tempo}), c.tempo_after);
    EXPECT_EQ(state.grid[31].signalTime, c.signalTime);
  }
}

TEST_F(MemoSegnaleTest, OverwritesAMountainMarker) {
  state.grid[31].set_kind(CellKind::MountainMarker);
  state.grid[31].mountainType = 12;
  place({1500, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(state.error.code, 0);
  EXPECT_TRUE(state.grid[31].is(CellKind::Signal));
  EXPECT_EQ(state.grid[31].mountainType, 12);
}

TEST_F(MemoSegnaleTest, ATakenCellIsRefusedWithSixteenAndNothingWritten) {
  state.grid[31].set_kind(CellKind::SpeedBoard);
  state.grid[31].value1 = 1812;
  const int32_t tempo = place({1500, 2, 3, 0, 0, 0, 0, 0, 0, 0, 50});
  EXPECT_EQ(state.error.code, kErrorSignalOccupied);
  EXPECT_FALSE(state.error.position.has_value());  // the reader sets it
  EXPECT_EQ(tempo, 50);
  EXPECT_TRUE(state.grid[31].is(CellKind::SpeedBoard));
  EXPECT_EQ(state.grid[31].value1, 1812);
  for (int cell = 23; cell <= 29; ++cell) EXPECT_EQ(state.grid[cell].approachMark, 0) << cell;
}

TEST_F(MemoSegnaleTest, ApproachMarksBeforeCellZeroAreSkipped) {
  place({150, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0});  // cell 4: marks in 2 and 0, then -2 and -4
  EXPECT_EQ(state.error.code, 0);
  EXPECT_TRUE(state.grid[4].is(CellKind::Signal));
  EXPECT_EQ(state.grid[2].approachMark, 61);
  EXPECT_EQ(state.grid[0].approachMark, 62);
  EXPECT_EQ(state.grid[1].approachMark, 0);
}

TEST_F(MemoSegnaleTest, ACellOutsideTheGridIsRefusedWithFifteenAndItsPosition) {
  struct Case {
    int32_t posizione;
  };
  for (const Case c : {Case{-100}, Case{35976}, Case{-2147483647 - 1}}) {
    SCOPED_TRACE(c.posizione);
    state = RunState{};
    state.grid.create(36000);
    const int32_t tempo = place({c.posizione, 2, 3, 0, 0, 0, 0, 0, 0, 0, 50});
    EXPECT_EQ(state.error.code, kErrorOutOfRange);
    ASSERT_TRUE(state.error.position.has_value());
    EXPECT_EQ(*state.error.position, c.posizione);
    EXPECT_EQ(tempo, 50);
    for (const TrackCell& cell : state.grid.cells()) {
      EXPECT_TRUE(cell.is(CellKind::Plain));
      EXPECT_EQ(cell.approachMark, 0);
    }
  }
  EXPECT_EQ(signal_outside_grid(state.grid, 35950), std::nullopt);  // cell 720, the last one
  EXPECT_EQ(signal_outside_grid(state.grid, 35975), std::nullopt);  // 720.5 rounds to even: cell 720
  EXPECT_EQ(signal_outside_grid(state.grid, 35976), 35976);         // cell 721
  EXPECT_EQ(signal_outside_grid(state.grid, -75), std::nullopt);    // cell 0 (-0.5 rounds to 0)
  EXPECT_EQ(signal_outside_grid(state.grid, -76), -76);
}

}  // namespace
