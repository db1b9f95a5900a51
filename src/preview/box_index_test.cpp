#include "preview/box_index.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace {

TEST(BoxIndex, FindsWhatAPlainSearchFinds) {
  // Boxes and points over a page and beyond it, some larger than the page, some of no size; queries
  // anywhere: the index answers as a search through everything does.
  std::mt19937 random(17);
  std::uniform_real_distribution<double> place(-300, 1300);
  std::uniform_real_distribution<double> size(0, 120);
  const Box page{0, 0, 1000, 600};
  BoxIndex index(page, 24);
  std::vector<Box> boxes;
  std::vector<Point> points;
  for (int i = 0; i < 400; ++i) {
    const double left = place(random);
    const double top = place(random);
    Box box{left, top, left + size(random), top + size(random)};
    if (i % 50 == 0) box = {-500, 100, 1500, 120};  // across the whole page and past it
    if (i % 37 == 0) box = {left, top, left, top};  // a point-sized box
    boxes.push_back(box);
    index.add(box);
    const Point point{place(random), place(random)};
    points.push_back(point);
    index.add(point);
  }
  for (int q = 0; q < 2000; ++q) {
    const double left = place(random);
    const double top = place(random);
    const Box query{left, top, left + size(random), top + size(random)};
    bool overlap = false;
    bool overlap_but_skipped = false;  // leaving out the boxes wider than 100
    bool point = false;
    for (const Box& box : boxes) {
      overlap = overlap || box.overlaps(query);
      overlap_but_skipped = overlap_but_skipped || (box.overlaps(query) && box.width() <= 100);
    }
    for (const Point& p : points) point = point || query.contains(p);
    EXPECT_EQ(index.overlaps(query), overlap) << q;
    EXPECT_EQ(index.overlaps(query, [](const Box& box) { return box.width() > 100; }), overlap_but_skipped) << q;
    EXPECT_EQ(index.holds_point(query), point) << q;
  }
}

TEST(BoxIndex, BoxesThatAreNotNumbersAreFoundEverywhereAndBreakNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  BoxIndex index({0, 0, 100, 100}, 10);
  index.add(Box{nan, 5, nan, 6});
  index.add(Point{nan, nan});
  EXPECT_FALSE(index.overlaps({50, 50, 60, 60}));  // a NaN box overlaps nothing
  index.add(Box{-infinity, -infinity, infinity, infinity});
  EXPECT_TRUE(index.overlaps({50, 50, 60, 60}));
  EXPECT_TRUE(index.overlaps({-1e300, 1e300, -1e299, 2e300}));
  // An area that is not one gives an index that still answers.
  BoxIndex odd({nan, 0, 5, -5}, -1);
  odd.add(Box{1, 1, 2, 2});
  EXPECT_TRUE(odd.overlaps({0, 0, 3, 3}));
  EXPECT_FALSE(odd.overlaps({5, 5, 6, 6}));
}

}  // namespace
