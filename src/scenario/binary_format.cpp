#include "scenario/binary_format.h"

#include <cstdint>
#include <limits>
#include <stdexcept>


namespace {

std::size_t trace_value_size(TraceTag tag) {
  switch (tag) {
    case TraceTag::Integer: return kS16Size;
    case TraceTag::Double: return kF64Size;
    case TraceTag::Empty: break;
  }
  return 0;
}

bool is_known_tag(uint16_t code) {
  return code == static_cast<uint16_t>(TraceTag::Empty) || code == static_cast<uint16_t>(TraceTag::Integer) ||
         code == static_cast<uint16_t>(TraceTag::Double);
}

/// A record's text; the readers refuse longer texts, so a longer one is a fault of the program.
std::string_view record_text(const ScenarioRecord& record) {
  if (record.text.size() > kMaxRecordText) throw std::length_error("record text longer than its length field");
  return record.text;
}

template <typename T>
Decoded<T> failure(std::string error) {
  return Decoded<T>{std::nullopt, std::move(error)};
}

}  // namespace

std::size_t encoded_trace_size(const TrackTrace& trace) {
  std::size_t size = 0;
  for (std::size_t n = 0; n < trace.size(); ++n) size += kTraceTagSize + trace_value_size(trace.tag_at(n));
  return size;
}

void encode_trace_into(const TrackTrace& trace, char* at) {
  for (std::size_t n = 0; n < trace.size(); ++n) {
    const TraceTag tag = trace.tag_at(n);
    at = store_u16(at, static_cast<uint16_t>(tag));
    if (tag == TraceTag::Integer)
      at = store_s16(at, static_cast<int16_t>(trace.value_at(n)));
    else if (tag == TraceTag::Double)
      at = store_f64(at, trace.value_at(n));
  }
}

std::string encode_trace(const TrackTrace& trace) {
  std::string bytes(encoded_trace_size(trace), '\0');
  encode_trace_into(trace, bytes.data());
  return bytes;
}

std::string encode_table(const ScenarioTable& table) {
  std::size_t size = 0;
  for (const ScenarioRecord& record : table) size += kRecordFixedSize + record_text(record).size();
  std::string bytes;
  bytes.reserve(size);
  for (const ScenarioRecord& record : table) {
    put_u8(bytes, record.code);
    put_s32(bytes, record.number1);
    put_s32(bytes, record.number2);
    put_s32(bytes, record.number3);
    put_u8(bytes, record.mark);
    const std::string_view text = record_text(record);
    put_u16(bytes, static_cast<uint16_t>(text.size()));
    bytes.append(text);
    put_s16(bytes, record.short1);
    put_s16(bytes, record.short2);
    put_s16(bytes, record.short3);
    put_s16(bytes, record.short4);
    put_s16(bytes, record.short5);
    put_u8(bytes, record.byte1);
    put_u8(bytes, record.byte2);
    put_u8(bytes, record.byte3);
    put_u8(bytes, record.byte4);
    put_s32(bytes, record.number4);
  }
  return bytes;
}

std::string encode_grid(const TrackGrid& grid) {
  std::string bytes;
  bytes.reserve(grid.cells().size() * kCellSize);
  for (const TrackCell& cell : grid.cells()) {
    put_u8(bytes, cell.kind);
    put_s16(bytes, cell.value1);
    put_s16(bytes, cell.value2);
    put_s16(bytes, cell.value3);
    put_s16(bytes, cell.value4);
    put_u8(bytes, cell.signalTime);
    put_u8(bytes, cell.approachMark);
    put_u8(bytes, cell.mountainType);
    put_u8(bytes, cell.speedLimit);
    put_u8(bytes, cell.gradient);
    put_u8(bytes, cell.adhesion);
  }
  return bytes;
}

Decoded<TrackTrace> decode_trace(std::string_view bytes) {
  // First pass: check every element and count them; the count gives the grid extent.
  std::size_t elements = 0;
  for (std::size_t offset = 0; offset < bytes.size(); ++elements) {
    if (bytes.size() - offset < kTraceTagSize)
      return failure<TrackTrace>("element " + std::to_string(elements) + " at byte " + std::to_string(offset) +
                                 ": type code cut off by the end of the file");
    const uint16_t code = decode_u16(bytes.data() + offset);
    if (!is_known_tag(code))
      return failure<TrackTrace>("element " + std::to_string(elements) + " at byte " + std::to_string(offset) +
                                 ": unknown type code " + std::to_string(code));
    const std::size_t value_size = trace_value_size(static_cast<TraceTag>(code));
    offset += kTraceTagSize;
    if (bytes.size() - offset < value_size)
      return failure<TrackTrace>("element " + std::to_string(elements) + " at byte " +
                                 std::to_string(offset - kTraceTagSize) + ": value cut off by the end of the file");
    offset += value_size;
  }
  if (elements == 0) return failure<TrackTrace>("no element: a trace has at least one point");
  if (elements % 2 != 0)
    return failure<TrackTrace>(std::to_string(elements) + " elements: a trace has as many Y values as X values");
  const std::size_t metres = elements / 2;
  // The longest line gives a grid extent of 1,007,000 m: a trace of that many points plus one.
  if (metres - 1 > static_cast<std::size_t>(kMaxLineLength + kGridBeyondLine))
    return failure<TrackTrace>(std::to_string(metres) + " points: more than the longest line has");

  TrackTrace trace;
  trace.create(static_cast<int32_t>(metres - 1));
  std::size_t offset = 0;
  for (std::size_t element = 0; element < elements; ++element) {
    const auto tag = static_cast<TraceTag>(decode_u16(bytes.data() + offset));
    offset += kTraceTagSize;
    const auto metre = static_cast<int32_t>(element % metres);
    const int axis = element < metres ? kAxisX : kAxisY;
    if (tag == TraceTag::Integer)
      trace.set_integer(metre, axis, decode_s16(bytes.data() + offset));
    else if (tag == TraceTag::Double)
      trace.set_double(metre, axis, decode_f64(bytes.data() + offset));
    offset += trace_value_size(tag);
  }
  return Decoded<TrackTrace>{std::move(trace), {}};
}

Decoded<ScenarioTable> decode_table(std::string_view bytes) {
  ScenarioTable table;
  std::size_t offset = 0;
  for (int index = 0; index < kScenarioRecordCount; ++index) {
    const std::string where = "record " + std::to_string(index) + " at byte " + std::to_string(offset);
    const std::size_t left = bytes.size() - offset;
    // The fields before the text, then the text's length.
    constexpr std::size_t kHead = kU8Size + 3 * kS32Size + kU8Size + kU16Size;
    constexpr std::size_t kTail = kRecordFixedSize - kHead;
    if (left < kHead)
      return failure<ScenarioTable>(where + ": cut off by the end of the file before its text (" +
                                    std::to_string(left) + " of " + std::to_string(kHead) + " bytes)");
    const char* p = bytes.data() + offset;
    ScenarioRecord& record = table[static_cast<std::size_t>(index)];
    record.code = decode_u8(p);
    record.number1 = decode_s32(p + 1);
    record.number2 = decode_s32(p + 5);
    record.number3 = decode_s32(p + 9);
    record.mark = decode_u8(p + 13);
    const std::size_t length = decode_u16(p + 14);
    if (left - kHead < length + kTail)
      return failure<ScenarioTable>(where + ": a text of " + std::to_string(length) +
                                    " characters and the fields after it run past the end of the file");
    p += kHead;
    record.text.assign(p, length);
    p += length;
    record.short1 = decode_s16(p);
    record.short2 = decode_s16(p + 2);
    record.short3 = decode_s16(p + 4);
    record.short4 = decode_s16(p + 6);
    record.short5 = decode_s16(p + 8);
    record.byte1 = decode_u8(p + 10);
    record.byte2 = decode_u8(p + 11);
    record.byte3 = decode_u8(p + 12);
    record.byte4 = decode_u8(p + 13);
    record.number4 = decode_s32(p + 14);
    offset += kRecordFixedSize + length;
  }
  if (offset != bytes.size())
    return failure<ScenarioTable>(std::to_string(bytes.size() - offset) + " bytes left after record " +
                                  std::to_string(kScenarioRecordCount - 1) + " at byte " + std::to_string(offset));
  return Decoded<ScenarioTable>{std::move(table), {}};
}

Decoded<TrackGrid> decode_grid(std::string_view bytes) {
  if (bytes.empty()) return failure<TrackGrid>("no cell: a grid has at least one cell");
  if (bytes.size() % kCellSize != 0)
    return failure<TrackGrid>("size " + std::to_string(bytes.size()) + " is not a whole number of " +
                              std::to_string(kCellSize) + "-byte cells");
  const std::size_t cells = bytes.size() / kCellSize;
  if (cells - 1 > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / kCellLength))
    return failure<TrackGrid>(std::to_string(cells) + " cells: too many for a grid");

  TrackGrid grid;
  grid.create(static_cast<int32_t>(cells - 1) * kCellLength);
  for (std::size_t n = 0; n < cells; ++n) {
    const char* p = bytes.data() + n * kCellSize;
    TrackCell& cell = grid[static_cast<int32_t>(n)];
    cell.kind = decode_u8(p);
    cell.value1 = decode_s16(p + 1);
    cell.value2 = decode_s16(p + 3);
    cell.value3 = decode_s16(p + 5);
    cell.value4 = decode_s16(p + 7);
    cell.signalTime = decode_u8(p + 9);
    cell.approachMark = decode_u8(p + 10);
    cell.mountainType = decode_u8(p + 11);
    cell.speedLimit = decode_u8(p + 12);
    cell.gradient = decode_u8(p + 13);
    cell.adhesion = decode_u8(p + 14);
  }
  return Decoded<TrackGrid>{std::move(grid), {}};
}
