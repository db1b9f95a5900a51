#pragma once

// The layout's working state, shared by the files that hold its steps; nothing outside preview/ uses it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "preview/box_index.h"
#include "preview/label_placement.h"
#include "preview/palette.h"
#include "preview/picture.h"
#include "preview/preview_layout.h"
#include "preview/preview_scene.h"

/// The entries of the legend, in their order.
enum class LegendKey {
  Track,
  Height,
  Mountain,
  SpeedLimit,
  Slowdown,
  FastestRun,
  TimetableTime,
  Station,
  Signal,
  SpeedBoard,
  InfoBoard,
  Start,
  End
};

struct Fonts {
  FontSpec title;
  FontSpec heading;
  FontSpec label;
  FontSpec small;
};

/// Lays out the picture step by step, each step adding its shapes and labels to the layout in the
/// order they are painted. Its steps live in the files of preview/ by what they lay out: the page
/// (preview_layout.cpp), the plan (layout_plan.cpp), the two charts (layout_charts.cpp), the rows
/// under them (layout_rows.cpp) and the kilometric axis (layout_axis.cpp).
class PreviewLayouter {
 public:
  PreviewLayouter(const ScenarioFiles& files, double width, double height, const MeasureText& measure);

  PreviewLayout run();

 private:
  // Texts
  TextSize size_of(const std::string& text, const FontSpec& font) const { return measure_(text, font); }
  double text_height(const FontSpec& font) const {
    const TextSize size = size_of("Hg", font);
    return size.ascent + size.descent;
  }
  /// The text cut with an ellipsis to at most `max_width` (design units times u).
  std::string fitted(const std::string& text, const FontSpec& font, double max_width) const;
  Label make_label(const std::string& text, const FontSpec& font, Colour c, LabelRole role, double left,
                   double top) const {
    const TextSize size = size_of(text, font);
    Label label{text, font, c, {left, top, left + size.width, top + size.ascent + size.descent}, top + size.ascent,
                role, false};
    return label;
  }
  /// Adds a label to the panel being laid out.
  std::size_t add(Label label);
  /// Whether a box lies in the panel being laid out and clear of every label so far.
  bool free_in_panel(const Box& box) const { return panel().box.contains(box) && !labels_->overlaps(box); }
  /// Starts a panel: the labels added from now on are its own.
  void open_panel(PanelKind kind, const Box& box, double minimum_height);
  Panel& panel() { return out_.panels.back(); }
  const Panel& panel() const { return out_.panels.back(); }
  /// A panel's heading in `band`, and at its right end, when `left_out` is not 0, the note that counts the
  /// texts that found no room in the panel ("12 more station names"); the heading is cut to leave it room.
  void heading_and_note(const std::string& heading, const Box& band, int left_out, const std::string& what);

  // Along the profile axis
  double x_of(double metre) const {
    return plot_left_ +
           std::clamp(metre, 0.0, static_cast<double>(s_.axis_end)) / s_.axis_end * (plot_right_ - plot_left_);
  }

  /// Where a stretch of the line lies along the axis, widened about its middle to at least `narrowest`.
  std::pair<double, double> x_span(double from, double to, double narrowest) const {
    double left = x_of(from);
    double right = x_of(to);
    if (right - left < narrowest) {
      const double middle = (left + right) / 2;
      left = middle - narrowest / 2;
      right = middle + narrowest / 2;
    }
    return {left, right};
  }

  void stroke(std::vector<Point> points, Colour c, double width, std::vector<double> dashes = {}, bool closed = false) {
    if (closed && !points.empty()) points.push_back(points.front());
    out_.shapes.emplace_back(Stroke{std::move(points), LineStyle{c, width, std::move(dashes)}});
  }
  void fill(std::vector<Point> outline, Colour c, std::optional<LineStyle> border = std::nullopt) {
    out_.shapes.emplace_back(Fill{std::move(outline), c, std::move(border)});
  }
  void mark(MarkShape shape, Point at, double size, Colour fill_colour, Colour outline = colour::kInk) {
    out_.shapes.emplace_back(Mark{shape, at, size, fill_colour, outline});
  }
  /// The end of the line across the panel being laid out, from `top` to `bottom` at its place on the axis.
  void end_of_line_across(double top, double bottom);

  // Steps, by the files that hold them
  struct RowPlan {
    RowKind kind;
    PanelKind panel;
    std::string title;
    MarkShape shape;
    Colour colour;
    std::vector<int32_t> metres;
    std::vector<std::string> texts;  // empty for a row without labels; cut to the longest a row shows
    LabelRole role;
    std::vector<double> widths;  // of the texts
    std::vector<RowSlot> slots;
    int levels = 0;
    int left_out = 0;
  };
  // The page (preview_layout.cpp)
  void fit_horizontally();
  void lay_out_vertically();
  void lay_out_title();
  void lay_out_legend();
  // The plan (layout_plan.cpp)
  void lay_out_plan();
  // The charts (layout_charts.cpp)
  void lay_out_height_chart();
  void lay_out_speed_chart();
  void lay_out_time_chart();
  double value_text_width() const;
  void value_axis(const Box& area, double low, double high, double step);
  void tick_lines(const Box& area);
  void station_guides(const Box& area);
  double y_in(const Box& area, double low, double high, double value) const {
    return area.bottom - (value - low) / (high - low) * area.height();
  }
  // The rows (layout_rows.cpp)
  void plan_rows();
  void place_row(RowPlan& row, int most_levels);
  /// Gives the rows their levels within `room`, the fewest first taken from the row with the most.
  void fit_rows(double room);
  void lay_out_rows();
  // The kilometric axis (layout_axis.cpp)
  void plan_axis_ticks();
  void lay_out_axis();

  double row_mark_height() const { return std::max(14 * u_, text_height(fonts_.heading) + 2 * u_); }
  double level_height() const { return text_height(fonts_.label) + 3 * u_; }
  double row_height(int levels) const {
    return row_mark_height() + levels * level_height() + (levels > 0 ? 3 * u_ : 0) + 6 * u_;
  }
  double row_height(const RowPlan& row) const { return row_height(row.levels); }
  double legend_height() const { return legend_entries_.size() * (text_height(fonts_.label) + 6 * u_) + 14 * u_; }
  /// Below a chart's area, room for the half of its lowest value text that hangs below it.
  double chart_foot() const { return 7 * u_; }

  const TrackTrace& trace_;
  const MeasureText& measure_;
  PreviewScene s_;
  PreviewLayout out_;
  double u_ = 1;
  double pad_ = 14;
  Fonts fonts_;
  std::optional<BoxIndex> labels_;  // every label so far, once the page's size is settled

  double plot_left_ = 0;
  double plot_right_ = 0;
  double right_limit_ = 0;
  double legend_width_ = 0;
  std::vector<RowPlan> rows_;
  std::vector<std::pair<double, std::string>> ticks_;  // metre, text
  std::vector<std::pair<std::string, LegendKey>> legend_entries_;

  double title_bottom_ = 0;
  Box plan_heading_;
  Box height_heading_;
  Box speed_heading_;
  Box time_heading_;
  double rows_top_ = 0;
  double axis_y_ = 0;
  double axis_label_top_ = 0;
  double axis_title_top_ = 0;

  double height_low_ = 0, height_high_ = 1, height_step_ = 1;
  double speed_high_ = 100, speed_step_ = 20;
  double time_high_ = 10, time_step_ = 2;  // minutes
};
