#pragma once

// What the protocol's texts spell in ASCII: hexadecimal digits (percent-escapes of URIs, escapes of JSON
// strings) and words whose case does not matter (a URI's scheme, a header's name).

#include <cstddef>
#include <string_view>

/// The value of a hexadecimal digit, or -1.
inline int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

/// True when two words have the same ASCII letters, whatever their case.
inline bool same_letters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  return true;
}
