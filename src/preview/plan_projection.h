#pragma once

#include <cstdint>

#include "preview/picture.h"
#include "scenario/track_trace.h"

/// The plan of the line laid onto a box of the page. The trace from metre 0 to `last` (beyond the
/// trace's end, or without a trace, the line goes on straight; a point that is not a number or lies
/// absurdly far is taken for one of that straight line) is turned so that its chord, from its
/// first point to its last, runs level from left to right; a winding line is turned further, by at most
/// 40 degrees either way, when that makes it at least a quarter larger in the box. It is scaled alike
/// in both directions and centred in the box; the page's y runs down.
class PlanProjection {
 public:
  PlanProjection(const TrackTrace& trace, int32_t last, const Box& box);

  /// Where a metre of the line (clamped to 0 to `last`) lies on the page.
  Point screen(int32_t metre) const;
  /// The line's unit normal on the page at a metre, from the points 20 m either side.
  Point normal_at(int32_t metre) const;
  /// Page units per metre.
  double scale() const { return scale_; }
  /// The line's extent along the page's x axis, metres (at least 1).
  double width_metres() const { return span_u_; }

 private:
  Point world(int32_t metre) const;

  const TrackTrace& trace_;
  int32_t last_;
  double cosine_ = 1;
  double sine_ = 0;
  double scale_ = 1;
  double span_u_ = 1;
  double offset_x_ = 0;
  double offset_y_ = 0;
};
