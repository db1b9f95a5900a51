// `scenario inspect` through the real executable, on the files of `scenario generate`.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/binary_format.h"
#include "support/program_run.h"
#include "support/scenario_json_reader.h"

namespace fs = std::filesystem;

namespace {

using test_support::Outcome;

class InspectCommand : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    directory_ = std::make_unique<test_support::TemporaryDirectory>("inspect-command");
    const Outcome generated = scenario("generate -o .");
    ASSERT_EQ(generated.status, 0) << generated.err;
  }
  static void TearDownTestSuite() { directory_.reset(); }

  static std::string at(const std::string& name) { return directory_->at(name); }

  static void write(const std::string& name, const std::string& bytes) {
    std::ofstream(at(name), std::ios::binary) << bytes;
  }

  /// Runs the program in the test's directory.
  static Outcome scenario(const std::string& arguments) {
    return test_support::run_scenario(directory_->path(), arguments);
  }

  static bool has_line(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
  }

  static inline std::unique_ptr<test_support::TemporaryDirectory> directory_;
};

TEST_F(InspectCommand, GridShowsTheProfileRunsAndTheObjects) {
  const Outcome outcome = scenario("inspect Lesca-Varo_148.dat");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  const std::string& out = outcome.out;
  const char* const lines[] = {
      "Lesca-Varo_148.dat: 10815 bytes",
      "Track grid: cells 0 to 720",
      // The two speed entries: 80 km/h from 0, 90 km/h from 4400 m, up to cellCount - 3.
      "  cells 0-87 (0-4400 m): 80 km/h",
      "  cells 88-717 (4400-35900 m): 90 km/h",
      "  cells 0-717 (0-35900 m): 100",
      // Gradient entries at 4850 (-2) and 5200 (0).
      "  cells 97-103 (4850-5200 m): -2 per mille",
      "  cell 519 (25950-26000 m): type 2",
      // The signal at 1500 m with its approach marks, the first station and board.
      "  cell 23 (1100 m): Plain approachMark=64",
      "  cell 29 (1400 m): Plain approachMark=61",
      "  cell 31 (1500 m): Signal value1=30 value2=0 value3=0 value4=6 signalTime=0",
      "  cell 14 (650 m): Plain approachMark=81",
      "  cell 15 (700 m): StationMark value1=1 (station record)",
      "  cell 18 (850 m): SpeedBoard value1=1600 value2=1600 value3=1600 value4=0",
      "  cell 58 (2850 m): InfoBoard value1=80 (text record)",
      "  cell 546 (27250 m): MountainMarker",
      "  cell 570 (28450 m): Signal value1=20 value2=30 value3=0 value4=6 signalTime=255",
      "  cell 582 (29050 m): StationMark value1=13 (station record)",
  };
  for (const char* line : lines) EXPECT_TRUE(has_line(out, line)) << line;
  // Cell 1 carries the marker and a competition code.
  EXPECT_NE(out.find("\n  cell 1 (0 m): Plain value1=5121 value2="), std::string::npos);
}

TEST_F(InspectCommand, TableShowsStationsWithTheirTimesAndTheLineRecords) {
  const Outcome outcome = scenario("inspect Lesca-Varo_148.sim");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  const char* const lines[] = {
      "Lesca-Varo_148.sim: 3454 bytes",
      "record 1: station \"CRISTOFORO COLOMBO\" at 650 m, due 16:23:00",
      "  number1 = 500  (platform start, m)",
      "  number2 = 800  (platform end, m)",
      "  number4 = 58980  (timetable time, s from midnight)",
      "record 8: station \"CASAL BERNOCCHI\" at 14950 m, due 16:44:10",
      "record 13: station \"ROMA PORTA S.PAOLO\" at 29000 m, due 17:03:00",
      "  number1 = 28700  (platform start, m)",
      "  number2 = 29150  (platform end, m)",
      "record 80: information board",
      "record 84: train and line",
      "  number2 = 29000  (line length, m)",
      "record 85: line",
      "  text = \"Lesca-Varo\"  (line key)",
      "  short1 = 610  (marker)",
      "record 86: service, clock 16:22:40",
      "  text = \"148\"  (train number)",
  };
  for (const char* line : lines) EXPECT_TRUE(has_line(outcome.out, line)) << line;
  EXPECT_FALSE(has_line(outcome.out, "record 14: station")) << "13 stations only";
}

TEST_F(InspectCommand, TraceShowsItsPointsBoxAndLength) {
  const Outcome outcome = scenario("inspect Lesca-Varo_linea.dat");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  // The last two metres are never computed; every other point is.
  const char* const lines[] = {
      "Lesca-Varo_linea.dat: 719964 bytes",
      "Plan trace: metres 0 to 36000, 36001 points",
      "  points with both coordinates: 35999",
      "  points with one coordinate only: 0",
      "  empty points: 2",
  };
  for (const char* line : lines) EXPECT_TRUE(has_line(outcome.out, line)) << line;

  // Box and length measured here from the decoded points: the line starts at the origin heading +Y.
  const Decoded<TrackTrace> trace = decode_trace(read_file(at("Lesca-Varo_linea.dat")));
  ASSERT_TRUE(trace) << trace.error;
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0, length = 0;
  for (int32_t m = 1; m <= 35998; ++m) {
    const double x = trace.value->value(m, kAxisX);
    const double y = trace.value->value(m, kAxisY);
    min_x = std::min(min_x, x);
    max_x = std::max(max_x, x);
    min_y = std::min(min_y, y);
    max_y = std::max(max_y, y);
    length += std::hypot(x - trace.value->value(m - 1, kAxisX), y - trace.value->value(m - 1, kAxisY));
  }
  char box[200];
  std::snprintf(box, sizeof box, "  bounding box: X %.3f to %.3f, Y %.3f to %.3f", min_x, max_x, min_y, max_y);
  char measured[100];
  std::snprintf(measured, sizeof measured, "  length: %.3f m", length);
  EXPECT_TRUE(has_line(outcome.out, box)) << box << "\n" << outcome.out;
  EXPECT_TRUE(has_line(outcome.out, measured)) << measured << "\n" << outcome.out;
  EXPECT_GE(length, 35998.0);  // at least one metre per step
}

TEST_F(InspectCommand, JsonOfEachFileEncodesBackToTheSameBytes) {
  {
    const Outcome outcome = scenario("inspect --json Lesca-Varo_148.dat");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const Decoded<TrackGrid> grid = grid_from_json(ScenarioJson::parse(outcome.out));
    ASSERT_TRUE(grid) << grid.error;
    EXPECT_EQ(encode_grid(*grid.value), read_file(at("Lesca-Varo_148.dat")));
    EXPECT_EQ(grid.value->cellCount(), 720);
  }
  {
    const Outcome outcome = scenario("inspect Lesca-Varo_148.sim --json");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const Decoded<ScenarioTable> table = table_from_json(ScenarioJson::parse(outcome.out));
    ASSERT_TRUE(table) << table.error;
    EXPECT_EQ(encode_table(*table.value), read_file(at("Lesca-Varo_148.sim")));
  }
  {
    const Outcome outcome = scenario("inspect --json Lesca-Varo_linea.dat");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const ScenarioJson json = ScenarioJson::parse(outcome.out);
    EXPECT_EQ(json["points"][0], ScenarioJson::parse("[0,0]"));
    EXPECT_TRUE(json["points"][36000].is_null());
    const Decoded<TrackTrace> trace = trace_from_json(json);
    ASSERT_TRUE(trace) << trace.error;
    EXPECT_EQ(encode_trace(*trace.value), read_file(at("Lesca-Varo_linea.dat")));
  }
}

TEST_F(InspectCommand, DamagedFilesGiveStatus1AndFilesThatCannotBeReadStatus3) {
  const std::string grid = read_file(at("Lesca-Varo_148.dat"));
  const std::string table = read_file(at("Lesca-Varo_148.sim"));
  const std::string trace = read_file(at("Lesca-Varo_linea.dat"));
  write("short.dat", grid.substr(0, grid.size() - 1));
  write("long.dat", grid + "x");
  // Record 0 is empty (34 bytes), record 1 holds "CRISTOFORO COLOMBO" (34 + 18): record 2 starts at 86.
  write("cut.sim", table.substr(0, 100));
  write("cut_linea.dat", trace.substr(0, trace.size() - 1));
  struct Case {
    const char* arguments;
    std::string error;
    int status = 1;
  };
  const Case cases[] = {
      {"inspect short.dat", "short.dat: not a track grid: size 10814 is not a whole number of 15-byte cells"},
      {"inspect --json long.dat", "long.dat: not a track grid: size 10816 is not a whole number of 15-byte cells"},
      {"inspect cut.sim",
       "cut.sim: not a scenario table: record 2 at byte 86: cut off by the end of the file before its text "
       "(14 of 16 bytes)"},
      // 2 x 36001 elements; the last, an empty point's Y, is two bytes at the very end.
      {"inspect cut_linea.dat",
       "cut_linea.dat: not a plan trace: element 72001 at byte 719962: type code cut off by the end of the file"},
      {"inspect missing.dat", "cannot read missing.dat: No such file or directory", 3},
      {"inspect /dev/zero", "cannot read /dev/zero: not a regular file", 3},
      {"inspect .", "cannot read .: not a regular file", 3},
      {"inspect Lesca-Varo_148_note.txt",
       "Lesca-Varo_148_note.txt: unknown file type: the name must end in \"_linea.dat\", \".sim\" or \".dat\""},
  };
  for (const Case& c : cases) {
    const Outcome outcome = scenario(c.arguments);
    EXPECT_EQ(outcome.status, c.status) << c.arguments;
    EXPECT_EQ(outcome.err, "scenario: error: " + c.error + "\n") << c.arguments;
    EXPECT_EQ(outcome.out, "") << c.arguments;
  }
}

TEST_F(InspectCommand, NeedsAFile) {
  const Outcome outcome = scenario("inspect");
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("FILE is required"), std::string::npos) << outcome.err;
}

}  // namespace
