#include "file_views/trace_description.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <utility>

namespace {

std::string str(int64_t value) { return std::to_string(value); }

std::string real(double value) {
  char buffer[512];  // the largest double takes 309 digits before the point
  std::snprintf(buffer, sizeof buffer, "%.3f", value);
  return buffer;
}

}  // namespace

std::string describe_trace(const TrackTrace& trace) {
  if (!trace.exists()) return "Plan trace: no points\n";
  const int32_t last = trace.last_metre();
  int64_t complete = 0;
  int64_t partial = 0;
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  double length = 0;
  std::optional<std::pair<double, double>> previous;
  for (int32_t metre = 0; metre <= last; ++metre) {
    const bool has_x = trace.tag(metre, kAxisX) != TraceTag::Empty;
    const bool has_y = trace.tag(metre, kAxisY) != TraceTag::Empty;
    if (has_x != has_y) ++partial;
    if (!has_x || !has_y) continue;
    const double x = trace.value(metre, kAxisX);
    const double y = trace.value(metre, kAxisY);
    if (complete == 0) {
      min_x = max_x = x;
      min_y = max_y = y;
    } else {
      min_x = std::min(min_x, x);
      max_x = std::max(max_x, x);
      min_y = std::min(min_y, y);
      max_y = std::max(max_y, y);
    }
    if (previous) length += std::hypot(x - previous->first, y - previous->second);
    previous = {x, y};
    ++complete;
  }
  const int64_t points = static_cast<int64_t>(last) + 1;
  std::string out = "Plan trace: metres 0 to " + str(last) + ", " + str(points) + " points\n";
  out += "  points with both coordinates: " + str(complete) + "\n";
  out += "  points with one coordinate only: " + str(partial) + "\n";
  out += "  empty points: " + str(points - complete - partial) + "\n";
  if (complete > 0)
    out +=
        "  bounding box: X " + real(min_x) + " to " + real(max_x) + ", Y " + real(min_y) + " to " + real(max_y) + "\n";
  else
    out += "  bounding box: none\n";
  out += "  length: " + real(length) + " m\n";
  return out;
}
