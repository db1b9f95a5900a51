#include "model/boards.h"

#include <gtest/gtest.h>

namespace {

/// Cells 0 to 8 with a speed board in cell 3 and information boards in cells 5, 6 and 7.
TrackGrid grid_with_boards() {
  TrackGrid grid;
  grid.create(400);
  TrackCell& speed = grid[3];
  speed.set_kind(CellKind::SpeedBoard);
  speed.value1 = 80 * kBoardFirstSideFactor + 60 / kBoardOtherSideUnit;
  speed.value2 = 80 * kBoardFirstSideFactor;
  speed.value3 = 90 * kBoardFirstSideFactor;
  speed.value4 = 3 * kPairFactor + 2;
  for (const auto& [cell, record] : {std::pair{5, 80}, std::pair{6, 300}, std::pair{7, -5}}) {
    grid[cell].set_kind(CellKind::InfoBoard);
    grid[cell].value1 = static_cast<int16_t>(record);
  }
  return grid;
}

TEST(Boards, SpeedBoardsUnpackTheirSpeedsAndStripes) {
  const std::vector<SpeedBoard> boards = read_speed_boards(grid_with_boards());
  ASSERT_EQ(boards.size(), 1u);
  const SpeedBoard& board = boards[0];
  EXPECT_EQ(board.cell, 3);
  EXPECT_EQ(board.metre, 100);
  EXPECT_EQ(board.speeds[0].first_side, 80);
  EXPECT_EQ(board.speeds[0].other_side, 60);
  EXPECT_EQ(board.speeds[1].first_side, 80);
  EXPECT_EQ(board.speeds[1].other_side, 0);
  EXPECT_EQ(board.speeds[2].first_side, 90);
  EXPECT_EQ(board.stripes_first, 3);
  EXPECT_EQ(board.stripes_other, 2);
}

TEST(Boards, SpeedBoardCaptions) {
  const auto board = [](BoardSpeeds a, BoardSpeeds b, BoardSpeeds c) {
    SpeedBoard made;
    made.speeds = {a, b, c};
    return made;
  };
  EXPECT_EQ(speed_board_caption(board({80, 0}, {80, 0}, {80, 0})), "80");
  EXPECT_EQ(speed_board_caption(board({80, 0}, {90, 0}, {80, 0})), "80/90/80");  // only neighbours merge
  EXPECT_EQ(speed_board_caption(board({80, 60}, {80, 0}, {90, 0})), "80/90 | 60/0");
  EXPECT_EQ(speed_board_caption(board({0, 0}, {0, 0}, {0, 5})), "0 | 0/5");
}

TEST(Boards, InformationBoardsCarryTheTextOfTheirRecord) {
  ScenarioTable table;
  table[80].text = "(     PONTE      )(CANALE PESCATORI)(    26.174      )";
  const std::vector<InfoBoard> boards = read_info_boards(grid_with_boards(), table);
  ASSERT_EQ(boards.size(), 3u);
  EXPECT_EQ(boards[0].cell, 5);
  EXPECT_EQ(boards[0].metre, 200);
  EXPECT_EQ(boards[0].record, 80);
  EXPECT_EQ(boards[0].text, table[80].text);
  EXPECT_EQ(boards[0].caption, "PONTE CANALE PESCATORI");
  // Records outside the table: the board stays, without a text.
  for (const std::size_t k : {1u, 2u}) {
    EXPECT_FALSE(boards[k].text.has_value()) << k;
    EXPECT_EQ(boards[k].caption, "") << k;
  }
  EXPECT_EQ(boards[1].record, 300);
  EXPECT_EQ(boards[2].record, -5);
  EXPECT_TRUE(read_info_boards(TrackGrid{}, table).empty());
}

TEST(Boards, InformationBoardCaptions) {
  const std::pair<const char*, const char*> cases[] = {
      {"(     PONTE      )(CANALE PESCATORI)(    26.174      )", "PONTE CANALE PESCATORI"},
      {"(  VIADOTTO DI)(    DRAGONA  )(    18.150   )", "VIADOTTO DI DRAGONA"},
      {"(ONE)(TWO)", "ONE TWO"},  // a last part that is no number stays
      {"(  8.800 )", "8.800"},    // a single part stays, number or not
      {"   plain text  ", "plain text"},
      {"(UNCLOSED", "UNCLOSED"},
      {"", ""},
  };
  for (const auto& [text, caption] : cases) EXPECT_EQ(board_caption(text), caption) << text;
}

}  // namespace
