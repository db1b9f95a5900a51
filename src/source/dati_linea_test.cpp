#include "source/dati_linea.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/run_state.h"
#include "support/temporary_directory.h"

namespace {

std::vector<std::string> split_lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  EXPECT_EQ(start, bytes.size()) << "the file ends with CR LF";
  return lines;
}

TEST(DatiLinea, HoldsTheLineDescriptionExactly) {
  const std::string bytes = encode_lines(line_description_lines());
  EXPECT_EQ(bytes.size(), 3138u);
  const auto lines = split_lines(bytes);
  ASSERT_EQ(lines.size(), 115u);
  const struct {
    std::size_t line;
    const char* text;
  } expected[] = {
      {1, "[generale]"},
      {3, "progressiva chilometrica uno,    0,    29000,    1"},
      {9, "ripetizione segnali 4 codici,    0    ,0"},
      {10, "[curve]"},
      {11, "curvad3,  1400,  200"},
      {18, "curvad4,  6050,  350"},
      {45, "curvas5,  28250,  250"},
      {46, "[pendenze]"},
      {47, "pendenza,  0,   0"},
      {48, "pendenza,  4850,   -2"},
      {99, "pendenza,  28750,   0"},
      {101, "montagna,   25950,  26000,  12"},
      {105, "indicatori_vmax,  850,  80,  80,  80,  0,  ,  ,  ,  0"},
      {108, "cartello_indicatore,  2826,   (     PONTE      )(CANALE PESCATORI)(    26.174      )"},
      {114, "cartello_indicatore,  20200,   (  EX STAZIONE)(    TORRINO  )(     8.800   )"},
      {115, "[fine]"},
  };
  for (const auto& e : expected) EXPECT_EQ(lines[e.line - 1], e.text) << "line " << e.line;
  EXPECT_TRUE(
      std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n' || (c >= 32 && c < 127); }));
}

TEST(DatiLinea, ReplacesTheFileInTheProgramDirectory) {
  const test_support::TemporaryDirectory temporary("dati-linea");
  const std::string& directory = temporary.path();
  RunState state;
  state.program_directory = directory;
  state.line_key = "Lesca-Varo";
  const std::string path = path_in(directory, "Lesca-Varo_linea.txt");
  std::ofstream(path) << std::string(5000, 'z');
  dati_linea(state);
  EXPECT_EQ(read_file(path), encode_lines(line_description_lines()));
}

}  // namespace
