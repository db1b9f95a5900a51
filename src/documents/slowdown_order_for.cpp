#include "documents/slowdown_order_for.h"

#include <string>
#include <vector>

#include "documents/document_table.h"
#include "documents/slowdown_order.h"
#include "model/scenario_model.h"
#include "scenario/file_names.h"

namespace {

/// The characters of the stretch in its cell: the cell less a blank on either side.
constexpr std::size_t kStretchWidth = kSlowdownCells[1] - 2;
/// What stands for the station of prescription B until it is filled in.
constexpr const char* kToFill = ".........";

/// Where a slowdown that begins at `metre` lies, for the "FRA LE STAZIONI" cell.
std::string stretch_at(const std::vector<Station>& stations, int32_t metre) {
  const Station* before = nullptr;
  const Station* after = nullptr;
  for (const Station& station : stations) {
    if (station.platform_start <= metre && metre <= station.platform_end) return station.name;
    if (station.platform_end < metre) before = &station;
    if (station.platform_start > metre && after == nullptr) after = &station;
  }
  if (before != nullptr && after != nullptr) return before->name + "-" + after->name;
  if (after != nullptr) return "prima di " + after->name;
  if (before != nullptr) return "dopo " + before->name;
  return {};
}

}  // namespace

LineTable slowdown_order_for(const ScenarioModel& model, std::string_view line_key, std::string_view train_number) {
  std::vector<SlowdownRow> rows;
  for (std::size_t i = 0; i < model.slowdowns.size(); ++i) {
    const Slowdown& slowdown = model.slowdowns[i];
    SlowdownRow row;
    row.number = std::to_string(i + 1);
    row.progressive = kilometre_text(kilometric_progressive(model.references, slowdown.from));
    row.speed = std::to_string(slowdown.speed);
    if (slowdown.to) row.length = metres_text(int64_t{*slowdown.to} - slowdown.from);
    std::vector<std::string> stretch = wrapped(printable(stretch_at(model.stations, slowdown.from)), kStretchWidth);
    if (stretch.size() > kMostTextRows) stretch.resize(kMostTextRows);
    row.stretch = stretch.front();
    rows.push_back(row);
    for (std::size_t n = 1; n < stretch.size(); ++n) {
      SlowdownRow continued;
      continued.stretch = stretch[n];
      rows.push_back(continued);
    }
  }
  return slowdown_order({name_text(line_key), name_text(train_number), kToFill}, rows);
}
