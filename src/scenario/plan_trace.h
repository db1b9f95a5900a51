#pragma once

#include <cstdint>
#include <vector>

#include "scenario/track_trace.h"

/// A stretch of the plan trace as the line reader lays it: the points of metres `first` to `last`, each
/// one step on from the two points before it, straight or with the step turned by `turn` per metre.
struct PlanRun {
  int32_t first = 0;
  int32_t last = 0;
  bool curved = false;
  double turn = 0;
};

/// The plan trace of a compilation, kept as the runs that make it rather than as its points: the points
/// of the longest line (16 MB of values and 4 MB of type codes) are made again as they are written, a
/// piece at a time, and as a whole TrackTrace only for a reader that needs them all at once (a picture).
/// Every point is made by one loop (PlanPoints::make), in plain double arithmetic in one order, so that
/// what is written and what is read back are the same values to the bit.
class PlanTrace {
 public:
  /// (Re-)creates the trace for metres 0 to `grid_extent`, every point empty and no run.
  void create(int32_t grid_extent);
  bool exists() const { return metres_ > 0; }
  /// The last metre of the trace (the grid extent).
  int32_t last_metre() const { return metres_ - 1; }

  /// Gives the first two points, (0, 0) and (0, 1), as integers: the plan starts heading along Y.
  void start();
  bool started() const { return started_; }
  /// The first metre that no run has made yet (2 before any run; at most last_metre() + 1).
  int32_t next_metre() const { return runs_.empty() ? 2 : runs_.back().last + 1; }
  /// Makes metres next_metre() to `last` (none when `last` comes before it): a fault of the caller when
  /// `last` lies beyond the trace.
  void add_run(int32_t last, bool curved, double turn);
  const std::vector<PlanRun>& runs() const { return runs_; }

  /// Calls visit(metre, x, y) for each point the runs make, in metre order (metres 2 to next_metre() - 1).
  template <typename Visit>
  void for_each_point(Visit&& visit) const;

  /// Every point at once, as the trace file holds them (empty where no run reached).
  TrackTrace points() const;

 private:
  int32_t metres_ = 0;
  bool started_ = false;
  std::vector<PlanRun> runs_;
};

/// The points of a plan trace one after the other, in metre order: the one loop that makes them all.
/// Each step is the difference of the two points before, never renormalised.
class PlanPoints {
 public:
  explicit PlanPoints(const PlanTrace& trace)
      : run_(trace.runs().data()), end_(trace.runs().data() + trace.runs().size()), y1_(trace.started() ? 1.0 : 0.0) {
    if (run_ != end_) metre_ = run_->first;
  }

  /// Makes the next points, up to `count` of them, calling visit(metre, x, y) for each; returns how many
  /// it made (fewer only after the last point). The loop keeps the points in local variables, so that a
  /// visitor that calls nothing leaves them in registers.
  template <typename Visit>
  int64_t make(int64_t count, Visit&& visit) {
    double x2 = x2_, y2 = y2_, x1 = x1_, y1 = y1_;
    int32_t metre = metre_;
    int64_t made = 0;
    while (made < count) {
      while (run_ != end_ && metre > run_->last)
        if (++run_ != end_) metre = run_->first;
      if (run_ == end_) break;
      const int64_t left = count - made;
      const int32_t stop = run_->last - metre < left ? run_->last : static_cast<int32_t>(metre + left - 1);
      const bool curved = run_->curved;
      const double turn = run_->turn;
      for (; metre <= stop; ++metre, ++made) {
        const double dx = x1 - x2;
        const double dy = y1 - y2;
        const double x = curved ? x1 + dx + turn * dy : x1 + dx;
        const double y = curved ? y1 + dy - turn * dx : y1 + dy;
        visit(metre, x, y);
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
      }
    }
    x2_ = x2, y2_ = y2, x1_ = x1, y1_ = y1;
    metre_ = metre;
    return made;
  }

 private:
  const PlanRun* run_;
  const PlanRun* end_;
  int32_t metre_ = 0;
  double x2_ = 0, y2_ = 0, x1_ = 0, y1_;
};

template <typename Visit>
void PlanTrace::for_each_point(Visit&& visit) const {
  PlanPoints(*this).make(INT64_MAX, visit);
}
