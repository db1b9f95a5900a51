#include "preview/layouter.h"

#include <algorithm>
#include <string>
#include <vector>

// The rows under the charts: a mark for each station, signal and board, their texts on levels below.

void PreviewLayouter::plan_rows() {
  RowPlan stations{RowKind::Stations, "Stations", MarkShape::Square, colour::kStation, {}, {}, LabelRole::StationRow,
                   {}, 0};
  for (const SceneStation& station : s_.stations) {
    stations.metres.push_back(station.metre);
    stations.texts.push_back(station.name + "  " + station.time);
  }
  RowPlan signals{RowKind::Signals, "Signals", MarkShape::SignalPost, colour::kSignal, s_.signals, {},
                  LabelRole::StationRow, {}, 0};
  RowPlan speed{RowKind::SpeedBoards, "Speed boards", MarkShape::Diamond, colour::kSpeedBoard, {}, {},
                LabelRole::SpeedBoardRow, {}, 0};
  for (const SceneBoard& board : s_.speed_boards) {
    speed.metres.push_back(board.metre);
    speed.texts.push_back(board.caption + " km/h");
  }
  RowPlan info{RowKind::InfoBoards, "Information boards", MarkShape::Board, colour::kInfoBoard, {}, {},
               LabelRole::InfoBoardRow, {}, 0};
  for (const SceneBoard& board : s_.info_boards) {
    info.metres.push_back(board.metre);
    info.texts.push_back(board.caption);
  }
  rows_ = {stations, signals, speed, info};
}

void PreviewLayouter::place_rows_levels() {
  for (RowPlan& row : rows_) {
    if (row.texts.empty()) continue;
    std::vector<double> xs;
    std::vector<double> widths;
    for (std::size_t i = 0; i < row.texts.size(); ++i) {
      xs.push_back(x_of(row.metres[i]));
      widths.push_back(size_of(row.texts[i], fonts_.label).width);
    }
    row.slots = place_row_labels(xs, widths, 4 * u_, right_limit_);
    for (const RowSlot& slot : row.slots) row.levels = std::max(row.levels, slot.level + 1);
  }
}

void PreviewLayouter::lay_out_rows() {
  double top = rows_top_;
  for (RowPlan& row : rows_) {
    MarkRow view;
    view.kind = row.kind;
    view.levels = row.levels;
    view.area = {plot_left_, top, plot_right_, top + row_height(row)};
    const double mark_y = top + row_mark_height() / 2;
    const TextSize title = size_of(row.title, fonts_.heading);
    add(make_label(row.title, fonts_.heading, colour::kInk, LabelRole::RowTitle, pad_,
                   mark_y - (title.ascent + title.descent) / 2));
    stroke({{plot_left_, mark_y}, {plot_right_, mark_y}}, colour::kGridLine, 1 * u_);
    for (std::size_t i = 0; i < row.metres.size(); ++i) {
      RowMark m;
      m.metre = row.metres[i];
      m.at = {x_of(row.metres[i]), mark_y};
      if (!row.texts.empty()) {
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
    out_.rows.push_back(std::move(view));
    top += row_height(row);
  }
}
