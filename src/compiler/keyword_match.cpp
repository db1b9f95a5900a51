#include "compiler/keyword_match.h"

namespace {
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool contains(std::string_view field, std::string_view word) { return field.find(word) != std::string_view::npos; }

bool contains_any_case(std::string_view field, std::string_view word) {
  if (word.empty()) return true;
  if (word.size() > field.size()) return false;
  // Every field is tried against several keywords: a start is looked for by the word's first letter
  // alone, and only there is the rest compared.
  const char first = lower(word.front());
  const std::size_t last_start = field.size() - word.size();
  for (std::size_t start = 0; start <= last_start; ++start) {
    if (lower(field[start]) != first) continue;
    std::size_t n = 1;
    while (n < word.size() && lower(field[start + n]) == lower(word[n])) ++n;
    if (n == word.size()) return true;
  }
  return false;
}
