#include "file_views/grid_description.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "file_views/author_units.h"
#include "file_views/byte_text.h"
#include "model/boards.h"
#include "model/kilometric.h"
#include "model/line_profile.h"
#include "model/scenario_model.h"
#include "model/slowdowns.h"
#include "model/stations.h"
#include "scenario/format.h"
#include "scenario/track_cell.h"

namespace {

std::string str(int64_t value) { return std::to_string(value); }

/// Which stored values each kind of cell uses: value1 to value4, and its signal time.
struct KindValues {
  CellKind kind;
  std::array<bool, 4> values;
  bool signal_time;
};

constexpr std::array<KindValues, 12> kKindValues{{
    {CellKind::Plain, {false, false, false, false}, false},
    {CellKind::Signal, {true, true, true, true}, true},
    {CellKind::SlowdownEnd, {true, true, true, false}, false},
    {CellKind::SlowdownStart, {true, true, true, false}, false},
    {CellKind::SlowdownWarning, {true, true, false, false}, false},
    {CellKind::SlowdownApproach, {true, true, false, false}, false},
    {CellKind::SpeedBoard, {true, true, true, true}, false},
    {CellKind::StationMark, {true, false, false, false}, false},
    {CellKind::MountainMarker, {false, false, false, false}, false},
    {CellKind::ControlPoint, {true, false, false, false}, false},
    {CellKind::ControlPointNoValue, {false, false, false, false}, false},
    {CellKind::InfoBoard, {true, false, false, false}, false},
}};

const KindValues* values_of(const TrackCell& cell) {
  for (const KindValues& values : kKindValues)
    if (cell.is(values.kind)) return &values;
  return nullptr;
}

/// A cell is listed when it holds an object, a value or an approach mark.
bool has_object_fields(const TrackCell& cell) {
  return cell.kind != 0 || cell.value1 != 0 || cell.value2 != 0 || cell.value3 != 0 || cell.value4 != 0 ||
         cell.signalTime != 0 || cell.approachMark != 0;
}

/// The stored values of a cell: those its kind uses (an unknown kind: all), and any other that is set.
std::string stored_values(const TrackCell& cell) {
  const KindValues* used = values_of(cell);
  const auto name = cell_kind_name(cell.kind);
  std::string text = name ? std::string(*name) : "kind " + str(cell.kind) + " (unknown)";
  const std::array<int16_t, 4> values{cell.value1, cell.value2, cell.value3, cell.value4};
  for (std::size_t k = 0; k < values.size(); ++k)
    if (used == nullptr || used->values[k] || values[k] != 0)
      text += " value" + str(static_cast<int64_t>(k) + 1) + "=" + str(values[k]);
  if (used == nullptr || used->signal_time || cell.signalTime != 0) text += " signalTime=" + str(cell.signalTime);
  if (cell.approachMark != 0) text += " approachMark=" + str(cell.approachMark);
  return text;
}

std::string three(const std::array<int, 3>& values) {
  return str(values[0]) + "/" + str(values[1]) + "/" + str(values[2]);
}

/// What the rest of the grid and the table beside it tell about a cell.
struct Context {
  const TrackGrid& grid;
  const ScenarioTable* table;
  std::vector<KilometricReference> references;
  std::map<int32_t, Slowdown> slowdowns;  // by start cell
};

std::string record_reference(const Context& context, const char* what, int16_t record) {
  std::string text = std::string(what) + " record " + str(record);
  if (context.table == nullptr) return text;
  if (record < 0 || record >= kScenarioRecordCount) return text + ", outside the table";
  return text;
}

std::string station_meaning(const Context& context, const TrackCell& cell) {
  std::string text = record_reference(context, "station", cell.value1);
  if (context.table == nullptr || cell.value1 < 0 || cell.value1 >= kScenarioRecordCount) return text;
  if (!is_station_record(*context.table, cell.value1)) return text + ", which holds no station";
  const ScenarioRecord& record = (*context.table)[static_cast<std::size_t>(cell.value1)];
  return text + ": " + quoted_text(record.text) + " at " + place_text(context.references, record.number3) +
         ", platform " + str(record.number1) + "-" + str(record.number2) + " m, due " + clock_text(record.number4);
}

std::string board_meaning(const Context& context, const TrackCell& cell) {
  std::string text = record_reference(context, "text", cell.value1);
  if (context.table == nullptr || cell.value1 < 0 || cell.value1 >= kScenarioRecordCount) return text;
  return text + ": " + quoted_text((*context.table)[static_cast<std::size_t>(cell.value1)].text);
}

std::string slowdown_start_meaning(const Context& context, int32_t index, const TrackCell& cell) {
  std::string text = "start of a slowdown at " + str(cell.value1) + " km/h";
  const auto found = context.slowdowns.find(index);
  if (found != context.slowdowns.end() && found->second.end_cell)
    text += " over " + str(int64_t{*found->second.to} - found->second.from) + " m, to its end in cell " +
            str(*found->second.end_cell);
  else
    text += ", no end after it";
  return text + "; d_v " + str(cell.value2) + ", f_tt " + str(cell.value3);
}

/// What a cell's object means in the author's units; empty for a kind whose values mean nothing more.
std::string object_meaning(const Context& context, int32_t index) {
  const TrackCell& cell = context.grid[index];
  switch (cell.cell_kind()) {
    case CellKind::Plain:
      if (index == kCodeCell && cell.value1 == kGridMarker)
        return "the output's marker, and the competition code " + str(cell.value2);
      return {};
    case CellKind::Signal: {
      const Signal signal = signal_at(context.grid, index);
      return "aspects " + three(signal.first_side) + " on the first side, " + three(signal.other_side) +
             " on the other; rapp " + str(signal.rapp) + ", sx x 3 + dx = " + str(signal.side_kinds);
    }
    case CellKind::SlowdownEnd:
      return "end of a slowdown at " + str(cell.value1) + " km/h; d_v " + str(cell.value2) + ", f_tt " +
             str(cell.value3);
    case CellKind::SlowdownStart:
      return slowdown_start_meaning(context, index, cell);
    case CellKind::SlowdownWarning:
      return "warning of a slowdown at " + str(cell.value1) + " km/h; d_v " + str(cell.value2);
    case CellKind::SlowdownApproach:
      return "approach cell " + str(cell.value1) + " of a slowdown warning";
    case CellKind::SpeedBoard: {
      const SpeedBoard board = speed_board_at(context.grid, index);
      std::array<int, 3> first{}, other{};
      for (std::size_t k = 0; k < 3; ++k) {
        first[k] = board.speeds[k].first_side;
        other[k] = board.speeds[k].other_side;
      }
      return "first side " + three(first) + " km/h, " + str(board.stripes_first) + " stripes; other side " +
             three(other) + " km/h, " + str(board.stripes_other) + " stripes";
    }
    case CellKind::StationMark:
      return station_meaning(context, cell);
    case CellKind::MountainMarker:
      return "marker of a mountain stretch of type " + str(cell.mountainType);
    case CellKind::ControlPoint:
      return "control point, " + str(cell.value1) + " km/h";
    case CellKind::ControlPointNoValue:
      return "control point without a speed";
    case CellKind::InfoBoard:
      return board_meaning(context, cell);
  }
  return {};
}

/// Whose approach mark a cell holds: a station's marks 80 + k stand k cells before its mark, a
/// signal's marks (sx x 3 + dx) x 10 + k stand 2k cells before it (k = 1 to 4). Empty when neither
/// stands there.
std::string approach_meaning(const Context& context, int32_t index) {
  const int mark = context.grid[index].approachMark;
  const int k = mark % kPairFactor;
  if (k < 1 || k > std::max(kStationApproachMarks, kSignalApproachMarks)) return {};
  const auto holds = [&](int64_t cell, CellKind kind) {
    return context.grid.contains(cell) && context.grid[static_cast<int32_t>(cell)].is(kind);
  };
  if (k <= kStationApproachMarks && mark == kStationApproachBase + k &&
      holds(int64_t{index} + k, CellKind::StationMark))
    return "approach mark " + str(k) + " of the station mark in cell " + str(int64_t{index} + k);
  const int64_t signal = int64_t{index} + int64_t{kSignalApproachStep} * k;
  if (k <= kSignalApproachMarks && holds(signal, CellKind::Signal))
    return "approach mark " + str(k) + " of the signal in cell " + str(signal);
  return {};
}

void describe_cell(const Context& context, int32_t index, std::ostream& out) {
  const TrackCell& cell = context.grid[index];
  std::string line =
      "  cell " + str(index) + " (" + place_text(context.references, object_metre(index)) + "): " + stored_values(cell);
  std::string meaning = object_meaning(context, index);
  if (cell.approachMark != 0) {
    const std::string approach = approach_meaning(context, index);
    if (!approach.empty()) meaning += (meaning.empty() ? "" : "; ") + approach;
  }
  if (!meaning.empty()) line += " | " + meaning;
  out << line << '\n';
}

std::string gradient_text(const ProfileRun& run) {
  const std::string sign = run.value > 0 ? "+" : "";
  return sign + str(run.value) + " per mille (stored " + str(run.value + kGradientOffset) + ")";
}
std::string speed_text(const ProfileRun& run) {
  return str(run.value) + " km/h (stored " + str(run.value / kSpeedUnit) + ")";
}
std::string adhesion_text(const ProfileRun& run) { return str(run.value); }
std::string mountain_text(const ProfileRun& run) { return run.value == 0 ? "none" : "type " + str(run.value); }

/// One line per run of equal values of a profile quantity over the whole grid: its cells, its metres,
/// its value.
void describe_runs(const TrackGrid& grid, const char* title, ProfileQuantity quantity,
                   std::string (*value_text)(const ProfileRun&), std::ostream& out) {
  out << title << ":\n";
  for (const ProfileRun& run : profile_runs(grid, quantity, grid.cellCount() + 1)) {
    const int64_t start = run.first_cell;
    const int64_t last = run.last_cell;
    std::string line = start == last ? "  cell " + str(start) : "  cells " + str(start) + "-" + str(last);
    line += " (" + str(profile_metre(start)) + "-" + str(profile_metre(last + 1)) + " m): " + value_text(run);
    out << line << '\n';
  }
}

/// Which table the kilometres, stations and board texts come from, and its kilometric references.
void describe_beside(const TableBeside& beside, std::ostream& out) {
  if (beside.table == nullptr) {
    out << "Without the scenario table beside it (" << beside.problem << "): no kilometres, stations or board texts\n";
    return;
  }
  out << "Kilometres, stations and board texts from the scenario table beside it, " << beside.name << "\n";
  bool any = false;
  for (const int index : {kKilometricTreRecord, kKilometricDueRecord, kKilometricUnoRecord}) {
    const ScenarioRecord& record = (*beside.table)[static_cast<std::size_t>(index)];
    if (record.number1 == 0 && record.number2 == 0 && record.number3 == 0) continue;
    out << "  kilometric reference (record " << index << "): " << reference_text(record) << "\n";
    any = true;
  }
  if (!any) out << "  no kilometric reference: no kilometres\n";
}

}  // namespace

void describe_grid(const TrackGrid& grid, const TableBeside* beside, std::ostream& out) {
  if (!grid.exists()) {
    out << "Track grid: no cells\n";
    return;
  }
  out << "Track grid: cells 0 to " << grid.cellCount() << "\n";
  const ScenarioTable* table = beside != nullptr ? beside->table : nullptr;
  if (beside != nullptr) describe_beside(*beside, out);
  out << "Line profile, by runs of cells (cell i holds it from i x 50 to (i + 1) x 50 m; a value given from p m "
         "starts in cell round(p / 50)):\n";
  describe_runs(grid, "Gradient", ProfileQuantity::Gradient, gradient_text, out);
  describe_runs(grid, "Speed limit", ProfileQuantity::SpeedLimit, speed_text, out);
  describe_runs(grid, "Adhesion", ProfileQuantity::Adhesion, adhesion_text, out);
  describe_runs(grid, "Mountain type", ProfileQuantity::MountainType, mountain_text, out);

  Context context{
      grid, table, table != nullptr ? kilometric_references(*table) : std::vector<KilometricReference>{}, {}};
  for (const Slowdown& slowdown : read_slowdowns(grid)) context.slowdowns.emplace(slowdown.start_cell, slowdown);
  out << "Objects and marks (cell i stands for (i - 1) x 50 m, where an object given at p m lies: cell "
         "round(p / 50 + 1)); the stored values, then after \"|\" what they mean:\n";
  for (int32_t n = 0; n <= grid.cellCount() && out; ++n)
    if (has_object_fields(grid[n])) describe_cell(context, n, out);
}
