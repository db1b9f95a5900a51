#include "documents/timetable_card.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/document_test_support.h"

namespace {

using document_test::bar_columns;
using document_test::cell_bars;
using document_test::split_lines;

std::vector<std::string> card_file_lines() { return split_lines(encode_lines(timetable_card_lines())); }

TEST(TimetableCard, HasFortyNineLinesAndClosesWithTheEndMarker) {
  const LineTable table = timetable_card_lines();
  ASSERT_EQ(table.size(), 50u);
  EXPECT_EQ(table.back(), kEndMarker);

  const std::string bytes = encode_lines(table);
  EXPECT_EQ(bytes.size(), 3733u);
  EXPECT_EQ(split_lines(bytes).size(), 49u);
  EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
}

TEST(TimetableCard, EveryLineHasItsStatedLength) {
  struct Run {
    std::size_t first;  // line numbers, counted from 1
    std::size_t last;
    std::size_t length;
  };
  const Run runs[] = {
      {1, 2, 0},    {3, 3, 82},  {4, 7, 83},   {8, 8, 56},   {9, 9, 64},
      {10, 11, 57}, {12, 12, 0}, {13, 13, 82}, {14, 48, 83}, {49, 49, 0},
  };
  const auto lines = card_file_lines();
  ASSERT_EQ(lines.size(), 49u);
  std::size_t covered = 0;
  for (const auto& run : runs) {
    for (std::size_t n = run.first; n <= run.last; ++n) {
      EXPECT_EQ(lines[n - 1].size(), run.length) << "line " << n;
      ++covered;
    }
  }
  EXPECT_EQ(covered, 49u);
}

TEST(TimetableCard, QuotedLinesAreExact) {
  struct Quoted {
    std::size_t line;
    const char* text;
  };
  const Quoted quoted[] = {
      {3, "  ___________________                                               ______________"},
      {4, " |                   |                    SCHEDA                   |              |"},
      {5, " |   TRENO n. 148    |               da: Ostia C.Colombo           |    V 90 C    |"},
      {6, " |___________________|                a: Roma Porta S.Paolo        |     130%     |"},
      {7, "                                                                   |______________|"},
      {8, "  ___________________                ___________________"},
      {9, " |  CLASSIFICAZIONE  |              |   MASSA TRENO     |       "},
      {10, " |      METRO        |              |      180T         |"},
      {11, " |___________________|              |___________________|"},
      {13, "  ________________________________________________________________________________"},
      {14, " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |"},
      {15, " | Lim.|Marc.|          |  Rs |                            |                |     |"},
      {16, " |_____|_____|__________|_____|____________________________|________________|_____|"},
      {17, " |     |     |          |     |                            |                |     |"},
      {18, " |  80 |     |   28.350 |  80 |  Ostia C.Colombo           |          16.23 |     |"},
      {19, " |     |     |   27.100 |     |  Castel Fusano             | 16.25    16.25 |     |"},
      {20, " |     |     |   25.750 |     |  Stella Polare             | 16.27    16.27 |     |"},
      {21, " |  90 |     |   24.550 |  90 |  Lido Centro               | 16.30    16.30 | 0.3 |"},
      {22, " |     |     |   23.400 |     |  Ostia Nord                | 16.31    16.31 |     |"},
      {23, " |     |     |   21.350 |     |  Ostia Antica              | 16.34    16.34 |     |"},
      {24, " |     |     |   18.150 |     |  Viadotto di Dragona       |      16.37     |     |"},
      {25, " |     |     |   15.650 |     |  Acilia                    | 16.39    16.40 |     |"},
      {26, " |     |     |   14.050 |     |  Casal Bernocchi           | 16.44    16.44 |     |"},
      {27, " |     |     |   11.750 |     |  Vitinia                   | 16.49    16.49 | 0.4 |"},
      {28, " |     |     |    8.800 |     |  Ex stazione Torrino       |      16.52     |     |"},
      {29, " |     |     |    7.750 |     |  Tor di valle              | 16.53    16.53 | 0.3 |"},
      {30, " |     |     |    4.600 |     |  Magliana                  | 16.56    16.56 |     |"},
      {31, " |     |     |    2.300 |     |  S.Paolo Basilica          | 16.59    16.59 | 0.2 |"},
      {32, " |     |     |    0.000 |     |  Roma Porta San Paolo      | 17.03          |     |"},
      {48, " |_____|_____|__________|_____|____________________________|________________|_____|"},
  };
  const auto lines = card_file_lines();
  ASSERT_EQ(lines.size(), 49u);
  for (const auto& q : quoted) EXPECT_EQ(lines[q.line - 1], q.text) << "line " << q.line;
  for (std::size_t n = 33; n <= 47; ++n) EXPECT_EQ(lines[n - 1], lines[17 - 1]) << "line " << n;
}

TEST(TimetableCard, StartsWithTwoEmptyLinesAndEndsWithOne) {
  const std::string bytes = encode_lines(timetable_card_lines());
  EXPECT_EQ(bytes.substr(0, 6), "\r\n\r\n  ");
  EXPECT_EQ(bytes.substr(bytes.size() - 5), "|\r\n\r\n");
  const auto lines = split_lines(bytes);
  EXPECT_EQ(lines.front(), "");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines.back(), "");
}

TEST(TimetableCard, MassBoxHeaderKeepsItsTrailingBlanks) {
  const auto lines = card_file_lines();
  ASSERT_EQ(lines.size(), 49u);
  const std::string& line9 = lines[9 - 1];
  const std::string& line10 = lines[10 - 1];
  EXPECT_EQ(line9.find_last_of('|'), line9.size() - 8);
  EXPECT_EQ(line9.substr(line9.size() - 7), std::string(7, ' '));
  EXPECT_EQ(line10.back(), '|');
}

TEST(TimetableCard, BoxesAndTableAreDrawnOnTheirCells) {
  const auto lines = card_file_lines();
  ASSERT_EQ(lines.size(), 49u);

  const auto title = cell_bars(1, {19, 45, 14});
  for (std::size_t n = 4; n <= 6; ++n) EXPECT_EQ(bar_columns(lines[n - 1]), title) << "line " << n;
  EXPECT_EQ(bar_columns(lines[7 - 1]), (std::vector<std::size_t>{title[2], title[3]}));

  const auto boxes = cell_bars(1, {19, 14, 19});  // the 14 blanks between the boxes count as a cell
  for (std::size_t n = 9; n <= 11; ++n) EXPECT_EQ(bar_columns(lines[n - 1]), boxes) << "line " << n;

  const std::vector<std::size_t> widths{5, 5, 10, 5, 28, 16, 5};
  const auto table = cell_bars(1, widths);
  ASSERT_EQ(table.back() + 1, 83u);
  EXPECT_EQ(lines[13 - 1], std::string("  ").append(80, '_'));
  for (std::size_t n = 14; n <= 48; ++n) {
    EXPECT_EQ(bar_columns(lines[n - 1]), table) << "line " << n;
    EXPECT_EQ(lines[n - 1][0], ' ') << "line " << n;
  }
  for (const std::size_t n : {16u, 48u}) {
    for (std::size_t cell = 0; cell < widths.size(); ++cell)
      EXPECT_EQ(lines[n - 1].substr(table[cell] + 1, widths[cell]), std::string(widths[cell], '_'))
          << "line " << n << ", cell " << cell;
  }
}

TEST(TimetableCard, IsPrintableAscii) {
  for (const auto& line : card_file_lines())
    for (const unsigned char c : line) EXPECT_TRUE(c >= 32 && c <= 126) << "byte " << int(c) << " in: " << line;
}

TEST(TimetableCard, WriterReplacesTheCardInTheProgramDirectory) {
  document_test::ScratchDirectory directory;
  const std::string name = "Lesca-Varo_148_scheda_treno.txt";
  const auto path = directory.path() / name;
  document_test::write_file(path, std::string(5000, 'x') + "\r\n");

  dati_scheda(document_test::run_state_in(directory.path()));

  EXPECT_EQ(directory.entries(), std::vector<std::string>{name});
  const std::string bytes = read_file(path.string());
  EXPECT_EQ(bytes.size(), 3733u);
  EXPECT_EQ(bytes, encode_lines(timetable_card_lines()));
}

TEST(TimetableCard, OnlyTheNameFollowsTheRunState) {
  document_test::ScratchDirectory directory;
  dati_scheda(document_test::run_state_in(directory.path(), "Altra-Linea", "7"));
  EXPECT_EQ(directory.entries(), std::vector<std::string>{"Altra-Linea_7_scheda_treno.txt"});
  EXPECT_EQ(read_file((directory.path() / "Altra-Linea_7_scheda_treno.txt").string()),
            encode_lines(timetable_card_lines()));
}

}  // namespace
