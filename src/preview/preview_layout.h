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
  Point plan_at;               // its place on the plan
  std::size_t plan_label = 0;  // index into PreviewLayout::labels
  std::size_t row_label = 0;
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

/// Lays out the picture of `files` (checked with mismatch_of) on a `width` x `height` page.
PreviewLayout layout_preview(const ScenarioFiles& files, double width, double height, const MeasureText& measure);
