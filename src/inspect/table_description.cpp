#include "inspect/table_description.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>

#include "inspect/byte_text.h"
#include "model/stations.h"
#include "scenario/binary_format.h"

namespace {

std::string str(int64_t value) { return std::to_string(value); }

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

template <typename Field>
constexpr bool is_text = std::is_same_v<std::decay_t<Field>, std::string>;

/// A field's value as the description shows it.
template <typename Field>
std::string shown(const Field& field) {
  if constexpr (is_text<Field>)
    return quoted_text(field);
  else
    return str(field);
}

template <typename Field>
bool is_set(const Field& field) {
  if constexpr (is_text<Field>)
    return !field.empty();
  else
    return field != 0;
}

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

const char* label_of(std::span<const FieldLabel> labels, std::string_view field) {
  for (const FieldLabel& label : labels)
    if (field == label.field) return label.label;
  return nullptr;
}

bool in_use(const ScenarioRecord& record) {
  bool used = false;
  visit_record_fields(record, [&used](const char*, const auto& field) { used = used || is_set(field); });
  return used;
}

/// The heading of a record and the labels of its fields, by its index and content.
std::pair<std::string, std::span<const FieldLabel>> role_of(const ScenarioTable& table, int index) {
  const ScenarioRecord& record = table[static_cast<std::size_t>(index)];
  if (index >= kFirstStationRecord && index <= kFirstBoardRecord) {
    // Stations and board texts share records 1 to 80.
    if (is_station_record(table, index))
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

std::string describe_record(const ScenarioTable& table, int index) {
  const auto [heading, labels] = role_of(table, index);
  std::string out = "record " + str(index) + ": " + heading + "\n";
  visit_record_fields(table[static_cast<std::size_t>(index)], [&](const char* name, const auto& field) {
    // The fields of the record's role always; any other field when it is set.
    const char* label = label_of(labels, name);
    if (label == nullptr && !is_set(field)) return;
    out += std::string("  ") + name + " = " + shown(field);
    if (label != nullptr) out += std::string("  (") + label + ")";
    out += "\n";
  });
  return out;
}

}  // namespace

std::string describe_table(const ScenarioTable& table) {
  int used = 0;
  for (const ScenarioRecord& record : table) used += in_use(record) ? 1 : 0;
  std::string out = "Scenario table: " + str(kScenarioRecordCount) + " records, " + str(used) + " in use\n";
  for (int index = 0; index < kScenarioRecordCount; ++index)
    if (in_use(table[static_cast<std::size_t>(index)])) out += describe_record(table, index);
  return out;
}
