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

// What the timetable's review reads from a compilation's runs is what a picture reads from the points.
TEST(Curves, TheRunsOfATraceGiveTheStretchesItsPointsGive) {
  struct Run {
    int32_t last;
    bool curved;
    double turn;
  };
  struct Case {
    const char* what;
    std::vector<Run> runs;
    std::size_t stretches;
  };
  const std::vector<Case> cases = {
      {"straight", {{4998, false, 0}}, 0},
      {"one curve", {{1000, false, 0}, {1300, true, 0.001}, {4998, false, 0}}, 1},
      {"a curve from the first computed metre", {{400, true, -0.003}, {4998, false, 0}}, 1},
      {"two curves of one turn that meet", {{1000, false, 0}, {1300, true, 0.001}, {1500, true, 0.001}}, 1},
      {"the other way at the same radius", {{1000, false, 0}, {1300, true, 0.0004}, {1500, true, -0.0004}}, 1},
      {"another turn right after", {{1000, false, 0}, {1300, true, 0.001}, {1500, true, 0.002}}, 2},
      {"apart by one straight metre",
       {{1000, true, 0.0001}, {1001, false, 0}, {1500, true, 0.0001}, {4998, false, 0}},
       2},
      {"every sharpness",
       {{100, true, 0.0001},
        {200, true, 0.0002},
        {300, true, 0.0004},
        {400, true, 0.001},
        {500, true, 0.002},
        {600, true, 0.003}},
       6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlanTrace plan;
    plan.create(5000);
    plan.start();
    for (const Run& run : c.runs) plan.add_run(run.last, run.curved, run.turn);
    plan.add_run(4998, false, 0);  // straight to two metres before the end, as every line's trace
    const std::vector<CurveStretch> from_runs = curve_stretches(plan);
    const std::vector<CurveStretch> from_points = curve_stretches(plan.points());
    ASSERT_EQ(from_runs.size(), c.stretches);
    ASSERT_EQ(from_points.size(), c.stretches);
    for (std::size_t n = 0; n < c.stretches; ++n) {
      EXPECT_EQ(from_runs[n].from, from_points[n].from);
      EXPECT_EQ(from_runs[n].to, from_points[n].to);
      // The points give 1 / turn back to within their rounding; the runs give it exactly.
      EXPECT_NEAR(from_runs[n].radius, from_points[n].radius, 1e-9 * from_runs[n].radius);
    }
  }
  PlanTrace unstarted;
  unstarted.create(5000);
  unstarted.add_run(1000, true, 0.001);
  EXPECT_TRUE(curve_stretches(unstarted).empty());
  EXPECT_TRUE(curve_stretches(unstarted.points()).empty());
  EXPECT_TRUE(curve_stretches(PlanTrace{}).empty());
}

}  // namespace
