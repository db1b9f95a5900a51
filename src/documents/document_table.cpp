#include "documents/document_table.h"

#include <cmath>
#include <numeric>
#include <stdexcept>

#include "platform/windows1252.h"

namespace {

/// Filled into a cell whose number does not fit it.
constexpr char kNoRoom = '#';

std::string sign_and(int64_t value, const std::string& digits) { return (value < 0 ? "-" : "") + digits; }

}  // namespace

std::size_t row_length(CellWidths widths) {
  return 2 + std::accumulate(widths.begin(), widths.end(), std::size_t{0}) + widths.size();
}

std::string table_row(CellWidths widths, const std::vector<std::string>& cells) {
  std::string row = " |";
  for (std::size_t i = 0; i < widths.size(); ++i) {
    std::string cell = i < cells.size() ? cells[i].substr(0, widths[i]) : std::string();
    cell.resize(widths[i], ' ');
    row += cell;
    row += '|';
  }
  return row;
}

std::string table_rule(CellWidths widths) {
  std::vector<std::string> cells;
  for (const std::size_t width : widths) cells.emplace_back(width, '_');
  return table_row(widths, cells);
}

std::string empty_row(CellWidths widths) { return table_row(widths, {}); }

std::string table_top(CellWidths widths) { return std::string(2, ' ').append(row_length(widths) - 3, '_'); }

std::string box_top(CellWidths widths, const std::vector<bool>& edges) {
  std::string line = " ";
  for (std::size_t i = 0; i < widths.size(); ++i)
    line.append(1, ' ').append(widths[i], i < edges.size() && edges[i] ? '_' : ' ');
  return line;
}

std::string placed_left(std::string_view text, std::size_t width, std::size_t lead) {
  std::string cell(lead, ' ');
  cell += text;
  cell.resize(width, ' ');
  return cell;
}

std::string placed_right(std::string_view text, std::size_t width, std::size_t trail) {
  if (text.size() > width) return std::string(width, kNoRoom);
  const std::size_t end = std::max(text.size(), width - std::min(trail, width));
  std::string cell(end - text.size(), ' ');
  cell += text;
  cell.resize(width, ' ');
  return cell;
}

std::string centred(std::string_view text, std::size_t width) {
  if (text.size() >= width) return std::string(text.substr(0, width));
  return placed_left(text, width, (width - text.size()) / 2);
}

std::vector<std::string> wrapped(std::string_view text, std::size_t width) {
  std::vector<std::string> lines;
  if (width == 0) return {std::string()};
  auto without_trailing_blanks = [](std::string_view line) {
    const auto last = line.find_last_not_of(' ');
    return std::string(last == std::string_view::npos ? std::string_view() : line.substr(0, last + 1));
  };
  while (text.size() > width) {
    // The line ends after its last "-", else before its last blank (which goes).
    std::size_t end = 0;
    std::size_t next = 0;
    for (std::size_t i = 1; i <= width; ++i) {
      if (text[i - 1] == '-') {
        end = next = i;
      } else if (text[i] == ' ' && (end == 0 || text[end - 1] != '-')) {
        end = i;
        next = i + 1;
      }
    }
    if (end == 0) end = next = width;  // one word longer than the line
    const std::string line = without_trailing_blanks(text.substr(0, end));
    if (!line.empty()) lines.push_back(line);
    text.remove_prefix(next);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  }
  if (!text.empty() || lines.empty()) lines.push_back(without_trailing_blanks(text));
  return lines;
}

std::string printable(std::string_view text) {
  std::string shown(text);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return shown;
}

std::string kilometre_text(double metres) {
  // Beyond any line the format allows: shown as a number too long for its cell.
  if (!std::isfinite(metres) || std::fabs(metres) >= 1e15) return std::string(32, kNoRoom);
  const auto whole = static_cast<int64_t>(std::nearbyint(metres));
  const int64_t size = whole < 0 ? -whole : whole;
  std::string thousandths = std::to_string(size % 1000);
  thousandths.insert(0, 3 - thousandths.size(), '0');
  return sign_and(whole, std::to_string(size / 1000) + "." + thousandths);
}

std::string metres_text(int64_t metres) {
  const uint64_t size = metres < 0 ? 0 - static_cast<uint64_t>(metres) : static_cast<uint64_t>(metres);
  std::string digits = std::to_string(size);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, '.');
  return sign_and(metres, digits);
}

std::string clock_text(int32_t seconds) {
  const int64_t size = seconds < 0 ? -int64_t{seconds} : int64_t{seconds};
  std::string minutes = std::to_string(size % 3600 / 60);
  minutes.insert(0, 2 - minutes.size(), '0');
  return sign_and(seconds, std::to_string(size / 3600) + "." + minutes);
}

std::string left_out_text(std::size_t count) { return "(altre " + std::to_string(count) + " righe)"; }

std::string name_text(std::string_view file_name_part) {
  try {
    return printable(utf8_to_windows1252(file_name_part));
  } catch (const std::invalid_argument&) {
    return printable(file_name_part);
  }
}
