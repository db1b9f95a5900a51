// The field reader on any bytes, with any order of text and number reads.
//
// Input: one byte that chooses the reads, then the text. Each two bits of the first byte, cycled from
// the lowest, pick the next read: 0 text, 1 a 32-bit number, 2 a 16-bit number, 3 an unsigned byte.
// Reading goes on until the end of the text or the first read failure.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "compiler/field_reader.h"
#include "fuzz_check.h"
#include "scenario/read_failure.h"

namespace {

/// The lines of the text as the reader counts them, without their line ends (a last line after the final
/// line end included).
std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

/// A place must lie in the text: a line that exists, a column inside it or at its line end.
void check_place(const SourcePlace& place, const std::vector<std::string_view>& lines) {
  FUZZ_CHECK(place.line >= 1 && static_cast<std::size_t>(place.line) <= lines.size());
  FUZZ_CHECK(place.column >= 1);
  FUZZ_CHECK(static_cast<std::size_t>(place.column) <= lines[static_cast<std::size_t>(place.line - 1)].size() + 1);
}

bool before(const SourcePlace& a, const SourcePlace& b) {
  return std::tie(a.line, a.column) < std::tie(b.line, b.column);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const uint8_t schedule = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::vector<std::string_view> lines = split_lines(text);
  FieldReader reader(text, SourceKind::Line);
  check_place(reader.last_place(), lines);
  // The reader's own view of a line agrees with the split.
  FUZZ_CHECK(reader.line_text(static_cast<int>(lines.size())) == lines.back());

  SourcePlace previous{SourceKind::Line, 0, 0};
  for (unsigned n = 0; !reader.at_end(); ++n) {
    const unsigned read = (schedule >> (2 * (n % 4))) & 3u;
    try {
      if (read == 0) {
        const std::string field = reader.read_text();
        FUZZ_CHECK(field.size() <= kMaxRecordText);
        // Only a quoted field can hold a comma or a line end.
        const SourcePlace place = reader.last_place();
        check_place(place, lines);
        const std::string_view line = lines[static_cast<std::size_t>(place.line - 1)];
        const bool quoted = static_cast<std::size_t>(place.column) <= line.size() &&
                            line[static_cast<std::size_t>(place.column - 1)] == '"';
        if (!quoted) FUZZ_CHECK(field.find_first_of(",\r\n") == std::string::npos);
      } else if (read == 1) {
        reader.read_int32();
      } else if (read == 2) {
        reader.read_int16();
      } else {
        reader.read_uint8();
      }
    } catch (const ReadFailure& failure) {
      FUZZ_CHECK(failure.place().source == SourceKind::Line);
      check_place(failure.place(), lines);
      // A text field fails only when it is too long; the reader was not at its end.
      if (read == 0) FUZZ_CHECK(std::string_view(failure.what()).find("65535") != std::string_view::npos);
      break;
    }
    // Every field starts after the one before it.
    const SourcePlace place = reader.last_place();
    check_place(place, lines);
    FUZZ_CHECK(before(previous, place));
    previous = place;
  }
  return 0;
}
