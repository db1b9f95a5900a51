// `scenario inspect` through the real executable, on the files of `scenario generate`.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

  /// The same, ended after 20 s (status 124), for runs that must not wait on a pipe.
  static Outcome scenario_within_limit(const std::string& arguments) {
    return test_support::run_scenario(directory_->path(), arguments, "timeout 20");
  }

  static bool has_line(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
  }

  static inline std::unique_ptr<test_support::TemporaryDirectory> directory_;
};

TEST_F(InspectCommand, GridShowsItsValuesInTheAuthorsUnitsBesideTheStoredOnes) {
  const Outcome outcome = scenario("inspect Lesca-Varo_148.dat");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  const std::string& out = outcome.out;
  // Worked out by hand from the two sources. The kilometric reference (0, 29000, flag 1) is stored as
  // 29100 and counts down: metre m is km (29000 - m) / 1000. An object of cell i stands at (i - 1) x 50.
  const char* const lines[] = {
      "Lesca-Varo_148.dat: 10815 bytes",
      "Track grid: cells 0 to 720",
      "Kilometres, stations and board texts from the scenario table beside it, Lesca-Varo_148.sim",
      "  kilometric reference (record 81): from 0 m at km 29.000, counting down (29100 stored: 100 added for "
      "flag 1)",
      // The two speed entries: 80 km/h (stored 80 / 5) from 0, 90 km/h from 4400 m, up to cellCount - 3.
      "  cells 0-87 (0-4400 m): 80 km/h (stored 16)",
      "  cells 88-717 (4400-35900 m): 90 km/h (stored 18)",
      "  cells 0-717 (0-35900 m): 100",
      // Gradient entries at 4850 (-2, stored 98) and 5200 (0), at 9400 (+11).
      "  cells 97-103 (4850-5200 m): -2 per mille (stored 98)",
      "  cells 188-199 (9400-10000 m): +11 per mille (stored 111)",
      "  cell 519 (25950-26000 m): type 2",
      // The signal at 1500 m ("segnale, 1500, 2, 3, 0, 0, 0, 0, 0,0,0, 0"): cell 31, its marks
      // (2 x 3 + 0) x 10 + k in cells 29 to 23.
      "  cell 23 (1100 m, km 27.900): Plain approachMark=64 | approach mark 4 of the signal in cell 31",
      "  cell 29 (1400 m, km 27.600): Plain approachMark=61 | approach mark 1 of the signal in cell 31",
      "  cell 31 (1500 m, km 27.500): Signal value1=30 value2=0 value3=0 value4=6 signalTime=0 | aspects 3/0/0 "
      "on the first side, 0/0/0 on the other; rapp 0, sx x 3 + dx = 6",
      // The signal at 28450 m (s1 2, s2 3, tempo 255).
      "  cell 570 (28450 m, km 0.550): Signal value1=20 value2=30 value3=0 value4=6 signalTime=255 | aspects "
      "2/3/0 on the first side, 0/0/0 on the other; rapp 0, sx x 3 + dx = 6",
      // The first station (650 m, 300 m platform of kind 12): platform 500-800, its mark in cell 800 / 50 - 1.
      "  cell 14 (650 m, km 28.350): Plain approachMark=81 | approach mark 1 of the station mark in cell 15",
      "  cell 15 (700 m, km 28.300): StationMark value1=1 | station record 1: \"CRISTOFORO COLOMBO\" at 650 m, "
      "km 28.350, platform 500-800 m, due 16:23:00",
      // The last, of kind 6 at 29000 m: platform 28700 to 29150, its mark in cell 582, past km 0.
      "  cell 582 (29050 m, km -0.050): StationMark value1=13 | station record 13: \"ROMA PORTA S.PAOLO\" at "
      "29000 m, km 0.000, platform 28700-29150 m, due 17:03:00",
      // "indicatori_vmax, 850, 80, 80, 80, 0, , , , 0": 80 x 20 = 1600, no other side.
      "  cell 18 (850 m, km 28.150): SpeedBoard value1=1600 value2=1600 value3=1600 value4=0 | first side "
      "80/80/80 km/h, 0 stripes; other side 0/0/0 km/h, 0 stripes",
      // The first board at 2826 m: cell round(57.52) = 58, its text in record 80.
      "  cell 58 (2850 m, km 26.150): InfoBoard value1=80 | text record 80: \"(     PONTE      )(CANALE "
      "PESCATORI)(    26.174      )\"",
      // "rallentamento, 3800, 40, 350, 0, 0, 0": warning in cell 53, start 77, end round(4150 / 50 + 1).
      "  cell 53 (2600 m, km 26.400): SlowdownWarning value1=40 value2=0 | warning of a slowdown at 40 km/h; "
      "d_v 0",
      "  cell 77 (3800 m, km 25.200): SlowdownStart value1=40 value2=0 value3=0 | start of a slowdown at 40 "
      "km/h over 350 m, to its end in cell 84; d_v 0, f_tt 0",
      "  cell 84 (4150 m, km 24.850): SlowdownEnd value1=40 value2=0 value3=0 | end of a slowdown at 40 km/h; "
      "d_v 0, f_tt 0",
      // The finishing pass's control point before the signal of cell 51, within 20 cells of the warning.
      "  cell 50 (2450 m, km 26.550): ControlPoint value1=180 | control point, 180 km/h",
      // "montagna, 27150, 27400, 12": cells 543 to 547, the 4th a marker.
      "  cell 546 (27250 m, km 1.750): MountainMarker | marker of a mountain stretch of type 2",
  };
  for (const char* line : lines) EXPECT_TRUE(has_line(out, line)) << line;
  // Cell 1 carries the marker and a competition code.
  EXPECT_NE(out.find("\n  cell 1 (0 m, km 29.000): Plain value1=5121 value2="), std::string::npos);
}

TEST_F(InspectCommand, GridWithoutItsTableSaysWhy) {
  const std::string grid = read_file(at("Lesca-Varo_148.dat"));
  write("alone.dat", grid);
  write("other.dat", grid);
  write("other.sim", encode_table(ScenarioTable{}));  // a line of 0 m: cells 0 to 140
  ASSERT_EQ(mkfifo(at("piped.sim").c_str(), 0600), 0);
  write("piped.dat", grid);
  struct Case {
    const char* file;
    const char* shown;
  };
  const Case cases[] = {
      {"alone.dat",
       "Without the scenario table beside it (alone.sim: No such file or directory): no kilometres, stations or "
       "board texts"},
      {"other.dat",
       "Without the scenario table beside it (other.sim gives a line length of 0 m, which is not this grid's): no "
       "kilometres, stations or board texts"},
      // A fifo with no writer is not waited for.
      {"piped.dat",
       "Without the scenario table beside it (piped.sim: not a regular file): no kilometres, stations or board "
       "texts"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = scenario_within_limit("inspect " + std::string(c.file));
    ASSERT_EQ(outcome.status, 0) << c.file << outcome.err;
    EXPECT_TRUE(has_line(outcome.out, c.shown)) << c.file << "\n" << outcome.out.substr(0, 500);
    EXPECT_TRUE(has_line(outcome.out, "  cell 15 (700 m): StationMark value1=1 | station record 1")) << c.file;
  }
}

TEST_F(InspectCommand, TableShowsStationsWithTheirTimesAndTheLineRecords) {
  const Outcome outcome = scenario("inspect Lesca-Varo_148.sim");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  const char* const lines[] = {
      "Lesca-Varo_148.sim: 3454 bytes",
      "record 1: station \"CRISTOFORO COLOMBO\" at 650 m, km 28.350, platform 500-800 m, due 16:23:00",
      "  number1 = 500  (platform start, m)",
      "  number2 = 800  (platform end, m)",
      "  number4 = 58980  (timetable time, s from midnight)",
      "record 8: station \"CASAL BERNOCCHI\" at 14950 m, km 14.050, platform 14800-15100 m, due 16:44:10",
      "record 13: station \"ROMA PORTA S.PAOLO\" at 29000 m, km 0.000, platform 28700-29150 m, due 17:03:00",
      "  number1 = 28700  (platform start, m)",
      "  number2 = 29150  (platform end, m)",
      "record 80: information board",
      "record 81: kilometric reference from 0 m at km 29.000, counting down (29100 stored: 100 added for flag 1)",
      "  number2 = 29100  (kilometric progressive at the start, m; stored with 100 added when the flag is 1)",
      "  number3 = 1  (flag: 1 counts down)",
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
  const Result<TrackTrace> trace = decode_trace(read_file(at("Lesca-Varo_linea.dat")));
  ASSERT_TRUE(trace) << trace.status().message();
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0, length = 0;
  for (int32_t m = 1; m <= 35998; ++m) {
    const double x = trace->value(m, kAxisX);
    const double y = trace->value(m, kAxisY);
    min_x = std::min(min_x, x);
    max_x = std::max(max_x, x);
    min_y = std::min(min_y, y);
    max_y = std::max(max_y, y);
    length += std::hypot(x - trace->value(m - 1, kAxisX), y - trace->value(m - 1, kAxisY));
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
    const Result<TrackGrid> grid = grid_from_json(ScenarioJson::parse(outcome.out));
    ASSERT_TRUE(grid) << grid.status().message();
    EXPECT_EQ(encode_grid(*grid), read_file(at("Lesca-Varo_148.dat")));
    EXPECT_EQ(grid->cellCount(), 720);
  }
  {
    const Outcome outcome = scenario("inspect Lesca-Varo_148.sim --json");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const Result<ScenarioTable> table = table_from_json(ScenarioJson::parse(outcome.out));
    ASSERT_TRUE(table) << table.status().message();
    EXPECT_EQ(encode_table(*table), read_file(at("Lesca-Varo_148.sim")));
  }
  {
    const Outcome outcome = scenario("inspect --json Lesca-Varo_linea.dat");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const ScenarioJson json = ScenarioJson::parse(outcome.out);
    EXPECT_EQ(json["points"][0], ScenarioJson::parse("[0,0]"));
    EXPECT_TRUE(json["points"][36000].is_null());
    const Result<TrackTrace> trace = trace_from_json(json);
    ASSERT_TRUE(trace) << trace.status().message();
    EXPECT_EQ(encode_trace(*trace), read_file(at("Lesca-Varo_linea.dat")));
  }
}

TEST_F(InspectCommand, JsonCarriesTheKindsPositionsAndRolesBesideTheStoredFields) {
  const Outcome grid = scenario("inspect --json Lesca-Varo_148.dat");
  ASSERT_EQ(grid.status, 0) << grid.err;
  // One cell per line, as it was written: line 5 + i holds cell i.
  std::vector<std::string> lines;
  std::istringstream text(grid.out);
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 5u + 721 + 2);
  const ScenarioJson cells = ScenarioJson::parse(grid.out)["cells"];
  EXPECT_EQ(lines[2], "  \"lastCell\": 720,");  // the number of the last cell, not a count
  for (const std::size_t cell : {0u, 31u, 720u}) {
    std::string line = lines[5 + cell];
    if (line.ends_with(",")) line.pop_back();
    EXPECT_EQ(ScenarioJson::parse(line), cells[cell]) << cell;
  }
  const ScenarioJson signal = cells[31];  // "segnale, 1500, 2, 3, 0, 0, 0, 0, 0,0,0, 0"
  EXPECT_EQ(signal["kindName"], "Signal");
  EXPECT_EQ(signal["metre"], 1500);
  EXPECT_EQ(signal["firstSide"], ScenarioJson::parse("[3,0,0]"));
  EXPECT_EQ(signal["otherSide"], ScenarioJson::parse("[0,0,0]"));
  EXPECT_EQ(signal["rapp"], 0);
  EXPECT_EQ(signal["sideKinds"], 6);
  const ScenarioJson board = cells[18];  // 80 km/h on the first side
  EXPECT_EQ(board["kindName"], "SpeedBoard");
  EXPECT_EQ(board["metre"], 850);
  EXPECT_EQ(board["firstSideKmH"], ScenarioJson::parse("[80,80,80]"));
  EXPECT_EQ(board["stripes"], ScenarioJson::parse("[0,0]"));
  EXPECT_EQ(cells[97]["gradientPerMille"], -2);  // from 4850 m: round(4850 / 50)
  EXPECT_EQ(cells[97]["gradient"], 98);
  EXPECT_EQ(cells[88]["speedLimitKmH"], 90);
  EXPECT_EQ(cells[0]["metre"], -50);
  EXPECT_EQ(cells[77]["kindName"], "SlowdownStart");

  const Outcome table = scenario("inspect --json Lesca-Varo_148.sim");
  ASSERT_EQ(table.status, 0) << table.err;
  const ScenarioJson records = ScenarioJson::parse(table.out)["records"];
  EXPECT_EQ(records[1]["role"], "station");
  EXPECT_EQ(records[1]["time"], "16:23:00");
  EXPECT_EQ(records[1]["kilometricProgressive"], 28350);
  EXPECT_EQ(records[13]["kilometricProgressive"], 0);
  EXPECT_EQ(records[14]["role"], "free");
  EXPECT_EQ(records[80]["role"], "information board");
  EXPECT_EQ(records[81]["role"], "kilometric reference");
  EXPECT_EQ(records[81]["countingDown"], true);
  EXPECT_EQ(records[81]["kilometricProgressive"], 29000);
  EXPECT_EQ(records[86]["clock"], "16:22:40");
}

TEST_F(InspectCommand, AFileLargerThanItsTypeCanBeIsRefusedBeforeItIsRead) {
  // Sparse files: they take no disk, and reading one whole would take minutes and gigabytes.
  struct Case {
    const char* name;
    long long size;
    std::string error;
  };
  const Case cases[] = {
      {"huge.dat", 8LL << 30,
       "huge.dat: not a track grid: 8589934592 bytes, more than the largest track grid, cells 0 to 20140 "
       "(302115 bytes)"},
      // A grid of 1,000,000 cells, as a line of 50,000 km would need.
      {"million.dat", 15000015,
       "million.dat: not a track grid: 15000015 bytes, more than the largest track grid, cells 0 to 20140 "
       "(302115 bytes)"},
      {"huge.sim", 5704504,
       "huge.sim: not a scenario table: 5704504 bytes, more than the largest scenario table, 87 records with "
       "texts of 65535 bytes (5704503 bytes)"},
      {"huge_linea.dat", 8LL << 30,
       "huge_linea.dat: not a plan trace: 8589934592 bytes, more than the largest plan trace, metres 0 to 1007000 "
       "all doubles (20140020 bytes)"},
  };
  for (const Case& c : cases) {
    write(c.name, "");
    ASSERT_EQ(truncate(at(c.name).c_str(), c.size), 0) << c.name;
    for (const char* json : {"", " --json"}) {
      const Outcome outcome = scenario("inspect " + std::string(c.name) + json);
      EXPECT_EQ(outcome.status, 1) << c.name;
      EXPECT_EQ(outcome.err, "scenario: error: " + c.error + "\n") << c.name;
      EXPECT_EQ(outcome.out, "") << c.name;
    }
    fs::remove(at(c.name));
  }
}

TEST_F(InspectCommand, AFifoIsRefusedWithoutWaitingForAWriter) {
  for (const char* name : {"pipe.dat", "pipe.sim", "pipe_linea.dat"}) {
    ASSERT_EQ(mkfifo(at(name).c_str(), 0600), 0) << name;
    const Outcome outcome = scenario_within_limit("inspect " + std::string(name));
    EXPECT_EQ(outcome.status, 3) << name;  // not 124: it did not wait
    EXPECT_EQ(outcome.err, "scenario: error: cannot read " + std::string(name) + ": not a regular file\n");
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
  fs::create_symlink("/dev/zero", at("zero.dat"));
  fs::create_directory(at("folder.sim"));
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
      // A device or a directory under a name of the format: never read.
      {"inspect zero.dat", "cannot read zero.dat: not a regular file", 3},
      {"inspect folder.sim", "cannot read folder.sim: not a regular file", 3},
      {"inspect /dev/zero", "/dev/zero: unknown file type: the name must end in \"_linea.dat\", \".sim\" or \".dat\""},
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
