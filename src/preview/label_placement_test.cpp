#include "preview/label_placement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(RowLabels, NeverOverlapAndTheirStemsCrossNoText) {
  struct Case {
    const char* name;
    std::vector<double> xs;
    std::vector<double> widths;
    int levels;
    bool stems_clear;  // false where a text had to be pushed left of its mark by the limit
  };
  const Case cases[] = {
      {"far apart", {100, 400, 700}, {100, 100, 100}, 1, true},
      {"a crowd", {100, 120, 140, 160, 180}, {100, 100, 100, 100, 100}, 5, true},
      {"a staircase", {100, 180, 260, 340}, {100, 100, 100, 100}, 4, true},
      {"two groups", {100, 150, 500, 550}, {60, 60, 60, 60}, 2, true},
      {"same place", {500, 500}, {50, 50}, 2, true},
      {"at the right limit", {900, 990}, {150, 150}, 2, false},
  };
  const double gap = 4;
  const double limit = 1000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<RowSlot> slots = place_row_labels(c.xs, c.widths, gap, limit);
    ASSERT_EQ(slots.size(), c.xs.size());
    int levels = 0;
    for (std::size_t i = 0; i < slots.size(); ++i) {
      levels = std::max(levels, slots[i].level + 1);
      EXPECT_LE(slots[i].left + c.widths[i], limit + 1e-9);
      EXPECT_GE(slots[i].left, c.xs[i] - c.widths[i]);
      for (std::size_t j = 0; j < slots.size(); ++j) {
        if (i == j) continue;
        const double i_right = slots[i].left + c.widths[i];
        const double j_right = slots[j].left + c.widths[j];
        if (slots[i].level == slots[j].level) {
          EXPECT_TRUE(i_right <= slots[j].left || j_right <= slots[i].left) << i << " and " << j;
        }
        // The stem of i runs from the marks down to its level, through the levels above it.
        if (c.stems_clear && slots[j].level < slots[i].level) {
          EXPECT_FALSE(c.xs[i] > slots[j].left && c.xs[i] < j_right) << "stem of " << i << " crosses " << j;
        }
      }
    }
    EXPECT_EQ(levels, c.levels);
  }
}

}  // namespace
