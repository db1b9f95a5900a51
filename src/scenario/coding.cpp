#include "scenario/coding.h"

#include <bit>
#include <limits>
#include <stdexcept>

static_assert(std::numeric_limits<double>::is_iec559, "the trace file stores IEEE 754 doubles");

namespace {

/// Appends the low `width` bytes of `value`, least-significant first.
void put_fixed(std::string& dst, uint64_t value, std::size_t width) {
  char buffer[8];
  store_fixed(buffer, value, width);
  dst.append(buffer, width);
}

uint64_t decode_fixed(const char* bytes, std::size_t width) {
  uint64_t value = 0;
  for (std::size_t n = 0; n < width; ++n) value |= static_cast<uint64_t>(static_cast<uint8_t>(bytes[n])) << (8 * n);
  return value;
}

}  // namespace

void put_u8(std::string& dst, uint8_t value) { dst.push_back(static_cast<char>(value)); }
void put_u16(std::string& dst, uint16_t value) { put_fixed(dst, value, kU16Size); }
void put_s16(std::string& dst, int16_t value) { put_fixed(dst, static_cast<uint16_t>(value), kS16Size); }
void put_s32(std::string& dst, int32_t value) { put_fixed(dst, static_cast<uint32_t>(value), kS32Size); }
void put_f64(std::string& dst, double value) { put_fixed(dst, std::bit_cast<uint64_t>(value), kF64Size); }

uint8_t decode_u8(const char* bytes) { return static_cast<uint8_t>(bytes[0]); }
uint16_t decode_u16(const char* bytes) { return static_cast<uint16_t>(decode_fixed(bytes, kU16Size)); }
int16_t decode_s16(const char* bytes) { return static_cast<int16_t>(decode_u16(bytes)); }
int32_t decode_s32(const char* bytes) {
  return static_cast<int32_t>(static_cast<uint32_t>(decode_fixed(bytes, kS32Size)));
}
double decode_f64(const char* bytes) { return std::bit_cast<double>(decode_fixed(bytes, kF64Size)); }

void put(std::string& dst, uint8_t value) { put_u8(dst, value); }
void put(std::string& dst, int16_t value) { put_s16(dst, value); }
void put(std::string& dst, int32_t value) { put_s32(dst, value); }

const char* ByteCursor::take(std::size_t width) {
  if (width > left()) throw std::out_of_range("read of " + std::to_string(width) + " bytes past the end");
  const char* at = bytes_.data() + offset_;
  offset_ += width;
  return at;
}

uint8_t ByteCursor::u8() { return decode_u8(take(kU8Size)); }
uint16_t ByteCursor::u16() { return decode_u16(take(kU16Size)); }
int16_t ByteCursor::s16() { return decode_s16(take(kS16Size)); }
int32_t ByteCursor::s32() { return decode_s32(take(kS32Size)); }
double ByteCursor::f64() { return decode_f64(take(kF64Size)); }
std::string_view ByteCursor::bytes(std::size_t count) { return {take(count), count}; }
