#include "file_views/scenario_json.h"

#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

#include "file_views/author_units.h"
#include "file_views/byte_text.h"
#include "file_views/table_description.h"
#include "model/boards.h"
#include "model/kilometric.h"
#include "model/scenario_model.h"
#include "scenario/binary_format.h"
#include "scenario/format.h"

namespace {

/// The document: "{", its leading keys, then the array `key` with one element per line (made by
/// `element(i)` as it is written), then "}".
template <typename Element>
void write_document(std::ostream& out, const ScenarioJson& leading, const char* key, std::size_t count,
                    Element element) {
  out << "{\n";
  for (auto it = leading.begin(); it != leading.end(); ++it)
    out << "  " << ScenarioJson(it.key()).dump() << ": " << it.value().dump() << ",\n";
  out << "  " << ScenarioJson(key).dump() << ": ";
  if (count == 0) {
    out << "[]\n}\n";
    return;
  }
  out << "[\n";
  for (std::size_t i = 0; i < count && out; ++i) out << "    " << element(i) << (i + 1 < count ? ",\n" : "\n");
  out << "  ]\n}\n";
}

/// A double that JSON numbers cannot carry (not finite) travels as "0x" and its 64 bits in hex.
ScenarioJson double_to_json(double value) {
  if (std::isfinite(value)) return value;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%016" PRIx64, std::bit_cast<uint64_t>(value));
  return buffer;
}

ScenarioJson coordinate_to_json(const TrackTrace& trace, int32_t metre, int axis) {
  switch (trace.tag(metre, axis)) {
    case TraceTag::Integer:
      return static_cast<int64_t>(trace.value(metre, axis));
    case TraceTag::Double:
      return double_to_json(trace.value(metre, axis));
    case TraceTag::Empty:
      break;
  }
  return nullptr;
}

std::string point_text(const TrackTrace& trace, int32_t metre) {
  if (trace.tag(metre, kAxisX) == TraceTag::Empty && trace.tag(metre, kAxisY) == TraceTag::Empty) return "null";
  std::string text(1, '[');
  text += coordinate_to_json(trace, metre, kAxisX).dump();
  text += ',';
  text += coordinate_to_json(trace, metre, kAxisY).dump();
  text += ']';
  return text;
}

ScenarioJson three(int a, int b, int c) { return ScenarioJson::array({a, b, c}); }

/// The record fields as stored, then its role and what they mean.
ScenarioJson record_json(const ScenarioTable& table, int index, const std::vector<KilometricReference>& references) {
  const ScenarioRecord& record = table[static_cast<std::size_t>(index)];
  ScenarioJson object = ScenarioJson::object();
  visit_record_fields(record, [&object](const char* name, const auto& field) {
    if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>)
      object[name] = text_to_json(field);
    else
      object[name] = int64_t{field};
  });
  const std::string_view role = record_role(table, index);
  object["role"] = std::string(role);
  if (role == kStationRole) {
    object["time"] = clock_text(record.number4);
    if (!references.empty()) object["kilometricProgressive"] = progressive_at(references, record.number3);
  } else if (role == kKilometricRole && (record.number1 != 0 || record.number2 != 0 || record.number3 != 0)) {
    const bool down = record.number3 == kKilometricCountingDown;
    object["countingDown"] = down;
    object["kilometricProgressive"] = int64_t{record.number2} - (down ? kKilometricFlagAddition : 0);
  } else if (index == kServiceRecord) {
    char clock[64];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", record.short3, record.short4, record.short5);
    object["clock"] = clock;
  }
  return object;
}

}  // namespace

ScenarioJson cell_json(const TrackGrid& grid, int32_t index) {
  const TrackCell& cell = grid[index];
  ScenarioJson object = ScenarioJson::object();
  visit_cell_fields(cell, [&object](const char* name, const auto& field) { object[name] = int64_t{field}; });
  const auto name = cell_kind_name(cell.kind);
  object["kindName"] = name ? ScenarioJson(std::string(*name)) : ScenarioJson(nullptr);
  object["metre"] = object_metre(index);
  object["gradientPerMille"] = gradient_per_mille(cell.gradient);
  object["speedLimitKmH"] = speed_km_h(cell.speedLimit);
  if (cell.is(CellKind::Signal)) {
    const Signal signal = signal_at(grid, index);
    object["firstSide"] = three(signal.first_side[0], signal.first_side[1], signal.first_side[2]);
    object["otherSide"] = three(signal.other_side[0], signal.other_side[1], signal.other_side[2]);
    object["rapp"] = signal.rapp;
    object["sideKinds"] = signal.side_kinds;
  } else if (cell.is(CellKind::SpeedBoard)) {
    const SpeedBoard board = speed_board_at(grid, index);
    const auto& s = board.speeds;
    object["firstSideKmH"] = three(s[0].first_side, s[1].first_side, s[2].first_side);
    object["otherSideKmH"] = three(s[0].other_side, s[1].other_side, s[2].other_side);
    object["stripes"] = ScenarioJson::array({board.stripes_first, board.stripes_other});
  }
  return object;
}

ScenarioJson record_json(const ScenarioTable& table, int index) {
  return record_json(table, index, kilometric_references(table));
}

void write_grid_json(const TrackGrid& grid, std::ostream& out) {
  ScenarioJson leading = ScenarioJson::object();
  leading["format"] = "grid";
  // The number of the last cell (the cells are 0 to it, one more than it in all). "cellCount", its first
  // name, read as a count by mistake; it stays, with the same value, for the tools that read it.
  leading["lastCell"] = grid.exists() ? grid.cellCount() : -1;
  leading["cellCount"] = grid.exists() ? grid.cellCount() : -1;
  const std::size_t count = grid.cells().size();
  write_document(out, leading, "cells", count,
                 [&grid](std::size_t i) { return cell_json(grid, static_cast<int32_t>(i)).dump(); });
}

void write_table_json(const ScenarioTable& table, std::ostream& out) {
  ScenarioJson leading = ScenarioJson::object();
  leading["format"] = "table";
  const std::vector<KilometricReference> references = kilometric_references(table);
  write_document(out, leading, "records", table.size(),
                 [&](std::size_t i) { return record_json(table, static_cast<int>(i), references).dump(); });
}

void write_trace_json(const TrackTrace& trace, std::ostream& out) {
  ScenarioJson leading = ScenarioJson::object();
  leading["format"] = "trace";
  leading["gridExtent"] = trace.exists() ? trace.last_metre() : -1;
  const std::size_t count = trace.exists() ? static_cast<std::size_t>(trace.last_metre()) + 1 : 0;
  write_document(out, leading, "points", count,
                 [&trace](std::size_t i) { return point_text(trace, static_cast<int32_t>(i)); });
}
