#include "documents/slowdown_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/document_test_support.h"

namespace {

using document_test::bar_columns;
using document_test::cell_bars;
using document_test::split_lines;

std::vector<std::string> order_file_lines() { return split_lines(encode_lines(slowdown_order_lines())); }

TEST(SlowdownOrder, HasFortySixLinesAndClosesWithTheEndMarker) {
  const LineTable table = slowdown_order_lines();
  ASSERT_EQ(table.size(), 47u);
  EXPECT_EQ(table.back(), kEndMarker);

  const std::string bytes = encode_lines(table);
  EXPECT_EQ(bytes.size(), 3300u);
  EXPECT_EQ(split_lines(bytes).size(), 46u);
  EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
}

TEST(SlowdownOrder, EveryLineHasItsStatedLength) {
  struct Run {
    std::size_t first;  // line numbers, counted from 1
    std::size_t last;
    std::size_t length;
  };
  const Run runs[] = {
      {1, 1, 0},   {2, 2, 43},  {3, 3, 50},   {4, 4, 81},   {5, 5, 32},   {6, 6, 0},    {7, 7, 79},   {8, 8, 81},
      {9, 39, 82}, {40, 40, 0}, {41, 41, 37}, {42, 42, 63}, {43, 43, 51}, {44, 44, 49}, {45, 45, 58}, {46, 46, 42},
  };
  const auto lines = order_file_lines();
  ASSERT_EQ(lines.size(), 46u);
  std::size_t covered = 0;
  for (const auto& run : runs) {
    for (std::size_t n = run.first; n <= run.last; ++n) {
      EXPECT_EQ(lines[n - 1].size(), run.length) << "line " << n;
      ++covered;
    }
  }
  EXPECT_EQ(covered, 46u);
}

TEST(SlowdownOrder, QuotedLinesAreExact) {
  struct Quoted {
    std::size_t line;
    const char* text;
  };
  const Quoted quoted[] = {
      {2, "                                Modulo M. 3"},
      {3, "                           ORDINE DI RALLENTAMENTO"},
      {4, " ________________________________________________________________________________"},
      {5, "  Linea  Lesca-Varo P.San Paolo "},
      {7, "  Si ordina al macchinista del treno 148 di effettuare i seguenti rallentamenti"},
      {8, "  _______________________________________________________________________________"},
      {9, " |   |                            |Inizio dopo |          |         |            |"},
      {10, " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
      {11, " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
      {12, " |___|____________________________|____________|__________|_________|____________|"},
      {13, " |   |                            |            |          |         |            |"},
      {14, " | 1 | Stella Polare-Lido Centro  |    25.200  |    40    |    350  |    ---     |"},
      {15, " | 2 | Acilia-Casal Bernocchi     |    15.500  |    30    |  1.600  |     B      |"},
      {39, " |___|____________________________|____________|__________|_________|____________|"},
      {41, "              Prescrizioni specifiche"},
      {42, " A - Da rispettare con tutto il treno (per i treni viaggiatori)"},
      {43, " B - Interessa anche la stazione di CASAL BERNOCCHI"},
      {44, " D - Rallentamneto N. ... e N. ...  sono contigui"},
      {45, " C - Da rispettare dalle ore ....  alle ore ..... di tutti"},
      {46, "     i giorni esclusi i seguenti:........."},
  };
  const auto lines = order_file_lines();
  ASSERT_EQ(lines.size(), 46u);
  for (const auto& q : quoted) EXPECT_EQ(lines[q.line - 1], q.text) << "line " << q.line;
  for (std::size_t n = 16; n <= 38; ++n) EXPECT_EQ(lines[n - 1], lines[13 - 1]) << "line " << n;
}

TEST(SlowdownOrder, StartsWithAnEmptyLineAndEndsWithTheContinuationLine) {
  const std::string bytes = encode_lines(slowdown_order_lines());
  EXPECT_EQ(bytes.substr(0, 3), "\r\n ");
  const std::string last = "     i giorni esclusi i seguenti:.........\r\n";
  ASSERT_GE(bytes.size(), last.size());
  EXPECT_EQ(bytes.substr(bytes.size() - last.size()), last);
}

TEST(SlowdownOrder, LineNameEndsWithOneBlank) {
  const auto lines = order_file_lines();
  ASSERT_EQ(lines.size(), 46u);
  const std::string& line5 = lines[5 - 1];
  EXPECT_EQ(line5.substr(line5.size() - 6), "Paolo ");
  EXPECT_NE(line5[line5.size() - 2], ' ');
}

TEST(SlowdownOrder, LegendRunsABDC) {
  const auto lines = order_file_lines();
  ASSERT_EQ(lines.size(), 46u);
  std::string order;
  std::vector<std::size_t> at;
  for (std::size_t n = 1; n <= lines.size(); ++n) {
    const std::string& line = lines[n - 1];
    if (line.size() > 4 && line[0] == ' ' && line.compare(2, 3, " - ") == 0) {
      order += line[1];
      at.push_back(n);
    }
  }
  EXPECT_EQ(order, "ABDC");
  EXPECT_EQ(at, (std::vector<std::size_t>{42, 43, 44, 45}));
  // Line 46 continues prescription C, indented under its text.
  EXPECT_EQ(lines[46 - 1].find_first_not_of(' '), 5u);
}

TEST(SlowdownOrder, TableIsDrawnOnItsCells) {
  const auto lines = order_file_lines();
  ASSERT_EQ(lines.size(), 46u);
  EXPECT_EQ(lines[4 - 1], std::string(" ").append(80, '_'));
  EXPECT_EQ(lines[8 - 1], std::string("  ").append(79, '_'));

  const std::vector<std::size_t> widths{3, 28, 12, 10, 9, 12};
  const auto table = cell_bars(1, widths);
  ASSERT_EQ(table.back() + 1, 82u);
  for (std::size_t n = 9; n <= 39; ++n) {
    EXPECT_EQ(bar_columns(lines[n - 1]), table) << "line " << n;
    EXPECT_EQ(lines[n - 1][0], ' ') << "line " << n;
  }
  for (const std::size_t n : {12u, 39u}) {
    for (std::size_t cell = 0; cell < widths.size(); ++cell)
      EXPECT_EQ(lines[n - 1].substr(table[cell] + 1, widths[cell]), std::string(widths[cell], '_'))
          << "line " << n << ", cell " << cell;
  }
}

TEST(SlowdownOrder, IsPrintableAscii) {
  for (const auto& line : order_file_lines())
    for (const unsigned char c : line) EXPECT_TRUE(c >= 32 && c <= 126) << "byte " << int(c) << " in: " << line;
}

TEST(SlowdownOrder, WriterReplacesTheOrderInTheProgramDirectory) {
  document_test::ScratchDirectory directory;
  const std::string name = "Lesca-Varo_148_rallentamenti.txt";
  const auto path = directory.path() / name;
  document_test::write_file(path, std::string(5000, 'x') + "\r\n");

  dati_rallentamenti(document_test::run_state_in(directory.path()));

  EXPECT_EQ(directory.entries(), std::vector<std::string>{name});
  const std::string bytes = read_file(path.string());
  EXPECT_EQ(bytes.size(), 3300u);
  EXPECT_EQ(bytes, encode_lines(slowdown_order_lines()));
}

TEST(SlowdownOrder, OnlyTheNameFollowsTheRunState) {
  document_test::ScratchDirectory directory;
  dati_rallentamenti(document_test::run_state_in(directory.path(), "Altra-Linea", "7"));
  EXPECT_EQ(directory.entries(), std::vector<std::string>{"Altra-Linea_7_rallentamenti.txt"});
  EXPECT_EQ(read_file((directory.path() / "Altra-Linea_7_rallentamenti.txt").string()),
            encode_lines(slowdown_order_lines()));
}

}  // namespace
