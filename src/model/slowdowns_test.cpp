#include "model/slowdowns.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "scenario/track_cell.h"

namespace {

TEST(Slowdowns, EachStartTakesTheFirstEndAfterItThatNoEarlierStartTook) {
  struct Case {
    const char* name;
    std::vector<int32_t> starts;
    std::vector<int32_t> ends;
    std::vector<std::pair<int32_t, int32_t>> pairs;  // start, end (-1: none)
  };
  const Case cases[] = {
      {"one after the other", {3, 10}, {5, 12}, {{3, 5}, {10, 12}}},
      {"nested", {3, 4}, {6, 7}, {{3, 6}, {4, 7}}},
      {"an end before every start is nobody's", {3}, {2, 6}, {{3, 6}}},
      {"a skipped end stays free for a later start", {3, 8}, {5, 6, 9}, {{3, 5}, {8, 9}}},
      {"more starts than ends", {3, 4, 20}, {6}, {{3, 6}, {4, -1}, {20, -1}}},
      {"no end at all", {3}, {}, {{3, -1}}},
      {"no start", {}, {4, 5}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TrackGrid grid;
    grid.create(1000);
    for (const int32_t cell : c.starts) {
      grid[cell].set_kind(CellKind::SlowdownStart);
      grid[cell].value1 = static_cast<int16_t>(cell * 10);
    }
    for (const int32_t cell : c.ends) grid[cell].set_kind(CellKind::SlowdownEnd);
    const std::vector<Slowdown> slowdowns = read_slowdowns(grid);
    ASSERT_EQ(slowdowns.size(), c.pairs.size());
    for (std::size_t k = 0; k < slowdowns.size(); ++k) {
      const auto [start, end] = c.pairs[k];
      EXPECT_EQ(slowdowns[k].start_cell, start);
      EXPECT_EQ(slowdowns[k].from, (start - 1) * 50);
      EXPECT_EQ(slowdowns[k].speed, start * 10);
      if (end < 0) {
        EXPECT_FALSE(slowdowns[k].end_cell.has_value());
        EXPECT_FALSE(slowdowns[k].to.has_value());
      } else {
        EXPECT_EQ(slowdowns[k].end_cell, end);
        EXPECT_EQ(slowdowns[k].to, (end - 1) * 50);
      }
    }
  }
  EXPECT_TRUE(read_slowdowns(TrackGrid{}).empty());
}

}  // namespace
