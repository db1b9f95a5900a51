#pragma once

#include <cstdint>

#include "scenario/read_failure.h"

/// 32-bit arithmetic on values read from a file: a result outside 32 bits is a read failure.
int32_t add32(int64_t a, int64_t b);
int32_t mul32(int64_t a, int64_t b);
/// A real value rounded half to even into 32 bits; outside them a read failure.
int32_t round32(double value);
/// A real value rounded half to even into signed 16 bits; outside them a read failure.
int16_t round16(double value);
/// A real value rounded half to even into an unsigned byte; outside 0 to 255 a read failure.
uint8_t round8(double value);

/// The low 16 bits of a whole number, as a signed 16-bit value (16-bit packing keeps only these).
inline int16_t low16(int64_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF)); }
/// The low 8 bits of a whole number.
inline uint8_t low8(int64_t value) { return static_cast<uint8_t>(value & 0xFF); }
