#pragma once

// Binary encodings of the scenario files, in one place.
//
// Every number is little-endian: least-significant byte first, whatever the host. u8 is one byte; u16
// and s16 are two bytes (s16 in two's complement); s32 is four bytes in two's complement; f64 is the
// eight bytes of an IEEE 754 double, taken as one 64-bit number and written like the others. There is
// no alignment and no padding: each value follows the previous one directly.

#include <cstddef>
#include <cstdint>
#include <string>

/// Encoded widths, in bytes.
inline constexpr std::size_t kU8Size = 1;
inline constexpr std::size_t kU16Size = 2;
inline constexpr std::size_t kS16Size = 2;
inline constexpr std::size_t kS32Size = 4;
inline constexpr std::size_t kF64Size = 8;

/// Append one value to `dst`.
void put_u8(std::string& dst, uint8_t value);
void put_u16(std::string& dst, uint16_t value);
void put_s16(std::string& dst, int16_t value);
void put_s32(std::string& dst, int32_t value);
void put_f64(std::string& dst, double value);

/// Read one value from `bytes`, which must hold at least the value's width.
uint8_t decode_u8(const char* bytes);
uint16_t decode_u16(const char* bytes);
int16_t decode_s16(const char* bytes);
int32_t decode_s32(const char* bytes);
double decode_f64(const char* bytes);
