#include "compiler/keyword_match.h"

#include <algorithm>

namespace {
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool contains(std::string_view field, std::string_view word) { return field.find(word) != std::string_view::npos; }

bool contains_any_case(std::string_view field, std::string_view word) {
  const auto found = std::search(field.begin(), field.end(), word.begin(), word.end(),
                                 [](char a, char b) { return lower(a) == lower(b); });
  return found != field.end() || word.empty();
}
