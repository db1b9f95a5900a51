#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

/// Where the lines of a text start, as the compiler and the editor both cut them: a line ends at CR LF,
/// LF or CR. A text without line ends has one line; a text that ends with a line end has an empty line
/// after it. One index is made per text, by its owner (the source file), and every reader of lines asks
/// it. Offsets are held in 32 bits: every text the program takes is far smaller than 4 GiB.
class LineIndex {
 public:
  LineIndex() = default;
  /// std::length_error for a text of 4 GiB or more.
  explicit LineIndex(std::string_view text);

  /// The number of lines (at least 1).
  int count() const { return static_cast<int>(starts_.size()); }
  /// The byte offset where a 1-based line starts; `text_size` beyond the last line.
  std::size_t start(int line, std::size_t text_size) const;
  /// The text of a 1-based line of `text` (the text the index was made from), without its line end; ""
  /// beyond the last line.
  std::string_view line(std::string_view text, int number) const;
  /// The 1-based line that holds a byte offset (the last line for an offset beyond the text).
  int line_of(std::size_t offset) const;

 private:
  std::vector<uint32_t> starts_{0};
};
