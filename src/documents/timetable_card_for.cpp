#include "documents/timetable_card_for.h"

#include <cstdint>
#include <string>
#include <vector>

#include "documents/document_table.h"
#include "documents/timetable_card.h"
#include "model/line_profile.h"
#include "model/scenario_model.h"
#include "scenario/file_names.h"

namespace {

/// The characters of a place's name in its cell: the cell less the two blanks before the name.
constexpr std::size_t kPlaceWidth = kTimetableCells[4] - 2;

/// A change of the line speed: from `metre` on, `speed` km/h.
struct SpeedChange {
  int64_t metre = 0;
  int speed = 0;
};

/// The line speed in force at a metre of the line (the profile cell that holds it), as the card writes
/// it; blank outside the grid.
std::string speed_at(const TrackGrid& grid, int32_t metre) {
  const int64_t cell = profile_cell(metre);
  if (!grid.contains(cell)) return {};
  return std::to_string(profile_value(grid[static_cast<int32_t>(cell)], ProfileQuantity::SpeedLimit));
}

/// The changes of the line speed after `first` metres and up to `last`, in line order.
std::vector<SpeedChange> speed_changes(const TrackGrid& grid, int32_t first, int32_t last) {
  std::vector<SpeedChange> changes;
  const std::vector<ProfileRun> runs =
      profile_runs(grid, ProfileQuantity::SpeedLimit, profile_length(grid) / kCellLength);
  for (std::size_t i = 1; i < runs.size(); ++i) {
    const int64_t metre = profile_metre(runs[i].first_cell);
    if (metre > first && metre <= last) changes.push_back({metre, runs[i].value});
  }
  return changes;
}

std::string progressive_at(const ScenarioModel& model, int64_t metre) {
  return kilometre_text(kilometric_progressive(model.references, static_cast<double>(metre)));
}

/// A name in the lines of its cell, at most kMostTextRows.
std::vector<std::string> name_lines(const std::string& name) {
  std::vector<std::string> lines = wrapped(printable(name), kPlaceWidth);
  if (lines.size() > kMostTextRows) lines.resize(kMostTextRows);
  return lines;
}

}  // namespace

LineTable timetable_card_for(const ScenarioModel& model, const TrackGrid& grid, std::string_view train_number) {
  const std::vector<Station>& stations = model.stations;
  CardHeading heading;
  heading.train = name_text(train_number);
  if (model.braked_mass_percentage != 0) heading.braking = std::to_string(model.braked_mass_percentage) + "%";

  std::vector<TimetableRow> rows;
  if (!stations.empty()) {
    heading.from = name_lines(stations.front().name).front();
    heading.to = name_lines(stations.back().name).front();
    const std::vector<SpeedChange> changes = speed_changes(grid, stations.front().metre, stations.back().metre);
    std::size_t next_change = 0;
    for (std::size_t i = 0; i < stations.size(); ++i) {
      const Station& station = stations[i];
      TimetableRow row;
      for (; next_change < changes.size() && changes[next_change].metre <= station.metre; ++next_change) {
        const SpeedChange& change = changes[next_change];
        if (change.metre == station.metre) {
          row.line_speed = std::to_string(change.speed);
        } else {
          TimetableRow change_row;
          change_row.line_speed = std::to_string(change.speed);
          change_row.progressive = progressive_at(model, change.metre);
          rows.push_back(change_row);
        }
      }
      if (i == 0) row.line_speed = speed_at(grid, station.metre);
      row.progressive = progressive_at(model, station.metre);
      const std::string time = clock_text(station.time);
      if (i > 0 && i + 1 == stations.size()) {
        row.arrival = time;
      } else {
        row.departure = time;
        if (i > 0) row.arrival = time;
      }
      const std::vector<std::string> names = name_lines(station.name);
      row.place = names.front();
      rows.push_back(row);
      for (std::size_t n = 1; n < names.size(); ++n) {
        TimetableRow continued;
        continued.place = names[n];
        rows.push_back(continued);
      }
    }
  }
  return timetable_card(heading, rows);
}
