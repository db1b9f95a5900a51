#include "inspect/scenario_json.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonText, OneArrayElementPerLine) {
  TrackGrid grid;
  grid.create(50);  // cells 0 and 1
  grid[1].set_kind(CellKind::Signal);
  grid[1].value1 = -2;
  grid[1].gradient = 255;
  EXPECT_EQ(json_text(grid_to_json(grid)),
            "{\n"
            "  \"format\": \"grid\",\n"
            "  \"cellCount\": 1,\n"
            "  \"cells\": [\n"
            "    {\"kind\":0,\"value1\":0,\"value2\":0,\"value3\":0,\"value4\":0,\"signalTime\":0,"
            "\"approachMark\":0,\"mountainType\":0,\"speedLimit\":0,\"gradient\":0,\"adhesion\":0},\n"
            "    {\"kind\":1,\"value1\":-2,\"value2\":0,\"value3\":0,\"value4\":0,\"signalTime\":0,"
            "\"approachMark\":0,\"mountainType\":0,\"speedLimit\":0,\"gradient\":255,\"adhesion\":0}\n"
            "  ]\n"
            "}\n");
}

TEST(JsonText, TraceCoordinatesKeepTheirStoredType) {
  TrackTrace trace;
  trace.create(2);
  trace.set_integer(0, kAxisX, -32768);
  trace.set_integer(0, kAxisY, 1);
  trace.set_double(1, kAxisX, 2.0);
  trace.set_double(1, kAxisY, -0.5);
  EXPECT_EQ(json_text(trace_to_json(trace)),
            "{\n"
            "  \"format\": \"trace\",\n"
            "  \"gridExtent\": 2,\n"
            "  \"points\": [\n"
            "    [-32768,1],\n"
            "    [2.0,-0.5],\n"
            "    null\n"
            "  ]\n"
            "}\n");
}

TEST(JsonText, RecordTextsReadAsTheirBytes) {
  ScenarioTable table;
  table[1].text = "\xE8\x80" "a";
  const ScenarioJson json = table_to_json(table);
  EXPECT_EQ(json["records"][1]["text"], "\u00E8\u0080a");
  EXPECT_EQ(json["records"][0]["text"], "");
  EXPECT_EQ(json["records"].size(), 87u);
}

}  // namespace
