#include "scenario/plan_trace.h"

#include <stdexcept>
#include <string>

void PlanTrace::create(int32_t grid_extent) {
  if (grid_extent < 1) throw std::invalid_argument("a plan trace of " + std::to_string(grid_extent) + " m");
  metres_ = grid_extent + 1;
  started_ = false;
  runs_.clear();
}

void PlanTrace::start() {
  if (!exists()) throw std::logic_error("the plan trace is started before it is created");
  started_ = true;
}

void PlanTrace::add_run(int32_t last, bool curved, double turn) {
  const int32_t first = next_metre();
  if (last < first) return;
  if (last > last_metre()) throw std::out_of_range("plan trace metre " + std::to_string(last) + " outside the trace");
  runs_.push_back({first, last, curved, turn});
}

TrackTrace PlanTrace::points() const {
  TrackTrace trace;
  if (!exists()) return trace;
  trace.create(last_metre());
  if (started_) {
    trace.set_integer(0, kAxisX, 0);
    trace.set_integer(0, kAxisY, 0);
    trace.set_integer(1, kAxisX, 0);
    trace.set_integer(1, kAxisY, 1);
  }
  for_each_point([&trace](int32_t metre, double x, double y) {
    trace.set_double(metre, kAxisX, x);
    trace.set_double(metre, kAxisY, y);
  });
  return trace;
}
