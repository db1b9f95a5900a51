#include "review/plausibility.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "model/kilometric.h"
#include "model/line_profile.h"
#include "model/scenario_model.h"
#include "scenario/plausible_ranges.h"

namespace {

constexpr int32_t kSecondsPerDay = 24 * 3600;

std::string metres(int64_t metre) { return std::to_string(metre) + " m"; }

std::string clock_text(int64_t seconds) {
  // Built by append: g++ 12 misreads "literal" + std::string here (-Wrestrict).
  const int64_t magnitude = seconds < 0 ? -seconds : seconds;
  std::string text(seconds < 0 ? "-" : "");
  text.append(std::to_string(magnitude / 3600));
  for (const int64_t part : {magnitude / 60 % 60, magnitude % 60}) {
    text.append(part < 10 ? ":0" : ":");
    text.append(std::to_string(part));
  }
  return text;
}

/// The entry that placed a cell's object; none when nothing recorded it.
std::optional<SourcePlace> place_of_cell(const RunState& state, int32_t cell) {
  const SourcePlace place = state.grid.origin(cell).place;
  if (!place) return std::nullopt;
  return place;
}

void note(RunState& state, WarningKind kind, std::optional<SourcePlace> place, std::optional<int32_t> metre,
          std::optional<int32_t> cell, std::string message) {
  Diagnostic diagnostic;
  diagnostic.severity = Severity::Warning;
  diagnostic.warning = kind;
  diagnostic.place = place;
  diagnostic.position = metre;
  if (cell) diagnostic.cell = *cell;
  diagnostic.message = std::move(message);
  state.diagnostics.add(std::move(diagnostic));
}

void note_station(RunState& state, WarningKind kind, const Station& station, std::string message) {
  const SourcePlace place = state.record_places[static_cast<std::size_t>(station.record)];
  note(state, kind, place ? std::optional(place) : std::nullopt, station.metre, std::nullopt, std::move(message));
}

void check_station_times(RunState& state, const std::vector<Station>& stations) {
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const Station& station = stations[i];
    if (station.time >= kSecondsPerDay)
      note_station(state, WarningKind::TimePastDay, station,
                   station.name + " is due at " + clock_text(station.time) +
                       ": a timetable's time runs from 0:00:00 to 23:59:59");
    if (i == 0) continue;
    const Station& before = stations[i - 1];
    if (station.time <= before.time)
      note_station(state, WarningKind::StationTimeOrder, station,
                   station.name + " is due at " + clock_text(station.time) + ", " +
                       (station.time == before.time ? "the same time as " : "before ") + before.name + " (" +
                       clock_text(before.time) + "): a train reaches each station later than the one before");
  }
}

void check_line_end(RunState& state, const ScenarioModel& model) {
  const int32_t end = model.line_length;
  const auto past = [&](const char* what, int32_t cell, int32_t metre) {
    if (metre <= end) return;
    note(state, WarningKind::BeyondLineEnd, place_of_cell(state, cell), metre, cell,
         std::string(what) + " at " + metres(metre) + ", past the end of the " + metres(end) +
             " line: it stands in the grid's tail, which the train reaches only by overrunning the line");
  };
  for (const Station& station : model.stations)
    if (station.metre > end)
      note_station(state, WarningKind::BeyondLineEnd, station,
                   station.name + " at " + metres(station.metre) + ", past the end of the " + metres(end) +
                       " line: it stands in the grid's tail, and the picture draws it on the end bar");
  for (const Signal& signal : model.signals) past("a signal", signal.cell, signal.metre);
  for (const SpeedBoard& board : model.speed_boards) past("a speed board", board.cell, board.metre);
  for (const InfoBoard& board : model.info_boards) past("an information board", board.cell, board.metre);
}

void check_platforms(RunState& state, const ScenarioModel& model) {
  for (const Station& station : model.stations) {
    if (station.platform_start < 0)
      note_station(state, WarningKind::PlatformBeforeStart, station,
                   "the platform of " + station.name + " begins at " + metres(station.platform_start) +
                       ", before the start of the line: its approach marks are dropped; a platform lies at 0 m "
                       "or after");
    const auto inside = [&](int32_t metre) { return metre > station.platform_start && metre < station.platform_end; };
    for (const Signal& signal : model.signals)
      if (inside(signal.metre))
        note(state, WarningKind::SignalInPlatform, place_of_cell(state, signal.cell), signal.metre, signal.cell,
             "a signal at " + metres(signal.metre) + ", inside the platform of " + station.name + " (" +
                 metres(station.platform_start) + " to " + metres(station.platform_end) +
                 "): a signal stands before or at the end of a platform");
    // A slowdown that runs through a whole platform is common; one that begins or ends along it puts
    // its board where the train stops.
    for (const Slowdown& slowdown : model.slowdowns) {
      const int32_t to = slowdown.to.value_or(slowdown.from);
      if (inside(slowdown.from) || inside(to))
        note(state, WarningKind::SlowdownOnPlatform, place_of_cell(state, slowdown.start_cell), slowdown.from,
             slowdown.start_cell,
             "a slowdown from " + metres(slowdown.from) + " to " + metres(to) + " " +
                 (inside(slowdown.from) ? "begins" : "ends") + " along the platform of " + station.name + " (" +
                 metres(station.platform_start) + " to " + metres(station.platform_end) +
                 "): the format allows it, but its board stands where the train stops; a slowdown begins and "
                 "ends clear of a platform");
    }
  }
}

/// Whether the line speed is `speed` (km/h) anywhere within kBoardReach of a metre.
bool line_speed_near(const TrackGrid& grid, int32_t metre, int speed) {
  const int32_t first = static_cast<int32_t>(profile_cell(int64_t{metre} - kBoardReach));
  const int32_t last = static_cast<int32_t>(profile_cell(int64_t{metre} + kBoardReach));
  for (int32_t cell = std::max(first, 0); cell <= last && cell <= grid.cellCount(); ++cell)
    if (profile_value(grid[cell], ProfileQuantity::SpeedLimit) == speed) return true;
  return false;
}

void check_speeds(RunState& state, const ScenarioModel& model, TrainRank rank) {
  static constexpr const char* kRankNames[] = {"a", "b", "c"};
  for (const Slowdown& slowdown : model.slowdowns)
    if (slowdown.speed == 0)
      note(state, WarningKind::SpeedZero, place_of_cell(state, slowdown.start_cell), slowdown.from, slowdown.start_cell,
           "a slowdown of 0 km/h from " + metres(slowdown.from) +
               ": the train must stop there; a slowdown "
               "gives a speed to run at, such as 30 km/h");
  const auto rank_index = static_cast<std::size_t>(rank);
  for (const SpeedBoard& board : model.speed_boards) {
    std::string zero;
    for (std::size_t i = 0; i < board.speeds.size(); ++i)
      if (board.speeds[i].first_side == 0) zero += (zero.empty() ? "" : ", ") + std::string(kRankNames[i]);
    if (!zero.empty()) {
      note(state, WarningKind::SpeedZero, place_of_cell(state, board.cell), board.metre, board.cell,
           "a speed board at " + metres(board.metre) + " shows 0 km/h (speed " + zero +
               "): a train of that rank is given no limit; a board shows the speed it allows");
      continue;
    }
    const int speed = board.speeds[rank_index].first_side;
    if (line_speed_near(state.grid, board.metre, speed)) continue;
    // A board in cell 0 stands at -50 m: its line speed is the first cell's.
    const auto cell = static_cast<int32_t>(std::clamp<int64_t>(profile_cell(board.metre), 0, state.grid.cellCount()));
    const int line_speed = profile_value(state.grid[cell], ProfileQuantity::SpeedLimit);
    note(state, WarningKind::BoardLineSpeed, place_of_cell(state, board.cell), board.metre, board.cell,
         "a speed board at " + metres(board.metre) + " shows " + std::to_string(speed) + " km/h for speed " +
             kRankNames[rank_index] + ", but the train's line speed there is " + std::to_string(line_speed) +
             " km/h: a board announces the line speed from where it stands (within " + metres(kBoardReach) + ")");
  }
}

/// The kilometre of a board text's last parenthesised part, metres: "(    2.174     )" gives 2174.
std::optional<double> kilometre_of_text(const std::string& text) {
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  const std::size_t open = text.rfind('(', close);
  if (open == std::string::npos) return std::nullopt;
  std::string part = text.substr(open + 1, close - open - 1);
  const std::size_t first = part.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  part = part.substr(first, part.find_last_not_of(' ') - first + 1);
  // Digits, then a point or a comma, then three digits: the kilometre and its metres.
  const std::size_t mark = part.find_first_of(".,");
  if (mark == std::string::npos || mark == 0 || mark > 6 || part.size() != mark + 4) return std::nullopt;
  for (std::size_t i = 0; i < part.size(); ++i)
    if (i != mark && (part[i] < '0' || part[i] > '9')) return std::nullopt;
  return std::stod(part.substr(0, mark)) * 1000 + std::stod(part.substr(mark + 1));
}

void check_kilometres(RunState& state, const ScenarioModel& model) {
  for (const InfoBoard& board : model.info_boards) {
    if (!board.text) continue;
    const std::optional<double> written = kilometre_of_text(*board.text);
    if (!written) continue;
    const CellOrigin& origin = state.grid.origin(board.cell);
    const int32_t metre = origin.place ? origin.position : board.metre;
    const double progressive = kilometric_progressive(model.references, metre);
    if (std::fabs(*written - progressive) <= kKilometricTolerance) continue;
    const auto km = [](double value) {
      const auto whole = static_cast<long long>(std::nearbyint(value));
      const std::string metres_part = std::to_string(std::llabs(whole) % 1000);
      return std::string(whole < 0 ? "-" : "") + std::to_string(std::llabs(whole) / 1000) + "." +
             std::string(3 - metres_part.size(), '0') + metres_part;
    };
    note(state, WarningKind::KilometricText, place_of_cell(state, board.cell), metre, board.cell,
         "an information board at " + metres(metre) + " reads km " + km(*written) +
             ", but the kilometric progressive there is km " + km(progressive));
  }
}

/// Signals, speed boards and slowdowns stand where their cell puts them; the train brakes for them
/// there. An information board is left out: its position is the metre its kilometre text speaks of, and
/// nothing of the run depends on where its cell draws it.
void check_moved(RunState& state, const ScenarioModel& model) {
  const auto moved = [&](const char* what, int32_t cell, int32_t metre) {
    const CellOrigin& origin = state.grid.origin(cell);
    if (!origin.place || origin.by_finishing_pass || origin.position == metre) return;
    note(state, WarningKind::PositionMoved, origin.place, origin.position, cell,
         std::string(what) + " given at " + metres(origin.position) + " stands at " + metres(metre) + ", in its cell " +
             std::to_string(cell) + ": objects stand in cells of " + metres(kCellLength) + "; give a multiple of " +
             metres(kCellLength) + " to say where it stands");
  };
  for (const Signal& signal : model.signals) moved("a signal", signal.cell, signal.metre);
  for (const SpeedBoard& board : model.speed_boards) moved("a speed board", board.cell, board.metre);
  for (const Slowdown& slowdown : model.slowdowns) moved("a slowdown", slowdown.start_cell, slowdown.from);
}

}  // namespace

void add_plausibility_warnings(RunState& state, TrainRank rank) {
  if (state.diagnostics.errors() > 0 || !state.grid.exists() || state.grid_stands_in) return;
  const ScenarioModel model = read_scenario_model(state.grid, state.table);
  check_station_times(state, model.stations);
  check_line_end(state, model);
  check_platforms(state, model);
  check_speeds(state, model, rank);
  check_kilometres(state, model);
  check_moved(state, model);
}
