#pragma once

// The picture of a compiled scenario, laid out as plain data: every line, area, mark and text with its
// place in the picture (x to the right, y downwards, in pixels for a PNG and points for SVG and PDF).
// Laying out decides everything; drawing (preview_drawing.h) only paints what it finds here.
//
// Positions along the line follow the grid's two rules: a single object in cell i stands at
// (i - 1) x 50 m (the inverse of round(p / 50 + 1)); a profile value of cell i holds from i x 50 m to
// (i + 1) x 50 m.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "preview/preview_files.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"

struct Point {
  double x = 0;
  double y = 0;
};

/// An upright rectangle.
struct Box {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;

  double width() const { return right - left; }
  double height() const { return bottom - top; }
  /// True when the two share some area (touching edges do not count).
  bool overlaps(const Box& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
  bool contains(Point p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
  bool contains(const Box& other) const {
    return other.left >= left && other.right <= right && other.top >= top && other.bottom <= bottom;
  }
  Box grown(double margin) const { return {left - margin, top - margin, right + margin, bottom + margin}; }
};

struct Colour {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;
};

struct LineStyle {
  Colour colour;
  double width = 1;
  std::vector<double> dashes;  // on, off, ... lengths; empty for a solid line
};

/// A font: its size, and whether it is bold. The family is the system's sans-serif.
struct FontSpec {
  double size = 12;
  bool bold = false;
};

/// What a text measures in a font: its advance width, and the font's ascent and descent.
struct TextSize {
  double width = 0;
  double ascent = 0;
  double descent = 0;
};

/// Measures a UTF-8 text; the drawing side supplies cairo's text extents, tests may supply their own.
using MeasureText = std::function<TextSize(const std::string& text, const FontSpec& font)>;

/// What a text of the picture is, for the tests and for the order of painting.
enum class LabelRole {
  Title,
  Heading,
  AxisTitle,
  TickLabel,
  PlanStart,
  PlanStation,
  ScaleBar,
  RowTitle,
  StationRow,
  SpeedBoardRow,
  InfoBoardRow,
  Slowdown,
  Legend,
};

/// A text with its box: the text starts at (box.left, baseline) and never leaves its box.
struct Label {
  std::string text;  // UTF-8
  FontSpec font;
  Colour colour;
  Box box;
  double baseline = 0;
  LabelRole role = LabelRole::Title;
  bool backdrop = false;  // painted on a pale patch, for texts that sit over lines
};

/// A line through points.
struct Stroke {
  std::vector<Point> points;
  LineStyle style;
};

/// A filled polygon, with an optional border.
struct Fill {
  std::vector<Point> outline;
  Colour colour;
  std::optional<LineStyle> border;
};

enum class MarkShape { Square, Circle, Diamond, Triangle, SignalPost, Board };

/// A small symbol centred on a point.
struct Mark {
  MarkShape shape = MarkShape::Square;
  Point at;
  double size = 8;
  Colour fill;
  Colour outline;
};

using Shape = std::variant<Fill, Stroke, Mark>;

/// A station as the picture shows it.
struct StationView {
  std::string name;  // UTF-8
  std::string time;  // "hh:mm", or "hh:mm:ss" when the seconds are not 0
  int32_t metre = 0;
  Point plan_at;               // its place on the plan
  std::size_t plan_label = 0;  // index into PreviewLayout::labels
  std::size_t row_label = 0;
};

/// One point of the height profile: the height at a cell boundary, relative to the start.
struct ProfilePoint {
  int32_t metre = 0;
  double height = 0;
};

/// A stretch of the line from `from` to `to` metres carrying a value (a mountain type, a speed).
struct Stretch {
  int32_t from = 0;
  int32_t to = 0;
  int value = 0;
};

/// A slowdown band: from the start cell to the end cell, its speed, its area in the speed chart.
struct SlowdownView {
  int32_t from = 0;
  int32_t to = 0;
  int speed = 0;
  int32_t start_cell = 0;
  std::optional<int32_t> end_cell;  // none when the grid holds no end after the start
  Box band;
  std::size_t label = 0;
};

/// A mark in one of the rows under the profile.
struct RowMark {
  int32_t metre = 0;
  Point at;
  std::optional<std::size_t> label;  // index into PreviewLayout::labels
};

enum class RowKind { Stations, Signals, SpeedBoards, InfoBoards };

struct MarkRow {
  RowKind kind = RowKind::Stations;
  Box area;
  int levels = 0;  // label levels under the marks
  std::vector<RowMark> marks;
};

/// A kilometric reference of the table: from `start` metres on, the progressive is `progressive` there
/// and changes by `direction` (+1 or -1) per metre.
struct KilometricReference {
  int32_t start = 0;
  int32_t progressive = 0;
  int direction = 1;
};

struct PreviewLayout {
  double width = 0;
  double height = 0;
  /// Painted in order, then every label on top.
  std::vector<Shape> shapes;
  std::vector<Label> labels;

  // What the picture shows, in the scenario's own terms.
  int32_t line_length = 0;
  int32_t axis_end = 0;  // the profile axis runs from 0 to here, metres
  Box plan_area;
  Box height_area;
  Box speed_area;
  std::vector<Point> plan_line;  // the track from metre 0 to the axis end, one point per metre
  std::vector<StationView> stations;
  std::vector<ProfilePoint> height_profile;
  std::vector<Stretch> mountains;     // value: the mountain type
  std::vector<Stretch> speed_limits;  // value: km/h
  std::vector<SlowdownView> slowdowns;
  std::vector<MarkRow> rows;
};

/// The kilometric references in use (records 81 to 83 that are not all zero), by increasing start. A
/// reference whose flag is 1 counts down from its value less the 100 that reading added for the flag;
/// any other flag counts up from its value.
std::vector<KilometricReference> kilometric_references(const ScenarioTable& table);

/// The progressive at a metre of the line, in metres: from the reference with the greatest start at or
/// before the metre (the first one before all starts); the metre itself when there is no reference.
double kilometric_progressive(const std::vector<KilometricReference>& references, double metre);

/// The text of an information board for a label: its parenthesised parts without their padding,
/// joined by blanks, a last part that is the board's progressive left out; the trimmed text when it
/// has no parentheses.
std::string board_caption(const std::string& text);

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

/// Lays out the picture of `files` (checked with mismatch_of) on a `width` x `height` page.
PreviewLayout layout_preview(const ScenarioFiles& files, double width, double height, const MeasureText& measure);
