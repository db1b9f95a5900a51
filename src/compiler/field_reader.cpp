#include "compiler/field_reader.h"

#include <algorithm>
#include <limits>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_line_end(char c) { return c == '\r' || c == '\n'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

FieldReader::FieldReader(std::string_view text, SourceKind source) : text_(text), source_(source) {
  line_starts_.push_back(0);
  for (std::size_t i = 0; i < text_.size(); ++i) {
    if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 >= text_.size() || text_[i + 1] != '\n')))
      line_starts_.push_back(i + 1);
  }
  last_place_ = place_of(0);
}

SourcePlace FieldReader::place_of(std::size_t offset) const {
  const auto next = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
  const auto line = static_cast<int>(next - line_starts_.begin());
  const auto column = static_cast<int>(offset - line_starts_[static_cast<std::size_t>(line - 1)]) + 1;
  return SourcePlace{source_, line, column};
}

std::string_view FieldReader::line_text(int line) const {
  if (line < 1 || static_cast<std::size_t>(line) > line_starts_.size()) return {};
  const std::size_t start = line_starts_[static_cast<std::size_t>(line - 1)];
  std::size_t end = start;
  while (end < text_.size() && !is_line_end(text_[end])) ++end;
  return text_.substr(start, end - start);
}

void FieldReader::fail(const std::string& what) const { throw ReadFailure(what, last_place_); }

void FieldReader::restart_at_line(int line) {
  if (line < 1) line = 1;
  pos_ = static_cast<std::size_t>(line) <= line_starts_.size() ? line_starts_[static_cast<std::size_t>(line - 1)]
                                                               : text_.size();
}

void FieldReader::skip_blanks() {
  while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
}

bool FieldReader::consume_line_end() {
  if (pos_ >= text_.size()) return false;
  if (text_[pos_] == '\r') {
    ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return true;
  }
  if (text_[pos_] == '\n') {
    ++pos_;
    return true;
  }
  return false;
}

void FieldReader::begin_field() {
  if (at_end()) {
    last_place_ = place_of(text_.size());
    fail(kReadPastTheEnd);
  }
  skip_blanks();
  last_place_ = place_of(pos_);
}

std::string FieldReader::read_stored_text() {
  std::string field = read_text();
  if (field.size() > kMaxRecordText) fail("text longer than " + std::to_string(kMaxRecordText) + " characters");
  return field;
}

std::string FieldReader::read_text() {
  begin_field();
  if (pos_ < text_.size() && text_[pos_] == '"') {
    const std::size_t start = pos_ + 1;
    std::size_t close = text_.find('"', start);
    if (close == std::string_view::npos) {
      close = text_.size();
      if (!unclosed_quote_) unclosed_quote_ = last_place_;
    }
    std::string field(text_.substr(start, close - start));
    pos_ = std::min(close + 1, text_.size());
    skip_blanks();
    if (pos_ < text_.size() && text_[pos_] == ',') {
      ++pos_;
    } else {
      consume_line_end();
    }
    ++fields_read_;
    return field;
  }
  const std::size_t start = pos_;
  while (pos_ < text_.size() && text_[pos_] != ',' && !is_line_end(text_[pos_])) ++pos_;
  std::string field(text_.substr(start, pos_ - start));
  if (pos_ < text_.size() && text_[pos_] == ',') {
    ++pos_;
  } else {
    consume_line_end();
  }
  ++fields_read_;
  return field;
}

int64_t FieldReader::read_number(int64_t low, int64_t high, const char* target) {
  begin_field();
  if (pos_ >= text_.size() || text_[pos_] == ',' || is_line_end(text_[pos_])) {
    if (pos_ < text_.size() && text_[pos_] == ',') {
      ++pos_;
    } else {
      consume_line_end();
    }
    ++fields_read_;
    return 0;
  }
  bool negative = false;
  if (text_[pos_] == '+' || text_[pos_] == '-') {
    negative = text_[pos_] == '-';
    ++pos_;
  }
  if (pos_ >= text_.size() || !is_digit(text_[pos_])) fail("not a whole number");
  // Accumulate with a cap well beyond every target, so that long digit runs cannot overflow.
  constexpr int64_t kCap = int64_t{1} << 40;
  int64_t magnitude = 0;
  while (pos_ < text_.size() && is_digit(text_[pos_])) {
    magnitude = std::min(kCap, magnitude * 10 + (text_[pos_] - '0'));
    ++pos_;
  }
  if (pos_ < text_.size() && text_[pos_] != ',' && !is_blank(text_[pos_]) && !is_line_end(text_[pos_]))
    fail("not a whole number");
  const int64_t value = negative ? -magnitude : magnitude;
  if (value < low || value > high) fail(std::string("number does not fit ") + target);
  skip_blanks();
  if (pos_ < text_.size() && text_[pos_] == ',') {
    ++pos_;
  } else {
    consume_line_end();
  }
  ++fields_read_;
  return value;
}

int32_t FieldReader::read_int32() {
  return static_cast<int32_t>(
      read_number(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), "32 bits"));
}

int16_t FieldReader::read_int16() {
  return static_cast<int16_t>(
      read_number(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), "16 bits"));
}

uint8_t FieldReader::read_uint8() { return static_cast<uint8_t>(read_number(0, 255, "0 to 255")); }
