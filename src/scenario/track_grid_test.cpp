#include "scenario/track_grid.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "scenario/read_failure.h"

namespace {

TEST(TrackGrid, IsDimensionedFromTheGridExtent) {
  TrackGrid grid;
  EXPECT_FALSE(grid.exists());
  grid.create(36000);
  EXPECT_EQ(grid.cellCount(), 720);
  EXPECT_TRUE(grid.contains(720));
  EXPECT_FALSE(grid.contains(721));
  EXPECT_FALSE(grid.contains(-1));
  grid[5].kind = 6;
  grid.create(7025);  // 140.5 rounds to 140; a re-creation clears every cell
  EXPECT_EQ(grid.cellCount(), 140);
  EXPECT_EQ(grid[5].kind, 0);
}

TEST(TrackGrid, PositionsRoundHalfToEvenIntoCells) {
  const struct {
    int64_t position;
    int64_t object;
    int64_t profile;
  } cases[] = {
      {2826, 58, 57}, {2825, 58, 56}, {2875, 58, 58}, {2925, 60, 58}, {850, 18, 17}, {4100, 83, 82},
      {4850, 98, 97}, {0, 1, 0},      {25, 2, 0},     {75, 2, 2},     {-25, 0, 0},   {-75, 0, -2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.position);
    EXPECT_EQ(object_cell(c.position), c.object);
    EXPECT_EQ(profile_cell(c.position), c.profile);
  }
}

TEST(TrackGrid, RangeTestLeavesRoomAfterThePosition) {
  TrackGrid grid;
  grid.create(36000);
  EXPECT_TRUE(passes_range_test(grid, 35900));
  EXPECT_FALSE(passes_range_test(grid, 35901));
  EXPECT_TRUE(passes_range_test(grid, 35200, kStationRangeMargin));
  EXPECT_FALSE(passes_range_test(grid, 35300, kStationRangeMargin));
  EXPECT_TRUE(passes_range_test(grid, -2000000000));
  EXPECT_THROW(passes_range_test(grid, 2147483600), ReadFailure);
}

TEST(TrackGrid, KeepsTheOriginOfEachCellSetUntilItIsCreatedAgain) {
  TrackGrid grid;
  grid.create(36000);
  EXPECT_FALSE(grid.origin(0).place);
  EXPECT_FALSE(grid.origin(720).place);
  grid.set_origin(720, {{SourceKind::Service, 12, 3}, 35950});
  grid.set_origin(5, {{SourceKind::Line, 4, 1}, 200, true});
  grid.set_origin(5, {{SourceKind::Line, 9, 1}, 210});  // the later entry holds the cell
  EXPECT_EQ(grid.origin(720).place, (SourcePlace{SourceKind::Service, 12, 3}));
  EXPECT_EQ(grid.origin(720).position, 35950);
  EXPECT_EQ(grid.origin(5).place.line, 9);
  EXPECT_FALSE(grid.origin(5).by_finishing_pass);
  EXPECT_FALSE(grid.origin(6).place);
  for (const int32_t outside : {-1, 721}) {
    EXPECT_THROW(grid.origin(outside), std::out_of_range) << outside;
    EXPECT_THROW(grid.set_origin(outside, {{SourceKind::Line, 1, 1}, 0}), std::out_of_range) << outside;
  }
  grid.create(36000);
  EXPECT_FALSE(grid.origin(720).place);
  EXPECT_FALSE(grid.origin(5).place);
}

TEST(TrackCell, FreeMeansPlainOrMountainMarker) {
  for (int kind = 0; kind <= 14; ++kind) {
    TrackCell cell;
    cell.kind = static_cast<uint8_t>(kind);
    EXPECT_EQ(cell.is_free(), kind == 0 || kind == 11) << kind;
  }
}

}  // namespace
