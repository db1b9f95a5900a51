#include "compiler/memo_rallentamento.h"

#include <gtest/gtest.h>

#include <set>

#include "scenario/error_codes.h"
#include "scenario/read_failure.h"
#include "scenario/run_state.h"

namespace {

/// The six values of a "rallentamento" entry, in file order.
struct Slowdown {
  int32_t x, v, l, f_tt, f_ta, d_v;
};

class MemoRallentamentoTest : public ::testing::Test {
 protected:
  MemoRallentamentoTest() { state.grid.create(36000); }  // cells 0 to 720

  void place(Slowdown s) { memo_rallentamento(state, s.x, s.v, s.l, s.f_tt, s.f_ta, s.d_v); }

  void occupy(int32_t cell) { state.grid[cell].set_kind(CellKind::Signal); }

  /// The cells that hold anything but plain track.
  std::set<int32_t> taken() const {
    std::set<int32_t> cells;
    for (int32_t i = 0; i <= state.grid.cellCount(); ++i)
      if (!state.grid[i].is(CellKind::Plain)) cells.insert(i);
    return cells;
  }

  RunState state;
};

TEST_F(MemoRallentamentoTest, ScenarioSlowdownAt3800SetsWarningStartAndEnd) {
  place({3800, 40, 350, 0, 0, 0});
  EXPECT_EQ(state.error.code, 0);
  EXPECT_EQ(taken(), (std::set<int32_t>{53, 77, 84}));
  EXPECT_TRUE(state.grid[53].is(CellKind::SlowdownWarning));
  EXPECT_EQ(state.grid[53].value1, 40);
  EXPECT_TRUE(state.grid[77].is(CellKind::SlowdownStart));
  EXPECT_EQ(state.grid[77].value1, 40);
  EXPECT_EQ(state.grid[77].value3, 0);
  EXPECT_TRUE(state.grid[84].is(CellKind::SlowdownEnd));
  EXPECT_EQ(state.grid[84].value1, 40);
  EXPECT_EQ(state.grid[84].value3, 0);
}

TEST_F(MemoRallentamentoTest, DvIsStoredOnlyWhenNonZeroAndFttOnlyInStartAndEnd) {
  for (int cell : {53, 77, 84}) {
    state.grid[cell].value2 = 33;
    state.grid[cell].value3 = 5;
  }
  place({3800, 40, 350, 7, 0, 9});
  EXPECT_EQ(state.grid[53].value2, 9);
  EXPECT_EQ(state.grid[77].value2, 9);
  EXPECT_EQ(state.grid[84].value2, 9);
  EXPECT_EQ(state.grid[53].value3, 5);  // the warning's third value is untouched
  EXPECT_EQ(state.grid[77].value3, 7);
  EXPECT_EQ(state.grid[84].value3, 7);

  state = RunState{};
  state.grid.create(36000);
  state.grid[77].value2 = 33;
  place({3800, 40, 350, 7, 0, 0});
  EXPECT_EQ(state.grid[77].value2, 33);  // d_v 0 keeps the earlier content
}

TEST_F(MemoRallentamentoTest, WarningAndApproachOnlyAbove1500) {
  struct Case {
    const char* name;
    Slowdown slowdown;
    std::set<int32_t> cells;
  };
  const Case cases[] = {
      {"1500 has no warning and no approach cells", {1500, 30, 500, 0, 1, 0}, {31, 41}},
      {"1550 without f_ta has its warning only", {1550, 30, 500, 0, 0, 0}, {8, 32, 42}},
      {"1550 with f_ta has four approach cells", {1550, 30, 500, 0, 1, 0}, {4, 5, 6, 7, 8, 32, 42}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state = RunState{};
    state.grid.create(36000);
    place(c.slowdown);
    EXPECT_EQ(state.error.code, 0);
    EXPECT_EQ(taken(), c.cells);
  }
}

TEST_F(MemoRallentamentoTest, ApproachCellsCountBackFromTheWarning) {
  place({1550, 30, 500, 0, 1, 6});
  EXPECT_TRUE(state.grid[8].is(CellKind::SlowdownWarning));
  for (int k = 1; k <= 4; ++k) {
    const TrackCell& cell = state.grid[8 - k];
    EXPECT_TRUE(cell.is(CellKind::SlowdownApproach)) << k;
    EXPECT_EQ(cell.value1, k);
    EXPECT_EQ(cell.value2, k);  // d_v non-zero
  }
}

TEST_F(MemoRallentamentoTest, ShorterThanACellLeavesTheStartOverTheEnd) {
  place({3800, 40, 0, 0, 0, 0});
  EXPECT_EQ(state.error.code, 0);
  EXPECT_TRUE(state.grid[77].is(CellKind::SlowdownStart));
  EXPECT_EQ(taken(), (std::set<int32_t>{53, 77}));
}

TEST_F(MemoRallentamentoTest, SixteenBitValuesKeepTheirLowSixteenBits) {
  place({3800, 70000, 350, -70000, 0, 65537});
  EXPECT_EQ(state.grid[77].value1, 4464);
  EXPECT_EQ(state.grid[77].value3, -4464);
  EXPECT_EQ(state.grid[77].value2, 1);
}

TEST_F(MemoRallentamentoTest, RefusalsInTheirOrder) {
  struct Case {
    const char* name;
    Slowdown slowdown;
    std::set<int32_t> occupied;
    int32_t code;
    std::set<int32_t> taken_after;  // occupied cells plus what stays written
  };
  const Case cases[] = {
      {"warning taken", {3800, 40, 350, 0, 0, 0}, {53}, kErrorWarningOccupied, {53}},
      {"warning tested before start", {3800, 40, 350, 0, 0, 0}, {53, 77}, kErrorWarningOccupied, {53, 77}},
      {"start taken", {3800, 40, 350, 0, 0, 0}, {77}, kErrorSlowdownStartOccupied, {77}},
      {"start taken, no warning at 1500", {1500, 40, 350, 0, 0, 0}, {31}, kErrorSlowdownStartOccupied, {31}},
      {"end taken", {3800, 40, 350, 0, 0, 0}, {84}, kErrorSlowdownEndOccupied, {84}},
      {"an approach cell taken keeps end, start and warning",
       {1550, 30, 500, 0, 1, 0},
       {5},
       kErrorApproachOccupied,
       {5, 8, 32, 42}},
      {"warning on the first approach cell", {1575, 30, 500, 0, 1, 0}, {}, kErrorApproachOccupied, {8, 32, 42}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state = RunState{};
    state.grid.create(36000);
    for (int32_t cell : c.occupied) occupy(cell);
    place(c.slowdown);
    EXPECT_EQ(state.error.code, c.code);
    EXPECT_FALSE(state.error.position.has_value());  // the reader sets it
    EXPECT_EQ(taken(), c.taken_after);
    for (int32_t cell : c.occupied) EXPECT_TRUE(state.grid[cell].is(CellKind::Signal)) << cell;
  }
}

TEST_F(MemoRallentamentoTest, ApproachCellsOverAMountainMarkerAreFree) {
  for (int cell = 4; cell <= 7; ++cell) state.grid[cell].set_kind(CellKind::MountainMarker);
  place({1550, 30, 500, 0, 1, 0});
  EXPECT_EQ(state.error.code, 0);
  EXPECT_TRUE(state.grid[4].is(CellKind::SlowdownApproach));
}

TEST_F(MemoRallentamentoTest, ACellOutsideTheGridIsRefusedWithFifteenBeforeAnythingIsWritten) {
  struct Case {
    const char* name;
    Slowdown slowdown;
    int32_t position;
  };
  const Case cases[] = {
      {"start before cell 0", {-200, 40, 350, 0, 0, 0}, -200},
      {"start beyond the last cell", {36000, 40, 350, 0, 1, 0}, 36000},
      {"end beyond the last cell", {3800, 40, 40000, 0, 1, 0}, 43800},
      {"end before cell 0", {1000, 40, -2000, 0, 0, 0}, -1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state = RunState{};
    state.grid.create(36000);
    place(c.slowdown);
    EXPECT_EQ(state.error.code, kErrorOutOfRange);
    ASSERT_TRUE(state.error.position.has_value());
    EXPECT_EQ(*state.error.position, c.position);
    EXPECT_TRUE(taken().empty());
  }
}

TEST_F(MemoRallentamentoTest, AnEndBeyondThirtyTwoBitsIsAReadFailure) {
  EXPECT_THROW(place({35000, 40, 2147483647, 0, 0, 0}), ReadFailure);
  EXPECT_TRUE(taken().empty());
}

}  // namespace
