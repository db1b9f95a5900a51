#pragma once

// Where the texts of the picture go so that they overlap nothing: in the rows under the profile, each
// text beside its mark on the first level free for it; on the plan, the free place nearest to a point.

#include <optional>
#include <vector>

#include "preview/box_index.h"
#include "preview/picture.h"

/// Where a text of a row goes: its level (0 just under the marks) and its left edge; not shown when no
/// level within the row's limit is free for it.
struct RowSlot {
  int level = 0;
  double left = 0;
  bool shown = true;
};

/// Puts texts of widths `widths` at the points `xs` of a row, each starting just right of its point
/// (or as far right as `right_limit` allows), on the first level below where it comes no nearer than
/// `gap` to another text of its level, no stem (from the row's marks down to a text) crosses it and its
/// own stem crosses no text; when the right limit leaves no such level, the first one where only its
/// own stem crosses a text. Texts are placed from the right, so that a text only ever lies right of
/// the stems still to come; a text that would need level `most_levels` or deeper is not shown. Takes
/// O(n log n) for n texts, whatever `most_levels`.
std::vector<RowSlot> place_row_labels(const std::vector<double>& xs, const std::vector<double>& widths, double gap,
                                      double right_limit, int most_levels);

/// Where a text goes near a point, and whether it stands far enough off to need a leader line.
struct NearbyPlace {
  Box box;
  bool leader = false;
};

/// What a text near a point must keep clear of: the texts already placed, the marks (but for the
/// anchor's own, any obstacle holding the anchor) and, where there is room, the points of the line.
struct PlaceObstacles {
  const BoxIndex& labels;
  const BoxIndex& marks;
  const BoxIndex& line_points;
};

/// A place for a text of `w` x `h` near `anchor` within `bounds`, clear of `obstacles`; directions near
/// `normal` first, then further off. Distances are in page units times `unit`. When nothing near is
/// free, the free place nearest to the anchor anywhere in the bounds, among places a quarter of the
/// text's width and half its height apart; none when the bounds hold no free place at all.
std::optional<NearbyPlace> place_near(Point anchor, double w, double h, Point normal, const Box& bounds,
                                      const PlaceObstacles& obstacles, double unit);

/// The point of the box nearest to p.
Point nearest_on(const Box& box, Point p);

/// Whether the segment from a to b passes through the box (its edges included).
bool segment_crosses(Point a, Point b, const Box& box);
