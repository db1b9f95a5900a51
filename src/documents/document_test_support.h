#pragma once

// Helpers shared by the tests of the driver documents.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/files.h"
#include "scenario/run_state.h"
#include "support/temporary_directory.h"

namespace document_test {

/// Splits file bytes into lines at CR LF. Bytes after the last CR LF (a missing line end) become a
/// last line of their own, so a file that does not end with CR LF shows up in the count.
inline std::vector<std::string> split_lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

/// Number of characters in UTF-8 text: every byte that is not a continuation byte.
inline std::size_t utf8_length(const std::string& text) {
  std::size_t count = 0;
  for (const unsigned char byte : text)
    if ((byte & 0xC0) != 0x80) ++count;
  return count;
}

/// Columns (0-based) of every "|" in a line.
inline std::vector<std::size_t> bar_columns(const std::string& line) {
  std::vector<std::size_t> columns;
  for (std::size_t column = 0; column < line.size(); ++column)
    if (line[column] == '|') columns.push_back(column);
  return columns;
}

/// Columns of the bars of a row of cells whose opening bar stands at `first`: the opening bar, then
/// the bar that closes each cell of the given width.
inline std::vector<std::size_t> cell_bars(std::size_t first, const std::vector<std::size_t>& widths) {
  std::vector<std::size_t> columns{first};
  for (const auto width : widths) columns.push_back(columns.back() + width + 1);
  return columns;
}

/// The texts between the bars of a table row, without the blanks around them: the cells left to right.
inline std::vector<std::string> cell_texts(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t start = line.find('|');
  while (start != std::string::npos) {
    const std::size_t end = line.find('|', start + 1);
    if (end == std::string::npos) break;
    const std::string cell = line.substr(start + 1, end - start - 1);
    const auto first = cell.find_first_not_of(' ');
    cells.push_back(first == std::string::npos ? "" : cell.substr(first, cell.find_last_not_of(' ') - first + 1));
    start = end;
  }
  return cells;
}

/// The fields of a source line cut at its commas, without the blanks around them.
inline std::vector<std::string> source_fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = line.find(',', start);
    const std::string field = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const auto first = field.find_first_not_of(' ');
    fields.push_back(first == std::string::npos ? "" : field.substr(first, field.find_last_not_of(' ') - first + 1));
    if (end == std::string::npos) return fields;
    start = end + 1;
  }
}

/// The lines of a source that begin with a keyword, each cut into its fields.
inline std::vector<std::vector<std::string>> entries_of(const std::vector<std::string>& source,
                                                        const std::string& keyword) {
  std::vector<std::vector<std::string>> entries;
  for (const std::string& line : source)
    if (line.rfind(keyword + ",", 0) == 0) entries.push_back(source_fields(line));
  return entries;
}

inline void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

/// A fresh directory under the system's temporary directory, removed with everything in it.
class ScratchDirectory : public test_support::TemporaryDirectory {
 public:
  ScratchDirectory() : TemporaryDirectory("documents_test") {}
  std::filesystem::path path() const { return TemporaryDirectory::path(); }
  /// Names of the entries in the directory, sorted.
  std::vector<std::string> entries() const {
    const std::set<std::string> names = TemporaryDirectory::entries();
    return {names.begin(), names.end()};
  }
};

/// A run state whose program directory is `directory`, for the scenario's line and train.
inline RunState run_state_in(const std::filesystem::path& directory, const std::string& line_key = "Lesca-Varo",
                             const std::string& train_number = "148") {
  RunState state;
  state.line_key = line_key;
  state.train_number = train_number;
  state.program_directory = directory.string();
  return state;
}

}  // namespace document_test
