#include "preview/preview_scene.h"

#include <algorithm>

#include "model/curves.h"
#include "model/positions.h"
#include "model/scenario_model.h"
#include "motion/scenario_timetable.h"
#include "platform/windows1252.h"
#include "scenario/file_names.h"
#include "scenario/format.h"

namespace {

/// An 8-bit text of the files (Windows-1252) as UTF-8 for drawing; a control byte shows as its escape
/// ("\x1B"), as `inspect` shows it, so that it is seen and moves nothing.
std::string utf8_of(const std::string& bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string printable;
  printable.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
      printable.append({'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]});
    else
      printable.push_back(c);
  }
  return windows1252_to_utf8(printable);
}

std::string two_digits(int64_t value) {
  std::string text = std::to_string(value);
  if (value < 10 && value >= 0) text.insert(0, 1, '0');
  return text;
}

std::string clock_text(int32_t seconds) {
  const int64_t s = seconds;
  const int64_t hours = s / 3600;
  const int64_t minutes = (s / 60) % 60;
  const int64_t rest = s % 60;
  std::string text = two_digits(hours) + ":" + two_digits(minutes);
  if (rest != 0) text.append(":").append(two_digits(rest));
  return text;
}

/// The runs of a quantity over the first `cells` cells, in metres.
std::vector<Stretch> stretches(const TrackGrid& grid, ProfileQuantity quantity, int32_t cells) {
  std::vector<Stretch> found;
  for (const ProfileRun& run : profile_runs(grid, quantity, cells))
    found.push_back({static_cast<int32_t>(profile_metre(run.first_cell)),
                     static_cast<int32_t>(profile_metre(run.last_cell + 1)), run.value});
  return found;
}

}  // namespace

PreviewScene preview_scene(const ScenarioFiles& files) {
  const TrackGrid& grid = files.grid;
  const ScenarioModel model = read_scenario_model(grid, files.table);
  PreviewScene s;
  s.line_key = utf8_of(files.line_key);
  s.train_number = utf8_of(files.train_number);
  s.file_names = {utf8_of(grid_file_name(files.line_key, files.train_number)),
                  utf8_of(table_file_name(files.line_key, files.train_number)),
                  utf8_of(trace_file_name(files.line_key))};
  s.line_length = std::max(model.line_length, 0);
  s.references = model.references;

  int64_t furthest = s.line_length;
  for (const Station& station : model.stations) {
    s.stations.push_back({utf8_of(station.name), clock_text(station.time), station.metre});
    furthest = std::max<int64_t>(furthest, station.metre);
  }
  for (const Signal& signal : model.signals) {
    s.signals.push_back(signal.metre);
    furthest = std::max<int64_t>(furthest, signal.metre);
  }
  for (const SpeedBoard& board : model.speed_boards) {
    s.speed_boards.push_back({board.metre, speed_board_caption(board)});
    furthest = std::max<int64_t>(furthest, board.metre);
  }
  for (const InfoBoard& board : model.info_boards) {
    s.info_boards.push_back({board.metre, board.text ? utf8_of(board.caption) : "?"});
    furthest = std::max<int64_t>(furthest, board.metre);
  }
  for (const Slowdown& slowdown : model.slowdowns) {
    SlowdownView view;
    view.from = slowdown.from;
    view.to = slowdown.to.value_or(slowdown.from);
    view.speed = slowdown.speed;
    view.start_cell = slowdown.start_cell;
    view.end_cell = slowdown.end_cell;
    furthest = std::max<int64_t>(furthest, std::max(view.from, view.to));
    s.slowdowns.push_back(view);
  }

  // The axis covers the line and everything placed on it, within the cells that carry a profile.
  const int64_t rounded = (furthest + kCellLength - 1) / kCellLength * kCellLength;
  s.axis_end = static_cast<int32_t>(std::max<int64_t>(kCellLength, std::min<int64_t>(rounded, profile_length(grid))));
  for (std::size_t k = 0; k < s.slowdowns.size(); ++k) {
    SlowdownView& view = s.slowdowns[k];
    view.from = std::clamp(view.from, 0, s.axis_end);
    view.to = model.slowdowns[k].to ? std::clamp(view.to, view.from, s.axis_end) : s.axis_end;
  }

  // The profile over the cells of the axis.
  const int32_t cells = s.axis_end / kCellLength;
  s.heights = height_profile(grid, cells);
  s.speed_limits = stretches(grid, ProfileQuantity::SpeedLimit, cells);
  for (const Stretch& run : stretches(grid, ProfileQuantity::MountainType, cells))
    if (run.value != 0) s.mountains.push_back(run);

  // The default train against the timetable: its runs one after the other, a dwell at each stop.
  if (const auto timetable = scenario_timetable(grid, files.table, curve_stretches(files.trace), {});
      timetable && !timetable->runs.empty()) {
    const double first = timetable->stations.front().time;
    for (const Station& station : timetable->stations) s.timetable.push_back({station.metre, station.time - first});
    double start = 0;
    for (const StopRun& run : timetable->runs) {
      if (!s.fastest_run.empty()) start += TimetableSettings{}.dwell;
      for (const RunPoint& point : run.run.points)
        s.fastest_run.push_back({point.position, m_s_to_km_h(point.speed), start + point.time});
      if (run.run.blocked) break;
      start += run.run.time;
    }
  }
  return s;
}
