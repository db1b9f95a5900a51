#include "support/scenario_json_reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string>

#include "file_views/file_views_test_support.h"

namespace {

using inspect_test::small_grid;
using inspect_test::small_table;

/// The bytes of a file through every step: decode, JSON text (with the keys added beside the stored
/// fields), parse, back, encode.
template <typename T>
std::string through_json(const std::string& bytes, Result<T> (*decode)(std::string_view),
                         void (*write_json)(const T&, std::ostream&), Result<T> (*from_json)(const ScenarioJson&),
                         std::string (*encode)(const T&)) {
  const Result<T> decoded = decode(bytes);
  EXPECT_TRUE(decoded) << decoded.status().message();
  if (!decoded) return {};
  std::ostringstream text;
  write_json(*decoded, text);
  const Result<T> back = from_json(ScenarioJson::parse(text.str()));
  EXPECT_TRUE(back) << back.status().message();
  if (!back) return {};
  return encode(*back);
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
  EXPECT_EQ(through_json(bytes, decode_grid, write_grid_json, grid_from_json, encode_grid), bytes);
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
  EXPECT_EQ(through_json(bytes, decode_table, write_table_json, table_from_json, encode_table), bytes);
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
  trace.set_integer(count + 1, kAxisX, 0);   // Y empty
  trace.set_double(count + 2, kAxisY, 3.5);  // X empty
  // Metres count + 3 and count + 4 empty.
  const std::string bytes = encode_trace(trace);
  EXPECT_EQ(through_json(bytes, decode_trace, write_trace_json, trace_from_json, encode_trace), bytes);
}

TEST(JsonFromText, RefusesWhatNoFileCanHold) {
  struct Case {
    const char* json;
    const char* error;
  };
  const char* const kCell = R"("kind":0,"value1":0,"value2":0,"value3":0,"value4":0,"signalTime":0,"approachMark":0,)"
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
    const Result<TrackGrid> decoded = grid_from_json(ScenarioJson::parse(c[0]));
    EXPECT_FALSE(decoded) << c[0];
    EXPECT_EQ(decoded.status().message(), c[1]) << c[0];
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
    const Result<ScenarioTable> decoded = table_from_json(ScenarioJson::parse(table_jsons[k]));
    EXPECT_FALSE(decoded) << k;
    EXPECT_EQ(decoded.status().message(), table_cases[k].error) << k;
  }
  // The same record with a valid text is accepted, with its limits.
  const Result<ScenarioTable> accepted =
      table_from_json(ScenarioJson::parse(table_with(head + R"("text":"\u00ff")" + tail)));
  ASSERT_TRUE(accepted) << accepted.status().message();
  EXPECT_EQ(accepted->at(1).text, "\xFF");
  EXPECT_EQ(accepted->at(1).number2, std::numeric_limits<int32_t>::min());

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
    const Result<TrackTrace> decoded = trace_from_json(ScenarioJson::parse(c.json));
    EXPECT_FALSE(decoded) << c.json;
    EXPECT_EQ(decoded.status().message(), c.error) << c.json;
  }
}

}  // namespace
