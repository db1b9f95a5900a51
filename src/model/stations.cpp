#include "model/stations.h"

#include <type_traits>

#include "model/trimmed.h"
#include "scenario/binary_format.h"

namespace {

bool stores_a_number(const ScenarioRecord& record) {
  bool found = false;
  visit_record_fields(record, [&found](const char*, const auto& field) {
    if constexpr (!std::is_same_v<std::decay_t<decltype(field)>, std::string>) found = found || field != 0;
  });
  return found;
}

}  // namespace

bool is_station_record(const ScenarioTable& table, int index) {
  return index >= kFirstStationRecord && index < kFirstBoardRecord &&
         stores_a_number(table[static_cast<std::size_t>(index)]);
}

int station_count(const ScenarioTable& table) {
  int count = 0;
  for (int index = kFirstStationRecord; index < kFirstBoardRecord; ++index) count += is_station_record(table, index);
  return count;
}

std::vector<Station> read_stations(const ScenarioTable& table) {
  std::vector<Station> stations;
  for (int index = kFirstStationRecord; index < kFirstBoardRecord; ++index) {
    if (!is_station_record(table, index)) continue;
    const ScenarioRecord& record = table[static_cast<std::size_t>(index)];
    stations.push_back({index, trimmed(record.text), record.number4, record.number3, record.number1, record.number2});
  }
  return stations;
}
