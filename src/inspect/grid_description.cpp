#include "inspect/grid_description.h"

#include <array>
#include <cstdint>

#include "model/line_profile.h"
#include "model/positions.h"
#include "scenario/format.h"
#include "scenario/track_cell.h"

namespace {

std::string str(int64_t value) { return std::to_string(value); }

/// What each kind of cell uses: the note printed after each value it uses (nullptr: unused), and
/// whether it uses its signal time.
struct KindNotes {
  CellKind kind;
  std::array<const char*, 4> values;
  bool signal_time;
};

constexpr const char* kNone = nullptr;

constexpr std::array<KindNotes, 12> kKindNotes{{
    {CellKind::Plain, {kNone, kNone, kNone, kNone}, false},
    {CellKind::Signal, {"", "", "", ""}, true},
    {CellKind::SlowdownEnd, {" km/h", "", "", kNone}, false},
    {CellKind::SlowdownStart, {" km/h", "", "", kNone}, false},
    {CellKind::SlowdownWarning, {" km/h", "", kNone, kNone}, false},
    {CellKind::SlowdownApproach, {"", "", kNone, kNone}, false},
    {CellKind::SpeedBoard, {"", "", "", ""}, false},
    {CellKind::StationMark, {" (station record)", kNone, kNone, kNone}, false},
    {CellKind::MountainMarker, {kNone, kNone, kNone, kNone}, false},
    {CellKind::ControlPoint, {" km/h", kNone, kNone, kNone}, false},
    {CellKind::ControlPointNoValue, {kNone, kNone, kNone, kNone}, false},
    {CellKind::InfoBoard, {" (text record)", kNone, kNone, kNone}, false},
}};

const KindNotes* notes_of(const TrackCell& cell) {
  for (const KindNotes& notes : kKindNotes)
    if (cell.is(notes.kind)) return &notes;
  return nullptr;
}

/// A cell is listed when it holds an object, a value or an approach mark.
bool has_object_fields(const TrackCell& cell) {
  return cell.kind != 0 || cell.value1 != 0 || cell.value2 != 0 || cell.value3 != 0 || cell.value4 != 0 ||
         cell.signalTime != 0 || cell.approachMark != 0;
}

std::string describe_cell(int32_t index, const TrackCell& cell) {
  const KindNotes* notes = notes_of(cell);
  std::string line = "  cell " + str(index) + " (" + str(object_metre(index)) + " m): ";
  const auto name = cell_kind_name(cell.kind);
  line += name ? std::string(*name) : "kind " + str(cell.kind) + " (unknown)";
  const std::array<int16_t, 4> values{cell.value1, cell.value2, cell.value3, cell.value4};
  for (std::size_t k = 0; k < values.size(); ++k) {
    // An unknown kind shows every value; a known one the values it uses, and any other that is set.
    const char* note = notes != nullptr ? notes->values[k] : "";
    if (note == nullptr && values[k] == 0) continue;
    line += " value" + str(static_cast<int64_t>(k) + 1) + "=" + str(values[k]) + (note != nullptr ? note : "");
  }
  if (notes == nullptr || notes->signal_time || cell.signalTime != 0) line += " signalTime=" + str(cell.signalTime);
  if (cell.approachMark != 0) line += " approachMark=" + str(cell.approachMark);
  return line + "\n";
}

std::string gradient_text(int per_mille) {
  const std::string sign = per_mille > 0 ? "+" : "";
  return sign + str(per_mille) + " per mille";
}
std::string speed_text(int km_h) { return str(km_h) + " km/h"; }
std::string adhesion_text(int stored) { return str(stored); }
std::string mountain_text(int type) { return type == 0 ? "none" : "type " + str(type); }

/// One line per run of equal values of a profile quantity over the whole grid: its cells, its metres,
/// its value.
void describe_runs(std::string& out, const TrackGrid& grid, const char* title, ProfileQuantity quantity,
                   std::string (*value_text)(int)) {
  out += title;
  out += ":\n";
  for (const ProfileRun& run : profile_runs(grid, quantity, grid.cellCount() + 1)) {
    const int64_t start = run.first_cell;
    const int64_t last = run.last_cell;
    out += start == last ? "  cell " + str(start) : "  cells " + str(start) + "-" + str(last);
    out += " (" + str(profile_metre(start)) + "-" + str(profile_metre(last + 1)) + " m): ";
    out += value_text(run.value) + "\n";
  }
}

}  // namespace

std::string describe_grid(const TrackGrid& grid) {
  if (!grid.exists()) return "Track grid: no cells\n";
  std::string out = "Track grid: cells 0 to " + str(grid.cellCount()) + "\n";
  describe_runs(out, grid, "Gradient", ProfileQuantity::Gradient, gradient_text);
  describe_runs(out, grid, "Speed limit", ProfileQuantity::SpeedLimit, speed_text);
  describe_runs(out, grid, "Adhesion", ProfileQuantity::Adhesion, adhesion_text);
  describe_runs(out, grid, "Mountain type", ProfileQuantity::MountainType, mountain_text);
  out += "Objects and marks (an object at p m lies in cell round(p / 50 + 1)):\n";
  for (int32_t n = 0; n <= grid.cellCount(); ++n)
    if (has_object_fields(grid[n])) out += describe_cell(n, grid[n]);
  return out;
}
