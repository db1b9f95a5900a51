#pragma once

// The vocabulary of a picture as plain data: points and boxes (x to the right, y downwards, in pixels
// for a PNG and points for SVG and PDF), colours and line styles, fonts and measured texts, and the
// shapes a layout is made of.

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

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
  PlanEnd,
  PlanStation,
  ScaleBar,
  RowTitle,
  StationRow,
  SpeedBoardRow,
  InfoBoardRow,
  Slowdown,
  Legend,
  Note,  // how many texts of a panel found no room
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

/// The outline of a box, clockwise from its top left corner.
inline std::vector<Point> rectangle(const Box& box) {
  return {{box.left, box.top}, {box.right, box.top}, {box.right, box.bottom}, {box.left, box.bottom}};
}
