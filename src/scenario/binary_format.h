#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "scenario/coding.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"
#include "scenario/track_trace.h"

// The three binary scenario files. None has a header, a count or a checksum: each is its records one
// after the other, packed, little-endian (output/coding.h).
//
// Plan trace ("_linea.dat"): every X of metres 0 to the grid extent, then every Y, each element a u16
// type code (0 empty, 2 integer, 5 double) followed by nothing, an s16 or an f64.
//
// Scenario table (".sim"): records 0 to 86, each: code u8, number1 to number3 s32, mark u8, text (u16
// length, then its 8-bit characters), short1 to short5 s16, byte1 to byte4 u8, number4 s32.
//
// Track grid (".dat"): cells 0 to cellCount, each: kind u8, value1 to value4 s16, signalTime u8,
// approachMark u8, mountainType u8, speedLimit u8, gradient u8, adhesion u8.

/// A trace element: its type code, then the value that the type carries.
inline constexpr std::size_t kTraceTagSize = kU16Size;
/// A record of the table without the characters of its text.
inline constexpr std::size_t kRecordFixedSize = kU8Size + 3 * kS32Size + kU8Size + kU16Size + 5 * kS16Size +
                                                4 * kU8Size + kS32Size;  // code, numbers, mark, text length,
                                                                         // shorts, bytes, number4
static_assert(kRecordFixedSize == 34);
/// A cell of the grid.
inline constexpr std::size_t kCellSize = kU8Size + 4 * kS16Size + 6 * kU8Size;  // kind, values, bytes
static_assert(kCellSize == 15);

/// The bytes of each file.
std::string encode_trace(const TrackTrace& trace);
/// The trace's size once encoded, and its encoding into a buffer of that size.
std::size_t encoded_trace_size(const TrackTrace& trace);
void encode_trace_into(const TrackTrace& trace, char* buffer);
std::string encode_table(const ScenarioTable& table);
std::string encode_grid(const TrackGrid& grid);

/// A decoded file: the structure, or why the bytes are not one.
template <typename T>
struct Decoded {
  std::optional<T> value;
  std::string error;  // empty when `value` is set

  explicit operator bool() const { return value.has_value(); }
};

/// Reads the bytes of a file back. Never reads past the end of `bytes`; a truncated element or record,
/// an unknown type code, a wrong size or bytes left over give an error naming the place.
Decoded<TrackTrace> decode_trace(std::string_view bytes);
Decoded<ScenarioTable> decode_table(std::string_view bytes);
Decoded<TrackGrid> decode_grid(std::string_view bytes);
