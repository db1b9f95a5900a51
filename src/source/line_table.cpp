#include "source/line_table.h"

#include <stdexcept>

#include "platform/file_replacement.h"

std::string encode_lines(const LineTable& table) {
  std::string bytes;
  for (std::size_t index = 0; index < table.size() && index < kLineTableCapacity; ++index) {
    if (table[index] == kEndMarker) return bytes;
    bytes += table[index];
    bytes += "\r\n";
  }
  throw std::logic_error("line table without its end marker");
}

void scrivi_righe(const std::string& path, const LineTable& table) { replace_file(path, encode_lines(table)); }
