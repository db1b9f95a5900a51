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

/// A trace of `last` metres through the points metre by metre.
template <typename Place>
TrackTrace trace_of(int32_t last, Place place) {
  TrackTrace trace;
  trace.create(last);
  for (int32_t m = 0; m <= last; ++m) {
    const Point p = place(m);
    trace.set_double(m, kAxisX, p.x);
    trace.set_double(m, kAxisY, p.y);
  }
  return trace;
}

TEST(PlanProjection, ANearlyStraightLineRunsLevelFromItsFirstPointOnTheLeftToItsLastOnTheRight) {
  // 14 km heading north-east, with a bend of 200 m to one side and back: turned diagonally it would fill
  // a flat box a little better, but it is laid along its chord, across the whole width.
  const int32_t last = 14000;
  const TrackTrace trace = trace_of(last, [](int32_t m) {
    const double along = m;
    const double aside = 200 * std::sin(M_PI * m / 14000.0);
    return Point{(along - aside) * std::sqrt(0.5), (along + aside) * std::sqrt(0.5)};
  });
  for (const Box& box : {Box{100, 50, 1500, 250}, Box{0, 0, 800, 400}, Box{0, 0, 3000, 100}}) {
    SCOPED_TRACE(std::to_string(box.width()) + " x " + std::to_string(box.height()));
    const PlanProjection plan(trace, last, box);
    const Point first = plan.screen(0);
    const Point end = plan.screen(last);
    EXPECT_NEAR(first.y, end.y, 1e-6);
    EXPECT_NEAR(first.x, box.left, 1e-6);
    EXPECT_NEAR(end.x, box.right, 1e-6);
    const Box extent = extent_on_page(plan, last);
    EXPECT_NEAR(extent.width(), box.width(), 1e-6);
  }
}

TEST(PlanProjection, AWindingLineIsTurnedWhenThatMakesItMarkedlyLarger) {
  // A horseshoe: 5 km north, a half circle, 5 km back south, 400 m beside its start. Laid along its
  // short chord it would stand upright and small in a flat box; turned by 40 degrees it is a third larger.
  const int32_t last = 10628;  // 5000 + pi * 200 + 5000
  const TrackTrace trace = trace_of(last, [](int32_t m) {
    if (m <= 5000) return Point{0, static_cast<double>(m)};
    if (m >= 5628) return Point{400, 5000 - (m - 5628.0)};
    const double angle = (m - 5000.0) / 628.0 * M_PI;
    return Point{200 - 200 * std::cos(angle), 5000 + 200 * std::sin(angle)};
  });
  const Box box{0, 0, 1400, 250};
  const PlanProjection plan(trace, last, box);
  EXPECT_GT(std::abs(plan.screen(0).y - plan.screen(last).y), 10.0) << "the chord is no longer level";
  // Laid along its chord, the legs of 5200 m from the chord to the top of the bend would span the box's
  // height: 250 / 5200 page units per metre.
  EXPECT_GT(plan.scale(), 1.25 * 250.0 / 5200.0);
  EXPECT_LT(plan.screen(0).x, plan.screen(last).x);
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
