#include "support/scenario_json_reader.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace {

std::string str(int64_t value) { return std::to_string(value); }

/// The reverse of text_to_json (file_views/byte_text.h); nullopt, with the offset in `error_offset`, for a character
/// beyond U+00FF or malformed UTF-8.
std::optional<std::string> text_from_json(std::string_view utf8, std::size_t& error_offset) {
  std::string bytes;
  bytes.reserve(utf8.size());
  for (std::size_t k = 0; k < utf8.size(); ++k) {
    const auto lead = static_cast<unsigned char>(utf8[k]);
    if (lead < 0x80) {
      bytes.push_back(static_cast<char>(lead));
      continue;
    }
    // U+0080 to U+00FF are the two-byte sequences with lead 0xC2 or 0xC3.
    if ((lead != 0xC2 && lead != 0xC3) || k + 1 >= utf8.size() ||
        (static_cast<unsigned char>(utf8[k + 1]) & 0xC0) != 0x80) {
      error_offset = k;
      return std::nullopt;
    }
    bytes.push_back(static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(utf8[k + 1]) & 0x3F)));
    ++k;
  }
  return bytes;
}

/// A JSON value for an error message: short, and safe whatever its strings hold.
std::string shown(const ScenarioJson& value) {
  std::string text = value.dump(-1, ' ', false, ScenarioJson::error_handler_t::replace);
  if (text.size() > 40) text = text.substr(0, 37) + "...";
  return text;
}

/// Reads JSON into a structure; keeps the first error and where it was found.
class JsonReader {
 public:
  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  void fail(const std::string& where, const std::string& what) {
    if (error_.empty()) error_ = where.empty() ? what : where + ": " + what;
  }

  /// The member `key` of `object`, or null after an error.
  const ScenarioJson* member(const ScenarioJson& object, const char* key, const std::string& where) {
    if (!object.is_object()) {
      fail(where, "expected an object, found " + shown(object));
      return nullptr;
    }
    const auto it = object.find(key);
    if (it == object.end()) {
      fail(where, std::string("\"") + key + "\" missing");
      return nullptr;
    }
    return &*it;
  }

  std::optional<int64_t> integer(const ScenarioJson& value, int64_t min, int64_t max, const std::string& where) {
    if (!value.is_number_integer()) {
      fail(where, "expected a whole number, found " + shown(value));
      return std::nullopt;
    }
    const bool above = value.is_number_unsigned() && value.get<uint64_t>() > static_cast<uint64_t>(max);
    const int64_t number = above ? max : value.get<int64_t>();
    if (above || number < min || number > max) {
      fail(where, shown(value) + " is outside " + str(min) + " to " + str(max));
      return std::nullopt;
    }
    return number;
  }

  std::optional<int64_t> integer_member(const ScenarioJson& object, const char* key, int64_t min, int64_t max,
                                        const std::string& where) {
    const ScenarioJson* value = member(object, key, where);
    if (value == nullptr) return std::nullopt;
    return integer(*value, min, max, where.empty() ? key : where + ": " + key);
  }

  /// The array member `key` with exactly `count` elements.
  const ScenarioJson* array_member(const ScenarioJson& object, const char* key, std::size_t count) {
    const ScenarioJson* value = member(object, key, "");
    if (value == nullptr) return nullptr;
    if (!value->is_array()) {
      fail(key, "expected an array, found " + shown(*value));
      return nullptr;
    }
    if (value->size() != count) {
      fail(key, str(static_cast<int64_t>(value->size())) + " elements where " + str(static_cast<int64_t>(count)) +
                    " are expected");
      return nullptr;
    }
    return value;
  }

  void expect_format(const ScenarioJson& json, const char* format) {
    const ScenarioJson* value = member(json, "format", "");
    if (value != nullptr && (!value->is_string() || value->get_ref<const std::string&>() != format))
      fail("format", std::string("expected \"") + format + "\", found " + shown(*value));
  }

 private:
  std::string error_;
};

template <typename T>
Result<T> result(const JsonReader& reader, T value) {
  if (!reader.ok()) return Status::corruption(reader.error());
  return value;
}

/// Reads the number `key` of `object` into a field, within the range of the field's type.
template <typename Field>
void read_field(JsonReader& reader, const ScenarioJson& object, const char* key, Field& field,
                const std::string& where) {
  if (!reader.ok()) return;
  const auto value =
      reader.integer_member(object, key, std::numeric_limits<Field>::min(), std::numeric_limits<Field>::max(), where);
  if (value) field = static_cast<Field>(*value);
}

void read_text(JsonReader& reader, const ScenarioJson& object, const char* key, std::string& text,
               const std::string& where) {
  if (!reader.ok()) return;
  const ScenarioJson* value = reader.member(object, key, where);
  if (value == nullptr) return;
  if (!value->is_string()) {
    reader.fail(where + ": text", "expected a string, found " + shown(*value));
    return;
  }
  std::size_t offset = 0;
  auto bytes = text_from_json(value->get_ref<const std::string&>(), offset);
  if (!bytes) {
    reader.fail(where + ": text", "a character beyond U+00FF at byte " + str(static_cast<int64_t>(offset)));
    return;
  }
  if (bytes->size() > kMaxRecordText) {
    reader.fail(where + ": text", str(static_cast<int64_t>(bytes->size())) + " characters, more than " +
                                      str(static_cast<int64_t>(kMaxRecordText)));
    return;
  }
  text = std::move(*bytes);
}

std::optional<double> double_from_string(const std::string& text) {
  if (text.size() != 18 || text[0] != '0' || text[1] != 'x') return std::nullopt;
  uint64_t bits = 0;
  for (std::size_t k = 2; k < text.size(); ++k) {
    const char c = text[k];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    bits = bits << 4 | static_cast<uint64_t>(digit);
  }
  return std::bit_cast<double>(bits);
}

void coordinate_from_json(JsonReader& reader, const ScenarioJson& value, TrackTrace& trace, int32_t metre, int axis,
                          const std::string& where) {
  if (value.is_null()) return;
  if (value.is_number_float()) {
    trace.set_double(metre, axis, value.get<double>());
  } else if (value.is_number_integer()) {
    const auto number =
        reader.integer(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), where);
    if (number) trace.set_integer(metre, axis, static_cast<int16_t>(*number));
  } else if (value.is_string()) {
    const auto number = double_from_string(value.get_ref<const std::string&>());
    if (number)
      trace.set_double(metre, axis, *number);
    else
      reader.fail(where, "expected \"0x\" and 16 hex digits, found " + shown(value));
  } else {
    reader.fail(where, "expected null, a number or \"0x\" and 16 hex digits, found " + shown(value));
  }
}

}  // namespace

Result<TrackGrid> grid_from_json(const ScenarioJson& json) {
  JsonReader reader;
  TrackGrid grid;
  reader.expect_format(json, "grid");
  const auto count = reader.integer_member(json, "cellCount", 0, std::numeric_limits<int32_t>::max() / kCellLength, "");
  if (!count) return result(reader, std::move(grid));
  const ScenarioJson* cells = reader.array_member(json, "cells", static_cast<std::size_t>(*count) + 1);
  if (cells == nullptr) return result(reader, std::move(grid));
  grid.create(static_cast<int32_t>(*count) * kCellLength);
  for (int32_t n = 0; n <= *count && reader.ok(); ++n) {
    const std::string where = "cell " + str(n);
    const ScenarioJson& object = (*cells)[static_cast<std::size_t>(n)];
    visit_cell_fields(grid[n], [&](const char* name, auto& field) { read_field(reader, object, name, field, where); });
  }
  return result(reader, std::move(grid));
}

Result<ScenarioTable> table_from_json(const ScenarioJson& json) {
  JsonReader reader;
  ScenarioTable table;
  reader.expect_format(json, "table");
  const ScenarioJson* records = reader.array_member(json, "records", kScenarioRecordCount);
  for (int index = 0; records != nullptr && index < kScenarioRecordCount && reader.ok(); ++index) {
    const std::string where = "record " + str(index);
    const ScenarioJson& object = (*records)[static_cast<std::size_t>(index)];
    visit_record_fields(table[static_cast<std::size_t>(index)], [&](const char* name, auto& field) {
      if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>)
        read_text(reader, object, name, field, where);
      else
        read_field(reader, object, name, field, where);
    });
  }
  return result(reader, std::move(table));
}

Result<TrackTrace> trace_from_json(const ScenarioJson& json) {
  JsonReader reader;
  TrackTrace trace;
  reader.expect_format(json, "trace");
  const auto extent = reader.integer_member(json, "gridExtent", 0, std::numeric_limits<int32_t>::max() - 1, "");
  if (!extent) return result(reader, std::move(trace));
  const ScenarioJson* points = reader.array_member(json, "points", static_cast<std::size_t>(*extent) + 1);
  if (points == nullptr) return result(reader, std::move(trace));
  trace.create(static_cast<int32_t>(*extent));
  for (int32_t metre = 0; metre <= *extent && reader.ok(); ++metre) {
    const std::string where = "point " + str(metre);
    const ScenarioJson& point = (*points)[static_cast<std::size_t>(metre)];
    if (point.is_null()) continue;
    if (!point.is_array() || point.size() != 2) {
      reader.fail(where, "expected null or [x, y], found " + shown(point));
      break;
    }
    coordinate_from_json(reader, point[0], trace, metre, kAxisX, where + ": x");
    coordinate_from_json(reader, point[1], trace, metre, kAxisY, where + ": y");
  }
  return result(reader, std::move(trace));
}
