#include "scenario/checked_arithmetic.h"

#include <cmath>
#include <limits>

namespace {

int32_t fit32(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    throw ReadFailure("arithmetic overflow beyond 32 bits");
  return static_cast<int32_t>(value);
}

double rounded_in(double value, double low, double high, const char* what) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= low && rounded <= high)) throw ReadFailure(what);
  return rounded;
}

}  // namespace

int32_t add32(int64_t a, int64_t b) { return fit32(a + b); }

int32_t mul32(int64_t a, int64_t b) {
  // Operands are 32-bit values read from a file, so the product fits in 64 bits.
  return fit32(a * b);
}

int32_t round32(double value) {
  return static_cast<int32_t>(rounded_in(value, -2147483648.0, 2147483647.0, "value beyond 32 bits"));
}

int16_t round16(double value) {
  return static_cast<int16_t>(rounded_in(value, -32768.0, 32767.0, "value beyond 16 bits"));
}

uint8_t round8(double value) { return static_cast<uint8_t>(rounded_in(value, 0.0, 255.0, "value beyond 0 to 255")); }
