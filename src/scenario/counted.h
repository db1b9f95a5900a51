#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// A count with its noun, in the plural unless the count is one: "1 slowdown", "3 stations",
/// "0 errors". The noun takes an "s", as every noun the program counts does.
inline std::string counted(std::size_t count, std::string_view noun) {
  std::string text = std::to_string(count);
  text += ' ';
  text += noun;
  if (count != 1) text += 's';
  return text;
}
