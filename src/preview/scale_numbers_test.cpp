#include "preview/scale_numbers.h"

#include <gtest/gtest.h>

namespace {

TEST(ScaleNumbers, RoundStepsAtLeastAndAtMost) {
  struct Case {
    double raw;
    double at_least;
    double at_most;
  };
  const Case cases[] = {
      {0.3, 0.5, 0.2}, {1, 1, 1}, {1.2, 2, 1}, {3, 5, 2}, {7, 10, 5}, {20000, 20000, 20000}, {0, 1, 1}, {-4, 1, 1},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(nice_at_least(c.raw), c.at_least) << c.raw;
    EXPECT_DOUBLE_EQ(nice_at_most(c.raw), c.at_most) << c.raw;
  }
}

TEST(ScaleNumbers, FixedNeverShowsMinusZero) {
  EXPECT_EQ(fixed(28.35, 3), "28.350");
  EXPECT_EQ(fixed(1234.5678, 1), "1234.6");
  EXPECT_EQ(fixed(-0.0001, 2), "0.00");
  EXPECT_EQ(fixed(-0.4, 0), "0");
  EXPECT_EQ(fixed(-0.6, 0), "-1");
}

}  // namespace
