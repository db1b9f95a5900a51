#pragma once

// Where the texts of the picture go so that they overlap nothing: in the rows under the profile, each
// text beside its mark on the first level free for it; on the plan, the free place nearest to a point.

#include <vector>

#include "preview/picture.h"

/// Puts texts of widths `widths` at the points `xs` of a row, each starting just right of its point
/// (or as far right as `right_limit` allows), on level 0 or the first level below where it overlaps no
/// other text and no stem (from the row's marks down to a text) crosses a text; when the right limit
/// leaves no such level, the first level where it overlaps nothing. Gives each text's level and left
/// edge.
struct RowSlot {
  int level = 0;
  double left = 0;
};
std::vector<RowSlot> place_row_labels(const std::vector<double>& xs, const std::vector<double>& widths, double gap,
                                      double right_limit);


/// Where a text goes near a point, and whether it stands far enough off to need a leader line.
struct NearbyPlace {
  Box box;
  bool leader = false;
};

/// A place for a text of `w` x `h` near `anchor` within `bounds`, clear of `labels`, of
/// `obstacles` (but for the anchor's own mark) and, where there is room, of the points `avoid`;
/// directions near `normal` first, then further off. Distances are in page units times `unit`. When
/// nothing near is free, the free place nearest to the anchor anywhere in the bounds.
NearbyPlace place_near(Point anchor, double w, double h, Point normal, const Box& bounds,
                       const std::vector<Label>& labels, const std::vector<Box>& obstacles,
                       const std::vector<Point>& avoid, double unit);

/// The point of the box nearest to p.
Point nearest_on(const Box& box, Point p);
