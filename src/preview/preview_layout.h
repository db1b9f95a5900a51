#pragma once

// The picture of a compiled scenario, laid out as plain data: every line, area, mark and text with its
// place in the picture (preview/picture.h). Laying out decides everything; drawing (preview_drawing.h)
// only paints what it finds here. Positions along the line are metres (model/positions.h).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/line_profile.h"
#include "preview/picture.h"
#include "preview/preview_files.h"

/// A station as the picture shows it.
struct StationView {
  std::string name;  // UTF-8
  std::string time;  // "hh:mm", or "hh:mm:ss" when the seconds are not 0
  int32_t metre = 0;
  Point plan_at;                          // its place on the plan
  std::optional<std::size_t> plan_label;  // index into PreviewLayout::labels; none when no room was left
  std::optional<std::size_t> row_label;
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
  std::optional<std::size_t> label;  // none when no room was left in the chart
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
  Box area;               // its panel: the title on the left, the marks, the texts on their levels
  std::size_t panel = 0;  // index into PreviewLayout::panels
  int levels = 0;         // label levels under the marks
  std::vector<RowMark> marks;
};

enum class PanelKind {
  Title,
  Plan,
  HeightChart,
  SpeedChart,
  TimeChart,
  Legend,
  StationRow,
  SignalRow,
  SpeedBoardRow,
  InfoBoardRow,
  Axis
};

/// A part of the page with its own texts. Every text of the picture lies inside the page and inside its
/// panel, and the panels do not overlap. A panel is never lower than its minimum, however many
/// stations, boards and texts there are: texts that find no room in it are left out, and a note in
/// the panel counts them ("12 more").
struct Panel {
  PanelKind kind = PanelKind::Title;
  Box box;
  double minimum_height = 0;
  std::vector<std::size_t> labels;  // indices into PreviewLayout::labels
  int left_out = 0;                 // texts that found no room
  std::optional<std::size_t> note;  // the label that counts them
  std::vector<Point> line_end;      // the mark of the end of the line, where the panel shows the line
};

struct PreviewLayout {
  /// The page: the size asked for, larger only when the panels at their minimum heights need more.
  double width = 0;
  double height = 0;
  double unit = 1;  // page units per unit of the 1600 x 1000 design the sizes are made for
  /// Painted in order, then every label on top.
  std::vector<Shape> shapes;
  std::vector<Label> labels;
  std::vector<Panel> panels;

  // What the picture shows, in the scenario's own terms.
  int32_t line_length = 0;
  int32_t axis_end = 0;  // the profile axis runs from 0 to here, metres
  Box plan_area;
  Box height_area;
  Box speed_area;
  Box time_area;                 // the time-distance chart: the timetable's times and the fastest run
  std::vector<Point> plan_line;  // the track from metre 0 to the axis end, one point per metre
  std::vector<StationView> stations;
  std::vector<ProfilePoint> height_profile;
  std::vector<Stretch> mountains;     // value: the mountain type
  std::vector<Stretch> speed_limits;  // value: km/h
  std::vector<SlowdownView> slowdowns;
  std::vector<MarkRow> rows;
};

/// The least height of the plan and of each chart, under its heading, in design units
/// (PreviewLayout::unit). A row with texts keeps at least one level of them.
inline constexpr double kLeastPlanHeight = 110;
inline constexpr double kLeastChartHeight = 70;
/// The widest texts of a row and of the plan, in design units: longer ones are cut with an ellipsis.
inline constexpr double kLongestRowText = 240;
inline constexpr double kLongestPlanText = 200;

/// Lays out the picture of `files` on a `width` x `height` page. Files that were never checked with
/// mismatch_of are shown as they are; the cost grows as n log n with the number of objects.
PreviewLayout layout_preview(const ScenarioFiles& files, double width, double height, const MeasureText& measure);
