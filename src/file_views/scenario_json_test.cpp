#include "file_views/scenario_json.h"

#include <gtest/gtest.h>

#include <sstream>

#include "file_views/file_views_test_support.h"

namespace {

template <typename T>
std::string written(void (*write)(const T&, std::ostream&), const T& value) {
  std::ostringstream out;
  write(value, out);
  return out.str();
}

TEST(ScenarioJson, OneCellPerLineWithTheStoredFieldsFirst) {
  TrackGrid grid;
  grid.create(50);  // cells 0 and 1
  grid[1].set_kind(CellKind::Signal);
  grid[1].value1 = -2;
  grid[1].value4 = 6;
  grid[1].gradient = 255;
  grid[1].speedLimit = 18;
  EXPECT_EQ(written(write_grid_json, grid),
            "{\n"
            "  \"format\": \"grid\",\n"
            "  \"lastCell\": 1,\n"
            "  \"cellCount\": 1,\n"
            "  \"cells\": [\n"
            "    {\"kind\":0,\"value1\":0,\"value2\":0,\"value3\":0,\"value4\":0,\"signalTime\":0,"
            "\"approachMark\":0,\"mountainType\":0,\"speedLimit\":0,\"gradient\":0,\"adhesion\":0,"
            "\"kindName\":\"Plain\",\"metre\":-50,\"gradientPerMille\":-100,\"speedLimitKmH\":0},\n"
            "    {\"kind\":1,\"value1\":-2,\"value2\":0,\"value3\":0,\"value4\":6,\"signalTime\":0,"
            "\"approachMark\":0,\"mountainType\":0,\"speedLimit\":18,\"gradient\":255,\"adhesion\":0,"
            "\"kindName\":\"Signal\",\"metre\":0,\"gradientPerMille\":155,\"speedLimitKmH\":90,"
            "\"firstSide\":[0,0,0],\"otherSide\":[-2,0,0],\"rapp\":0,\"sideKinds\":6}\n"
            "  ]\n"
            "}\n");
}

TEST(ScenarioJson, CellsInTheAuthorsUnits) {
  TrackGrid grid;
  grid.create(500);
  // "indicatori_vmax, 850, 90, 90, 80, 3, 60, 0, 10, 2"
  grid[4].set_kind(CellKind::SpeedBoard);
  grid[4].value1 = 1812;
  grid[4].value2 = 1800;
  grid[4].value3 = 1602;
  grid[4].value4 = 32;
  grid[5].kind = 8;  // never written by the compiler
  const ScenarioJson board = cell_json(grid, 4);
  EXPECT_EQ(board["kindName"], "SpeedBoard");
  EXPECT_EQ(board["metre"], 150);
  EXPECT_EQ(board["firstSideKmH"], ScenarioJson::parse("[90,90,80]"));
  EXPECT_EQ(board["otherSideKmH"], ScenarioJson::parse("[60,0,10]"));
  EXPECT_EQ(board["stripes"], ScenarioJson::parse("[3,2]"));
  EXPECT_FALSE(board.contains("firstSide"));
  const ScenarioJson unknown = cell_json(grid, 5);
  EXPECT_TRUE(unknown["kindName"].is_null());
  EXPECT_FALSE(unknown.contains("firstSideKmH"));
  EXPECT_EQ(cell_json(grid, 10)["metre"], 450);
}

TEST(ScenarioJson, RecordsCarryTheirRoleAndMeaning) {
  const ScenarioTable table = inspect_test::small_table();
  const ScenarioJson station = record_json(table, 1);
  EXPECT_EQ(station["text"], "CITT\u00C0 \"NUOVA\"");
  EXPECT_EQ(station["role"], "station");
  EXPECT_EQ(station["time"], "16:23:00");
  EXPECT_EQ(station["kilometricProgressive"], 28350);  // 650 m from km 29.000 counting down
  const ScenarioJson reference = record_json(table, 81);
  EXPECT_EQ(reference["role"], "kilometric reference");
  EXPECT_EQ(reference["countingDown"], true);
  EXPECT_EQ(reference["kilometricProgressive"], 29000);
  EXPECT_EQ(reference["number2"], 29100);
  EXPECT_FALSE(record_json(table, 82).contains("countingDown"));  // not in use
  EXPECT_EQ(record_json(table, 86)["clock"], "16:22:40");
  EXPECT_EQ(record_json(table, 80)["role"], "information board");
  EXPECT_EQ(record_json(table, 2)["role"], "free");
  EXPECT_EQ(record_json(table, 0)["role"], "unused");
  // Without references a station has no kilometre.
  ScenarioTable bare;
  bare[3].number3 = 700;
  EXPECT_FALSE(record_json(bare, 3).contains("kilometricProgressive"));
  // The added keys come after the sixteen stored fields.
  const auto key = std::next(station.begin(), 16);
  EXPECT_EQ(key.key(), "role");
}

TEST(ScenarioJson, RecordTextsReadAsTheirBytes) {
  ScenarioTable table;
  table[1].text = "\xE8\x80"
                  "a";
  const ScenarioJson json = ScenarioJson::parse(written(write_table_json, table));
  EXPECT_EQ(json["records"][1]["text"], "\u00E8\u0080a");
  EXPECT_EQ(json["records"][0]["text"], "");
  EXPECT_EQ(json["records"].size(), 87u);
}

TEST(ScenarioJson, TraceCoordinatesKeepTheirStoredType) {
  TrackTrace trace;
  trace.create(2);
  trace.set_integer(0, kAxisX, -32768);
  trace.set_integer(0, kAxisY, 1);
  trace.set_double(1, kAxisX, 2.0);
  trace.set_double(1, kAxisY, -0.5);
  EXPECT_EQ(written(write_trace_json, trace), "{\n"
                                              "  \"format\": \"trace\",\n"
                                              "  \"gridExtent\": 2,\n"
                                              "  \"points\": [\n"
                                              "    [-32768,1],\n"
                                              "    [2.0,-0.5],\n"
                                              "    null\n"
                                              "  ]\n"
                                              "}\n");
  EXPECT_EQ(written(write_trace_json, TrackTrace{}), "{\n"
                                                     "  \"format\": \"trace\",\n"
                                                     "  \"gridExtent\": -1,\n"
                                                     "  \"points\": []\n"
                                                     "}\n");
}

}  // namespace
