#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scenario/format.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"

/// A speed board: its speeds for the three pairs (a, b, c), each with the first side and the other side
/// in km/h, and its stripe counts.
struct SpeedBoard {
  int32_t cell = 0;
  int32_t metre = 0;
  std::array<BoardSpeeds, 3> speeds{};
  int stripes_first = 0;  // strisces
  int stripes_other = 0;  // strisced
};

/// An information board and the text of the record it points at.
struct InfoBoard {
  int32_t cell = 0;
  int32_t metre = 0;
  int record = 0;                   // as the cell stores it
  std::optional<std::string> text;  // none when the record is outside the table (8-bit, Windows-1252)
  std::string caption;              // board_caption of the text; empty without a text
};

/// The values of a cell read as a speed board's, whatever its kind.
SpeedBoard speed_board_at(const TrackGrid& grid, int32_t cell);

/// The speed boards and the information boards of the grid, by cell.
std::vector<SpeedBoard> read_speed_boards(const TrackGrid& grid);
std::vector<InfoBoard> read_info_boards(const TrackGrid& grid, const ScenarioTable& table);

/// A speed board's speeds for a label: the first sides joined by "/" (a speed repeated by the next pair
/// written once), then " | " and the other sides when any of them is set.
std::string speed_board_caption(const SpeedBoard& board);

/// The text of an information board for a label: its parenthesised parts without their padding,
/// joined by blanks, a last part that is the board's progressive left out; the trimmed text when it
/// has no parentheses.
std::string board_caption(const std::string& text);
