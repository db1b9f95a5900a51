#include "inspect/inspection.h"

#include <gtest/gtest.h>

#include <string>

#include "inspect/grid_description.h"
#include "inspect/inspect_test_support.h"
#include "inspect/scenario_json.h"
#include "scenario/binary_format.h"

namespace {

using inspect_test::small_grid;
using inspect_test::small_table;

TEST(InspectFile, ReadableOutputStartsWithTheFileAndItsSize) {
  const std::string bytes = encode_grid(small_grid());
  const Inspection inspection = inspect_file("d/x.dat", bytes, false);
  EXPECT_EQ(inspection.error, "");
  EXPECT_EQ(inspection.output, "d/x.dat: 135 bytes\n" + describe_grid(small_grid()));
  const Inspection json = inspect_file("d/x.dat", bytes, true);
  EXPECT_EQ(json.output, json_text(grid_to_json(small_grid())));
}

TEST(InspectFile, BadBytesGiveTheDecodersErrorWithTheFileName) {
  const std::string table = encode_table(small_table());
  struct Case {
    std::string name;
    std::string bytes;
    std::string error;
  };
  const Case cases[] = {
      {"g.dat", std::string(14, '\0'), "g.dat: not a track grid: size 14 is not a whole number of 15-byte cells"},
      {"g.dat", "", "g.dat: not a track grid: no cell: a grid has at least one cell"},
      {"t.sim", table.substr(0, 40),
       "t.sim: not a scenario table: record 1 at byte 34: cut off by the end of the file before its text "
       "(6 of 16 bytes)"},
      {"t.sim", table + "x", "t.sim: not a scenario table: 1 bytes left after record 86 at byte " +
                                 std::to_string(table.size())},
      {"p_linea.dat", std::string("\x05\x00\x01\x02", 4),
       "p_linea.dat: not a plan trace: element 0 at byte 0: value cut off by the end of the file"},
      {"p_linea.dat", std::string("\x07\x00", 2),
       "p_linea.dat: not a plan trace: element 0 at byte 0: unknown type code 7"},
      {"notes.txt", "", "notes.txt: unknown file type: the name must end in \"_linea.dat\", \".sim\" or \".dat\""},
  };
  for (const Case& c : cases) {
    for (const bool as_json : {false, true}) {
      const Inspection inspection = inspect_file(c.name, c.bytes, as_json);
      EXPECT_EQ(inspection.error, c.error);
      EXPECT_EQ(inspection.output, "");
    }
  }
}

}  // namespace
