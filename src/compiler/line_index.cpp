#include "compiler/line_index.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

LineIndex::LineIndex(std::string_view text) {
  if (text.size() >= std::numeric_limits<uint32_t>::max())
    throw std::length_error("a text of " + std::to_string(text.size()) + " bytes is too long to index its lines");
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
      starts_.push_back(static_cast<uint32_t>(i + 1));
}

std::size_t LineIndex::start(int line, std::size_t text_size) const {
  if (line < 1) return 0;
  if (static_cast<std::size_t>(line) > starts_.size()) return text_size;
  return starts_[static_cast<std::size_t>(line - 1)];
}

std::string_view LineIndex::line(std::string_view text, int number) const {
  if (number < 1 || static_cast<std::size_t>(number) > starts_.size()) return {};
  const std::size_t begin = std::min<std::size_t>(starts_[static_cast<std::size_t>(number - 1)], text.size());
  std::size_t end = begin;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
  return text.substr(begin, end - begin);
}

int LineIndex::line_of(std::size_t offset) const {
  const auto next = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<int>(next - starts_.begin());
}
