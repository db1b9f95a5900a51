#include "preview/plan_projection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

/// The box the line's points take on the page, metre by metre.
Box extent_on_page(const PlanProjection& plan, int32_t last) {
  Box extent{plan.screen(0).x, plan.screen(0).y, plan.screen(0).x, plan.screen(0).y};
  for (int32_t m = 0; m <= last; ++m) {
    const Point p = plan.screen(m);
    extent = {std::min(extent.left, p.x), std::min(extent.top, p.y), std::max(extent.right, p.x),
              std::max(extent.bottom, p.y)};
  }
  return extent;
}

TEST(PlanProjection, TheLineFillsTheBoxFromLeftToRight) {
  // A line due north that bends east after 600 m; then the same length with no trace, straight north.
  TrackTrace bent;
  bent.create(1000);
  for (int32_t m = 0; m <= 1000; ++m) {
    bent.set_double(m, kAxisX, m <= 600 ? 0.0 : m - 600.0);
    bent.set_double(m, kAxisY, std::min(m, 600));
  }
  const TrackTrace none;
  const TrackTrace* const traces[] = {&bent, &none};
  for (const Box& box : {Box{100, 50, 900, 450}, Box{0, 0, 2000, 100}, Box{0, 0, 300, 900}}) {
    for (const TrackTrace* trace : traces) {
      SCOPED_TRACE(std::to_string(box.width()) + " x " + std::to_string(box.height()) +
                   (trace == &none ? ", no trace" : ", bent"));
      const PlanProjection plan(*trace, 1000, box);
      const Box extent = extent_on_page(plan, 1000);
      EXPECT_TRUE(box.grown(1e-6).contains(extent));
      // As large as the box allows: it touches two opposite sides, and it is centred.
      EXPECT_TRUE(std::abs(extent.width() - box.width()) < 1e-6 || std::abs(extent.height() - box.height()) < 1e-6);
      EXPECT_NEAR(extent.left - box.left, box.right - extent.right, 1e-6);
      EXPECT_NEAR(extent.top - box.top, box.bottom - extent.bottom, 1e-6);
      EXPECT_LT(plan.screen(0).x, plan.screen(1000).x);
      // Metres beyond either end stay at the end.
      EXPECT_EQ(plan.screen(-300).x, plan.screen(0).x);
      EXPECT_EQ(plan.screen(4000).y, plan.screen(1000).y);
      const Point normal = plan.normal_at(300);
      EXPECT_NEAR(std::hypot(normal.x, normal.y), 1, 1e-9);
    }
  }
}

TEST(PlanProjection, AnEmptyBoxGivesFinitePoints) {
  const TrackTrace none;
  for (const Box& box : {Box{0, 0, 0, 0}, Box{10, 10, 5, 5}}) {
    const PlanProjection plan(none, 1, box);
    EXPECT_TRUE(std::isfinite(plan.scale()));
    EXPECT_GT(plan.scale(), 0);
    const Point p = plan.screen(1);
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
  }
}

}  // namespace
