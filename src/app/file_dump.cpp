#include "app/file_dump.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <span>

#include "scenario/file_names.h"
#include "scenario/format.h"

namespace {

// ---------------------------------------------------------------------------------------------------
// Text helpers

std::string str(int64_t value) { return std::to_string(value); }

std::string real(double value) {
  char buffer[512];  // the largest double takes 309 digits before the point
  std::snprintf(buffer, sizeof buffer, "%.3f", value);
  return buffer;
}

/// Seconds from midnight as h:mm:ss (hours may pass 23; a negative time keeps its sign).
std::string clock_text(int64_t seconds) {
  const char* sign = seconds < 0 ? "-" : "";
  const uint64_t magnitude = seconds < 0 ? 0 - static_cast<uint64_t>(seconds) : static_cast<uint64_t>(seconds);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s%02" PRIu64 ":%02" PRIu64 ":%02" PRIu64, sign, magnitude / 3600,
                magnitude % 3600 / 60, magnitude % 60);
  return buffer;
}

std::string two_digits(int64_t value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02" PRId64, value);
  return buffer;
}

/// Appends the character whose number is `byte` (U+0000 to U+00FF) in UTF-8.
void append_byte_character(std::string& out, unsigned char byte) {
  if (byte < 0x80) {
    out.push_back(static_cast<char>(byte));
  } else {
    out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
    out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
  }
}

/// A record text for people: in double quotes; printable ASCII as it is; bytes 0xA0 to 0xFF as the
/// letters they stand for in the 8-bit code page (the same in Latin-1 and Windows-1252); a quote or a
/// backslash escaped; every other byte as \xNN.
std::string quoted_text(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += c;
    } else if ((byte >= 0x20 && byte < 0x7F) || byte >= 0xA0) {
      append_byte_character(out, byte);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    }
  }
  return out + "\"";
}

/// The JSON form of a record text: each byte as the character of the same number.
std::string text_to_json(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) append_byte_character(out, static_cast<unsigned char>(c));
  return out;
}

/// The reverse of text_to_json; nullopt, with the offset in `error_offset`, for a character beyond
/// U+00FF or malformed UTF-8.
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

// ---------------------------------------------------------------------------------------------------
// Fields of a cell and of a record, in file order: one list for the description and both JSON ways.

struct CellField {
  const char* name;
  uint8_t TrackCell::*byte;
  int16_t TrackCell::*word;
};

constexpr std::array<CellField, 11> kCellFields{{
    {"kind", &TrackCell::kind, nullptr},
    {"value1", nullptr, &TrackCell::value1},
    {"value2", nullptr, &TrackCell::value2},
    {"value3", nullptr, &TrackCell::value3},
    {"value4", nullptr, &TrackCell::value4},
    {"signalTime", &TrackCell::signalTime, nullptr},
    {"approachMark", &TrackCell::approachMark, nullptr},
    {"mountainType", &TrackCell::mountainType, nullptr},
    {"speedLimit", &TrackCell::speedLimit, nullptr},
    {"gradient", &TrackCell::gradient, nullptr},
    {"adhesion", &TrackCell::adhesion, nullptr},
}};

int64_t get(const TrackCell& cell, const CellField& field) {
  return field.byte != nullptr ? cell.*field.byte : cell.*field.word;
}

struct RecordField {
  const char* name;
  uint8_t ScenarioRecord::*byte;
  int16_t ScenarioRecord::*word;
  int32_t ScenarioRecord::*number;  // all three null: the text
  bool is_text() const { return byte == nullptr && word == nullptr && number == nullptr; }
};

constexpr std::array<RecordField, 16> kRecordFields{{
    {"code", &ScenarioRecord::code, nullptr, nullptr},
    {"number1", nullptr, nullptr, &ScenarioRecord::number1},
    {"number2", nullptr, nullptr, &ScenarioRecord::number2},
    {"number3", nullptr, nullptr, &ScenarioRecord::number3},
    {"mark", &ScenarioRecord::mark, nullptr, nullptr},
    {"text", nullptr, nullptr, nullptr},
    {"short1", nullptr, &ScenarioRecord::short1, nullptr},
    {"short2", nullptr, &ScenarioRecord::short2, nullptr},
    {"short3", nullptr, &ScenarioRecord::short3, nullptr},
    {"short4", nullptr, &ScenarioRecord::short4, nullptr},
    {"short5", nullptr, &ScenarioRecord::short5, nullptr},
    {"byte1", &ScenarioRecord::byte1, nullptr, nullptr},
    {"byte2", &ScenarioRecord::byte2, nullptr, nullptr},
    {"byte3", &ScenarioRecord::byte3, nullptr, nullptr},
    {"byte4", &ScenarioRecord::byte4, nullptr, nullptr},
    {"number4", nullptr, nullptr, &ScenarioRecord::number4},
}};

/// A numeric field's value (0 for the text).
int64_t get(const ScenarioRecord& record, const RecordField& field) {
  if (field.byte != nullptr) return record.*field.byte;
  if (field.word != nullptr) return record.*field.word;
  if (field.number != nullptr) return record.*field.number;
  return 0;
}

bool is_set(const ScenarioRecord& record, const RecordField& field) {
  return field.is_text() ? !record.text.empty() : get(record, field) != 0;
}

/// The range of a field of that width.
template <typename Field>
std::pair<int64_t, int64_t> range_of(const Field& field) {
  if (field.byte != nullptr) return {0, std::numeric_limits<uint8_t>::max()};
  if (field.word != nullptr) return {std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()};
  return {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
}

// ---------------------------------------------------------------------------------------------------
// Grid description

/// What each kind of cell uses: the note printed after each value it uses (nullptr: unused).
struct KindInfo {
  uint8_t code;
  std::array<const char*, 4> values;
  bool signal_time;
};

constexpr const char* kNone = nullptr;

constexpr std::array<KindInfo, 12> kKinds{{
    {0, {kNone, kNone, kNone, kNone}, false},
    {1, {"", "", "", ""}, true},
    {2, {" km/h", "", "", kNone}, false},
    {3, {" km/h", "", "", kNone}, false},
    {4, {" km/h", "", kNone, kNone}, false},
    {5, {"", "", kNone, kNone}, false},
    {6, {"", "", "", ""}, false},
    {10, {" (station record)", kNone, kNone, kNone}, false},
    {11, {kNone, kNone, kNone, kNone}, false},
    {12, {" km/h", kNone, kNone, kNone}, false},
    {13, {kNone, kNone, kNone, kNone}, false},
    {14, {" (text record)", kNone, kNone, kNone}, false},
}};

const KindInfo* kind_info(uint8_t code) {
  for (const KindInfo& info : kKinds)
    if (info.code == code) return &info;
  return nullptr;
}

/// A cell is listed when it holds an object, a value or an approach mark.
bool has_object_fields(const TrackCell& cell) {
  return cell.kind != 0 || cell.value1 != 0 || cell.value2 != 0 || cell.value3 != 0 || cell.value4 != 0 ||
         cell.signalTime != 0 || cell.approachMark != 0;
}

std::string describe_cell(int64_t index, const TrackCell& cell) {
  const KindInfo* info = kind_info(cell.kind);
  std::string line = "  cell " + str(index) + " (" + str((index - 1) * kCellLength) + " m): ";
  const auto name = cell_kind_name(cell.kind);
  line += name ? std::string(*name) : "kind " + str(cell.kind) + " (unknown)";
  const std::array<int16_t, 4> values{cell.value1, cell.value2, cell.value3, cell.value4};
  for (std::size_t k = 0; k < values.size(); ++k) {
    // An unknown kind shows every value; a known one the values it uses, and any other that is set.
    const char* note = info != nullptr ? info->values[k] : "";
    if (note == nullptr && values[k] == 0) continue;
    line += " value" + str(static_cast<int64_t>(k) + 1) + "=" + str(values[k]) + (note != nullptr ? note : "");
  }
  if (info == nullptr || info->signal_time || cell.signalTime != 0) line += " signalTime=" + str(cell.signalTime);
  if (cell.approachMark != 0) line += " approachMark=" + str(cell.approachMark);
  return line + "\n";
}

std::string gradient_text(uint8_t stored) {
  const int per_mille = gradient_per_mille(stored);
  return (per_mille > 0 ? "+" : "") + str(per_mille) + " per mille";
}
std::string speed_text(uint8_t stored) { return str(speed_km_h(stored)) + " km/h"; }
std::string adhesion_text(uint8_t stored) { return str(stored); }
std::string mountain_text(uint8_t stored) { return stored == 0 ? "none" : "type " + str(stored); }

/// One line per run of equal values of a profile field: its cells, its metres, its value.
void describe_runs(std::string& out, const TrackGrid& grid, const char* title, uint8_t TrackCell::*field,
                   std::string (*value_text)(uint8_t)) {
  out += title;
  out += ":\n";
  const std::vector<TrackCell>& cells = grid.cells();
  std::size_t first = 0;
  for (std::size_t n = 1; n <= cells.size(); ++n) {
    if (n < cells.size() && cells[n].*field == cells[first].*field) continue;
    const auto start = static_cast<int64_t>(first);
    const auto last = static_cast<int64_t>(n - 1);
    out += start == last ? "  cell " + str(start) : "  cells " + str(start) + "-" + str(last);
    out += " (" + str(start * kCellLength) + "-" + str((last + 1) * kCellLength) + " m): ";
    out += value_text(cells[first].*field) + "\n";
    first = n;
  }
}

// ---------------------------------------------------------------------------------------------------
// Table description

struct FieldLabel {
  const char* field;
  const char* label;
};

constexpr FieldLabel kStationLabels[] = {
    {"code", "station kind"},
    {"number1", "platform start, m"},
    {"number2", "platform end, m"},
    {"number3", "position, m"},
    {"mark", "station flag"},
    {"text", "name"},
    {"short1", "station value"},
    {"short2", "station value"},
    {"short3", "station value"},
    {"short4", "station value"},
    {"short5", "station value"},
    {"byte1", "station value"},
    {"byte2", "station value"},
    {"byte3", "platform extension flag"},
    {"byte4", "station flag"},
    {"number4", "timetable time, s from midnight"},
};
constexpr FieldLabel kBoardLabels[] = {{"text", "board text"}};
constexpr FieldLabel kKilometricLabels[] = {
    {"number1", "start, m"},
    {"number2", "kilometric progressive, m"},
    {"number3", "flag"},
};
constexpr FieldLabel kTrainLabels[] = {
    {"number1", "braked-mass percentage"},
    {"number2", "line length, m"},
    {"number3", "number of cars"},
};
constexpr FieldLabel kLineLabels[] = {
    {"number1", "background uno"},
    {"number2", "background tre"},
    {"number3", "background due"},
    {"text", "line key"},
    {"short1", "marker"},
    {"number4", "competition code"},
};
constexpr FieldLabel kServiceLabels[] = {
    {"number1", "signal repetition, first position, m"},
    {"number2", "signal repetition, second position, m"},
    {"number3", "signal repetition codes: 4, 9 or 0"},
    {"text", "train number"},
    {"short1", "sand supply"},
    {"short3", "clock, hours"},
    {"short4", "clock, minutes"},
    {"short5", "clock, seconds"},
};

const char* label_of(std::span<const FieldLabel> labels, const char* field) {
  for (const FieldLabel& label : labels)
    if (std::string_view(label.field) == field) return label.label;
  return nullptr;
}

bool in_use(const ScenarioRecord& record) {
  for (const RecordField& field : kRecordFields)
    if (is_set(record, field)) return true;
  return false;
}

bool has_numbers(const ScenarioRecord& record) {
  for (const RecordField& field : kRecordFields)
    if (!field.is_text() && get(record, field) != 0) return true;
  return false;
}

/// The heading of a record and the labels of its fields, by its index and content.
std::pair<std::string, std::span<const FieldLabel>> role_of(int index, const ScenarioRecord& record) {
  if (index >= kFirstStationRecord && index <= kFirstBoardRecord) {
    // Stations and board texts share records 1 to 80; a board text is a record with nothing but a text.
    if (has_numbers(record))
      return {"station " + quoted_text(record.text) + " at " + str(record.number3) + " m, due " +
                  clock_text(record.number4),
              kStationLabels};
    return {"information board", kBoardLabels};
  }
  switch (index) {
    case kKilometricTreRecord:
    case kKilometricDueRecord:
    case kKilometricUnoRecord: return {"kilometric reference", kKilometricLabels};
    case kTrainRecord: return {"train and line", kTrainLabels};
    case kLineRecord: return {"line", kLineLabels};
    case kServiceRecord:
      return {"service, clock " + two_digits(record.short3) + ":" + two_digits(record.short4) + ":" +
                  two_digits(record.short5),
              kServiceLabels};
    default: return {"not a record the compiler fills", {}};
  }
}

std::string describe_record(int index, const ScenarioRecord& record) {
  const auto [heading, labels] = role_of(index, record);
  std::string out = "record " + str(index) + ": " + heading + "\n";
  for (const RecordField& field : kRecordFields) {
    // The fields of the record's role always; any other field when it is set.
    const char* label = label_of(labels, field.name);
    if (label == nullptr && !is_set(record, field)) continue;
    const std::string value = field.is_text() ? quoted_text(record.text) : str(get(record, field));
    out += std::string("  ") + field.name + " = " + value;
    if (label != nullptr) out += std::string("  (") + label + ")";
    out += "\n";
  }
  return out;
}

// ---------------------------------------------------------------------------------------------------
// JSON reading

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
Decoded<T> result(const JsonReader& reader, T value) {
  if (!reader.ok()) return Decoded<T>{std::nullopt, reader.error()};
  return Decoded<T>{std::move(value), {}};
}

/// A double that JSON numbers cannot carry (not finite) travels as "0x" and its 64 bits in hex.
ScenarioJson double_to_json(double value) {
  if (std::isfinite(value)) return value;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%016" PRIx64, std::bit_cast<uint64_t>(value));
  return buffer;
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

ScenarioJson coordinate_to_json(const TrackTrace& trace, int32_t metre, int axis) {
  switch (trace.tag(metre, axis)) {
    case TraceTag::Integer: return static_cast<int64_t>(trace.value(metre, axis));
    case TraceTag::Double: return double_to_json(trace.value(metre, axis));
    case TraceTag::Empty: break;
  }
  return nullptr;
}

void coordinate_from_json(JsonReader& reader, const ScenarioJson& value, TrackTrace& trace, int32_t metre, int axis,
                          const std::string& where) {
  if (value.is_null()) return;
  if (value.is_number_float()) {
    trace.set_double(metre, axis, value.get<double>());
  } else if (value.is_number_integer()) {
    const auto number = reader.integer(value, std::numeric_limits<int16_t>::min(),
                                       std::numeric_limits<int16_t>::max(), where);
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

std::string describe_grid(const TrackGrid& grid) {
  if (!grid.exists()) return "Track grid: no cells\n";
  std::string out = "Track grid: cells 0 to " + str(grid.cellCount()) + "\n";
  describe_runs(out, grid, "Gradient", &TrackCell::gradient, gradient_text);
  describe_runs(out, grid, "Speed limit", &TrackCell::speedLimit, speed_text);
  describe_runs(out, grid, "Adhesion", &TrackCell::adhesion, adhesion_text);
  describe_runs(out, grid, "Mountain type", &TrackCell::mountainType, mountain_text);
  out += "Objects and marks (an object at p m lies in cell round(p / 50 + 1)):\n";
  for (int32_t n = 0; n <= grid.cellCount(); ++n)
    if (has_object_fields(grid[n])) out += describe_cell(n, grid[n]);
  return out;
}

std::string describe_table(const ScenarioTable& table) {
  int used = 0;
  for (const ScenarioRecord& record : table) used += in_use(record) ? 1 : 0;
  std::string out = "Scenario table: " + str(kScenarioRecordCount) + " records, " + str(used) + " in use\n";
  for (int index = 0; index < kScenarioRecordCount; ++index) {
    const ScenarioRecord& record = table[static_cast<std::size_t>(index)];
    if (in_use(record)) out += describe_record(index, record);
  }
  return out;
}

std::string describe_trace(const TrackTrace& trace) {
  if (!trace.exists()) return "Plan trace: no points\n";
  const int32_t last = trace.last_metre();
  int64_t complete = 0;
  int64_t partial = 0;
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  double length = 0;
  std::optional<std::pair<double, double>> previous;
  for (int32_t metre = 0; metre <= last; ++metre) {
    const bool has_x = trace.tag(metre, kAxisX) != TraceTag::Empty;
    const bool has_y = trace.tag(metre, kAxisY) != TraceTag::Empty;
    if (has_x != has_y) ++partial;
    if (!has_x || !has_y) continue;
    const double x = trace.value(metre, kAxisX);
    const double y = trace.value(metre, kAxisY);
    if (complete == 0) {
      min_x = max_x = x;
      min_y = max_y = y;
    } else {
      min_x = std::min(min_x, x);
      max_x = std::max(max_x, x);
      min_y = std::min(min_y, y);
      max_y = std::max(max_y, y);
    }
    if (previous) length += std::hypot(x - previous->first, y - previous->second);
    previous = {x, y};
    ++complete;
  }
  const int64_t points = static_cast<int64_t>(last) + 1;
  std::string out = "Plan trace: metres 0 to " + str(last) + ", " + str(points) + " points\n";
  out += "  points with both coordinates: " + str(complete) + "\n";
  out += "  points with one coordinate only: " + str(partial) + "\n";
  out += "  empty points: " + str(points - complete - partial) + "\n";
  if (complete > 0)
    out += "  bounding box: X " + real(min_x) + " to " + real(max_x) + ", Y " + real(min_y) + " to " + real(max_y) +
           "\n";
  else
    out += "  bounding box: none\n";
  out += "  length: " + real(length) + " m\n";
  return out;
}

ScenarioJson grid_to_json(const TrackGrid& grid) {
  ScenarioJson cells = ScenarioJson::array();
  for (const TrackCell& cell : grid.cells()) {
    ScenarioJson object = ScenarioJson::object();
    for (const CellField& field : kCellFields) object[field.name] = get(cell, field);
    cells.push_back(std::move(object));
  }
  ScenarioJson json = ScenarioJson::object();
  json["format"] = "grid";
  json["cellCount"] = grid.cellCount();
  json["cells"] = std::move(cells);
  return json;
}

ScenarioJson table_to_json(const ScenarioTable& table) {
  ScenarioJson records = ScenarioJson::array();
  for (const ScenarioRecord& record : table) {
    ScenarioJson object = ScenarioJson::object();
    for (const RecordField& field : kRecordFields) {
      if (field.is_text())
        object[field.name] = text_to_json(record.text);
      else
        object[field.name] = get(record, field);
    }
    records.push_back(std::move(object));
  }
  ScenarioJson json = ScenarioJson::object();
  json["format"] = "table";
  json["records"] = std::move(records);
  return json;
}

ScenarioJson trace_to_json(const TrackTrace& trace) {
  ScenarioJson points = ScenarioJson::array();
  for (int32_t metre = 0; trace.exists() && metre <= trace.last_metre(); ++metre) {
    ScenarioJson x = coordinate_to_json(trace, metre, kAxisX);
    ScenarioJson y = coordinate_to_json(trace, metre, kAxisY);
    if (x.is_null() && y.is_null())
      points.push_back(nullptr);
    else
      points.push_back(ScenarioJson::array({std::move(x), std::move(y)}));
  }
  ScenarioJson json = ScenarioJson::object();
  json["format"] = "trace";
  json["gridExtent"] = trace.exists() ? trace.last_metre() : -1;
  json["points"] = std::move(points);
  return json;
}

Decoded<TrackGrid> grid_from_json(const ScenarioJson& json) {
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
    TrackCell& cell = grid[n];
    for (const CellField& field : kCellFields) {
      const auto [min, max] = range_of(field);
      const auto value = reader.integer_member((*cells)[static_cast<std::size_t>(n)], field.name, min, max, where);
      if (!value) break;
      if (field.byte != nullptr)
        cell.*field.byte = static_cast<uint8_t>(*value);
      else
        cell.*field.word = static_cast<int16_t>(*value);
    }
  }
  return result(reader, std::move(grid));
}

Decoded<ScenarioTable> table_from_json(const ScenarioJson& json) {
  JsonReader reader;
  ScenarioTable table;
  reader.expect_format(json, "table");
  const ScenarioJson* records = reader.array_member(json, "records", kScenarioRecordCount);
  for (int index = 0; records != nullptr && index < kScenarioRecordCount && reader.ok(); ++index) {
    const std::string where = "record " + str(index);
    const ScenarioJson& object = (*records)[static_cast<std::size_t>(index)];
    ScenarioRecord& record = table[static_cast<std::size_t>(index)];
    for (const RecordField& field : kRecordFields) {
      if (field.is_text()) {
        const ScenarioJson* text = reader.member(object, field.name, where);
        if (text == nullptr) break;
        if (!text->is_string()) {
          reader.fail(where + ": text", "expected a string, found " + shown(*text));
          break;
        }
        std::size_t offset = 0;
        auto bytes = text_from_json(text->get_ref<const std::string&>(), offset);
        if (!bytes) {
          reader.fail(where + ": text", "a character beyond U+00FF at byte " + str(static_cast<int64_t>(offset)));
          break;
        }
        if (bytes->size() > kMaxRecordText) {
          reader.fail(where + ": text", str(static_cast<int64_t>(bytes->size())) + " characters, more than " +
                                            str(static_cast<int64_t>(kMaxRecordText)));
          break;
        }
        record.text = std::move(*bytes);
        continue;
      }
      const auto [min, max] = range_of(field);
      const auto value = reader.integer_member(object, field.name, min, max, where);
      if (!value) break;
      if (field.byte != nullptr)
        record.*field.byte = static_cast<uint8_t>(*value);
      else if (field.word != nullptr)
        record.*field.word = static_cast<int16_t>(*value);
      else
        record.*field.number = static_cast<int32_t>(*value);
    }
  }
  return result(reader, std::move(table));
}

Decoded<TrackTrace> trace_from_json(const ScenarioJson& json) {
  JsonReader reader;
  TrackTrace trace;
  reader.expect_format(json, "trace");
  const auto extent =
      reader.integer_member(json, "gridExtent", 0, std::numeric_limits<int32_t>::max() - 1, "");
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

std::string json_text(const ScenarioJson& json) {
  if (!json.is_object() || json.empty()) return json.dump() + "\n";
  std::string out = "{\n";
  bool first = true;
  for (auto it = json.begin(); it != json.end(); ++it) {
    if (!first) out += ",\n";
    first = false;
    out += "  " + ScenarioJson(it.key()).dump() + ": ";
    const ScenarioJson& value = it.value();
    if (!value.is_array() || value.empty()) {
      out += value.dump();
      continue;
    }
    out += "[\n";
    for (std::size_t k = 0; k < value.size(); ++k) {
      out += "    " + value[k].dump();
      out += k + 1 < value.size() ? ",\n" : "\n";
    }
    out += "  ]";
  }
  return out + "\n}\n";
}

Inspection inspect_file(std::string_view file_name, std::string_view bytes, bool as_json) {
  const std::string name(file_name);
  const std::string header = name + ": " + str(static_cast<int64_t>(bytes.size())) + " bytes\n";
  const std::optional<ScenarioFile> file = binary_file_by_ending(file_name);
  switch (file.value_or(ScenarioFile::LineSource)) {
    case ScenarioFile::Trace: {
      const Decoded<TrackTrace> decoded = decode_trace(bytes);
      if (!decoded) return {{}, name + ": not a plan trace: " + decoded.error};
      return {as_json ? json_text(trace_to_json(*decoded.value)) : header + describe_trace(*decoded.value), {}};
    }
    case ScenarioFile::Table: {
      const Decoded<ScenarioTable> decoded = decode_table(bytes);
      if (!decoded) return {{}, name + ": not a scenario table: " + decoded.error};
      return {as_json ? json_text(table_to_json(*decoded.value)) : header + describe_table(*decoded.value), {}};
    }
    case ScenarioFile::Grid: {
      const Decoded<TrackGrid> decoded = decode_grid(bytes);
      if (!decoded) return {{}, name + ": not a track grid: " + decoded.error};
      return {as_json ? json_text(grid_to_json(*decoded.value)) : header + describe_grid(*decoded.value), {}};
    }
    default: break;
  }
  return {{}, name + ": unknown file type: the name must end in \"_linea.dat\", \".sim\" or \".dat\""};
}
