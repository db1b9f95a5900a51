#include "documents/document_table.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

constexpr std::array<std::size_t, 3> kCells{3, 5, 2};

TEST(DocumentTable, RowsKeepTheirBarsWhateverTheTexts) {
  EXPECT_EQ(row_length(kCells), 15u);
  EXPECT_EQ(table_row(kCells, {"ab", "cdefghij", "k"}), " |ab |cdefg|k |");
  EXPECT_EQ(table_row(kCells, {"abc"}), " |abc|     |  |");
  EXPECT_EQ(empty_row(kCells), " |   |     |  |");
  EXPECT_EQ(table_rule(kCells), " |___|_____|__|");
  EXPECT_EQ(table_top(kCells), "  " + std::string(12, '_'));
  EXPECT_EQ(box_top(kCells, {true, false, true}), "  ___       __");
}

TEST(DocumentTable, TextsArePlacedInTheirCells) {
  struct Case {
    std::string placed;
    std::string expected;
  };
  const Case cases[] = {
      {placed_left("ab", 6, 2), "  ab  "},
      {placed_left("abcdef", 6, 2), "  abcd"},  // cut at the end of the cell
      {placed_right("40", 10, 4), "    40    "},
      {placed_right("1.600", 9, 2), "  1.600  "},
      {placed_right("12345678", 9, 2), "12345678 "},    // into the blanks kept at the end when it needs them
      {placed_right("1234567890", 9, 2), "#########"},  // never cut to a wrong number
      {placed_right("", 5, 1), "     "},
      {centred("---", 12), "    ---     "},
      {centred("B", 12), "     B      "},
      {centred("abcdef", 4), "abcd"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.placed, c.expected);
}

TEST(DocumentTable, LongTextsWrapAtADashOrABlank) {
  struct Case {
    std::string text;
    std::size_t width;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", 10, {""}},
      {"SHORT", 10, {"SHORT"}},
      {"EXACTLY TEN", 11, {"EXACTLY TEN"}},
      {"CRISTOFORO COLOMBO-CASTEL FUSANO", 26, {"CRISTOFORO COLOMBO-", "CASTEL FUSANO"}},
      {"SANTA MARIA DELLE GRAZIE AL NAVIGLIO", 26, {"SANTA MARIA DELLE GRAZIE", "AL NAVIGLIO"}},
      {"ABCDEFGHIJKLMNOP", 6, {"ABCDEF", "GHIJKL", "MNOP"}},  // no place to break: cut within the word
      {"AB  CD", 3, {"AB", "CD"}},
  };
  for (const Case& c : cases) EXPECT_EQ(wrapped(c.text, c.width), c.lines) << c.text;
  for (const auto& line : wrapped(std::string(1000, 'x') + " " + std::string(77, 'y'), 26)) EXPECT_LE(line.size(), 26u);
}

TEST(DocumentTable, ValuesAreWrittenAsTheDocumentsShowThem) {
  EXPECT_EQ(kilometre_text(28350), "28.350");
  EXPECT_EQ(kilometre_text(0), "0.000");
  EXPECT_EQ(kilometre_text(-350), "-0.350");
  EXPECT_EQ(kilometre_text(1000000), "1000.000");
  EXPECT_EQ(kilometre_text(2.5), "0.002");  // half to even
  EXPECT_EQ(kilometre_text(3.5), "0.004");
  EXPECT_GT(kilometre_text(1e300).size(), 12u);  // too long for any cell: shown as "#"

  EXPECT_EQ(metres_text(350), "350");
  EXPECT_EQ(metres_text(1600), "1.600");
  EXPECT_EQ(metres_text(1000000), "1.000.000");
  EXPECT_EQ(metres_text(-1600), "-1.600");

  EXPECT_EQ(clock_text(58980), "16.23");
  EXPECT_EQ(clock_text(16 * 3600 + 44 * 60 + 10), "16.44");
  EXPECT_EQ(clock_text(9 * 3600 + 5 * 60), "9.05");
  EXPECT_EQ(clock_text(0), "0.00");
  EXPECT_EQ(clock_text(-5400), "-1.30");
  EXPECT_EQ(clock_text(INT32_MIN), "-596523.14");
}

TEST(DocumentTable, NamesKeepTheColumnsAndComeInWindows1252) {
  EXPECT_EQ(printable("A\tB\x01"
                      "C\x7F"),
            "A B C ");
  EXPECT_EQ(printable("CITT\xC0"), "CITT\xC0");      // Windows-1252 letters stay
  EXPECT_EQ(name_text("Citt\xC3\xA0"), "Citt\xE0");  // UTF-8 of a file name
  EXPECT_EQ(name_text("Citt\xE0"), "Citt\xE0");      // not UTF-8: its bytes
  EXPECT_EQ(name_text("a\tb"), "a b");
  EXPECT_EQ(left_out_text(12), "(altre 12 righe)");
}

}  // namespace
