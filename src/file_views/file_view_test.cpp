#include "file_views/file_view.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

#include "file_views/file_views_test_support.h"
#include "file_views/grid_description.h"
#include "file_views/scenario_json.h"
#include "scenario/binary_format.h"

namespace {

using inspect_test::small_grid;
using inspect_test::small_table;

struct Written {
  std::string error;
  std::string output;
};

Written inspected(std::string_view name, ScenarioFile file, std::string_view bytes, bool as_json,
                  const FileRead* beside = nullptr) {
  std::ostringstream out;
  Written written;
  written.error = inspect_file(name, file, bytes, as_json, out, beside).message();
  written.output = out.str();
  return written;
}

TEST(InspectFile, ReadableOutputStartsWithTheFileAndItsSize) {
  const std::string bytes = encode_grid(small_grid());
  const Written text = inspected("d/x.dat", ScenarioFile::Grid, bytes, false);
  EXPECT_EQ(text.error, "");
  std::ostringstream grid;
  describe_grid(small_grid(), nullptr, grid);
  EXPECT_EQ(text.output, "d/x.dat: 135 bytes\n" + grid.str());
  const Written json = inspected("d/x.dat", ScenarioFile::Grid, bytes, true);
  std::ostringstream expected;
  write_grid_json(small_grid(), expected);
  EXPECT_EQ(json.output, expected.str());
}

TEST(InspectFile, AGridTakesTheTableBesideItWhenItBelongsToIt) {
  // A line of 29000 m has cells 0 to 720.
  TrackGrid grid;
  grid.create(36000);
  grid[15].set_kind(CellKind::StationMark);
  grid[15].value1 = 1;
  const std::string bytes = encode_grid(grid);
  ScenarioTable table = small_table();
  table[kTrainRecord].number2 = 29000;
  const std::string station = "  cell 15 (700 m, km 28.300): StationMark value1=1 | station record 1: ";
  ScenarioTable other_line = table;
  other_line[kTrainRecord].number2 = 5000;
  const auto read = [](std::string bytes) {
    FileRead file;
    file.name = "d/x.sim";
    file.bytes = std::move(bytes);
    return file;
  };
  FileRead missing;
  missing.name = "d/x.sim";
  missing.bytes = Status::io_error("d/x.sim", "No such file or directory");
  const std::pair<FileRead, std::string> cases[] = {
      {read(encode_table(table)), station},
      {missing, "Without the scenario table beside it (d/x.sim: No such file or directory)"},
      {read("xy"), "Without the scenario table beside it (d/x.sim: not a scenario table: record 0 at byte 0"},
      {read(encode_table(other_line)),
       "Without the scenario table beside it (d/x.sim gives a line length of 5000 m, which is not this grid's)"},
  };
  for (const auto& [beside, shown] : cases) {
    const Written text = inspected("d/x.dat", ScenarioFile::Grid, bytes, false, &beside);
    EXPECT_EQ(text.error, "");
    EXPECT_NE(text.output.find(shown), std::string::npos) << shown << "\n" << text.output.substr(0, 400);
  }
}

TEST(InspectFile, BadBytesGiveTheDecodersErrorWithTheFileNameAndNothingElse) {
  const std::string table = encode_table(small_table());
  struct Case {
    std::string name;
    ScenarioFile file;
    std::string bytes;
    std::string error;
  };
  const Case cases[] = {
      {"g.dat", ScenarioFile::Grid, std::string(14, '\0'),
       "g.dat: not a track grid: size 14 is not a whole number of 15-byte cells"},
      {"g.dat", ScenarioFile::Grid, "", "g.dat: not a track grid: no cell: a grid has at least one cell"},
      {"t.sim", ScenarioFile::Table, table.substr(0, 40),
       "t.sim: not a scenario table: record 1 at byte 34: cut off by the end of the file before its text "
       "(6 of 16 bytes)"},
      {"t.sim", ScenarioFile::Table, table + "x",
       "t.sim: not a scenario table: 1 bytes left after record 86 at byte " + std::to_string(table.size())},
      {"p_linea.dat", ScenarioFile::Trace, std::string("\x05\x00\x01\x02", 4),
       "p_linea.dat: not a plan trace: element 0 at byte 0: value cut off by the end of the file"},
      {"p_linea.dat", ScenarioFile::Trace, std::string("\x07\x00", 2),
       "p_linea.dat: not a plan trace: element 0 at byte 0: unknown type code 7"},
      {"notes.txt", ScenarioFile::Notes, "",
       "notes.txt: unknown file type: the name must end in \"_linea.dat\", \".sim\" or \".dat\""},
  };
  for (const Case& c : cases) {
    for (const bool as_json : {false, true}) {
      const Written written = inspected(c.name, c.file, c.bytes, as_json);
      EXPECT_EQ(written.error, c.error);
      EXPECT_EQ(written.output, "");
    }
  }
}

TEST(InspectFile, TheLargestFileOfEachType) {
  // 1,000,000 m + 7000 m beyond: cells 0 to 20140 of 15 bytes; metres 0 to 1,007,000, two doubles each
  // of 2 + 8 bytes; 87 records of 34 bytes and a text of 65535.
  EXPECT_EQ(largest_file_size(ScenarioFile::Grid), 20141u * 15);
  EXPECT_EQ(largest_file_size(ScenarioFile::Trace), 1007001u * 2 * 10);
  EXPECT_EQ(largest_file_size(ScenarioFile::Table), 87u * (34 + 65535));
  EXPECT_EQ(too_large_error("big.dat", ScenarioFile::Grid, 8ull << 30),
            "big.dat: not a track grid: 8589934592 bytes, more than the largest track grid, cells 0 to 20140 "
            "(302115 bytes)");
  EXPECT_EQ(too_large_error("big_linea.dat", ScenarioFile::Trace, 20140021),
            "big_linea.dat: not a plan trace: 20140021 bytes, more than the largest plan trace, metres 0 to "
            "1007000 all doubles (20140020 bytes)");
  EXPECT_EQ(too_large_error("big.sim", ScenarioFile::Table, 5704504),
            "big.sim: not a scenario table: 5704504 bytes, more than the largest scenario table, 87 records with "
            "texts of 65535 bytes (5704503 bytes)");
}

TEST(InspectFile, TheTableBesideAGrid) {
  EXPECT_EQ(table_beside_name("out/Lesca-Varo_148.dat"), "out/Lesca-Varo_148.sim");
  EXPECT_EQ(table_beside_name("grid.DAT"), "grid.DAT.sim");
}

}  // namespace
