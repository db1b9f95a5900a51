#include "model/curves.h"

#include <gtest/gtest.h>

namespace {

/// A trace built as the line reader builds it: straight, then each curve's steps turned by its turn.
TrackTrace traced(int32_t extent, const std::vector<std::tuple<int32_t, int32_t, double>>& curves) {
  TrackTrace trace;
  trace.create(extent);
  trace.set_integer(0, kAxisX, 0);
  trace.set_integer(0, kAxisY, 0);
  trace.set_integer(1, kAxisX, 0);
  trace.set_integer(1, kAxisY, 1);
  double x2 = 0, y2 = 0, x1 = 0, y1 = 1;
  for (int32_t m = 2; m <= extent - 2; ++m) {
    double turn = 0;
    for (const auto& [start, length, t] : curves)
      if (m > start && m <= start + length) turn = t;
    const double dx = x1 - x2, dy = y1 - y2;
    const double x = x1 + dx + turn * dy, y = y1 + dy - turn * dx;
    trace.set_double(m, kAxisX, x);
    trace.set_double(m, kAxisY, y);
    x2 = x1, y2 = y1, x1 = x, y1 = y;
  }
  return trace;
}

TEST(Curves, TheTurnOfEachCurveIsReadBackAsItsRadius) {
  const TrackTrace trace = traced(5000, {{1000, 300, 0.001}, {1300, 200, -0.002}, {2500, 400, 0.003}});
  const std::vector<CurveStretch> curves = curve_stretches(trace);
  ASSERT_EQ(curves.size(), 3u);
  EXPECT_EQ(curves[0].from, 1000);
  EXPECT_EQ(curves[0].to, 1300);
  EXPECT_NEAR(curves[0].radius, 1000, 0.01);
  EXPECT_EQ(curves[1].from, 1300);  // a curve the other way right after: a stretch of its own
  EXPECT_EQ(curves[1].to, 1500);
  EXPECT_NEAR(curves[1].radius, 500, 0.01);
  EXPECT_EQ(curves[2].from, 2500);
  EXPECT_EQ(curves[2].to, 2900);
  EXPECT_NEAR(curves[2].radius, 1000.0 / 3, 0.01);
  EXPECT_TRUE(curve_stretches(TrackTrace{}).empty());
  EXPECT_TRUE(curve_stretches(traced(3000, {})).empty());
}

}  // namespace
