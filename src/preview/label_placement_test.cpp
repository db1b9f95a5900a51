#include "preview/label_placement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>
#include <vector>

namespace {

/// The rules of place_row_labels, level by level and text by text, as plainly as they can be written:
/// quadratic, for comparison on small rows.
std::vector<RowSlot> place_plainly(const std::vector<double>& xs, const std::vector<double>& widths, double gap,
                                   double limit, int most_levels) {
  std::vector<RowSlot> slots(xs.size());
  std::vector<std::size_t> order(xs.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return xs[a] > xs[b]; });
  std::vector<std::size_t> placed;
  for (const std::size_t i : order) {
    const double left = std::min(xs[i] + gap, limit - widths[i]);
    const double right = left + widths[i];
    const auto near_one = [&](int level) {
      for (const std::size_t j : placed)
        if (slots[j].shown && slots[j].level == level && left < slots[j].left + widths[j] + 2 * gap &&
            slots[j].left < right + 2 * gap)
          return true;
      return false;
    };
    const auto stem_through = [&](int level) {
      for (const std::size_t j : placed)
        if (slots[j].shown && slots[j].level > level && xs[j] >= left - gap / 2 && xs[j] <= right + gap / 2)
          return true;
      return false;
    };
    const auto own_stem_crosses = [&](int level) {
      for (const std::size_t j : placed)
        if (slots[j].shown && slots[j].level < level && xs[i] >= slots[j].left - gap / 2 &&
            xs[i] <= slots[j].left + widths[j] + gap / 2)
          return true;
      return false;
    };
    slots[i] = {0, left, false};
    for (int level = 0; level < most_levels && !slots[i].shown; ++level)
      if (!near_one(level) && !stem_through(level) && !own_stem_crosses(level)) slots[i] = {level, left, true};
    for (int level = 0; level < most_levels && !slots[i].shown; ++level)
      if (!near_one(level) && !stem_through(level)) slots[i] = {level, left, true};
    placed.push_back(i);
  }
  return slots;
}

/// Texts of one level that come nearer than two gaps, as "i and j"; sorted by left edge, so that a long
/// row is checked in n log n.
std::vector<std::string> too_near(const std::vector<RowSlot>& slots, const std::vector<double>& widths, double gap) {
  std::map<int, std::vector<std::size_t>> by_level;
  for (std::size_t i = 0; i < slots.size(); ++i)
    if (slots[i].shown) by_level[slots[i].level].push_back(i);
  std::vector<std::string> found;
  for (auto& [level, texts] : by_level) {
    std::sort(texts.begin(), texts.end(), [&](std::size_t a, std::size_t b) { return slots[a].left < slots[b].left; });
    for (std::size_t k = 1; k < texts.size(); ++k)
      if (slots[texts[k]].left < slots[texts[k - 1]].left + widths[texts[k - 1]] + 2 * gap - 1e-9)
        found.push_back(std::to_string(texts[k - 1]) + " and " + std::to_string(texts[k]));
  }
  return found;
}

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
    const std::vector<RowSlot> slots = place_row_labels(c.xs, c.widths, gap, limit, 100);
    ASSERT_EQ(slots.size(), c.xs.size());
    int levels = 0;
    for (std::size_t i = 0; i < slots.size(); ++i) {
      EXPECT_TRUE(slots[i].shown);
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

TEST(RowLabels, TextsBeyondTheLevelsAllowedAreLeftOut) {
  // Five texts at one place need five levels; with three, the two placed last (at one place, the last
  // two given) are left out.
  const std::vector<double> xs{100, 100, 100, 100, 100};
  const std::vector<double> widths(5, 80);
  const std::vector<RowSlot> slots = place_row_labels(xs, widths, 4, 1000, 3);
  std::vector<int> levels;
  for (const RowSlot& slot : slots) levels.push_back(slot.shown ? slot.level : -1);
  EXPECT_EQ(levels, (std::vector<int>{0, 1, 2, -1, -1}));

  // No level at all: nothing is shown; no texts: nothing to place.
  for (const RowSlot& slot : place_row_labels(xs, widths, 4, 1000, 0)) EXPECT_FALSE(slot.shown);
  EXPECT_TRUE(place_row_labels({}, {}, 4, 1000, 5).empty());
}

TEST(RowLabels, GiveWhatTheRulesWrittenPlainlyGive) {
  // Random rows, crowded and sparse, some pushed by the right limit, some short of levels.
  std::mt19937 random(14);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    std::uniform_int_distribution<int> count_of(1, 40);
    const int count = count_of(random);
    const double limit = 1000;
    std::uniform_real_distribution<double> x_of(0, round % 3 == 0 ? 200 : limit);
    std::uniform_real_distribution<double> width_of(5, 220);
    std::vector<double> xs;
    std::vector<double> widths;
    for (int i = 0; i < count; ++i) {
      xs.push_back(round % 5 == 0 ? std::nearbyint(x_of(random) / 50) * 50 : x_of(random));  // some on one place
      widths.push_back(width_of(random));
    }
    const int most_levels = 1 + round % 12;
    const std::vector<RowSlot> fast = place_row_labels(xs, widths, 4, limit, most_levels);
    const std::vector<RowSlot> plain = place_plainly(xs, widths, 4, limit, most_levels);
    ASSERT_EQ(fast.size(), plain.size());
    for (std::size_t i = 0; i < fast.size(); ++i) {
      EXPECT_EQ(fast[i].shown, plain[i].shown) << i;
      if (plain[i].shown) {
        EXPECT_EQ(fast[i].level, plain[i].level) << i;
      }
      EXPECT_DOUBLE_EQ(fast[i].left, plain[i].left) << i;
    }
    EXPECT_EQ(too_near(fast, widths, 4), std::vector<std::string>{});
  }
}

TEST(RowLabels, TenThousandTextsOnOneLineKeepToTheirLevels) {
  // The speed boards of the largest line, every 100 m of a 1,000,000 m axis 1000 wide: crowded
  // everywhere, each text left out or on one of the levels allowed, none nearer than two gaps to
  // another of its level.
  const std::size_t count = 10000;
  std::vector<double> xs;
  std::vector<double> widths;
  for (std::size_t i = 0; i < count; ++i) {
    xs.push_back(static_cast<double>(i) * 0.1);
    widths.push_back(40 + static_cast<double>(i % 7) * 5);
  }
  const int most_levels = 12;
  const std::vector<RowSlot> slots = place_row_labels(xs, widths, 4, 1040, most_levels);
  std::size_t shown = 0;
  for (const RowSlot& slot : slots) {
    if (!slot.shown) continue;
    ++shown;
    EXPECT_GE(slot.level, 0);
    EXPECT_LT(slot.level, most_levels);
  }
  EXPECT_EQ(too_near(slots, widths, 4), std::vector<std::string>{});
  // Some texts on every level, and most left out.
  EXPECT_GE(shown, static_cast<std::size_t>(most_levels));
  EXPECT_LT(shown, count / 10);
}

TEST(SegmentCrossing, ABoxIsCrossedOnlyWhereTheSegmentPassesThroughIt) {
  const Box box{10, 10, 20, 20};
  struct Case {
    Point a, b;
    bool crosses;
  };
  const Case cases[] = {
      {{0, 0}, {30, 30}, true},    // through the middle
      {{0, 15}, {9, 15}, false},   // stops short
      {{0, 15}, {10, 15}, true},   // reaches the edge
      {{15, 15}, {15, 15}, true},  // a point inside
      {{0, 0}, {30, 0}, false},    // passes above
      {{0, 25}, {25, 0}, true},    // cuts a corner off
      {{0, 30}, {30, 31}, false},  // passes below
      {{21, 0}, {21, 30}, false},  // passes right of it
  };
  for (const Case& c : cases)
    EXPECT_EQ(segment_crosses(c.a, c.b, box), c.crosses) << c.a.x << "," << c.a.y << " to " << c.b.x << "," << c.b.y;
}

}  // namespace
