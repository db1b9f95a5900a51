#include "preview/layouter.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "preview/scale_numbers.h"

// The three charts over the profile axis: the heights with the mountain stretches, the speeds with the
// slowdowns and the default train's fastest run, and the time-distance chart of the timetable against
// that run.

namespace {

/// The points of a run that a chart can tell apart: one in each step of `least` along the axis, the
/// ends of the run and its lowest and highest values kept, so that a long line costs what its width
/// does.
template <typename Point, typename Value>
std::vector<Point> thinned(const std::vector<Point>& points, double least, Value value) {
  std::vector<Point> kept;
  std::size_t k = 0;
  while (k < points.size()) {
    const double end = points[k].metre + least;
    std::size_t low = k, high = k, last = k;
    for (; last < points.size() && (last == k || points[last].metre < end); ++last) {
      if (value(points[last]) < value(points[low])) low = last;
      if (value(points[last]) > value(points[high])) high = last;
    }
    kept.push_back(points[k]);
    if (low != k && low < high) kept.push_back(points[low]);
    if (high != k) kept.push_back(points[high]);
    if (low != k && low > high) kept.push_back(points[low]);
    if (last - 1 != k && last - 1 != low && last - 1 != high) kept.push_back(points[last - 1]);
    k = last;
  }
  return kept;
}

}  // namespace

double PreviewLayouter::value_text_width() const {
  // The widest text a value axis can show: as many digits as the largest value, rounded out by a step,
  // can have, and a sign.
  double largest = 0;
  double low = 0;
  double high = 0;
  for (const ProfilePoint& p : s_.heights) {
    low = std::min(low, p.height);
    high = std::max(high, p.height);
  }
  largest = std::max({std::abs(low), std::abs(high)}) + (high - low);
  int top_speed = 0;
  for (const Stretch& limit : s_.speed_limits) top_speed = std::max(top_speed, limit.value);
  for (const SlowdownView& slowdown : s_.slowdowns) top_speed = std::max(top_speed, slowdown.speed);
  largest = std::max(largest, 2.0 * top_speed + 20);
  if (!s_.fastest_run.empty()) largest = std::max(largest, 2.0 * s_.fastest_run.back().time / 60 + 20);
  for (const SceneTime& time : s_.timetable) largest = std::max(largest, 2.0 * std::abs(time.time) / 60 + 20);
  int digits = 1;
  for (double value = largest; value >= 10 && digits < 20; value /= 10) ++digits;
  std::string widest(static_cast<std::size_t>(digits) + 1, '8');
  widest.front() = '-';
  return size_of(widest, fonts_.label).width;
}

void PreviewLayouter::value_axis(const Box& area, double low, double high, double step) {
  const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : 2;
  const double first = std::ceil(low / step - 1e-9) * step;
  // As many lines as the chart holds: a step too fine for the range (a value too large for its
  // precision) draws none.
  const double lines = (high - first) / step;
  if (!(lines >= 0 && lines <= 1000)) return;
  for (int k = 0; k <= static_cast<int>(lines + 1e-6); ++k) {
    const double value = first + k * step;
    const double y = y_in(area, low, high, value);
    stroke({{area.left, y}, {area.right, y}}, colour::kGridLine, 0.8 * u_);
    stroke({{area.left - 4 * u_, y}, {area.left, y}}, colour::kFrame, 1 * u_);
    const std::string text = fixed(value, decimals);
    const TextSize size = size_of(text, fonts_.label);
    const double top = y - (size.ascent + size.descent) / 2;
    const Label label =
        make_label(text, fonts_.label, colour::kMuted, LabelRole::TickLabel, area.left - 6 * u_ - size.width, top);
    if (free_in_panel(label.box)) add(label);
  }
}

void PreviewLayouter::lay_out_height_chart() {
  const Box area = out_.height_area;
  open_panel(PanelKind::HeightChart, {pad_, height_heading_.top, plot_right_, area.bottom + chart_foot()},
             height_heading_.height() + 5 * u_ + kLeastChartHeight * u_ + chart_foot());
  heading_and_note("Height (m, relative to the start), mountain stretches shaded", height_heading_, 0, "");
  double low = 0, high = 0;
  for (const ProfilePoint& p : s_.heights) {
    low = std::min(low, p.height);
    high = std::max(high, p.height);
  }
  const double lines = std::max(2.0, area.height() / (3.2 * text_height(fonts_.label)));
  height_step_ = nice_at_least((high - low) / lines);
  height_low_ = std::floor(low / height_step_) * height_step_;
  height_high_ = std::ceil(high / height_step_) * height_step_;
  if (height_high_ - height_low_ < height_step_) height_high_ = height_low_ + height_step_;
  // Some air above the highest point.
  if (high > height_high_ - height_step_ * 0.15) height_high_ += height_step_;

  // The ground under the profile, then the mountain stretches over the whole height of the chart.
  std::vector<Point> ground{{x_of(0), area.bottom}};
  for (const ProfilePoint& p : s_.heights)
    ground.push_back({x_of(p.metre), y_in(area, height_low_, height_high_, p.height)});
  ground.push_back({x_of(s_.heights.back().metre), area.bottom});
  fill(ground, colour::kTerrain);
  for (const Stretch& m : s_.mountains) {
    const auto [left, right] = x_span(m.from, m.to, 2 * u_);
    fill(rectangle({left, area.top, right, area.bottom}), colour::kMountain);
    out_.mountains.push_back(m);
  }
  value_axis(area, height_low_, height_high_, height_step_);
  tick_lines(area);
  station_guides(area);
  std::vector<Point> line;
  for (const ProfilePoint& p : s_.heights) {
    line.push_back({x_of(p.metre), y_in(area, height_low_, height_high_, p.height)});
    out_.height_profile.push_back(p);
  }
  stroke(line, colour::kHeight, 1.6 * u_);
  stroke(rectangle(area), colour::kFrame, 1 * u_, {}, true);
  end_of_line_across(area.top, area.bottom);
}

void PreviewLayouter::lay_out_speed_chart() {
  const Box area = out_.speed_area;
  open_panel(PanelKind::SpeedChart, {pad_, speed_heading_.top, plot_right_, area.bottom + chart_foot()},
             speed_heading_.height() + 5 * u_ + kLeastChartHeight * u_ + chart_foot());
  int top_speed = 0;
  for (const Stretch& limit : s_.speed_limits) top_speed = std::max(top_speed, limit.value);
  for (const SlowdownView& slowdown : s_.slowdowns) top_speed = std::max(top_speed, slowdown.speed);
  const double lines = std::max(2.0, area.height() / (3.2 * text_height(fonts_.label)));
  speed_step_ = nice_at_least((top_speed + 10.0) / lines);
  speed_high_ = std::max(speed_step_, std::ceil((top_speed + 10.0) / speed_step_) * speed_step_);
  const auto y_of = [&](double speed) { return y_in(area, 0, speed_high_, std::clamp(speed, 0.0, speed_high_)); };

  value_axis(area, 0, speed_high_, speed_step_);
  tick_lines(area);
  // Bands first, the limit over them, the slowdown speeds and their texts last.
  for (SlowdownView slowdown : s_.slowdowns) {
    const auto [left, right] = x_span(slowdown.from, slowdown.to, 3 * u_);
    slowdown.band = {left, area.top, right, area.bottom};
    fill(rectangle(slowdown.band), colour::kSlowdownBand, LineStyle{colour::kSlowdownLine, 1 * u_, {4 * u_, 3 * u_}});
    out_.slowdowns.push_back(slowdown);
  }
  std::vector<Point> steps;
  for (const Stretch& limit : s_.speed_limits) {
    steps.push_back({x_of(limit.from), y_of(limit.value)});
    steps.push_back({x_of(limit.to), y_of(limit.value)});
    out_.speed_limits.push_back(limit);
  }
  station_guides(area);
  if (!steps.empty()) stroke(steps, colour::kSpeed, 2.8 * u_);
  // The fastest run over the limit: where it stays below the line, the train could not reach the limit.
  const double metres_per_unit = s_.axis_end / std::max(1.0, (plot_right_ - plot_left_) / u_);
  std::vector<Point> run;
  for (const SceneRunPoint& point :
       thinned(s_.fastest_run, metres_per_unit, [](const SceneRunPoint& p) { return p.speed; }))
    run.push_back({x_of(point.metre), y_of(point.speed)});
  if (run.size() > 1) stroke(run, colour::kRun, 1.8 * u_);
  int left_out = 0;
  for (SlowdownView& slowdown : out_.slowdowns) {
    const double y = y_of(slowdown.speed);
    stroke({{slowdown.band.left, y}, {slowdown.band.right, y}}, colour::kSlowdownLine, 2.2 * u_, {5 * u_, 3 * u_});
    const std::string text = std::to_string(slowdown.speed) + " km/h";
    const TextSize size = size_of(text, fonts_.label);
    const double h = size.ascent + size.descent;
    const double middle = (slowdown.band.left + slowdown.band.right) / 2;
    // Just above its speed (beside the band when the band is narrower than the text), moved up, then
    // down, until it is clear of the texts already there; left out when the chart has no room for it.
    std::vector<double> lefts;
    if (slowdown.band.width() >= size.width + 4 * u_) lefts.push_back(middle - size.width / 2);
    lefts.push_back(slowdown.band.right + 3 * u_);
    lefts.push_back(slowdown.band.left - 3 * u_ - size.width);
    lefts.push_back(middle - size.width / 2);
    std::optional<Label> placed;
    for (int k = 0; k < 40 && !placed; ++k) {
      const double offset = (k % 2 == 0 ? -1 : 1) * (k / 2) * (h + 2 * u_);
      const double top = y - 3 * u_ - h + offset;
      for (const double left : lefts) {
        const Label label{text,
                          fonts_.label,
                          colour::kInk,
                          {left, top, left + size.width, top + h},
                          top + size.ascent,
                          LabelRole::Slowdown,
                          true};
        if (area.contains(label.box) && !labels_->overlaps(label.box.grown(2 * u_))) {
          placed = label;
          break;
        }
      }
    }
    if (placed)
      slowdown.label = add(*placed);
    else
      ++left_out;
  }
  stroke(rectangle(area), colour::kFrame, 1 * u_, {}, true);
  end_of_line_across(area.top, area.bottom);
  heading_and_note(s_.fastest_run.empty()
                       ? "Speed (km/h): line speed limit as steps, slowdowns as bands"
                       : "Speed (km/h): line speed limit as steps, slowdowns as bands, the train's fastest run",
                   speed_heading_, left_out, left_out == 1 ? "slowdown speed" : "slowdown speeds");
}

void PreviewLayouter::lay_out_time_chart() {
  const Box area = out_.time_area;
  open_panel(PanelKind::TimeChart, {pad_, time_heading_.top, plot_right_, area.bottom + chart_foot()},
             time_heading_.height() + 5 * u_ + kLeastChartHeight * u_ + chart_foot());
  // Minutes from the first departure, upward.
  double longest = 1;
  if (!s_.fastest_run.empty()) longest = std::max(longest, s_.fastest_run.back().time / 60);
  double earliest = 0;
  for (const SceneTime& time : s_.timetable) {
    longest = std::max(longest, time.time / 60);
    earliest = std::min(earliest, time.time / 60);
  }
  const double lines = std::max(2.0, area.height() / (2.4 * text_height(fonts_.label)));
  time_step_ = nice_at_least((longest - earliest) * 1.05 / lines);
  const double low = std::floor(earliest / time_step_) * time_step_;
  time_high_ = std::max(low + time_step_, std::ceil(longest * 1.05 / time_step_) * time_step_);
  const auto y_of = [&](double minutes) { return y_in(area, low, time_high_, std::clamp(minutes, low, time_high_)); };
  value_axis(area, low, time_high_, time_step_);
  tick_lines(area);
  station_guides(area);
  const double metres_per_unit = s_.axis_end / std::max(1.0, (plot_right_ - plot_left_) / u_);
  std::vector<Point> run;
  for (const SceneRunPoint& point :
       thinned(s_.fastest_run, metres_per_unit, [](const SceneRunPoint& p) { return p.time; }))
    run.push_back({x_of(point.metre), y_of(point.time / 60)});
  if (run.size() > 1) stroke(run, colour::kRun, 1.8 * u_);
  for (const SceneTime& time : s_.timetable)
    mark(MarkShape::Circle, {x_of(time.metre), y_of(time.time / 60)}, 7 * u_, colour::kTimetable);
  stroke(rectangle(area), colour::kFrame, 1 * u_, {}, true);
  end_of_line_across(area.top, area.bottom);
  heading_and_note(s_.timetable.empty() ? "Time (min from the first departure): no station"
                                        : "Time (min from the first departure): timetable times as points, the "
                                          "fastest run with its stops as a line",
                   time_heading_, 0, "");
}

void PreviewLayouter::station_guides(const Box& area) {
  for (const SceneStation& station : s_.stations) {
    const double x = x_of(station.metre);
    stroke({{x, area.top}, {x, area.bottom}}, colour::kStationGuide, 0.9 * u_, {1.5 * u_, 2.5 * u_});
  }
}

void PreviewLayouter::tick_lines(const Box& area) {
  for (const auto& [metre, text] : ticks_) {
    const double x = x_of(metre);
    stroke({{x, area.top}, {x, area.bottom}}, colour::kGridLine, 0.6 * u_);
  }
}
