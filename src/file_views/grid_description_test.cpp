#include "file_views/grid_description.h"

#include <gtest/gtest.h>

#include <sstream>

#include "file_views/file_views_test_support.h"

namespace {

using inspect_test::small_grid;

std::string described(const TrackGrid& grid, const TableBeside* beside = nullptr) {
  std::ostringstream out;
  describe_grid(grid, beside, out);
  return out.str();
}

constexpr const char* kProfileHeading =
    "Line profile, by runs of cells (cell i holds it from i x 50 to (i + 1) x 50 m; a value given from p m starts "
    "in cell round(p / 50)):\n";
constexpr const char* kObjectsHeading =
    "Objects and marks (cell i stands for (i - 1) x 50 m, where an object given at p m lies: cell round(p / 50 + "
    "1)); the stored values, then after \"|\" what they mean:\n";

TEST(DescribeGrid, ListsTheProfileRunsAndEveryCellWithAnObjectOrAMark) {
  EXPECT_EQ(described(small_grid()),
            std::string("Track grid: cells 0 to 8\n") + kProfileHeading +
                "Gradient:\n"
                "  cells 0-2 (0-150 m): 0 per mille (stored 100)\n"
                "  cells 3-5 (150-300 m): -10 per mille (stored 90)\n"
                "  cells 6-8 (300-450 m): +16 per mille (stored 116)\n"
                "Speed limit:\n"
                "  cells 0-4 (0-250 m): 80 km/h (stored 16)\n"
                "  cells 5-7 (250-400 m): 90 km/h (stored 18)\n"
                "  cell 8 (400-450 m): 0 km/h (stored 0)\n"
                "Adhesion:\n"
                "  cells 0-8 (0-450 m): 255\n"
                "Mountain type:\n"
                "  cells 0-3 (0-200 m): none\n"
                "  cell 4 (200-250 m): type 2\n"
                "  cells 5-8 (250-450 m): none\n" +
                kObjectsHeading +
                // 64 would be the 4th mark of a signal 8 cells on, but cell 8 holds a board: no meaning.
                "  cell 0 (-50 m): Plain approachMark=64\n"
                // The pairs of the extreme values split as C++ divides: -32768 = -3276 x 10 - 8.
                "  cell 1 (0 m): Signal value1=30 value2=-32768 value3=32767 value4=6 signalTime=255 | aspects "
                "3/-3276/3276 on the first side, 0/-8/7 on the other; rapp 0, sx x 3 + dx = 6\n"
                "  cell 3 (100 m): SlowdownStart value1=40 value2=0 value3=0 value4=9 approachMark=81 | start of a "
                "slowdown at 40 km/h, no end after it; d_v 0, f_tt 0\n"
                "  cell 4 (150 m): MountainMarker | marker of a mountain stretch of type 2\n"
                "  cell 5 (200 m): StationMark value1=1 | station record 1\n"
                "  cell 6 (250 m): kind 7 (unknown) value1=0 value2=5 value3=0 value4=0 signalTime=0\n"
                "  cell 7 (300 m): ControlPointNoValue signalTime=3 | control point without a speed\n"
                "  cell 8 (350 m): InfoBoard value1=80 | text record 80\n");
}

/// Cells 0 to 20 with one object of each kind an author places, its approach marks as the recorders
/// write them, and the table that goes with it.
TrackGrid authored_grid() {
  TrackGrid grid;
  grid.create(1000);
  // "segnale, 450, 2, 2, 3, 0, 7, 1, 4, 0, 0, 0": cell 10, marks (2 x 3 + 1) x 10 + k 2k cells before.
  grid[10].set_kind(CellKind::Signal);
  grid[10].value1 = 2 * 10 + 4;
  grid[10].value2 = 3 * 10;
  grid[10].value4 = 7 * 10 + 2 * 3 + 1;
  for (int k = 1; k <= 4; ++k) grid[10 - 2 * k].approachMark = static_cast<uint8_t>(70 + k);
  grid[9].set_kind(CellKind::ControlPoint);
  grid[9].value1 = 180;
  // "indicatori_vmax, 550, 90, 90, 80, 3, 60, 0, 10, 2": 90 x 20 + 60 / 5, 90 x 20, 80 x 20 + 10 / 5.
  grid[12].set_kind(CellKind::SpeedBoard);
  grid[12].value1 = 1812;
  grid[12].value2 = 1800;
  grid[12].value3 = 1602;
  grid[12].value4 = 32;
  // The station of record 1, platform to 800 m: its mark in cell 15, marks 81 and 82 before it.
  grid[15].set_kind(CellKind::StationMark);
  grid[15].value1 = 1;
  grid[14].approachMark = 81;
  grid[13].approachMark = 82;
  // A slowdown of 30 km/h from 750 to 900 m, f_tt 1; its warning stands elsewhere in a real grid.
  grid[5].set_kind(CellKind::SlowdownWarning);
  grid[5].value1 = 30;
  grid[3].set_kind(CellKind::SlowdownApproach);
  grid[3].value1 = 2;
  grid[16].set_kind(CellKind::SlowdownStart);
  grid[16].value1 = 30;
  grid[16].value3 = 1;
  grid[19].set_kind(CellKind::SlowdownEnd);
  grid[19].value1 = 30;
  grid[19].value3 = 1;
  grid[17].set_kind(CellKind::InfoBoard);
  grid[17].value1 = 80;
  grid[18].set_kind(CellKind::StationMark);
  grid[18].value1 = 2;  // a record without a station
  grid[1].value1 = kGridMarker;
  grid[1].value2 = 2776;
  return grid;
}

TEST(DescribeGrid, WithTheTableBesideItObjectsGetTheirKilometresStationsAndTexts) {
  const ScenarioTable table = inspect_test::small_table();  // from 0 m at km 29.000, counting down
  const TableBeside beside{"d/x.sim", &table, {}};
  const std::string text = described(authored_grid(), &beside);
  const std::string head = "Track grid: cells 0 to 20\n"
                           "Kilometres, stations and board texts from the scenario table beside it, d/x.sim\n"
                           "  kilometric reference (record 81): from 0 m at km 29.000, counting down (29100 stored: "
                           "100 added for flag 1)\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
  const std::string objects = text.substr(text.find(kObjectsHeading) + std::string(kObjectsHeading).size());
  EXPECT_EQ(objects,
            "  cell 1 (0 m, km 29.000): Plain value1=5121 value2=2776 | the output's marker, and the competition "
            "code 2776\n"
            "  cell 2 (50 m, km 28.950): Plain approachMark=74 | approach mark 4 of the signal in cell 10\n"
            "  cell 3 (100 m, km 28.900): SlowdownApproach value1=2 value2=0 | approach cell 2 of a slowdown "
            "warning\n"
            "  cell 4 (150 m, km 28.850): Plain approachMark=73 | approach mark 3 of the signal in cell 10\n"
            "  cell 5 (200 m, km 28.800): SlowdownWarning value1=30 value2=0 | warning of a slowdown at 30 km/h; "
            "d_v 0\n"
            "  cell 6 (250 m, km 28.750): Plain approachMark=72 | approach mark 2 of the signal in cell 10\n"
            "  cell 8 (350 m, km 28.650): Plain approachMark=71 | approach mark 1 of the signal in cell 10\n"
            "  cell 9 (400 m, km 28.600): ControlPoint value1=180 | control point, 180 km/h\n"
            "  cell 10 (450 m, km 28.550): Signal value1=24 value2=30 value3=0 value4=77 signalTime=0 | aspects "
            "2/3/0 on the first side, 4/0/0 on the other; rapp 7, sx x 3 + dx = 7\n"
            "  cell 12 (550 m, km 28.450): SpeedBoard value1=1812 value2=1800 value3=1602 value4=32 | first side "
            "90/90/80 km/h, 3 stripes; other side 60/0/10 km/h, 2 stripes\n"
            "  cell 13 (600 m, km 28.400): Plain approachMark=82 | approach mark 2 of the station mark in cell 15\n"
            "  cell 14 (650 m, km 28.350): Plain approachMark=81 | approach mark 1 of the station mark in cell 15\n"
            "  cell 15 (700 m, km 28.300): StationMark value1=1 | station record 1: \"CITT\u00C0 \\\"NUOVA\\\"\" at "
            "650 m, km 28.350, platform 500-800 m, due 16:23:00\n"
            "  cell 16 (750 m, km 28.250): SlowdownStart value1=30 value2=0 value3=1 | start of a slowdown at 30 "
            "km/h over 150 m, to its end in cell 19; d_v 0, f_tt 1\n"
            "  cell 17 (800 m, km 28.200): InfoBoard value1=80 | text record 80: \"\\x01\\x80ab\\\\\"\n"
            "  cell 18 (850 m, km 28.150): StationMark value1=2 | station record 2, which holds no station\n"
            "  cell 19 (900 m, km 28.100): SlowdownEnd value1=30 value2=0 value3=1 | end of a slowdown at 30 km/h; "
            "d_v 0, f_tt 1\n");
}

TEST(DescribeGrid, RecordsOutsideTheTableAndATableWithoutReferences) {
  TrackGrid grid;
  grid.create(100);
  grid[1].set_kind(CellKind::InfoBoard);
  grid[1].value1 = 300;
  grid[2].set_kind(CellKind::StationMark);
  grid[2].value1 = -1;
  const ScenarioTable table;
  const TableBeside beside{"x.sim", &table, {}};
  const std::string text = described(grid, &beside);
  EXPECT_NE(text.find("  no kilometric reference: no kilometres\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  cell 1 (0 m): InfoBoard value1=300 | text record 300, outside the table\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("  cell 2 (50 m): StationMark value1=-1 | station record -1, outside the table\n"),
            std::string::npos)
      << text;
}

TEST(DescribeGrid, SaysWhyThereIsNoTableBesideIt) {
  const TableBeside missing{"x.sim", nullptr, "x.sim: No such file or directory"};
  const std::string text = described(small_grid(), &missing);
  EXPECT_EQ(text.substr(0, text.find(kProfileHeading)),
            "Track grid: cells 0 to 8\n"
            "Without the scenario table beside it (x.sim: No such file or directory): no kilometres, stations or "
            "board texts\n");
  EXPECT_NE(text.find("  cell 5 (200 m): StationMark value1=1 | station record 1\n"), std::string::npos) << text;
}

TEST(DescribeGrid, OneCellGridAndNoGrid) {
  TrackGrid one;
  one.create(0);
  EXPECT_EQ(described(one), std::string("Track grid: cells 0 to 0\n") + kProfileHeading +
                                "Gradient:\n  cell 0 (0-50 m): -100 per mille (stored 0)\n"
                                "Speed limit:\n  cell 0 (0-50 m): 0 km/h (stored 0)\n"
                                "Adhesion:\n  cell 0 (0-50 m): 0\n"
                                "Mountain type:\n  cell 0 (0-50 m): none\n" +
                                kObjectsHeading);
  EXPECT_EQ(described(TrackGrid{}), "Track grid: no cells\n");
}

}  // namespace
