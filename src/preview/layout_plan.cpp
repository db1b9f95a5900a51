#include "preview/layouter.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "preview/plan_projection.h"
#include "preview/scale_numbers.h"

// The plan: the track to scale, its start and its end, stations and signals, the scale bar, each text
// near its mark.

void PreviewLayouter::lay_out_plan() {
  const Box area = out_.plan_area;
  open_panel(PanelKind::Plan, {pad_, plan_heading_.top, out_.width - pad_, area.bottom},
             plan_heading_.height() + 5 * u_ + kLeastPlanHeight * u_);
  stroke({{area.left, area.top},
          {area.right, area.top},
          {area.right, area.bottom},
          {area.left, area.bottom},
          {area.left, area.top}},
         colour::kGridLine, 1 * u_);

  const int32_t last = std::max(1, s_.line_length);
  const Box inner{area.left + 70 * u_, area.top + 22 * u_, area.right - 70 * u_, area.bottom - 22 * u_};
  const PlanProjection plan(trace_, last, inner);
  const double scale = plan.scale();

  const int32_t step = std::max(1, static_cast<int32_t>(std::min(0.5 / scale, 1e9)));
  for (int32_t m = 0; m < last; m += std::min(step, last - m)) out_.plan_line.push_back(plan.screen(m));
  out_.plan_line.push_back(plan.screen(last));
  stroke(out_.plan_line, colour::kTrack, 2.2 * u_);
  BoxIndex line_points(area, 24 * u_);
  for (const Point& p : out_.plan_line) line_points.add(p);
  BoxIndex marks(area, 24 * u_);

  // Scale bar, in the first corner the track leaves free.
  const double bar_metres = nice_at_most(plan.width_metres() * 0.18);
  const double bar = bar_metres * scale;
  const std::string bar_text = bar_metres >= 1000 ? fixed(bar_metres / 1000, 0) + " km" : fixed(bar_metres, 0) + " m";
  const TextSize bar_size = size_of(bar_text, fonts_.label);
  const double bar_h = bar_size.ascent + bar_size.descent + 10 * u_;
  const double bar_w = std::max(bar, bar_size.width);
  const double inset = 10 * u_;
  const std::vector<Point> corners{{area.left + inset, area.bottom - inset - bar_h},
                                   {area.right - inset - bar_w, area.bottom - inset - bar_h},
                                   {area.left + inset, area.top + inset},
                                   {area.right - inset - bar_w, area.top + inset}};
  Box bar_box{corners[0].x, corners[0].y, corners[0].x + bar_w, corners[0].y + bar_h};
  for (const Point& corner : corners) {
    const Box candidate{corner.x, corner.y, corner.x + bar_w, corner.y + bar_h};
    if (!line_points.holds_point(candidate.grown(8 * u_))) {
      bar_box = candidate;
      break;
    }
  }
  {
    const double y = bar_box.bottom - 3 * u_;
    const double x0 = bar_box.left;
    const double x1 = x0 + bar;
    stroke({{x0, y - 5 * u_}, {x0, y}, {x1, y}, {x1, y - 5 * u_}}, colour::kInk, 1.5 * u_);
    stroke({{(x0 + x1) / 2, y - 3 * u_}, {(x0 + x1) / 2, y}}, colour::kInk, 1 * u_);
    const Label label = make_label(bar_text, fonts_.label, colour::kInk, LabelRole::ScaleBar,
                                   (x0 + x1) / 2 - bar_size.width / 2, bar_box.top);
    if (free_in_panel(label.box)) add(label);
    marks.add(bar_box);
  }

  // Marks first, so that no text covers them.
  const double station_size = 8 * u_;
  std::vector<Point> station_points;
  for (const SceneStation& station : s_.stations) {
    const Point at = plan.screen(station.metre);
    station_points.push_back(at);
    marks.add(Box{at.x, at.y, at.x, at.y}.grown(station_size / 2 + 1 * u_));
  }
  std::vector<std::vector<Point>> signal_ticks;
  for (const int32_t metre : s_.signals) {
    if (metre < 0 || metre > last) continue;
    const Point at = plan.screen(metre);
    const Point n = plan.normal_at(metre);
    const double l = 6 * u_;
    signal_ticks.push_back({{at.x - n.x * l, at.y - n.y * l}, {at.x + n.x * l, at.y + n.y * l}});
    marks.add(Box{at.x, at.y, at.x, at.y}.grown(l));
  }
  for (const auto& tick : signal_ticks) stroke(tick, colour::kSignal, 1.6 * u_);
  const Point origin = plan.screen(0);
  marks.add(Box{origin.x, origin.y, origin.x, origin.y}.grown(7 * u_));
  // The end of the line: a bar across the track, like the buffer stop of a terminus.
  const Point end = plan.screen(last);
  const Point end_normal = plan.normal_at(last);
  const double bar_half = 7 * u_;
  const std::vector<Point> end_bar{{end.x - end_normal.x * bar_half, end.y - end_normal.y * bar_half},
                                   {end.x + end_normal.x * bar_half, end.y + end_normal.y * bar_half}};
  marks.add(Box{end.x, end.y, end.x, end.y}.grown(bar_half + 1 * u_));

  const PlaceObstacles obstacles{*labels_, marks, line_points};
  const auto place_label = [&](const std::string& text, Point anchor, Point normal, LabelRole role,
                               bool bold) -> std::optional<std::size_t> {
    FontSpec font = fonts_.label;
    font.bold = bold;
    const std::string shown = fitted(text, font, std::min(kLongestPlanText * u_, area.width() - 8 * u_));
    if (shown.empty()) return std::nullopt;
    const TextSize size = size_of(shown, font);
    const double h = size.ascent + size.descent;
    const std::optional<NearbyPlace> place = place_near(anchor, size.width, h, normal, area, obstacles, u_);
    if (!place) return std::nullopt;
    const Box box = place->box;
    if (place->leader) stroke({anchor, nearest_on(box, anchor)}, colour::kLeader, 0.8 * u_);
    return add(Label{shown, font, colour::kInk, box, box.top + size.ascent, role, true});
  };

  place_label("start", origin, plan.normal_at(0), LabelRole::PlanStart, true);
  mark(MarkShape::Triangle, origin, 12 * u_, colour::kStart);
  place_label("end", end, end_normal, LabelRole::PlanEnd, true);
  stroke(end_bar, colour::kEnd, 3 * u_);
  panel().line_end = end_bar;
  out_.stations.clear();
  int left_out = 0;
  for (std::size_t i = 0; i < s_.stations.size(); ++i) {
    const SceneStation& station = s_.stations[i];
    StationView view;
    view.name = station.name;
    view.time = station.time;
    view.metre = station.metre;
    view.plan_at = station_points[i];
    view.plan_label =
        place_label(station.name, station_points[i], plan.normal_at(station.metre), LabelRole::PlanStation, false);
    if (!view.plan_label) ++left_out;
    out_.stations.push_back(view);
  }
  for (const Point& at : station_points) mark(MarkShape::Square, at, station_size, colour::kStation);
  heading_and_note("Plan of the line, to scale, from its start on the left to its end on the right", plan_heading_,
                   left_out, left_out == 1 ? "station name" : "station names");
}
