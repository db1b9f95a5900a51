#include "inspect/scenario_json.h"

#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <type_traits>

#include "inspect/byte_text.h"
#include "scenario/binary_format.h"

namespace {

/// A double that JSON numbers cannot carry (not finite) travels as "0x" and its 64 bits in hex.
ScenarioJson double_to_json(double value) {
  if (std::isfinite(value)) return value;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%016" PRIx64, std::bit_cast<uint64_t>(value));
  return buffer;
}

ScenarioJson coordinate_to_json(const TrackTrace& trace, int32_t metre, int axis) {
  switch (trace.tag(metre, axis)) {
    case TraceTag::Integer: return static_cast<int64_t>(trace.value(metre, axis));
    case TraceTag::Double: return double_to_json(trace.value(metre, axis));
    case TraceTag::Empty: break;
  }
  return nullptr;
}

}  // namespace

ScenarioJson grid_to_json(const TrackGrid& grid) {
  ScenarioJson cells = ScenarioJson::array();
  for (const TrackCell& cell : grid.cells()) {
    ScenarioJson object = ScenarioJson::object();
    visit_cell_fields(cell, [&object](const char* name, const auto& field) { object[name] = int64_t{field}; });
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
    visit_record_fields(record, [&object](const char* name, const auto& field) {
      if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>)
        object[name] = text_to_json(field);
      else
        object[name] = int64_t{field};
    });
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
