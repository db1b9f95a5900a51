#include "source/dati_treno.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/run_state.h"
#include "support/temporary_directory.h"

namespace {

/// The lines of a file's bytes; every line must end with CR LF.
std::vector<std::string> split_crlf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "bytes after the last CR LF: " << bytes.substr(start);
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

TEST(DatiTreno, FileHasFortyNineLinesAndTwoThousandFiveHundredTwentyBytes) {
  const std::string bytes = encode_lines(train_service_lines());
  EXPECT_EQ(bytes.size(), 2520u);
  const auto lines = split_crlf(bytes);
  ASSERT_EQ(lines.size(), 49u);
  for (const auto& line : lines) {
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    for (const char c : line) EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << "not printable ASCII in: " << line;
  }
}

TEST(DatiTreno, TableEndsWithTheEndMarkerRightAfterTheLastLine) {
  const LineTable table = train_service_lines();
  ASSERT_EQ(table.size(), 50u);
  EXPECT_EQ(table[49], kEndMarker);
  EXPECT_EQ(table[48], "[fine]");
}

TEST(DatiTreno, LinesWithUnusualSpacingStandExactly) {
  const auto lines = split_crlf(encode_lines(train_service_lines()));
  ASSERT_EQ(lines.size(), 49u);
  struct Case {
    std::size_t line;  // 1-based
    const char* text;
  };
  const Case cases[] = {
      {1, "[generale]"},
      {2, "numero vetture,    3"},
      {3, "percentuale massa frenata,    130"},
      {4, "sabbia,    100"},
      {5, "orologio,    16              22            40 "},
      {7, "aderenza,   0,    100"},
      {9, "velocita,       0,    80"},
      {10, "velocita,    4400,    90"},
      {12, "stazione,     650, 12,  300,  1, 1, 0,  4,1,0,  2,1,1,    1,  16,23, 0, CRISTOFORO COLOMBO"},
      {19, "stazione,   14950, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,   10,  16,44,10, CASAL BERNOCCHI"},
      {21, "stazione,   21250, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   10,  16,53, 0, TOR DI VALLE"},
      {24, "stazione,   29000,  6,  300,  1, 0, 0,  1,1,0,  2,1,1,    0,  17, 3, 0, ROMA PORTA S.PAOLO"},
      {26, "rallentamento,    3800,    40,  350, 0,  0,  0"},
      {27, "rallentamento,   13500,    30, 1600, 0,  0,  0"},
      {29, "segnale,    1500,   2, 3, 0,  0, 0,    0,  0,0,0, 0"},
      {40, "segnale,   16850,   2, 4, 0,  0, 0,    0,  0,0,0, 255"},
      {47, "segnale,   28450,   2, 2, 3,  0, 0,    0,  0,0,0, 255"},
      {48, "[codici]"},
      {49, "[fine]"},
  };
  for (const auto& c : cases) EXPECT_EQ(lines[c.line - 1], c.text) << "line " << c.line;
  EXPECT_EQ(lines[4].back(), ' ');
}

TEST(DatiTreno, SectionsStandInOrderWithTheirEntries) {
  const auto lines = split_crlf(encode_lines(train_service_lines()));
  ASSERT_EQ(lines.size(), 49u);
  const std::pair<std::size_t, const char*> headers[] = {
      {1, "[generale]"},       {6, "[aderenze]"}, {8, "[vel_limite]"}, {11, "[stazioni]"},
      {25, "[rallentamenti]"}, {28, "[segnali]"}, {48, "[codici]"},    {49, "[fine]"},
  };
  for (const auto& [line, header] : headers) EXPECT_EQ(lines[line - 1], header);
  auto entries_between = [&](std::size_t first, std::size_t last, const std::string& keyword) {
    for (std::size_t line = first; line <= last; ++line)
      EXPECT_EQ(lines[line - 1].rfind(keyword + ",", 0), 0u) << "line " << line;
  };
  entries_between(12, 24, "stazione");
  entries_between(26, 27, "rallentamento");
  entries_between(29, 47, "segnale");
}

class DatiTrenoFile : public ::testing::Test {
 protected:
  test_support::TemporaryDirectory temporary_{"dati_treno"};
  std::string directory_ = temporary_.path();
};

TEST_F(DatiTrenoFile, ReplacesAnEarlierFileWholeUnderTheNameFromTheRunState) {
  RunState state;
  state.program_directory = directory_;
  state.line_key = "Lesca-Varo";
  state.train_number = "148";
  const std::string path = path_in(directory_, "Lesca-Varo_148-.txt");
  {
    std::string earlier(5000, 'x');
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(earlier.data(), 1, earlier.size(), file);
    std::fclose(file);
  }
  dati_treno(state);
  const std::string bytes = read_file(path);
  EXPECT_EQ(bytes, encode_lines(train_service_lines()));
  EXPECT_EQ(bytes.size(), 2520u);
  EXPECT_FALSE(file_exists(path_in(directory_, "Lesca-Varo_148.txt")));
}

TEST_F(DatiTrenoFile, TakesTheTrainNumberFromTheRunState) {
  RunState state;
  state.program_directory = directory_;
  state.line_key = "Lesca-Varo";
  state.train_number = "2231";
  dati_treno(state);
  EXPECT_TRUE(file_exists(path_in(directory_, "Lesca-Varo_2231-.txt")));
  EXPECT_FALSE(file_exists(path_in(directory_, "Lesca-Varo_148-.txt")));
}

}  // namespace
