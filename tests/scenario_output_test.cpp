// The scenario's own run, decoded from the three binary files it leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/binary_format.h"
#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

class ScenarioOutput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    temporary_ = std::make_unique<test_support::TemporaryDirectory>("scenario-output");
    directory_ = temporary_->path();
    fs::copy_file(SCENARIO_EXECUTABLE, path_in(directory_, "scenario"));
    const std::string command = "env -u DISPLAY '" + path_in(directory_, "scenario") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    grid_bytes_ = read_file(path_in(directory_, "Lesca-Varo_148.dat"));
    table_bytes_ = read_file(path_in(directory_, "Lesca-Varo_148.sim"));
    trace_bytes_ = read_file(path_in(directory_, "Lesca-Varo_linea.dat"));
  }
  static void TearDownTestSuite() { temporary_.reset(); }

  static TrackGrid grid() {
    auto decoded = decode_grid(grid_bytes_);
    EXPECT_TRUE(decoded) << decoded.status().message();
    return decoded ? *decoded : TrackGrid{};
  }
  static ScenarioTable table() {
    auto decoded = decode_table(table_bytes_);
    EXPECT_TRUE(decoded) << decoded.status().message();
    return decoded ? *decoded : ScenarioTable{};
  }

  static inline std::unique_ptr<test_support::TemporaryDirectory> temporary_;
  static inline std::string directory_;
  static inline std::string grid_bytes_;
  static inline std::string table_bytes_;
  static inline std::string trace_bytes_;
};

/// The competition codes from their rule: the first 25 characters of the train number, the line key in
/// lower case, and the pad.
std::pair<int32_t, int32_t> codes_of(const std::string& identity) {
  int32_t plain = 0;
  int32_t weighted = 0;
  for (int n = 1; n <= 25; ++n) {
    const auto c = static_cast<unsigned char>(identity[static_cast<std::size_t>(n - 1)]);
    plain += c;
    weighted += c * n;
  }
  return {plain, weighted};
}

TEST_F(ScenarioOutput, FilesHaveTheirSizes) {
  EXPECT_EQ(grid_bytes_.size(), 10815u);
  // Seeds: 4 elements of 4 bytes; metres 2 to 35998 computed (10 bytes each, X and Y); two empty.
  EXPECT_EQ(trace_bytes_.size(), 4u * 4u + 35997u * 2u * 10u + 2u * 2u * 2u);
  EXPECT_EQ(trace_bytes_.substr(0, 8), std::string("\x02\x00\x00\x00\x02\x00\x00\x00", 8));
  const std::size_t y = trace_bytes_.size() / 2;  // X and Y halves have the same size
  EXPECT_EQ(trace_bytes_.substr(y, 8), std::string("\x02\x00\x00\x00\x02\x00\x01\x00", 8));
}

TEST_F(ScenarioOutput, MarkersAndCompetitionCodes) {
  const auto [plain, weighted] = codes_of("148lesca-varoppqqrrssttuuvvwwzzkkjjyyxx");
  const TrackGrid g = grid();
  const ScenarioTable t = table();
  EXPECT_EQ(g[1].value1, 5121);
  EXPECT_EQ(g[1].value2, plain);
  EXPECT_EQ(t[85].short1, 610);
  EXPECT_EQ(t[85].number4, weighted);
}

TEST_F(ScenarioOutput, TableRecords) {
  const ScenarioTable t = table();
  EXPECT_EQ(t[81].number1, 0);
  EXPECT_EQ(t[81].number2, 29100);
  EXPECT_EQ(t[81].number3, 1);
  EXPECT_EQ(t[84].number1, 130);
  EXPECT_EQ(t[84].number2, 29000);
  EXPECT_EQ(t[84].number3, 3);
  EXPECT_EQ(t[85].text, "Lesca-Varo");
  EXPECT_EQ(t[85].number1, 1);
  EXPECT_EQ(t[86].text, "148");
  EXPECT_EQ(t[86].short1, 100);
  EXPECT_EQ(t[86].short3, 16);
  EXPECT_EQ(t[86].short4, 22);
  EXPECT_EQ(t[86].short5, 40);
  EXPECT_EQ(t[80].text, "(     PONTE      )(CANALE PESCATORI)(    26.174      )");
  EXPECT_EQ(t[74].text, "(  EX STAZIONE)(    TORRINO  )(     8.800   )");
  EXPECT_EQ(t[73].text, "");
  // Stations: kind, platform, position, time, name.
  EXPECT_EQ(t[1].code, 12);
  EXPECT_EQ(t[1].number1, 500);
  EXPECT_EQ(t[1].number2, 800);
  EXPECT_EQ(t[1].number3, 650);
  EXPECT_EQ(t[1].number4, 16 * 3600 + 23 * 60);
  EXPECT_EQ(t[1].text, "CRISTOFORO COLOMBO");
  EXPECT_EQ(t[1].byte3, 0);
  EXPECT_EQ(t[1].byte4, 0);
  EXPECT_EQ(t[8].text, "CASAL BERNOCCHI");
  EXPECT_EQ(t[8].number4, 16 * 3600 + 44 * 60 + 10);
  EXPECT_EQ(t[13].code, 6);
  EXPECT_EQ(t[13].number1, 28700);
  EXPECT_EQ(t[13].number2, 29150);
  EXPECT_EQ(t[13].number4, 17 * 3600 + 3 * 60);
  EXPECT_EQ(t[13].text, "ROMA PORTA S.PAOLO");
  EXPECT_EQ(t[14].text, "");
}

TEST_F(ScenarioOutput, CellsOfEveryKindTheScenarioPlaces) {
  const TrackGrid g = grid();
  const std::map<int, CellKind> expected{
      {18, CellKind::SpeedBoard},       {58, CellKind::InfoBoard},      {31, CellKind::Signal},
      {570, CellKind::Signal},          {15, CellKind::StationMark},    {582, CellKind::StationMark},
      {53, CellKind::SlowdownWarning},  {77, CellKind::SlowdownStart},  {84, CellKind::SlowdownEnd},
      {247, CellKind::SlowdownWarning}, {271, CellKind::SlowdownStart}, {303, CellKind::SlowdownEnd},
      {546, CellKind::MountainMarker},
  };
  for (const auto& [cell, kind] : expected) EXPECT_EQ(g[cell].cell_kind(), kind) << "cell " << cell;
  EXPECT_EQ(g[31].value1, 30);
  EXPECT_EQ(g[31].value4, 6);
  EXPECT_EQ(g[570].signalTime, 255);
  EXPECT_EQ(g[29].approachMark, 61);
  EXPECT_EQ(g[14].approachMark, 81);
  EXPECT_EQ(g[15].value1, 1);
  EXPECT_EQ(g[77].value1, 40);
  EXPECT_EQ(g[303].value1, 30);
  EXPECT_EQ(g[519].mountainType, 2);
  EXPECT_EQ(g[0].speedLimit, 16);
  EXPECT_EQ(g[88].speedLimit, 18);
  EXPECT_EQ(g[717].adhesion, 100);
  EXPECT_EQ(g[718].adhesion, 0);
  EXPECT_EQ(g[97].gradient, 98);
}

TEST_F(ScenarioOutput, ControlPointsAroundTheTwoSlowdowns) {
  // Derived by hand from the finishing rules:
  //  warning 53: the signal in cell 51 gets one in cell 50;
  //  start 77: cells 72, 66 and 59 (71 and 58 hold boards, but the first candidates are free); the walk
  //    reaches the end in 84 after 7 cells, and no signal stands in cells 84 to 96;
  //  warning 247: the signal in cell 227 (20 cells back) gets one in 226;
  //  start 271: cells 266, 260, 253; the walk finds the signal in 279 and takes 278, then 286, 294, 302,
  //    and ends in 303; no signal in cells 303 to 315.
  const std::set<int> expected{50, 59, 66, 72, 226, 253, 260, 266, 278, 286, 294, 302};
  const TrackGrid g = grid();
  std::set<int> found;
  for (int cell = 0; cell <= g.cellCount(); ++cell) {
    if (g[cell].is(CellKind::ControlPoint)) {
      found.insert(cell);
      EXPECT_EQ(g[cell].value1, 180) << "cell " << cell;
    }
  }
  EXPECT_EQ(found, expected);
}

}  // namespace
