#include "app/file_dump.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "scenario/binary_format.h"

namespace {

// ---------------------------------------------------------------------------------------------------
// Small hand-built structures

/// Cells 0 to 8, with every profile run shape and one cell of each way of listing an object.
TrackGrid small_grid() {
  TrackGrid grid;
  grid.create(400);  // cellCount 8
  for (int32_t n = 0; n <= 8; ++n) {
    TrackCell& cell = grid[n];
    cell.gradient = n <= 2 ? 100 : n <= 5 ? 90 : 116;
    cell.speedLimit = n <= 4 ? 16 : n <= 7 ? 18 : 0;
    cell.adhesion = 255;
    cell.mountainType = n == 4 ? 2 : 0;
  }
  grid[0].approachMark = 64;
  grid[1].set_kind(CellKind::Signal);
  grid[1].value1 = 30;
  grid[1].value2 = -32768;
  grid[1].value3 = 32767;
  grid[1].value4 = 6;
  grid[1].signalTime = 255;
  grid[3].set_kind(CellKind::SlowdownStart);
  grid[3].value1 = 40;
  grid[3].value4 = 9;  // not a value of the kind, but set: shown
  grid[3].approachMark = 81;
  grid[4].set_kind(CellKind::MountainMarker);
  grid[5].set_kind(CellKind::StationMark);
  grid[5].value1 = 1;
  grid[6].kind = 7;  // never written by the compiler
  grid[6].value2 = 5;
  grid[7].set_kind(CellKind::ControlPointNoValue);
  grid[7].signalTime = 3;
  grid[8].set_kind(CellKind::InfoBoard);
  grid[8].value1 = 80;
  return grid;
}

TEST(DescribeGrid, ListsTheProfileRunsAndEveryCellWithAnObjectOrAMark) {
  EXPECT_EQ(describe_grid(small_grid()),
            "Track grid: cells 0 to 8\n"
            "Gradient:\n"
            "  cells 0-2 (0-150 m): 0 per mille\n"
            "  cells 3-5 (150-300 m): -10 per mille\n"
            "  cells 6-8 (300-450 m): +16 per mille\n"
            "Speed limit:\n"
            "  cells 0-4 (0-250 m): 80 km/h\n"
            "  cells 5-7 (250-400 m): 90 km/h\n"
            "  cell 8 (400-450 m): 0 km/h\n"
            "Adhesion:\n"
            "  cells 0-8 (0-450 m): 255\n"
            "Mountain type:\n"
            "  cells 0-3 (0-200 m): none\n"
            "  cell 4 (200-250 m): type 2\n"
            "  cells 5-8 (250-450 m): none\n"
            "Objects and marks (an object at p m lies in cell round(p / 50 + 1)):\n"
            "  cell 0 (-50 m): Plain approachMark=64\n"
            "  cell 1 (0 m): Signal value1=30 value2=-32768 value3=32767 value4=6 signalTime=255\n"
            "  cell 3 (100 m): SlowdownStart value1=40 km/h value2=0 value3=0 value4=9 approachMark=81\n"
            "  cell 4 (150 m): MountainMarker\n"
            "  cell 5 (200 m): StationMark value1=1 (station record)\n"
            "  cell 6 (250 m): kind 7 (unknown) value1=0 value2=5 value3=0 value4=0 signalTime=0\n"
            "  cell 7 (300 m): ControlPointNoValue signalTime=3\n"
            "  cell 8 (350 m): InfoBoard value1=80 (text record)\n");
}

TEST(DescribeGrid, OneCellGridAndNoGrid) {
  TrackGrid one;
  one.create(0);
  EXPECT_EQ(describe_grid(one),
            "Track grid: cells 0 to 0\n"
            "Gradient:\n  cell 0 (0-50 m): -100 per mille\n"
            "Speed limit:\n  cell 0 (0-50 m): 0 km/h\n"
            "Adhesion:\n  cell 0 (0-50 m): 0\n"
            "Mountain type:\n  cell 0 (0-50 m): none\n"
            "Objects and marks (an object at p m lies in cell round(p / 50 + 1)):\n");
  EXPECT_EQ(describe_grid(TrackGrid{}), "Track grid: no cells\n");
}

ScenarioTable small_table() {
  ScenarioTable table;
  table[0].number4 = -1;
  ScenarioRecord& station = table[1];
  station.code = 12;
  station.number1 = 500;
  station.number2 = 800;
  station.number3 = 650;
  station.mark = 1;
  station.text = "CITT\xC0 \"NUOVA\"";
  station.short1 = -32768;
  station.byte1 = 255;
  station.number4 = 16 * 3600 + 23 * 60;
  table[80].text = "\x01\x80" "ab\\";
  table[81].number2 = 29100;
  table[81].number3 = 1;
  table[85].number1 = 1;
  table[85].text = "Lesca-Varo";
  table[85].short1 = 610;
  table[85].byte2 = 7;  // not a field of the record's role, but set: shown
  table[85].number4 = 35743;
  table[86].text = "148";
  table[86].short3 = 16;
  table[86].short4 = 22;
  table[86].short5 = 40;
  return table;
}

TEST(DescribeTable, ListsTheRecordsInUseWithTheirFields) {
  EXPECT_EQ(describe_table(small_table()),
            "Scenario table: 87 records, 6 in use\n"
            "record 0: not a record the compiler fills\n"
            "  number4 = -1\n"
            "record 1: station \"CITT\u00C0 \\\"NUOVA\\\"\" at 650 m, due 16:23:00\n"
            "  code = 12  (station kind)\n"
            "  number1 = 500  (platform start, m)\n"
            "  number2 = 800  (platform end, m)\n"
            "  number3 = 650  (position, m)\n"
            "  mark = 1  (station flag)\n"
            "  text = \"CITT\u00C0 \\\"NUOVA\\\"\"  (name)\n"
            "  short1 = -32768  (station value)\n"
            "  short2 = 0  (station value)\n"
            "  short3 = 0  (station value)\n"
            "  short4 = 0  (station value)\n"
            "  short5 = 0  (station value)\n"
            "  byte1 = 255  (station value)\n"
            "  byte2 = 0  (station value)\n"
            "  byte3 = 0  (platform extension flag)\n"
            "  byte4 = 0  (station flag)\n"
            "  number4 = 58980  (timetable time, s from midnight)\n"
            "record 80: information board\n"
            "  text = \"\\x01\\x80ab\\\\\"  (board text)\n"
            "record 81: kilometric reference\n"
            "  number1 = 0  (start, m)\n"
            "  number2 = 29100  (kilometric progressive, m)\n"
            "  number3 = 1  (flag)\n"
            "record 85: line\n"
            "  number1 = 1  (background uno)\n"
            "  number2 = 0  (background tre)\n"
            "  number3 = 0  (background due)\n"
            "  text = \"Lesca-Varo\"  (line key)\n"
            "  short1 = 610  (marker)\n"
            "  byte2 = 7\n"
            "  number4 = 35743  (competition code)\n"
            "record 86: service, clock 16:22:40\n"
            "  number1 = 0  (signal repetition, first position, m)\n"
            "  number2 = 0  (signal repetition, second position, m)\n"
            "  number3 = 0  (signal repetition codes: 4, 9 or 0)\n"
            "  text = \"148\"  (train number)\n"
            "  short1 = 0  (sand supply)\n"
            "  short3 = 16  (clock, hours)\n"
            "  short4 = 22  (clock, minutes)\n"
            "  short5 = 40  (clock, seconds)\n");
}

TEST(DescribeTable, StationTimesAsHoursMinutesSeconds) {
  struct Case {
    int32_t seconds;
    const char* shown;
  };
  const Case cases[] = {
      {0, "00:00:00"},        {59, "00:00:59"},       {3600 + 60 + 1, "01:01:01"},
      {86399, "23:59:59"},    {90061, "25:01:01"},    {-61, "-00:01:01"},
      {std::numeric_limits<int32_t>::min(), "-596523:14:08"},
  };
  for (const Case& c : cases) {
    ScenarioTable table;
    table[3].number3 = 1900;
    table[3].number4 = c.seconds;
    const std::string heading = "record 3: station \"\" at 1900 m, due " + std::string(c.shown) + "\n";
    EXPECT_NE(describe_table(table).find(heading), std::string::npos) << c.seconds;
  }
}

TEST(DescribeTable, EmptyTableHasNoRecordInUse) {
  EXPECT_EQ(describe_table(ScenarioTable{}), "Scenario table: 87 records, 0 in use\n");
}

TEST(DescribeTrace, CountsPointsAndMeasuresTheLineThroughTheFullOnes) {
  TrackTrace trace;
  trace.create(5);  // metres 0 to 5
  trace.set_integer(0, kAxisX, 0);
  trace.set_integer(0, kAxisY, 0);
  trace.set_integer(1, kAxisX, 0);
  trace.set_integer(1, kAxisY, 1);
  trace.set_double(2, kAxisX, -3.0);  // 5 m from point 1
  trace.set_double(2, kAxisY, 5.0);
  trace.set_double(3, kAxisX, 100.0);  // X only: not a point of the line
  // Metre 4 empty; metre 5 joins metre 2 across the gap: 13 m further.
  trace.set_double(5, kAxisX, 9.0);
  trace.set_double(5, kAxisY, 0.0);
  EXPECT_EQ(describe_trace(trace),
            "Plan trace: metres 0 to 5, 6 points\n"
            "  points with both coordinates: 4\n"
            "  points with one coordinate only: 1\n"
            "  empty points: 1\n"
            "  bounding box: X -3.000 to 9.000, Y 0.000 to 5.000\n"
            "  length: 19.000 m\n");
}

TEST(DescribeTrace, HugeCoordinatesAreShownWhole) {
  TrackTrace trace;
  trace.create(1);
  trace.set_double(0, kAxisX, std::numeric_limits<double>::lowest());
  trace.set_double(0, kAxisY, 0.0);
  trace.set_double(1, kAxisX, std::numeric_limits<double>::max());
  trace.set_double(1, kAxisY, 0.0);
  const std::string text = describe_trace(trace);
  // The largest double has 309 digits before the point.
  const std::string digits(309, '#');
  std::string shape;
  for (const char c : text) shape += (c >= '0' && c <= '9') ? '#' : c;
  EXPECT_NE(shape.find("  bounding box: X -" + digits + ".### to " + digits + ".###, Y #.### to #.###\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("  length: inf m\n"), std::string::npos) << text;
}

TEST(DescribeTrace, WithoutAFullPointThereIsNoBox) {
  TrackTrace trace;
  trace.create(1);
  trace.set_integer(1, kAxisY, 1);
  EXPECT_EQ(describe_trace(trace),
            "Plan trace: metres 0 to 1, 2 points\n"
            "  points with both coordinates: 0\n"
            "  points with one coordinate only: 1\n"
            "  empty points: 1\n"
            "  bounding box: none\n"
            "  length: 0.000 m\n");
  EXPECT_EQ(describe_trace(TrackTrace{}), "Plan trace: no points\n");
}

// ---------------------------------------------------------------------------------------------------
// JSON

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

/// The bytes of a file through every step: decode, JSON, JSON text, parse, back, encode.
template <typename T>
std::string through_json(const std::string& bytes, Decoded<T> (*decode)(std::string_view),
                         ScenarioJson (*to_json)(const T&), Decoded<T> (*from_json)(const ScenarioJson&),
                         std::string (*encode)(const T&)) {
  const Decoded<T> decoded = decode(bytes);
  EXPECT_TRUE(decoded) << decoded.error;
  if (!decoded) return {};
  const Decoded<T> back = from_json(ScenarioJson::parse(json_text(to_json(*decoded.value))));
  EXPECT_TRUE(back) << back.error;
  if (!back) return {};
  return encode(*back.value);
}

TEST(JsonRoundTrip, GridWithValuesAtTheLimits) {
  TrackGrid grid = small_grid();
  TrackCell& cell = grid[2];
  cell.kind = 255;
  cell.value1 = -32768;
  cell.value2 = 32767;
  cell.value3 = -1;
  cell.value4 = 1;
  cell.signalTime = 255;
  cell.approachMark = 255;
  cell.mountainType = 255;
  cell.speedLimit = 255;
  cell.gradient = 0;
  cell.adhesion = 1;
  const std::string bytes = encode_grid(grid);
  EXPECT_EQ(through_json(bytes, decode_grid, grid_to_json, grid_from_json, encode_grid), bytes);
}

TEST(JsonRoundTrip, TableWithValuesAtTheLimitsAndEveryByteInAText) {
  ScenarioTable table = small_table();
  ScenarioRecord& record = table[40];
  record.code = 255;
  record.number1 = std::numeric_limits<int32_t>::min();
  record.number2 = std::numeric_limits<int32_t>::max();
  record.number3 = -1;
  record.mark = 255;
  for (int byte = 0; byte < 256; ++byte) record.text.push_back(static_cast<char>(byte));
  record.short1 = -32768;
  record.short2 = 32767;
  record.short3 = -1;
  record.short4 = 1;
  record.short5 = 0;
  record.byte1 = 255;
  record.byte2 = 128;
  record.byte3 = 127;
  record.byte4 = 1;
  record.number4 = std::numeric_limits<int32_t>::min();
  table[41].text.assign(kMaxRecordText, '\xFF');
  const std::string bytes = encode_table(table);
  EXPECT_EQ(through_json(bytes, decode_table, table_to_json, table_from_json, encode_table), bytes);
}

TEST(JsonRoundTrip, TraceWithEmptyAndHalfPointsAndEveryKindOfDouble) {
  const double doubles[] = {
      0.0,
      -0.0,
      0.1,
      -2.0,
      1e300,
      std::numeric_limits<double>::max(),
      std::numeric_limits<double>::lowest(),
      std::numeric_limits<double>::denorm_min(),
      std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::quiet_NaN(),
      std::bit_cast<double>(uint64_t{0xFFF0000000000123}),  // a NaN with a sign and a payload
  };
  const int32_t count = static_cast<int32_t>(std::size(doubles));
  TrackTrace trace;
  trace.create(count + 4);
  trace.set_integer(0, kAxisX, -32768);
  trace.set_integer(0, kAxisY, 32767);
  for (int32_t k = 0; k < count; ++k) {
    trace.set_double(k + 1, kAxisX, doubles[k]);
    trace.set_double(k + 1, kAxisY, doubles[count - 1 - k]);
  }
  trace.set_integer(count + 1, kAxisX, 0);                  // Y empty
  trace.set_double(count + 2, kAxisY, 3.5);                  // X empty
  // Metres count + 3 and count + 4 empty.
  const std::string bytes = encode_trace(trace);
  EXPECT_EQ(through_json(bytes, decode_trace, trace_to_json, trace_from_json, encode_trace), bytes);
}

TEST(JsonFromText, RefusesWhatNoFileCanHold) {
  struct Case {
    const char* json;
    const char* error;
  };
  const char* const kCell =
      R"("kind":0,"value1":0,"value2":0,"value3":0,"value4":0,"signalTime":0,"approachMark":0,)"
      R"("mountainType":0,"speedLimit":0,"gradient":0)";
  const std::string cell = kCell;
  const std::string grid_cases[][2] = {
      {R"({"format":"table","cellCount":0,"cells":[]})", R"(format: expected "grid", found "table")"},
      {R"({"cellCount":0})", R"("format" missing)"},
      {R"([1])", "expected an object, found [1]"},
      {R"({"format":"grid","cellCount":-1,"cells":[]})", "cellCount: -1 is outside 0 to 42949672"},
      {R"({"format":"grid","cellCount":1,"cells":[{)" + cell + R"(,"adhesion":0}]})",
       "cells: 1 elements where 2 are expected"},
      {R"({"format":"grid","cellCount":0,"cells":{}})", "cells: expected an array, found {}"},
      {R"({"format":"grid","cellCount":0,"cells":[{)" + cell + "}]}", R"(cell 0: "adhesion" missing)"},
      {R"({"format":"grid","cellCount":0,"cells":[{)" + cell + R"(,"adhesion":256}]})",
       "cell 0: adhesion: 256 is outside 0 to 255"},
      {R"({"format":"grid","cellCount":0,"cells":[{)" + cell + R"(,"adhesion":-1}]})",
       "cell 0: adhesion: -1 is outside 0 to 255"},
      {R"({"format":"grid","cellCount":0,"cells":[{)" + cell + R"(,"adhesion":1.0}]})",
       "cell 0: adhesion: expected a whole number, found 1.0"},
      {R"({"format":"grid","cellCount":0,"cells":[{)" + cell + R"(,"adhesion":18446744073709551615}]})",
       "cell 0: adhesion: 18446744073709551615 is outside 0 to 255"},
      {R"({"format":"grid","cellCount":0,"cells":[{"kind":0,"value1":-32769}]})",
       "cell 0: value1: -32769 is outside -32768 to 32767"},
  };
  for (const auto& c : grid_cases) {
    const Decoded<TrackGrid> decoded = grid_from_json(ScenarioJson::parse(c[0]));
    EXPECT_FALSE(decoded) << c[0];
    EXPECT_EQ(decoded.error, c[1]) << c[0];
  }

  // A table of 87 empty records, with one change.
  const auto table_with = [](const std::string& record1) {
    std::string json = R"({"format":"table","records":[)";
    for (int k = 0; k < kScenarioRecordCount; ++k) {
      if (k > 0) json += ",";
      json += k == 1 ? record1
                     : R"({"code":0,"number1":0,"number2":0,"number3":0,"mark":0,"text":"","short1":0,)"
                       R"("short2":0,"short3":0,"short4":0,"short5":0,"byte1":0,"byte2":0,"byte3":0,"byte4":0,)"
                       R"("number4":0})";
    }
    return json + "]}";
  };
  const std::string head = R"({"code":0,"number1":2147483647,"number2":-2147483648,"number3":0,"mark":0,)";
  const std::string tail = R"(,"short1":0,"short2":0,"short3":0,"short4":0,"short5":0,"byte1":0,"byte2":0,)"
                           R"("byte3":0,"byte4":0,"number4":0})";
  const Case table_cases[] = {
      {R"({"format":"table","records":[]})", "records: 0 elements where 87 are expected"},
      {nullptr, "record 1: text: a character beyond U+00FF at byte 1"},
      {nullptr, "record 1: text: expected a string, found 7"},
      {nullptr, "record 1: number4: 2147483648 is outside -2147483648 to 2147483647"},
  };
  const std::string table_jsons[] = {
      table_cases[0].json,
      table_with(head + R"("text":"a\u0100")" + tail),
      table_with(head + R"("text":7)" + tail),
      table_with(head + R"("text":"")" + tail.substr(0, tail.size() - 2) + "2147483648}"),
  };
  for (std::size_t k = 0; k < std::size(table_cases); ++k) {
    const Decoded<ScenarioTable> decoded = table_from_json(ScenarioJson::parse(table_jsons[k]));
    EXPECT_FALSE(decoded) << k;
    EXPECT_EQ(decoded.error, table_cases[k].error) << k;
  }
  // The same record with a valid text is accepted, with its limits.
  const Decoded<ScenarioTable> accepted =
      table_from_json(ScenarioJson::parse(table_with(head + R"("text":"\u00ff")" + tail)));
  ASSERT_TRUE(accepted) << accepted.error;
  EXPECT_EQ(accepted.value->at(1).text, "\xFF");
  EXPECT_EQ(accepted.value->at(1).number2, std::numeric_limits<int32_t>::min());

  const Case trace_cases[] = {
      {R"({"format":"trace","gridExtent":1,"points":[null]})", "points: 1 elements where 2 are expected"},
      {R"({"format":"trace","gridExtent":-1,"points":[]})", "gridExtent: -1 is outside 0 to 2147483646"},
      {R"({"format":"trace","gridExtent":0,"points":[[1]]})", "point 0: expected null or [x, y], found [1]"},
      {R"({"format":"trace","gridExtent":0,"points":[[1,40000]]})", "point 0: y: 40000 is outside -32768 to 32767"},
      {R"({"format":"trace","gridExtent":0,"points":[["0x12",1]]})",
       R"(point 0: x: expected "0x" and 16 hex digits, found "0x12")"},
      {R"({"format":"trace","gridExtent":0,"points":[[true,1]]})",
       R"(point 0: x: expected null, a number or "0x" and 16 hex digits, found true)"},
  };
  for (const Case& c : trace_cases) {
    const Decoded<TrackTrace> decoded = trace_from_json(ScenarioJson::parse(c.json));
    EXPECT_FALSE(decoded) << c.json;
    EXPECT_EQ(decoded.error, c.error) << c.json;
  }
}

// ---------------------------------------------------------------------------------------------------
// Files

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
