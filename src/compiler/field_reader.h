#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/read_failure.h"
#include "scenario/scenario_table.h"

/// Reads a text buffer as comma-delimited sequential input, one field at a time, across line ends.
///
/// - Leading blanks (spaces and tabs) of a field are skipped.
/// - A text field ends at the next comma or line end (CR LF, LF or CR), which is consumed; trailing
///   blanks stay in it. A field that begins with a double quote runs to the closing quote, after which
///   blanks and one comma or line end are consumed.
/// - A number field is an optionally signed whole number ending at a comma, a blank or a line end;
///   after it blanks are skipped and one comma or line end is consumed. An empty field reads as 0.
/// - Reading at the end of the buffer, a number field holding anything else, or a number that does not
///   fit its target throws ReadFailure with the place of the field.
class FieldReader {
 public:
  FieldReader(std::string_view text, SourceKind source);

  /// True once the last byte has been consumed.
  bool at_end() const { return pos_ >= text_.size(); }

  std::string read_text();
  /// A text that a record stores (a station name, a board text): longer than kMaxRecordText bytes, more
  /// than a record can hold, it is a read failure. Any other field may be of any length.
  std::string read_stored_text();
  int32_t read_int32();
  int16_t read_int16();
  uint8_t read_uint8();

  /// Where a field opened a quote that no later quote closes, if one did: it ran to the end of the file.
  std::optional<SourcePlace> unclosed_quote() const { return unclosed_quote_; }

  /// How many fields have been read whole so far.
  std::size_t fields_read() const { return fields_read_; }
  /// Goes on reading from the start of a 1-based line (the end of the buffer beyond the last line).
  void restart_at_line(int line);

  /// Where the last field read (or being read) starts, after its leading blanks.
  SourcePlace last_place() const { return last_place_; }
  /// The size of the buffer, bytes.
  std::size_t size() const { return text_.size(); }
  /// The place of a byte offset of the buffer.
  SourcePlace place_of(std::size_t offset) const;
  /// The text of a 1-based line, without its line end ("" beyond the last line).
  std::string_view line_text(int line) const;
  SourceKind source() const { return source_; }

 private:
  void begin_field();
  int64_t read_number(int64_t low, int64_t high, const char* target);
  void skip_blanks();
  bool consume_line_end();
  [[noreturn]] void fail(const std::string& what) const;

  std::string_view text_;
  SourceKind source_;
  std::size_t pos_ = 0;
  SourcePlace last_place_;
  std::vector<std::size_t> line_starts_;
  std::size_t fields_read_ = 0;
  std::optional<SourcePlace> unclosed_quote_;
};
