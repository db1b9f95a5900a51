#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/byte_sink.h"
#include "platform/status.h"
#include "scenario/coding.h"
#include "scenario/plan_trace.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"
#include "scenario/track_trace.h"

// The three binary scenario files. None has a header, a count or a checksum: each is its records one
// after the other, packed, little-endian (scenario/coding.h).
//
// Plan trace ("_linea.dat"): every X of metres 0 to the grid extent, then every Y, each element a u16
// type code (0 empty, 2 integer, 5 double) followed by nothing, an s16 or an f64.
//
// Scenario table (".sim"): records 0 to 86, each the fields of visit_record_fields in their order; the
// text is its u16 length, then its 8-bit characters.
//
// Track grid (".dat"): cells 0 to cellCount, each the fields of visit_cell_fields in their order.

/// The fields of a cell as the grid file stores them, in file order: `visit(name, field)` for each,
/// `field` a reference to the cell's member (u8 or s16 by its type). The encoder, the decoder and the
/// tools that show or exchange cells all read this one list.
template <typename Cell, typename Visit>
void visit_cell_fields(Cell& cell, Visit&& visit) {
  visit("kind", cell.kind);
  visit("value1", cell.value1);
  visit("value2", cell.value2);
  visit("value3", cell.value3);
  visit("value4", cell.value4);
  visit("signalTime", cell.signalTime);
  visit("approachMark", cell.approachMark);
  visit("mountainType", cell.mountainType);
  visit("speedLimit", cell.speedLimit);
  visit("gradient", cell.gradient);
  visit("adhesion", cell.adhesion);
}

/// The fields of a record as the table file stores them, in file order (u8, s16, s32 by their type;
/// the text a std::string).
template <typename Record, typename Visit>
void visit_record_fields(Record& record, Visit&& visit) {
  visit("code", record.code);
  visit("number1", record.number1);
  visit("number2", record.number2);
  visit("number3", record.number3);
  visit("mark", record.mark);
  visit("text", record.text);
  visit("short1", record.short1);
  visit("short2", record.short2);
  visit("short3", record.short3);
  visit("short4", record.short4);
  visit("short5", record.short5);
  visit("byte1", record.byte1);
  visit("byte2", record.byte2);
  visit("byte3", record.byte3);
  visit("byte4", record.byte4);
  visit("number4", record.number4);
}

/// A trace element: its type code, then the value that the type carries.
inline constexpr std::size_t kTraceTagSize = kU16Size;
/// A record of the table without the characters of its text (the text's length field included).
inline constexpr std::size_t kRecordFixedSize = kU8Size + 3 * kS32Size + kU8Size + kU16Size + 5 * kS16Size +
                                                4 * kU8Size + kS32Size;  // code, numbers, mark, text length,
                                                                         // shorts, bytes, number4
static_assert(kRecordFixedSize == 34);
/// A cell of the grid.
inline constexpr std::size_t kCellSize = kU8Size + 4 * kS16Size + 6 * kU8Size;  // kind, values, bytes
static_assert(kCellSize == 15);

/// The bytes of each file.
std::string encode_trace(const TrackTrace& trace);
/// The trace's bytes in one pass, in pieces of at most kTracePiece bytes made in one small buffer: the
/// largest trace (about 20 MB) is never held whole.
void encode_trace_to(const TrackTrace& trace, ByteSink& sink);
/// The same bytes made from the runs of a compilation's trace, its points made as they are written: each
/// point once, its X and its Y placed side by side in the file's two halves (ByteSink::write_at), in
/// pieces of at most kTracePiece / 2 bytes.
void encode_trace_to(const PlanTrace& trace, ByteSink& sink);
std::string encode_trace(const PlanTrace& trace);
inline constexpr std::size_t kTracePiece = std::size_t{256} << 10;
std::string encode_table(const ScenarioTable& table);
std::string encode_grid(const TrackGrid& grid);
/// The grid's bytes in pieces of whole cells, at most kGridPiece bytes each, made in one small buffer.
void encode_grid_to(const TrackGrid& grid, ByteSink& sink);
inline constexpr std::size_t kGridPiece = std::size_t{64} << 10;

/// Reads the bytes of a file back: the structure, or a Corruption saying why the bytes are not one.
/// Never reads past the end of `bytes`; a truncated element or record, an unknown type code, a wrong size
/// or bytes left over give a message naming the place.
Result<TrackTrace> decode_trace(std::string_view bytes);
Result<ScenarioTable> decode_table(std::string_view bytes);
Result<TrackGrid> decode_grid(std::string_view bytes);
