#include "file_views/trace_description.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

TEST(DescribeTrace, CountsPointsAndMeasuresTheLineThroughTheFullOnes) {
  TrackTrace trace;
  trace.create(5);  // metres 0 to 5
  trace.set_integer(0, kAxisX, 0);
  trace.set_integer(0, kAxisY, 0);
  trace.set_integer(1, kAxisX, 0);
  trace.set_integer(1, kAxisY, 1);
  trace.set_double(2, kAxisX, -3.0);  // 5 m from point 1
  trace.set_double(2, kAxisY, 5.0);
  trace.set_double(3, kAxisX, 100.0);  // X only: not a point of the line
  // Metre 4 empty; metre 5 joins metre 2 across the gap: 13 m further.
  trace.set_double(5, kAxisX, 9.0);
  trace.set_double(5, kAxisY, 0.0);
  EXPECT_EQ(describe_trace(trace), "Plan trace: metres 0 to 5, 6 points\n"
                                   "  points with both coordinates: 4\n"
                                   "  points with one coordinate only: 1\n"
                                   "  empty points: 1\n"
                                   "  bounding box: X -3.000 to 9.000, Y 0.000 to 5.000\n"
                                   "  length: 19.000 m\n");
}

TEST(DescribeTrace, HugeCoordinatesAreShownWhole) {
  TrackTrace trace;
  trace.create(1);
  trace.set_double(0, kAxisX, std::numeric_limits<double>::lowest());
  trace.set_double(0, kAxisY, 0.0);
  trace.set_double(1, kAxisX, std::numeric_limits<double>::max());
  trace.set_double(1, kAxisY, 0.0);
  const std::string text = describe_trace(trace);
  // The largest double has 309 digits before the point.
  const std::string digits(309, '#');
  std::string shape;
  for (const char c : text) shape += (c >= '0' && c <= '9') ? '#' : c;
  EXPECT_NE(shape.find("  bounding box: X -" + digits + ".### to " + digits + ".###, Y #.### to #.###\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("  length: inf m\n"), std::string::npos) << text;
}

TEST(DescribeTrace, WithoutAFullPointThereIsNoBox) {
  TrackTrace trace;
  trace.create(1);
  trace.set_integer(1, kAxisY, 1);
  EXPECT_EQ(describe_trace(trace), "Plan trace: metres 0 to 1, 2 points\n"
                                   "  points with both coordinates: 0\n"
                                   "  points with one coordinate only: 1\n"
                                   "  empty points: 1\n"
                                   "  bounding box: none\n"
                                   "  length: 0.000 m\n");
  EXPECT_EQ(describe_trace(TrackTrace{}), "Plan trace: no points\n");
}

}  // namespace
