#include "scenario/binary_format.h"

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <type_traits>

namespace {

std::size_t trace_value_size(TraceTag tag) {
  switch (tag) {
    case TraceTag::Integer:
      return kS16Size;
    case TraceTag::Double:
      return kF64Size;
    case TraceTag::Empty:
      break;
  }
  return 0;
}

bool is_known_tag(uint16_t code) {
  return code == static_cast<uint16_t>(TraceTag::Empty) || code == static_cast<uint16_t>(TraceTag::Integer) ||
         code == static_cast<uint16_t>(TraceTag::Double);
}

Status failure(std::string error) { return Status::corruption(std::move(error)); }

}  // namespace

namespace {

/// Stores one trace element at `at` (its type code, then its value as the code says) and returns the
/// place after it.
char* store_trace_element(char* at, TraceTag tag, double value) {
  at = store_u16(at, static_cast<uint16_t>(tag));
  if (tag == TraceTag::Integer) return store_s16(at, static_cast<int16_t>(value));
  if (tag == TraceTag::Double) return store_f64(at, value);
  return at;
}

constexpr std::size_t kLargestTraceElement = kTraceTagSize + kF64Size;

}  // namespace

void encode_trace_to(const TrackTrace& trace, ByteSink& sink) {
  std::string buffer(kTracePiece, '\0');
  char* const start = buffer.data();
  char* const room_end = start + kTracePiece - kLargestTraceElement;  // past it, an element might not fit
  char* at = start;
  for (std::size_t n = 0; n < trace.size(); ++n) {
    if (at > room_end) {
      sink.write(std::string_view(start, static_cast<std::size_t>(at - start)));
      at = start;
    }
    const TraceTag tag = trace.tag_at(n);
    at = store_trace_element(at, tag, tag == TraceTag::Empty ? 0.0 : trace.value_at(n));
  }
  if (at != start) sink.write(std::string_view(start, static_cast<std::size_t>(at - start)));
}

void encode_trace_to(const PlanTrace& trace, ByteSink& sink) {
  if (!trace.exists()) return;
  // Every X, then every Y: the two halves of the file are made side by side, each point's X and Y at
  // once, and each piece is placed at its offset. The element of X and the element of Y of a metre have
  // the same size, so both halves fill their buffers alike and one count serves both. Per half: the two
  // first points, the points the runs make (metres 2 to next_metre() - 1), then empty elements to the end.
  const TraceTag start_tag = trace.started() ? TraceTag::Integer : TraceTag::Empty;
  const auto points = static_cast<uint64_t>(trace.next_metre() - 2);
  const auto empties = static_cast<uint64_t>(trace.last_metre() - trace.next_metre() + 1);
  const uint64_t half =
      2 * (kTraceTagSize + trace_value_size(start_tag)) + points * kLargestTraceElement + empties * kTraceTagSize;

  constexpr std::size_t kRoom = kTracePiece / 2;  // each half's piece
  std::string buffer(kTracePiece, '\0');
  char* const xs = buffer.data();
  char* const ys = xs + kRoom;
  std::size_t filled = 0;  // in each half's buffer
  uint64_t written = 0;    // of each half
  const auto flush = [&] {
    if (filled == 0) return;
    sink.write_at(written, std::string_view(xs, filled));
    sink.write_at(half + written, std::string_view(ys, filled));
    written += filled;
    filled = 0;
  };

  for (int32_t metre = 0; metre < 2; ++metre) {
    store_trace_element(ys + filled, start_tag, metre);  // the plan starts along Y: (0, 0), then (0, 1)
    filled = static_cast<std::size_t>(store_trace_element(xs + filled, start_tag, 0) - xs);
  }
  // The points in batches that fit the buffers: the loop that makes and stores them calls nothing, so
  // that the points stay in registers.
  PlanPoints made_points(trace);
  for (;;) {
    if (filled + kLargestTraceElement > kRoom) flush();
    const auto room = static_cast<int64_t>((kRoom - filled) / kLargestTraceElement);
    char* x_at = xs + filled;
    char* y_at = ys + filled;
    const int64_t made = made_points.make(room, [&x_at, &y_at](int32_t, double x, double y) {
      x_at = store_trace_element(x_at, TraceTag::Double, x);
      y_at = store_trace_element(y_at, TraceTag::Double, y);
    });
    filled = static_cast<std::size_t>(x_at - xs);
    if (made < room) break;
  }
  for (uint64_t n = 0; n < empties; ++n) {
    if (filled + kTraceTagSize > kRoom) flush();
    store_trace_element(ys + filled, TraceTag::Empty, 0);
    filled = static_cast<std::size_t>(store_trace_element(xs + filled, TraceTag::Empty, 0) - xs);
  }
  flush();
  // The Y half was placed where the X half was reckoned to end: a half of another size would leave a
  // file that reads as a different trace.
  if (written != half) throw std::logic_error("the trace's X half came to another size than reckoned");
}

namespace {

template <typename Trace>
std::string encoded_trace(const Trace& trace) {
  StringSink sink;
  encode_trace_to(trace, sink);
  return std::move(sink.bytes());
}

}  // namespace

std::string encode_trace(const TrackTrace& trace) { return encoded_trace(trace); }
std::string encode_trace(const PlanTrace& trace) { return encoded_trace(trace); }

namespace {

/// Appends the fields of a record or a cell in file order.
struct FieldWriter {
  std::string& bytes;
  template <typename T>
  void operator()(const char*, const T& value) const {
    if constexpr (std::is_same_v<T, std::string>) {
      const std::string_view text = record_text_of(value);
      put_u16(bytes, static_cast<uint16_t>(text.size()));
      bytes.append(text);
    } else {
      put(bytes, value);
    }
  }
  static std::string_view record_text_of(const std::string& text) {
    // The readers refuse longer texts, so a longer one is a fault of the program.
    if (text.size() > kMaxRecordText) throw std::length_error("record text longer than its length field");
    return text;
  }
};

}  // namespace

std::string encode_table(const ScenarioTable& table) {
  std::size_t size = 0;
  for (const ScenarioRecord& record : table) size += kRecordFixedSize + record.text.size();
  std::string bytes;
  bytes.reserve(size);
  for (const ScenarioRecord& record : table) visit_record_fields(record, FieldWriter{bytes});
  return bytes;
}

void encode_grid_to(const TrackGrid& grid, ByteSink& sink) {
  constexpr std::size_t kPieceBytes = kGridPiece / kCellSize * kCellSize;  // whole cells
  std::string bytes;
  bytes.reserve(kPieceBytes);
  for (const TrackCell& cell : grid.cells()) {
    visit_cell_fields(cell, FieldWriter{bytes});
    if (bytes.size() == kPieceBytes) {
      sink.write(bytes);
      bytes.clear();
    }
  }
  if (!bytes.empty()) sink.write(bytes);
}

std::string encode_grid(const TrackGrid& grid) {
  StringSink sink;
  sink.bytes().reserve(grid.cells().size() * kCellSize);
  encode_grid_to(grid, sink);
  return std::move(sink.bytes());
}

Result<TrackTrace> decode_trace(std::string_view bytes) {
  // First pass: check every element and count them; the count gives the grid extent.
  std::size_t elements = 0;
  for (ByteCursor cursor(bytes); cursor.left() > 0; ++elements) {
    const std::size_t start = cursor.offset();
    const auto fail = [&](const std::string& what) {
      return failure("element " + std::to_string(elements) + " at byte " + std::to_string(start) + ": " + what);
    };
    if (cursor.left() < kTraceTagSize) return fail("type code cut off by the end of the file");
    const uint16_t code = cursor.u16();
    if (!is_known_tag(code)) return fail("unknown type code " + std::to_string(code));
    const std::size_t value_size = trace_value_size(static_cast<TraceTag>(code));
    if (cursor.left() < value_size) return fail("value cut off by the end of the file");
    cursor.bytes(value_size);
  }
  if (elements == 0) return failure("no element: a trace has at least one point");
  if (elements % 2 != 0)
    return failure(std::to_string(elements) + " elements: a trace has as many Y values as X values");
  const std::size_t metres = elements / 2;
  // The longest line gives a grid extent of 1,007,000 m: a trace of that many points plus one.
  if (metres - 1 > static_cast<std::size_t>(kMaxLineLength + kGridBeyondLine))
    return failure(std::to_string(metres) + " points: more than the longest line has");

  TrackTrace trace;
  trace.create(static_cast<int32_t>(metres - 1));
  ByteCursor cursor(bytes);
  for (std::size_t element = 0; element < elements; ++element) {
    const auto tag = static_cast<TraceTag>(cursor.u16());
    const auto metre = static_cast<int32_t>(element % metres);
    const int axis = element < metres ? kAxisX : kAxisY;
    if (tag == TraceTag::Integer)
      trace.set_integer(metre, axis, cursor.s16());
    else if (tag == TraceTag::Double)
      trace.set_double(metre, axis, cursor.f64());
  }
  return trace;
}

Result<ScenarioTable> decode_table(std::string_view bytes) {
  ScenarioTable table;
  ByteCursor cursor(bytes);
  // The fields before the text, the text's length included, and those after it.
  constexpr std::size_t kHead = kU8Size + 3 * kS32Size + kU8Size + kU16Size;
  constexpr std::size_t kTail = kRecordFixedSize - kHead;
  for (int index = 0; index < kScenarioRecordCount; ++index) {
    const std::string where = "record " + std::to_string(index) + " at byte " + std::to_string(cursor.offset());
    if (cursor.left() < kHead)
      return failure(where + ": cut off by the end of the file before its text (" + std::to_string(cursor.left()) +
                     " of " + std::to_string(kHead) + " bytes)");
    std::string error;
    visit_record_fields(table[static_cast<std::size_t>(index)], [&](const char*, auto& field) {
      if (!error.empty()) return;
      if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>) {
        const std::size_t length = cursor.u16();
        if (cursor.left() < length + kTail) {
          error = where + ": a text of " + std::to_string(length) +
                  " characters and the fields after it run past the end of the file";
          return;
        }
        field.assign(cursor.bytes(length));
      } else {
        cursor.get(field);
      }
    });
    if (!error.empty()) return failure(error);
  }
  if (cursor.left() != 0)
    return failure(std::to_string(cursor.left()) + " bytes left after record " +
                   std::to_string(kScenarioRecordCount - 1) + " at byte " + std::to_string(cursor.offset()));
  return table;
}

Result<TrackGrid> decode_grid(std::string_view bytes) {
  if (bytes.empty()) return failure("no cell: a grid has at least one cell");
  if (bytes.size() % kCellSize != 0)
    return failure("size " + std::to_string(bytes.size()) + " is not a whole number of " + std::to_string(kCellSize) +
                   "-byte cells");
  const std::size_t cells = bytes.size() / kCellSize;
  if (cells - 1 > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / kCellLength))
    return failure(std::to_string(cells) + " cells: too many for a grid");

  TrackGrid grid;
  grid.create(static_cast<int32_t>(cells - 1) * kCellLength);
  ByteCursor cursor(bytes);
  for (std::size_t n = 0; n < cells; ++n)
    visit_cell_fields(grid[static_cast<int32_t>(n)], [&cursor](const char*, auto& field) { cursor.get(field); });
  return grid;
}
