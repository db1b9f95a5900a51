#include "preview/layouter.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

// The rows under the charts: a mark for each station, signal and board, their texts on levels below.

void PreviewLayouter::plan_rows() {
  const double longest = kLongestRowText * u_;
  RowPlan stations{RowKind::Stations,
                   PanelKind::StationRow,
                   "Stations",
                   MarkShape::Square,
                   colour::kStation,
                   {},
                   {},
                   LabelRole::StationRow,
                   {},
                   {},
                   0,
                   0};
  for (const SceneStation& station : s_.stations) {
    const std::string time = "  " + station.time;
    stations.metres.push_back(station.metre);
    stations.texts.push_back(fitted(station.name, fonts_.label, longest - size_of(time, fonts_.label).width) + time);
  }
  RowPlan signals{RowKind::Signals,
                  PanelKind::SignalRow,
                  "Signals",
                  MarkShape::SignalPost,
                  colour::kSignal,
                  s_.signals,
                  {},
                  LabelRole::StationRow,
                  {},
                  {},
                  0,
                  0};
  RowPlan speed{RowKind::SpeedBoards,
                PanelKind::SpeedBoardRow,
                "Speed boards",
                MarkShape::Diamond,
                colour::kSpeedBoard,
                {},
                {},
                LabelRole::SpeedBoardRow,
                {},
                {},
                0,
                0};
  for (const SceneBoard& board : s_.speed_boards) {
    speed.metres.push_back(board.metre);
    speed.texts.push_back(fitted(board.caption + " km/h", fonts_.label, longest));
  }
  RowPlan info{RowKind::InfoBoards,
               PanelKind::InfoBoardRow,
               "Information boards",
               MarkShape::Board,
               colour::kInfoBoard,
               {},
               {},
               LabelRole::InfoBoardRow,
               {},
               {},
               0,
               0};
  for (const SceneBoard& board : s_.info_boards) {
    info.metres.push_back(board.metre);
    info.texts.push_back(fitted(board.caption, fonts_.label, longest));
  }
  rows_ = {stations, signals, speed, info};
  for (RowPlan& row : rows_)
    for (const std::string& text : row.texts) row.widths.push_back(size_of(text, fonts_.label).width);
}

void PreviewLayouter::place_row(RowPlan& row, int most_levels) {
  if (row.texts.empty()) return;
  // An empty text (a board whose record holds nothing to show) keeps its mark and takes no place.
  std::vector<std::size_t> placed;
  std::vector<double> xs;
  std::vector<double> widths;
  for (std::size_t i = 0; i < row.texts.size(); ++i) {
    if (row.texts[i].empty()) continue;
    placed.push_back(i);
    xs.push_back(x_of(row.metres[i]));
    widths.push_back(row.widths[i]);
  }
  const std::vector<RowSlot> slots = place_row_labels(xs, widths, 4 * u_, right_limit_, most_levels);
  row.slots.assign(row.texts.size(), RowSlot{0, 0, false});
  row.levels = 1;
  row.left_out = 0;
  for (std::size_t k = 0; k < placed.size(); ++k) {
    row.slots[placed[k]] = slots[k];
    if (slots[k].shown)
      row.levels = std::max(row.levels, slots[k].level + 1);
    else
      ++row.left_out;
  }
}

void PreviewLayouter::fit_rows(double room) {
  const double level_h = std::max(level_height(), 1e-3 * u_);
  double least = 0;
  for (const RowPlan& row : rows_) least += row_height(row.texts.empty() ? 0 : 1);
  // No row needs more levels than all the room left over would give it.
  const double spare = std::max(0.0, room - least) / level_h;
  const int most = 1 + static_cast<int>(std::min(spare, 1e6));
  for (RowPlan& row : rows_) place_row(row, most);

  // Then, while they do not fit, a level less for the row with the most.
  std::vector<int> wanted;
  double total = 0;
  for (const RowPlan& row : rows_) {
    wanted.push_back(row.levels);
    total += row_height(row);
  }
  while (total > room) {
    RowPlan* deepest = nullptr;
    for (RowPlan& row : rows_)
      if (row.levels > 1 && (!deepest || row.levels >= deepest->levels)) deepest = &row;
    if (!deepest) break;
    --deepest->levels;
    total -= level_h;
  }
  for (std::size_t r = 0; r < rows_.size(); ++r)
    if (rows_[r].levels < wanted[r]) place_row(rows_[r], rows_[r].levels);
}

void PreviewLayouter::lay_out_rows() {
  double top = rows_top_;
  for (RowPlan& row : rows_) {
    const double height = row_height(row);
    open_panel(row.panel, {pad_, top, right_limit_, top + height}, row_height(row.texts.empty() ? 0 : 1));
    MarkRow view;
    view.kind = row.kind;
    view.levels = row.levels;
    view.area = panel().box;
    view.panel = out_.panels.size() - 1;
    const double mark_y = top + row_mark_height() / 2;
    const TextSize title_size = size_of(row.title, fonts_.heading);
    const Label title = make_label(row.title, fonts_.heading, colour::kInk, LabelRole::RowTitle, pad_,
                                   mark_y - (title_size.ascent + title_size.descent) / 2);
    add(title);
    if (row.left_out > 0) {
      panel().left_out = row.left_out;
      const Label note = make_label(std::to_string(row.left_out) + " more", fonts_.small, colour::kMuted,
                                    LabelRole::Note, pad_, title.box.bottom + 2 * u_);
      if (free_in_panel(note.box)) panel().note = add(note);
    }
    stroke({{plot_left_, mark_y}, {plot_right_, mark_y}}, colour::kGridLine, 1 * u_);
    for (std::size_t i = 0; i < row.metres.size(); ++i) {
      RowMark m;
      m.metre = row.metres[i];
      m.at = {x_of(row.metres[i]), mark_y};
      if (!row.texts.empty() && row.slots[i].shown) {
        const RowSlot& slot = row.slots[i];
        const double label_top = top + row_mark_height() + 3 * u_ + slot.level * level_height();
        Label label = make_label(row.texts[i], fonts_.label, colour::kInk, row.role, slot.left, label_top);
        stroke({{m.at.x, mark_y + 4 * u_}, {m.at.x, label.box.bottom - 1 * u_}}, colour::kLeader, 0.8 * u_);
        m.label = add(std::move(label));
        if (row.kind == RowKind::Stations && i < out_.stations.size()) out_.stations[i].row_label = *m.label;
      }
      view.marks.push_back(m);
    }
    for (const RowMark& m : view.marks) mark(row.shape, m.at, 10 * u_, row.colour);
    end_of_line_across(top + 1 * u_, top + height - 1 * u_);
    out_.rows.push_back(std::move(view));
    top += height;
  }
}
