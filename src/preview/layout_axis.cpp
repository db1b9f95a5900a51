#include "preview/layouter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "preview/scale_numbers.h"

// The axis under the rows: ticks where the kilometric progressive is a round number, and its title.

void PreviewLayouter::plan_axis_ticks() {
  const double per_metre = (plot_right_ - plot_left_) / s_.axis_end;
  const double label_w = size_of("88.8", fonts_.label).width + 14 * u_;
  const double step = nice_at_least(label_w / per_metre);
  const int decimals = step >= 1000 ? 0 : step >= 100 ? 1 : 2;

  // Ticks where the progressive is a multiple of the step, reference by reference.
  std::vector<std::pair<double, double>> ticks;  // metre, progressive
  const auto& references = s_.references;
  const auto add_range = [&](double from, double to, std::optional<KilometricReference> reference) {
    const auto progressive = [&](double metre) {
      return reference ? reference->progressive + reference->direction * (metre - reference->start) : metre;
    };
    const double a = progressive(from);
    const double b = progressive(to);
    for (double value = std::ceil(std::min(a, b) / step - 1e-9) * step; value <= std::max(a, b) + 1e-6; value += step) {
      const double metre =
          reference ? reference->start + (value - reference->progressive) * reference->direction : value;
      if (metre >= from - 1e-6 && metre <= to + 1e-6) ticks.emplace_back(metre, value);
    }
  };
  if (references.empty()) {
    add_range(0, s_.axis_end, std::nullopt);
  } else {
    for (std::size_t i = 0; i < references.size(); ++i) {
      const double from = i == 0 ? 0 : std::max(0, references[i].start);
      const double to = i + 1 < references.size() ? std::min(references[i + 1].start, s_.axis_end) : s_.axis_end;
      if (to > from) add_range(from, to, references[i]);
    }
  }
  std::sort(ticks.begin(), ticks.end());
  // Only as many as their texts leave room for.
  double last_right = -std::numeric_limits<double>::max();
  for (const auto& [metre, value] : ticks) {
    const std::string text = fixed(value / 1000, decimals);
    const double width = size_of(text, fonts_.label).width;
    const double left = x_of(metre) - width / 2;
    if (left < last_right + 8 * u_) continue;
    last_right = left + width;
    ticks_.emplace_back(metre, text);
  }
}

void PreviewLayouter::lay_out_axis() {
  const double y = axis_y_;
  const double label_h = text_height(fonts_.label);
  open_panel(PanelKind::Axis, {pad_, y, right_limit_, axis_title_top_ + label_h + 2 * u_},
             axis_title_top_ + label_h + 2 * u_ - y);
  stroke({{plot_left_, y}, {plot_right_, y}}, colour::kInk, 1.2 * u_);
  for (const auto& [metre, text] : ticks_) {
    const double x = x_of(metre);
    const TextSize size = size_of(text, fonts_.label);
    const Label label =
        make_label(text, fonts_.label, colour::kInk, LabelRole::TickLabel, x - size.width / 2, axis_label_top_);
    stroke({{x, y}, {x, y + 5 * u_}}, colour::kInk, 1.2 * u_);
    if (free_in_panel(label.box)) add(label);
  }
  end_of_line_across(y, y + 7 * u_);
  const std::string title =
      fitted(s_.references.empty() ? "Distance from the start of the line (km)"
                                   : "Kilometric progressive (km), as the scenario table gives it",
             fonts_.label, right_limit_ - pad_);
  const TextSize size = size_of(title, fonts_.label);
  const double left = std::clamp((plot_left_ + plot_right_) / 2 - size.width / 2, pad_, right_limit_ - size.width);
  if (!title.empty()) add(make_label(title, fonts_.label, colour::kInk, LabelRole::AxisTitle, left, axis_title_top_));
}
