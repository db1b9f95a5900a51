#include "model/boards.h"

#include <algorithm>

#include "model/positions.h"
#include "model/trimmed.h"

SpeedBoard speed_board_at(const TrackGrid& grid, int32_t i) {
  const TrackCell& cell = grid[i];
  SpeedBoard board;
  board.cell = i;
  board.metre = object_metre(i);
  board.speeds = {unpack_board_speeds(cell.value1), unpack_board_speeds(cell.value2), unpack_board_speeds(cell.value3)};
  board.stripes_first = cell.value4 / kPairFactor;
  board.stripes_other = cell.value4 % kPairFactor;
  return board;
}

std::vector<SpeedBoard> read_speed_boards(const TrackGrid& grid) {
  std::vector<SpeedBoard> boards;
  for (const int32_t i : cells_of_kind(grid, CellKind::SpeedBoard)) boards.push_back(speed_board_at(grid, i));
  return boards;
}

std::vector<InfoBoard> read_info_boards(const TrackGrid& grid, const ScenarioTable& table) {
  std::vector<InfoBoard> boards;
  for (const int32_t i : cells_of_kind(grid, CellKind::InfoBoard)) {
    InfoBoard board;
    board.cell = i;
    board.metre = object_metre(i);
    board.record = grid[i].value1;
    if (board.record >= 0 && board.record < kScenarioRecordCount) {
      board.text = table[static_cast<std::size_t>(board.record)].text;
      board.caption = board_caption(*board.text);
    }
    boards.push_back(std::move(board));
  }
  return boards;
}

std::string speed_board_caption(const SpeedBoard& board) {
  std::vector<int> first;
  std::vector<int> other;
  bool other_used = false;
  for (const BoardSpeeds& speeds : board.speeds) {
    first.push_back(speeds.first_side);
    other.push_back(speeds.other_side);
    other_used = other_used || speeds.other_side != 0;
  }
  const auto join = [](std::vector<int> speeds) {
    speeds.erase(std::unique(speeds.begin(), speeds.end()), speeds.end());
    std::string text;
    for (const int speed : speeds) {
      if (!text.empty()) text += '/';
      text += std::to_string(speed);
    }
    return text;
  };
  return other_used ? join(first) + " | " + join(other) : join(first);
}

std::string board_caption(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t open = text.find('(');
  while (open != std::string::npos) {
    const std::size_t close = text.find(')', open + 1);
    parts.push_back(trimmed(text.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1)));
    if (close == std::string::npos) break;
    open = text.find('(', close + 1);
  }
  if (parts.empty()) return trimmed(text);
  const auto numeric = [](const std::string& part) {
    return !part.empty() && part.find_first_not_of("0123456789.,+- ") == std::string::npos;
  };
  if (parts.size() > 1 && numeric(parts.back())) parts.pop_back();
  std::string caption;
  for (const std::string& part : parts)
    if (!part.empty()) caption += (caption.empty() ? "" : " ") + part;
  return caption;
}
