#pragma once

// Binary encodings of the scenario files, in one place.
//
// Every number is little-endian: least-significant byte first, whatever the host. u8 is one byte; u16
// and s16 are two bytes (s16 in two's complement); s32 is four bytes in two's complement; f64 is the
// eight bytes of an IEEE 754 double, taken as one 64-bit number and written like the others. There is
// no alignment and no padding: each value follows the previous one directly.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// Encoded widths, in bytes.
inline constexpr std::size_t kU8Size = 1;
inline constexpr std::size_t kU16Size = 2;
inline constexpr std::size_t kS16Size = 2;
inline constexpr std::size_t kS32Size = 4;
inline constexpr std::size_t kF64Size = 8;

/// Store the low `width` bytes of `value` at `dst`, least-significant first; return the byte after them.
/// `dst` must have room: this is the fast path for buffers sized in advance.
inline char* store_fixed(char* dst, uint64_t value, std::size_t width) {
  for (std::size_t n = 0; n < width; ++n) dst[n] = static_cast<char>(static_cast<uint8_t>(value >> (8 * n)));
  return dst + width;
}
inline char* store_u16(char* dst, uint16_t value) { return store_fixed(dst, value, kU16Size); }
inline char* store_s16(char* dst, int16_t value) { return store_fixed(dst, static_cast<uint16_t>(value), kS16Size); }
inline char* store_f64(char* dst, double value) { return store_fixed(dst, std::bit_cast<uint64_t>(value), kF64Size); }

/// Append one value to `dst`.
void put_u8(std::string& dst, uint8_t value);
void put_u16(std::string& dst, uint16_t value);
void put_s16(std::string& dst, int16_t value);
void put_s32(std::string& dst, int32_t value);
void put_f64(std::string& dst, double value);

/// Consumes values from the front of a byte range in the order they were appended: each read takes
/// the value's width and moves on. A read beyond the end throws std::out_of_range: decoders ask
/// `left()` first and report what is missing.
class ByteCursor {
 public:
  explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}
  std::size_t offset() const { return offset_; }
  std::size_t left() const { return bytes_.size() - offset_; }

  uint8_t u8();
  uint16_t u16();
  int16_t s16();
  int32_t s32();
  double f64();
  /// The next `count` bytes as they are.
  std::string_view bytes(std::size_t count);

  /// Reads into a field of that type: u8 for uint8_t, s16 for int16_t, s32 for int32_t.
  void get(uint8_t& value) { value = u8(); }
  void get(int16_t& value) { value = s16(); }
  void get(int32_t& value) { value = s32(); }

 private:
  const char* take(std::size_t width);
  std::string_view bytes_;
  std::size_t offset_ = 0;
};

/// Append a value of a field's type: u8 for uint8_t, s16 for int16_t, s32 for int32_t.
void put(std::string& dst, uint8_t value);
void put(std::string& dst, int16_t value);
void put(std::string& dst, int32_t value);

/// Read one value from `bytes`, which must hold at least the value's width.
uint8_t decode_u8(const char* bytes);
uint16_t decode_u16(const char* bytes);
int16_t decode_s16(const char* bytes);
int32_t decode_s32(const char* bytes);
double decode_f64(const char* bytes);
