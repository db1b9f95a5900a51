#include "preview/preview_layout.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "preview/layouter.h"
#include "preview/scale_numbers.h"
#include "preview/text_fit.h"

// The page: its scale, the title, the places of the plan, the charts, the rows and the axis one under
// the other, and the legend beside the charts.

namespace {

// The page the sizes below are made for; other pages scale them.
constexpr double kDesignWidth = 1600;
constexpr double kDesignHeight = 1000;
// The largest page laid out; a larger one is laid out at this size.
constexpr double kLargestPage = 100000;

double page_size(double asked, double otherwise) {
  return std::isfinite(asked) ? std::clamp(asked, 1.0, kLargestPage) : otherwise;
}

}  // namespace

PreviewLayout layout_preview(const ScenarioFiles& files, double width, double height, const MeasureText& measure) {
  return PreviewLayouter(files, width, height, measure).run();
}

PreviewLayouter::PreviewLayouter(const ScenarioFiles& files, double width, double height, const MeasureText& measure)
    : trace_(files.trace), measure_(measure), s_(preview_scene(files)) {
  out_.width = page_size(width, kDesignWidth);
  out_.height = page_size(height, kDesignHeight);
  u_ = std::clamp(std::min(out_.width / kDesignWidth, out_.height / kDesignHeight), 0.4, 4.0);
  out_.unit = u_;
  fonts_ = {{20 * u_, true}, {13 * u_, true}, {11 * u_, false}, {10 * u_, false}};
  pad_ = 14 * u_;
}

PreviewLayout PreviewLayouter::run() {
  out_.line_length = s_.line_length;
  out_.axis_end = s_.axis_end;
  plan_rows();
  fit_horizontally();
  plan_axis_ticks();
  lay_out_vertically();
  labels_.emplace(Box{0, 0, out_.width, out_.height}, 24 * u_);
  lay_out_title();
  lay_out_plan();
  lay_out_height_chart();
  lay_out_speed_chart();
  lay_out_time_chart();
  lay_out_rows();
  lay_out_axis();
  lay_out_legend();
  return std::move(out_);
}

std::string PreviewLayouter::fitted(const std::string& text, const FontSpec& font, double max_width) const {
  return fit_text(text, font, max_width, measure_);
}

std::size_t PreviewLayouter::add(Label label) {
  if (labels_) labels_->add(label.box);
  out_.labels.push_back(std::move(label));
  const std::size_t index = out_.labels.size() - 1;
  if (!out_.panels.empty()) panel().labels.push_back(index);
  return index;
}

void PreviewLayouter::open_panel(PanelKind kind, const Box& box, double minimum_height) {
  Panel opened;
  opened.kind = kind;
  opened.box = box;
  opened.minimum_height = minimum_height;
  out_.panels.push_back(std::move(opened));
}

void PreviewLayouter::heading_and_note(const std::string& heading, const Box& band, int left_out,
                                       const std::string& what) {
  double right = band.right;
  if (left_out > 0) {
    panel().left_out = left_out;
    const std::string text = fitted(std::to_string(left_out) + " more " + what, fonts_.small, band.width() / 2);
    if (!text.empty()) {
      const TextSize size = size_of(text, fonts_.small);
      const Label note = make_label(text, fonts_.small, colour::kMuted, LabelRole::Note, band.right - size.width,
                                    band.bottom - size.ascent - size.descent);
      if (free_in_panel(note.box)) {
        panel().note = add(note);
        right = note.box.left - 10 * u_;
      }
    }
  }
  const std::string text = fitted(heading, fonts_.heading, right - band.left);
  if (!text.empty()) add(make_label(text, fonts_.heading, colour::kInk, LabelRole::Heading, band.left, band.top));
}

void PreviewLayouter::end_of_line_across(double top, double bottom) {
  const double x = x_of(s_.line_length);
  std::vector<Point> line{{x, top}, {x, bottom}};
  stroke(line, colour::kEnd, 1.6 * u_, {6 * u_, 2.5 * u_});
  panel().line_end = std::move(line);
}

void PreviewLayouter::fit_horizontally() {
  const double tick_gap = 6 * u_;
  double left_text = std::max(size_of("-8888", fonts_.label).width, value_text_width()) + tick_gap;
  for (const RowPlan& row : rows_) left_text = std::max(left_text, size_of(row.title, fonts_.heading).width);
  left_text = std::max(left_text, size_of("99999 more", fonts_.small).width);
  plot_left_ = pad_ + left_text + 12 * u_;
  right_limit_ = out_.width - pad_;

  legend_entries_ = {{"Track (plan)", LegendKey::Track},
                     {"Height profile", LegendKey::Height},
                     {"Mountain stretch", LegendKey::Mountain},
                     {"Line speed limit", LegendKey::SpeedLimit},
                     {"Slowdown", LegendKey::Slowdown},
                     {"Fastest run of the train", LegendKey::FastestRun},
                     {"Timetable time", LegendKey::TimetableTime},
                     {"Station", LegendKey::Station},
                     {"Signal", LegendKey::Signal},
                     {"Speed board", LegendKey::SpeedBoard},
                     {"Information board", LegendKey::InfoBoard},
                     {"Start of the line", LegendKey::Start},
                     {"End of the line", LegendKey::End}};
  double widest = 0;
  for (const auto& [text, kind] : legend_entries_) widest = std::max(widest, size_of(text, fonts_.label).width);
  legend_width_ = 10 * u_ + 28 * u_ + 8 * u_ + widest + 10 * u_;
  // The profile axis keeps some width, and the rows room for their longest texts; a page too narrow for
  // that and the margins grows.
  const double narrowest = plot_left_ + 100 * u_;
  const double least_right = std::max(narrowest + legend_width_ + 16 * u_, plot_left_ + kLongestRowText * u_);
  if (right_limit_ < least_right) {
    out_.width += least_right - right_limit_;
    right_limit_ = least_right;
  }
  plot_right_ = right_limit_ - legend_width_ - 16 * u_;

  // Row texts start right of their marks; near the end of the line they run into the right margin,
  // which therefore must be wide enough for the longest of them.
  for (int round = 0; round < 12; ++round) {
    plot_right_ = std::max(plot_right_, narrowest);
    double overflow = 0;
    for (const RowPlan& row : rows_)
      for (std::size_t i = 0; i < row.texts.size(); ++i)
        overflow = std::max(overflow, x_of(row.metres[i]) + 4 * u_ + row.widths[i] - right_limit_);
    if (overflow <= 0.5 || plot_right_ <= narrowest) break;
    plot_right_ -= overflow;
  }
  plot_right_ = std::max(plot_right_, narrowest);
}

void PreviewLayouter::lay_out_vertically() {
  const double heading_h = text_height(fonts_.heading);
  const double label_h = text_height(fonts_.label);
  title_bottom_ = pad_ + text_height(fonts_.title);

  const double axis_h = 5 * u_ + 3 * u_ + label_h + 6 * u_ + label_h;
  const double headings = 4 * (heading_h + 5 * u_);
  const double gaps = 12 * u_ + 4 * 14 * u_ + 10 * u_;
  const double fixed = title_bottom_ + headings + gaps + axis_h + pad_;
  // The legend stands beside the two charts: together they are at least as tall.
  const double legend_h = legend_height();
  const double least_plan = kLeastPlanHeight * u_;
  const double least_chart = kLeastChartHeight * u_;
  const double least_charts = std::max(3 * least_chart, legend_h - 2 * (heading_h + 5 * u_ + 14 * u_));
  double least_rows = 0;
  for (const RowPlan& row : rows_) least_rows += row_height(row.texts.empty() ? 0 : 1);
  // The page grows when even the least of everything does not fit (never at the sizes the command
  // takes).
  out_.height = std::max(out_.height, fixed + least_plan + least_charts + least_rows);
  fit_rows(out_.height - fixed - least_plan - least_charts);

  double rows_h = 0;
  for (const RowPlan& row : rows_) rows_h += row_height(row);
  const double room = std::max(0.0, out_.height - fixed - rows_h);
  double plan_h = 0.42 * room;
  const double charts = room - plan_h + 2 * (heading_h + 5 * u_ + 14 * u_);
  if (charts < legend_h) plan_h -= std::min(legend_h - charts, plan_h * 0.5);
  // Every panel at least its least height; the three charts share the rest, a third each.
  plan_h = std::clamp(plan_h, least_plan, std::max(least_plan, room - least_charts));
  const double charts_h = room - plan_h;
  const double height_h = charts_h / 3;
  const double speed_h = charts_h / 3;
  const double time_h = charts_h - height_h - speed_h;

  double y = title_bottom_ + 12 * u_;
  plan_heading_ = {pad_, y, out_.width - pad_, y + heading_h};
  y = plan_heading_.bottom + 5 * u_;
  out_.plan_area = {pad_, y, out_.width - pad_, y + plan_h};
  y = out_.plan_area.bottom + 14 * u_;
  height_heading_ = {plot_left_, y, plot_right_, y + heading_h};
  y = height_heading_.bottom + 5 * u_;
  out_.height_area = {plot_left_, y, plot_right_, y + height_h};
  y = out_.height_area.bottom + 14 * u_;
  speed_heading_ = {plot_left_, y, plot_right_, y + heading_h};
  y = speed_heading_.bottom + 5 * u_;
  out_.speed_area = {plot_left_, y, plot_right_, y + speed_h};
  y = out_.speed_area.bottom + 14 * u_;
  time_heading_ = {plot_left_, y, plot_right_, y + heading_h};
  y = time_heading_.bottom + 5 * u_;
  out_.time_area = {plot_left_, y, plot_right_, y + time_h};
  rows_top_ = out_.time_area.bottom + 14 * u_;
  axis_y_ = rows_top_ + rows_h;
  axis_label_top_ = axis_y_ + 5 * u_ + 3 * u_;
  axis_title_top_ = axis_label_top_ + label_h + 6 * u_;
}

void PreviewLayouter::lay_out_title() {
  open_panel(PanelKind::Title, {pad_, pad_, out_.width - pad_, title_bottom_ + 4 * u_}, title_bottom_ - pad_);
  const std::string title = fitted(s_.line_key + "  \u00B7  train " + s_.train_number + "  \u00B7  line length " +
                                       fixed(s_.line_length / 1000.0, 3) + " km",
                                   fonts_.title, out_.width - 2 * pad_);
  if (title.empty()) return;
  const Label heading = make_label(title, fonts_.title, colour::kInk, LabelRole::Title, pad_, pad_);
  add(heading);
  // The names of the three files, in the room the title leaves on the right.
  const std::string sources = fitted("from " + s_.file_names[0] + ", " + s_.file_names[1] + " and " + s_.file_names[2],
                                     fonts_.small, out_.width - pad_ - heading.box.right - 10 * u_);
  if (sources.empty()) return;
  const TextSize size = size_of(sources, fonts_.small);
  const double top = title_bottom_ - size.ascent - size.descent;
  const Label note =
      make_label(sources, fonts_.small, colour::kMuted, LabelRole::Heading, out_.width - pad_ - size.width, top);
  if (!note.box.overlaps(heading.box.grown(10 * u_)) && free_in_panel(note.box)) add(note);
}

void PreviewLayouter::lay_out_legend() {
  const double label_h = text_height(fonts_.label);
  const double row_h = label_h + 6 * u_;
  const double left = plot_right_ + 16 * u_;
  const double top = height_heading_.top;
  const Box box{left, top, left + legend_width_, top + legend_height()};
  open_panel(PanelKind::Legend, box, box.height());
  fill(rectangle(box), colour::kPaper, LineStyle{colour::kFrame, 1 * u_, {}});
  double y = box.top + 7 * u_;
  for (const auto& [text, kind] : legend_entries_) {
    const double middle = y + row_h / 2;
    const Box swatch{left + 10 * u_, middle - 6 * u_, left + 38 * u_, middle + 6 * u_};
    const double cx = (swatch.left + swatch.right) / 2;
    switch (kind) {
      case LegendKey::Track:
        stroke({{swatch.left, middle}, {swatch.right, middle}}, colour::kTrack, 2.2 * u_);
        break;
      case LegendKey::Height:
        fill(rectangle({swatch.left, middle, swatch.right, swatch.bottom}), colour::kTerrain);
        stroke({{swatch.left, middle + 2 * u_}, {cx, middle - 3 * u_}, {swatch.right, middle}}, colour::kHeight,
               1.6 * u_);
        break;
      case LegendKey::Mountain:
        fill(rectangle(swatch), colour::kMountain);
        break;
      case LegendKey::SpeedLimit:
        stroke({{swatch.left, middle}, {swatch.right, middle}}, colour::kSpeed, 2.8 * u_);
        break;
      case LegendKey::Slowdown:
        fill(rectangle(swatch), colour::kSlowdownBand, LineStyle{colour::kSlowdownLine, 1 * u_, {4 * u_, 3 * u_}});
        stroke({{swatch.left, middle}, {swatch.right, middle}}, colour::kSlowdownLine, 2.2 * u_, {5 * u_, 3 * u_});
        break;
      case LegendKey::FastestRun:
        stroke({{swatch.left, middle}, {swatch.right, middle}}, colour::kRun, 1.8 * u_);
        break;
      case LegendKey::TimetableTime:
        mark(MarkShape::Circle, {cx, middle}, 7 * u_, colour::kTimetable);
        break;
      case LegendKey::Station:
        mark(MarkShape::Square, {cx, middle}, 9 * u_, colour::kStation);
        break;
      case LegendKey::Signal:
        mark(MarkShape::SignalPost, {cx, middle}, 10 * u_, colour::kSignal);
        break;
      case LegendKey::SpeedBoard:
        mark(MarkShape::Diamond, {cx, middle}, 10 * u_, colour::kSpeedBoard);
        break;
      case LegendKey::InfoBoard:
        mark(MarkShape::Board, {cx, middle}, 10 * u_, colour::kInfoBoard);
        break;
      case LegendKey::Start:
        mark(MarkShape::Triangle, {cx, middle}, 11 * u_, colour::kStart);
        break;
      case LegendKey::End:
        stroke({{cx - 6 * u_, middle}, {cx + 6 * u_, middle}}, colour::kTrack, 2.2 * u_);
        stroke({{cx + 6 * u_, swatch.top}, {cx + 6 * u_, swatch.bottom}}, colour::kEnd, 3 * u_);
        break;
    }
    const TextSize size = size_of(text, fonts_.label);
    add(make_label(text, fonts_.label, colour::kInk, LabelRole::Legend, swatch.right + 8 * u_,
                   middle - (size.ascent + size.descent) / 2));
    y += row_h;
  }
}
