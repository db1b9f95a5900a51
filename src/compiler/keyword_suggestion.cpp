#include "compiler/keyword_suggestion.h"

#include <algorithm>
#include <vector>

#include "compiler/keywords.h"
#include "scenario/file_names.h"

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

/// How far a word may be from a keyword and still be taken for a slip of the hand: one letter in a short
/// word, two in a word of up to 10 letters, three beyond.
std::size_t allowed_distance(std::size_t length) { return length <= 4 ? 1 : length <= 10 ? 2 : 3; }

bool belongs_to(KeywordPlace place, SourceKind source) {
  return (place == KeywordPlace::Service) == (source == SourceKind::Service);
}

}  // namespace

std::size_t keyword_distance(std::string_view a, std::string_view b) {
  // Optimal string alignment over three rows: a swap of two neighbours costs one.
  std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const bool same = lower(a[i - 1]) == lower(b[j - 1]);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) && lower(a[i - 2]) == lower(b[j - 1]))
        current[j] = std::min(current[j], before[j - 2] + 1);
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[b.size()];
}

namespace {

/// A keyword in quotes; built by append, where "\"" + text makes g++ 12 warn of an overlap that cannot be.
std::string quoted(std::string_view keyword) {
  std::string text = "\"";
  text.append(keyword).append("\"");
  return text;
}

}  // namespace

std::string keyword_suggestion(std::string_view field, SourceKind source) {
  for (const KeywordInfo& info : keyword_table()) {
    if (belongs_to(info.place, source) || !matches(field, info.keyword)) continue;
    return source == SourceKind::Line ? quoted(info.written) + " is an entry of the train service (" +
                                            service_source_name("K", "N") + "), not of the line description"
                                      : quoted(info.written) + " is an entry of the line description (" +
                                            line_source_name("K") + "), not of the train service";
  }
  const std::string_view word = trimmed(field);
  if (word.empty()) return {};
  const KeywordInfo* best = nullptr;
  std::size_t best_distance = 0;
  for (const KeywordInfo& info : keyword_table()) {
    if (!belongs_to(info.place, source)) continue;
    const std::size_t allowed = allowed_distance(info.written.size());
    // A word much longer or shorter than the keyword cannot be within reach: not measured.
    if (word.size() > info.written.size() + allowed || word.size() + allowed < info.written.size()) continue;
    const std::size_t distance = keyword_distance(word, info.written);
    if (distance > allowed || distance == 0 || (best && distance >= best_distance)) continue;
    best = &info;
    best_distance = distance;
  }
  if (!best) return {};
  return "did you mean " + quoted(best->written) + "?";
}
