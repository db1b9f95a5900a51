#include "file_views/table_description.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "file_views/author_units.h"
#include "file_views/byte_text.h"
#include "model/kilometric.h"
#include "model/stations.h"
#include "scenario/binary_format.h"

namespace {

std::string str(int64_t value) { return std::to_string(value); }

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
    {"code", "station kind"},       {"number1", "platform start, m"},
    {"number2", "platform end, m"}, {"number3", "position, m"},
    {"mark", "station flag"},       {"text", "name"},
    {"short1", "station value"},    {"short2", "station value"},
    {"short3", "station value"},    {"short4", "station value"},
    {"short5", "station value"},    {"byte1", "station value"},
    {"byte2", "station value"},     {"byte3", "platform extension flag"},
    {"byte4", "station flag"},      {"number4", "timetable time, s from midnight"},
};
constexpr FieldLabel kBoardLabels[] = {{"text", "board text"}};
constexpr FieldLabel kKilometricLabels[] = {
    {"number1", "start, m"},
    {"number2", "kilometric progressive at the start, m; stored with 100 added when the flag is 1"},
    {"number3", "flag: 1 counts down"},
};
constexpr FieldLabel kTrainLabels[] = {
    {"number1", "braked-mass percentage"},
    {"number2", "line length, m"},
    {"number3", "number of cars"},
};
constexpr FieldLabel kLineLabels[] = {
    {"number1", "background uno"}, {"number2", "background tre"}, {"number3", "background due"},
    {"text", "line key"},          {"short1", "marker"},          {"number4", "competition code"},
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

/// The heading of a record and the labels of its fields, by its role.
std::pair<std::string, std::span<const FieldLabel>> role_of(const ScenarioTable& table, int index,
                                                            const std::vector<KilometricReference>& references) {
  const ScenarioRecord& record = table[static_cast<std::size_t>(index)];
  const std::string_view role = record_role(table, index);
  if (role == kStationRole)
    return {"station " + quoted_text(record.text) + " at " + place_text(references, record.number3) + ", platform " +
                str(record.number1) + "-" + str(record.number2) + " m, due " + clock_text(record.number4),
            kStationLabels};
  if (role == kKilometricRole) return {"kilometric reference " + reference_text(record), kKilometricLabels};
  switch (index) {
    case kTrainRecord:
      return {"train and line", kTrainLabels};
    case kLineRecord:
      return {"line", kLineLabels};
    case kServiceRecord:
      return {"service, clock " + two_digits(record.short3) + ":" + two_digits(record.short4) + ":" +
                  two_digits(record.short5),
              kServiceLabels};
    default:
      break;
  }
  // Stations and board texts share records 1 to 80.
  if (index >= kFirstStationRecord && index <= kFirstBoardRecord) return {"information board", kBoardLabels};
  return {"not a record the compiler fills", {}};
}

void describe_record(const ScenarioTable& table, int index, const std::vector<KilometricReference>& references,
                     std::ostream& stream) {
  // Named, not bound: clang 14 refuses a lambda that captures a structured binding.
  const auto role = role_of(table, index, references);
  const auto& labels = role.second;
  std::string out = "record " + str(index) + ": " + role.first + "\n";
  visit_record_fields(table[static_cast<std::size_t>(index)], [&](const char* name, const auto& field) {
    // The fields of the record's role always; any other field when it is set.
    const char* label = label_of(labels, name);
    if (label == nullptr && !is_set(field)) return;
    out += std::string("  ") + name + " = " + shown(field);
    if (label != nullptr) out += std::string("  (") + label + ")";
    out += "\n";
  });
  stream << out;
}

}  // namespace

std::string_view record_role(const ScenarioTable& table, int index) {
  if (index >= kFirstStationRecord && index <= kFirstBoardRecord) {
    if (is_station_record(table, index)) return kStationRole;
    return in_use(table[static_cast<std::size_t>(index)]) ? "information board" : "free";
  }
  switch (index) {
    case kKilometricTreRecord:
    case kKilometricDueRecord:
    case kKilometricUnoRecord:
      return kKilometricRole;
    case kTrainRecord:
      return "train and line";
    case kLineRecord:
      return "line";
    case kServiceRecord:
      return "service";
    default:
      return "unused";
  }
}

void describe_table(const ScenarioTable& table, std::ostream& out) {
  int used = 0;
  for (const ScenarioRecord& record : table) used += in_use(record) ? 1 : 0;
  out << "Scenario table: " << kScenarioRecordCount << " records, " << used << " in use\n";
  const std::vector<KilometricReference> references = kilometric_references(table);
  for (int index = 0; index < kScenarioRecordCount && out; ++index)
    if (in_use(table[static_cast<std::size_t>(index)])) describe_record(table, index, references, out);
}
