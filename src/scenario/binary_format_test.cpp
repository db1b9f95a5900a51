#include "scenario/binary_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_error.h"
#include "platform/files.h"
#include "scenario/run_state.h"

namespace {

std::vector<int> bytes_of(std::string_view s) {
  std::vector<int> out;
  for (char c : s) out.push_back(static_cast<uint8_t>(c));
  return out;
}

/// The bytes in a buffer of exactly their size, so that a read past the end is a read outside it.
class ExactBuffer {
 public:
  explicit ExactBuffer(std::string_view bytes) : size_(bytes.size()), data_(new char[bytes.size() ? bytes.size() : 1]) {
    std::copy(bytes.begin(), bytes.end(), data_.get());
  }
  std::string_view view() const { return {data_.get(), size_}; }

 private:
  std::size_t size_;
  std::unique_ptr<char[]> data_;
};

ScenarioRecord full_record() {
  ScenarioRecord r;
  r.code = 0xA1;
  r.number1 = 0x04030201;
  r.number2 = -2;
  r.number3 = 29100;
  r.mark = 7;
  r.text = "148";
  r.short1 = 610;
  r.short2 = -1;
  r.short3 = 3;
  r.short4 = 4;
  r.short5 = 0x7F00;
  r.byte1 = 1;
  r.byte2 = 2;
  r.byte3 = 0xFE;
  r.byte4 = 0xFF;
  r.number4 = 82875;
  return r;
}

bool same_record(const ScenarioRecord& a, const ScenarioRecord& b) {
  return a.code == b.code && a.number1 == b.number1 && a.number2 == b.number2 && a.number3 == b.number3 &&
         a.mark == b.mark && a.text == b.text && a.short1 == b.short1 && a.short2 == b.short2 && a.short3 == b.short3 &&
         a.short4 == b.short4 && a.short5 == b.short5 && a.byte1 == b.byte1 && a.byte2 == b.byte2 &&
         a.byte3 == b.byte3 && a.byte4 == b.byte4 && a.number4 == b.number4;
}

bool same_cell(const TrackCell& a, const TrackCell& b) {
  return a.kind == b.kind && a.value1 == b.value1 && a.value2 == b.value2 && a.value3 == b.value3 &&
         a.value4 == b.value4 && a.signalTime == b.signalTime && a.approachMark == b.approachMark &&
         a.mountainType == b.mountainType && a.speedLimit == b.speedLimit && a.gradient == b.gradient &&
         a.adhesion == b.adhesion;
}

// The scenario table.

TEST(TableEncoding, EmptyRecordsTake34BytesEach) {
  const ScenarioTable table{};
  const std::string bytes = encode_table(table);
  EXPECT_EQ(bytes.size(), 87u * 34u);
  EXPECT_EQ(bytes, std::string(87 * 34, '\0'));
}

TEST(TableEncoding, TextIsItsLengthThenItsCharacters) {
  ScenarioTable table{};
  table[86].text = "148";
  const std::string bytes = encode_table(table);
  ASSERT_EQ(bytes.size(), 87u * 34u + 3u);
  // Record 86 starts after 86 empty records; its text length follows code, three numbers and mark.
  const std::size_t text_at = 86 * 34 + 14;
  EXPECT_EQ(bytes_of(bytes.substr(text_at, 5)), (std::vector<int>{3, 0, '1', '4', '8'}));
  EXPECT_EQ(bytes.substr(text_at + 5), std::string(18, '\0'));  // shorts, bytes, number4
}

TEST(TableEncoding, FieldsInOrderLittleEndianPacked) {
  ScenarioTable table{};
  table[0] = full_record();
  const std::string bytes = encode_table(table);
  EXPECT_EQ(bytes_of(std::string_view(bytes).substr(0, 37)),
            (std::vector<int>{0xA1,                            // code
                              0x01, 0x02, 0x03, 0x04,          // number1
                              0xFE, 0xFF, 0xFF, 0xFF,          // number2
                              0xAC, 0x71, 0x00, 0x00,          // number3 = 29100
                              7,                               // mark
                              3,    0,    '1',  '4',  '8',     // text
                              0x62, 0x02, 0xFF, 0xFF, 3,   0,  // short1 = 610, short2 = -1, short3
                              4,    0,    0x00, 0x7F,          // short4, short5
                              1,    2,    0xFE, 0xFF,          // byte1 to byte4
                              0xBB, 0x43, 0x01, 0x00}));       // number4 = 82875
}

TEST(TableEncoding, EightBitTextIsWrittenAsItIs) {
  ScenarioTable table{};
  table[80].text = "Citt\xE0";
  const std::string bytes = encode_table(table);
  EXPECT_EQ(bytes_of(std::string_view(bytes).substr(80 * 34 + 14, 7)),
            (std::vector<int>{5, 0, 'C', 'i', 't', 't', 0xE0}));
}

TEST(TableEncoding, TextUpToTheLengthFieldFitsAndLongerIsRefused) {
  ScenarioTable table{};
  table[0].text = std::string(65535, 'a');
  const std::string bytes = encode_table(table);
  EXPECT_EQ(bytes.size(), 87u * 34u + 65535u);
  EXPECT_EQ(bytes_of(bytes.substr(14, 2)), (std::vector<int>{0xFF, 0xFF}));
  table[0].text.push_back('a');
  EXPECT_THROW(encode_table(table), std::length_error);
}

TEST(TableEncoding, RoundTrip) {
  ScenarioTable table{};
  table[0] = full_record();
  table[1].text = "Lesca";
  table[1].number1 = 950;
  table[80].text = "Citt\xE0 \"alta\", km 3";
  table[85].text = "Lesca-Varo";
  table[85].number4 = -123456;
  table[86].text = "148";
  table[86].byte4 = 200;
  const std::string bytes = encode_table(table);
  const ExactBuffer buffer(bytes);
  const auto decoded = decode_table(buffer.view());
  ASSERT_TRUE(decoded) << decoded.status().message();
  EXPECT_TRUE(decoded.status().message().empty());
  for (int n = 0; n < kScenarioRecordCount; ++n) EXPECT_TRUE(same_record((*decoded)[n], table[n])) << n;
  EXPECT_EQ(encode_table(*decoded), bytes);
}

TEST(TableDecoding, EveryShorterFileIsRefusedWithoutReadingPastItsEnd) {
  ScenarioTable table{};
  table[0] = full_record();
  table[86].text = "148";
  const std::string bytes = encode_table(table);
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    const ExactBuffer buffer(std::string_view(bytes).substr(0, size));
    const auto decoded = decode_table(buffer.view());
    EXPECT_FALSE(decoded) << size;
    EXPECT_FALSE(decoded.status().message().empty()) << size;
  }
}

TEST(TableDecoding, ErrorsNameTheRecord) {
  ScenarioTable table{};
  table[86].text = "148";
  const std::string bytes = encode_table(table);
  // Cut inside record 86's text.
  auto decoded = decode_table(std::string_view(bytes).substr(0, 86 * 34 + 17));
  EXPECT_EQ(decoded.status().message(),
            "record 86 at byte 2924: a text of 3 characters and the fields after it run past the end of the file");
  decoded = decode_table(std::string_view(bytes).substr(0, 40));
  EXPECT_EQ(decoded.status().message(),
            "record 1 at byte 34: cut off by the end of the file before its text (6 of 16 bytes)");
  decoded = decode_table(bytes + "x");
  EXPECT_EQ(decoded.status().message(), "1 bytes left after record 86 at byte 2961");
}

// The track grid.

TEST(GridEncoding, ScenarioGridIs10815Bytes) {
  TrackGrid grid;
  grid.create(36000);
  ASSERT_EQ(grid.cellCount(), 720);
  EXPECT_EQ(encode_grid(grid).size(), 10815u);
}

TEST(GridEncoding, CellIsFifteenPackedBytesAtFifteenTimesItsIndex) {
  TrackGrid grid;
  grid.create(500);  // cells 0 to 10
  TrackCell& cell = grid[2];
  cell.kind = 12;
  cell.value1 = 5121;
  cell.value2 = -2;
  cell.value3 = 0x0102;
  cell.value4 = 32767;
  cell.signalTime = 9;
  cell.approachMark = 8;
  cell.mountainType = 3;
  cell.speedLimit = 24;
  cell.gradient = 90;
  cell.adhesion = 255;
  const std::string bytes = encode_grid(grid);
  ASSERT_EQ(bytes.size(), 11u * 15u);
  EXPECT_EQ(bytes_of(std::string_view(bytes).substr(30, 15)),
            (std::vector<int>{12, 0x01, 0x14, 0xFE, 0xFF, 0x02, 0x01, 0xFF, 0x7F, 9, 8, 3, 24, 90, 255}));
  EXPECT_EQ(bytes.substr(0, 30), std::string(30, '\0'));
  EXPECT_EQ(bytes.substr(45), std::string(bytes.size() - 45, '\0'));
}

TEST(GridEncoding, RoundTrip) {
  TrackGrid grid;
  grid.create(36000);
  for (int32_t n = 0; n <= grid.cellCount(); ++n) {
    TrackCell& cell = grid[n];
    cell.kind = static_cast<uint8_t>(n % 15);
    cell.value1 = static_cast<int16_t>(n * 45 - 16000);
    cell.value2 = static_cast<int16_t>(-n);
    cell.value3 = static_cast<int16_t>(n * 3);
    cell.value4 = static_cast<int16_t>(n % 7 - 3);
    cell.signalTime = static_cast<uint8_t>(n);
    cell.approachMark = static_cast<uint8_t>(n % 3);
    cell.mountainType = static_cast<uint8_t>(n % 5);
    cell.speedLimit = static_cast<uint8_t>(n % 40);
    cell.gradient = static_cast<uint8_t>(90 + n % 27);
    cell.adhesion = static_cast<uint8_t>(255 - n % 256);
  }
  const ExactBuffer buffer(encode_grid(grid));
  const auto decoded = decode_grid(buffer.view());
  ASSERT_TRUE(decoded) << decoded.status().message();
  ASSERT_EQ(decoded->cellCount(), 720);
  for (int32_t n = 0; n <= 720; ++n) EXPECT_TRUE(same_cell((*decoded)[n], grid[n])) << n;
}

TEST(GridDecoding, RefusesSizesThatAreNotWholeCells) {
  EXPECT_EQ(decode_grid("").status().message(), "no cell: a grid has at least one cell");
  const std::string fourteen(14, '\0');
  EXPECT_EQ(decode_grid(fourteen).status().message(), "size 14 is not a whole number of 15-byte cells");
  EXPECT_FALSE(decode_grid(std::string(10816, '\0')));
  const auto one = decode_grid(std::string(15, '\0'));
  ASSERT_TRUE(one);
  EXPECT_EQ(one->cellCount(), 0);
}

// The plan trace.

TrackTrace small_trace() {
  TrackTrace trace;
  trace.create(3);  // metres 0 to 3
  trace.set_integer(0, kAxisX, 0);
  trace.set_integer(0, kAxisY, 0);
  trace.set_integer(1, kAxisX, 0);
  trace.set_integer(1, kAxisY, 1);
  trace.set_double(2, kAxisX, 1.0);
  trace.set_double(2, kAxisY, -2.5);
  return trace;
}

TEST(TraceEncoding, TaggedElementsAllXThenAllY) {
  const std::string bytes = encode_trace(small_trace());
  EXPECT_EQ(bytes_of(bytes), (std::vector<int>{2, 0, 0, 0,                          // X of metre 0
                                               2, 0, 0, 0,                          // X of metre 1
                                               5, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F,  // X of metre 2
                                               0, 0,                                // X of metre 3
                                               2, 0, 0, 0,                          // Y of metre 0
                                               2, 0, 1, 0,                          // Y of metre 1
                                               5, 0, 0, 0, 0, 0, 0, 0, 0x04, 0xC0,  // Y of metre 2
                                               0, 0}));                             // Y of metre 3
}

TEST(TraceEncoding, EmptyTraceIsTwoBytesPerElement) {
  TrackTrace trace;
  trace.create(7000);
  EXPECT_EQ(encode_trace(trace), std::string(2 * 7001 * 2, '\0'));
}

TEST(TraceEncoding, RoundTrip) {
  TrackTrace trace;
  trace.create(100);
  trace.set_integer(0, kAxisX, 0);
  trace.set_integer(0, kAxisY, 0);
  trace.set_integer(1, kAxisX, 0);
  trace.set_integer(1, kAxisY, 1);
  for (int32_t m = 2; m <= 98; ++m) {
    trace.set_double(m, kAxisX, std::sin(m * 0.1) * 1000.0 - 0.0);
    trace.set_double(m, kAxisY, m == 50 ? -0.0 : m * 0.999);
  }
  trace.set_integer(60, kAxisX, -32768);
  const ExactBuffer buffer(encode_trace(trace));
  const auto decoded = decode_trace(buffer.view());
  ASSERT_TRUE(decoded) << decoded.status().message();
  const TrackTrace& back = *decoded;
  ASSERT_EQ(back.size(), trace.size());
  ASSERT_EQ(back.last_metre(), 100);
  for (std::size_t n = 0; n < trace.size(); ++n) {
    EXPECT_EQ(back.tag_at(n), trace.tag_at(n)) << n;
    if (trace.tag_at(n) == TraceTag::Empty) continue;  // an empty element holds no value
    EXPECT_EQ(back.value_at(n), trace.value_at(n)) << n;
    EXPECT_EQ(std::signbit(back.value_at(n)), std::signbit(trace.value_at(n))) << n;
  }
}

/// Keeps each piece a sink is given.
struct PieceSink : ByteSink {
  std::vector<std::string> pieces;
  void write(std::string_view bytes) override { pieces.emplace_back(bytes); }
  void write_at(std::uint64_t, std::string_view) override { ADD_FAILURE() << "a piece placed, not appended"; }
};

TEST(TraceEncoding, ALongTraceGoesOutInSmallPiecesThatMakeTheSameBytes) {
  // 60,000 metres of doubles and integers: about a MB, several pieces, elements of both sizes across
  // the pieces' ends.
  TrackTrace trace;
  trace.create(60000);
  for (int32_t m = 0; m <= 59990; ++m) {
    for (const int axis : {kAxisX, kAxisY}) {
      if (m % 3 == 0)
        trace.set_integer(m, axis, static_cast<int16_t>(m % 1000));
      else
        trace.set_double(m, axis, m * 0.5 + axis);
    }
  }
  PieceSink sink;
  encode_trace_to(trace, sink);
  ASSERT_GT(sink.pieces.size(), 3u);
  std::string joined;
  for (const std::string& piece : sink.pieces) {
    EXPECT_LE(piece.size(), kTracePiece);
    EXPECT_FALSE(piece.empty());
    joined += piece;
  }
  const auto decoded = decode_trace(joined);
  ASSERT_TRUE(decoded) << decoded.status().message();
  for (std::size_t n = 0; n < trace.size(); ++n) {
    ASSERT_EQ(decoded->tag_at(n), trace.tag_at(n)) << n;
    if (trace.tag_at(n) != TraceTag::Empty) {
      ASSERT_EQ(decoded->value_at(n), trace.value_at(n)) << n;
    }
  }
}

TEST(GridEncoding, TheLargestGridGoesOutInPiecesOfWholeCells) {
  TrackGrid grid;
  grid.create(1007000);  // the longest line: cells 0 to 20,140
  for (int32_t n = 0; n <= grid.cellCount(); ++n) {
    grid[n].kind = static_cast<uint8_t>(n % 15);
    grid[n].value1 = static_cast<int16_t>(n - 16000);
    grid[n].adhesion = static_cast<uint8_t>(n % 256);
  }
  PieceSink sink;
  encode_grid_to(grid, sink);
  ASSERT_GT(sink.pieces.size(), 2u);
  std::string joined;
  for (const std::string& piece : sink.pieces) {
    EXPECT_EQ(piece.size() % kCellSize, 0u);
    EXPECT_LE(piece.size(), kGridPiece);
    EXPECT_FALSE(piece.empty());
    joined += piece;
  }
  const ExactBuffer buffer(joined);
  const auto decoded = decode_grid(buffer.view());
  ASSERT_TRUE(decoded) << decoded.status().message();
  ASSERT_EQ(decoded->cellCount(), 20140);
  for (int32_t n = 0; n <= 20140; ++n) ASSERT_TRUE(same_cell((*decoded)[n], grid[n])) << n;
}

TEST(TraceEncoding, AnEmptyElementReadsAsZeroWhateverTheMemoryHeld) {
  // The values are not zeroed when a trace is made again: an element set before and empty now reads 0.
  TrackTrace trace;
  trace.create(10);
  trace.set_double(4, kAxisY, 123.5);
  trace.create(10);
  EXPECT_EQ(trace.tag(4, kAxisY), TraceTag::Empty);
  EXPECT_EQ(trace.value(4, kAxisY), 0.0);
  EXPECT_EQ(encode_trace(trace), std::string(2 * 11 * 2, '\0'));
}

struct BadTraceCase {
  const char* name;
  std::string bytes;
  std::string error;
};
// Test names show the case by its name.
void PrintTo(const BadTraceCase& c, std::ostream* os) { *os << c.name; }

class BadTraces : public ::testing::TestWithParam<BadTraceCase> {};

TEST_P(BadTraces, AreRefusedWithTheirPlace) {
  const ExactBuffer buffer(GetParam().bytes);
  const auto decoded = decode_trace(buffer.view());
  EXPECT_FALSE(decoded);
  EXPECT_EQ(decoded.status().message(), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    TraceDecoding, BadTraces,
    ::testing::Values(BadTraceCase{"Empty", "", "no element: a trace has at least one point"},
                      BadTraceCase{"HalfATypeCode", std::string("\x02\x00\x00\x00\x02", 5),
                                   "element 1 at byte 4: type code cut off by the end of the file"},
                      BadTraceCase{"UnknownType", std::string("\x00\x00\x03\x00", 4),
                                   "element 1 at byte 2: unknown type code 3"},
                      BadTraceCase{"IntegerCut", std::string("\x00\x00\x02\x00\x01", 5),
                                   "element 1 at byte 2: value cut off by the end of the file"},
                      BadTraceCase{"DoubleCut", std::string("\x05\x00\x00\x00\x00\x00\x00\x00\x00", 9),
                                   "element 0 at byte 0: value cut off by the end of the file"},
                      BadTraceCase{"OddCount", std::string("\x00\x00\x00\x00\x00\x00", 6),
                                   "3 elements: a trace has as many Y values as X values"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

TEST(TraceDecoding, RefusesMorePointsThanTheLongestLineHas) {
  // The longest line: grid extent 1,007,000 m, so metres 0 to 1,007,000. Every element empty.
  const std::size_t most = 1007001;
  EXPECT_TRUE(decode_trace(std::string(2 * most * 2, '\0')));
  const auto decoded = decode_trace(std::string(2 * (most + 1) * 2, '\0'));
  EXPECT_FALSE(decoded);
  EXPECT_EQ(decoded.status().message(), "1007002 points: more than the longest line has");
}

TEST(BinaryLayout, TheFieldListsGiveTheRecordSizes) {
  std::size_t cell = 0;
  TrackCell a_cell;
  visit_cell_fields(a_cell, [&](const char*, const auto& field) { cell += sizeof(field); });
  EXPECT_EQ(cell, kCellSize);
  std::size_t record = 0;
  ScenarioRecord a_record;
  visit_record_fields(a_record, [&](const char*, const auto& field) {
    if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>)
      record += kU16Size;
    else
      record += sizeof(field);
  });
  EXPECT_EQ(record, kRecordFixedSize);
}

}  // namespace
