#include "preview/preview_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <numeric>
#include <set>

#include "scenario/file_names.h"
#include "scenario/format.h"
#include "scenario/track_cell.h"
#include "scenario/track_trace.h"
#include "scenario/windows1252.h"

namespace {

// The page the sizes below are made for; other pages scale them.
constexpr double kDesignWidth = 1600;
constexpr double kDesignHeight = 1000;

/// Texts, lines and marks. Each kind differs from its neighbours in lightness and in line style, so
/// that a greyscale print keeps them apart.
namespace colour {
constexpr Colour kInk{0.10, 0.10, 0.10};
constexpr Colour kMuted{0.38, 0.38, 0.38};
constexpr Colour kFrame{0.55, 0.55, 0.55};
constexpr Colour kGridLine{0.86, 0.86, 0.86};
constexpr Colour kPaper{1, 1, 1};
constexpr Colour kTrack{0.05, 0.05, 0.05};
constexpr Colour kLeader{0.50, 0.50, 0.50};
constexpr Colour kStation{0.72, 0.10, 0.08};
constexpr Colour kStationGuide{0.72, 0.10, 0.08, 0.45};
constexpr Colour kStart{0.15, 0.55, 0.20};
constexpr Colour kSignal{0.12, 0.12, 0.12};
constexpr Colour kSpeedBoard{0.15, 0.35, 0.75};
constexpr Colour kInfoBoard{1.00, 0.85, 0.30};
constexpr Colour kTerrain{0.90, 0.90, 0.90};
constexpr Colour kHeight{0.0, 0.0, 0.0};
constexpr Colour kMountain{0.35, 0.55, 0.30, 0.45};
constexpr Colour kSpeed{0.20, 0.45, 0.90};
constexpr Colour kSlowdownBand{1.00, 0.70, 0.30, 0.40};
constexpr Colour kSlowdownLine{0.85, 0.38, 0.00};
}  // namespace colour

// ---------------------------------------------------------------------------------------------------
// Small helpers

/// An 8-bit text of the files (Windows-1252) as UTF-8 for drawing; control bytes show as blanks.
std::string utf8_of(std::string bytes) {
  for (char& c : bytes)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return windows1252_to_utf8(bytes);
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string fixed(double value, int decimals) {
  if (std::abs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;  // no "-0"
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
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

/// The smallest of 1, 2, 5 times a power of ten that is at least `raw`.
double nice_at_least(double raw) {
  if (!(raw > 0)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0})
    if (factor * power >= raw * (1 - 1e-9)) return factor * power;
  return 10 * power;
}

/// The largest of 1, 2, 5 times a power of ten that is at most `raw`.
double nice_at_most(double raw) {
  if (!(raw > 0)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {5.0, 2.0, 1.0})
    if (factor * power <= raw * (1 + 1e-9)) return factor * power;
  return power;
}

int32_t object_metre(int32_t cell) { return (cell - 1) * kCellLength; }

std::vector<Point> rectangle(const Box& box) {
  return {{box.left, box.top}, {box.right, box.top}, {box.right, box.bottom}, {box.left, box.bottom}};
}

/// True when the segment from a to b passes through the box.
bool segment_crosses(Point a, Point b, const Box& box) {
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  const int steps = std::max(1, static_cast<int>(std::ceil(length / 1.5)));
  for (int k = 0; k <= steps; ++k) {
    const double t = static_cast<double>(k) / steps;
    if (box.contains(Point{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t})) return true;
  }
  return false;
}

/// The point of the box nearest to p.
Point nearest_on(const Box& box, Point p) {
  return {std::clamp(p.x, box.left, box.right), std::clamp(p.y, box.top, box.bottom)};
}

// ---------------------------------------------------------------------------------------------------
// What the files say, in metres

struct StationInfo {
  std::string name;
  std::string time;
  int32_t metre = 0;
};

struct BoardInfo {
  int32_t metre = 0;
  std::string caption;
};

struct Scenario {
  std::string line_key;
  std::string train_number;
  int32_t line_length = 0;
  int32_t axis_end = 0;
  std::vector<KilometricReference> references;
  std::vector<StationInfo> stations;
  std::vector<int32_t> signals;
  std::vector<BoardInfo> speed_boards;
  std::vector<BoardInfo> info_boards;
  std::vector<ProfilePoint> heights;
  std::vector<Stretch> mountains;
  std::vector<Stretch> speed_limits;
  std::vector<SlowdownView> slowdowns;
};

/// A speed board's speeds: side one is the packed value / 20, side two the remainder times 5.
std::string speed_board_caption(const TrackCell& cell) {
  std::vector<int> first;
  std::vector<int> second;
  bool second_used = false;
  for (const int16_t packed : {cell.value1, cell.value2, cell.value3}) {
    const BoardSpeeds speeds = unpack_board_speeds(packed);
    first.push_back(speeds.first_side);
    second.push_back(speeds.other_side);
    second_used = second_used || speeds.other_side != 0;
  }
  const auto join = [](std::vector<int> speeds) {
    speeds.erase(std::unique(speeds.begin(), speeds.end()), speeds.end());
    std::string text;
    for (const int speed : speeds) {
      if (!text.empty()) text += '/';
      text += std::to_string(speed);
    }
    return text;
  };
  return second_used ? join(first) + " | " + join(second) : join(first);
}

/// Records that hold information-board texts: those the grid's boards point at.
std::set<int> board_records(const TrackGrid& grid) {
  std::set<int> records;
  for (const TrackCell& cell : grid.cells())
    if (cell.is(CellKind::InfoBoard)) records.insert(cell.value1);
  return records;
}

bool is_blank(const ScenarioRecord& r) {
  return r.code == 0 && r.number1 == 0 && r.number2 == 0 && r.number3 == 0 && r.mark == 0 && r.text.empty() &&
         r.number4 == 0;
}

Scenario read_scenario(const ScenarioFiles& files) {
  const TrackGrid& grid = files.grid;
  const ScenarioTable& table = files.table;
  Scenario s;
  s.line_key = utf8_of(files.line_key);
  s.train_number = utf8_of(files.train_number);
  s.line_length = std::max(stored_line_length(table), 0);
  s.references = kilometric_references(table);

  // Stations: records from 1 upward, up to the first blank record or board text.
  const std::set<int> boards = board_records(grid);
  for (int record = kFirstStationRecord; record < kFirstBoardRecord; ++record) {
    const ScenarioRecord& r = table[static_cast<std::size_t>(record)];
    if (is_blank(r) || boards.contains(record)) break;
    s.stations.push_back({utf8_of(trimmed(r.text)), clock_text(r.number4), r.number3});
  }

  int32_t furthest = s.line_length;
  for (const StationInfo& station : s.stations) furthest = std::max(furthest, station.metre);
  const int32_t last_cell = grid.exists() ? grid.cellCount() : -1;
  for (int32_t i = 0; i <= last_cell; ++i) {
    const TrackCell& cell = grid[i];
    const int32_t metre = object_metre(i);
    if (cell.is(CellKind::Signal)) {
      s.signals.push_back(metre);
    } else if (cell.is(CellKind::SpeedBoard)) {
      s.speed_boards.push_back({metre, speed_board_caption(cell)});
    } else if (cell.is(CellKind::InfoBoard)) {
      const int record = cell.value1;
      const std::string text = record >= 0 && record < kScenarioRecordCount
                                   ? table[static_cast<std::size_t>(record)].text
                                   : std::string("?");
      s.info_boards.push_back({metre, utf8_of(board_caption(text))});
    } else {
      continue;
    }
    furthest = std::max(furthest, metre);
  }

  // Slowdowns: each start with the first end after it that no earlier start has taken.
  std::vector<int32_t> ends;
  for (int32_t i = 0; i <= last_cell; ++i)
    if (grid[i].is(CellKind::SlowdownEnd)) ends.push_back(i);
  std::vector<bool> taken(ends.size(), false);
  for (int32_t i = 0; i <= last_cell; ++i) {
    if (!grid[i].is(CellKind::SlowdownStart)) continue;
    SlowdownView slowdown;
    slowdown.start_cell = i;
    slowdown.speed = grid[i].value1;
    for (std::size_t e = 0; e < ends.size(); ++e) {
      if (!taken[e] && ends[e] > i) {
        taken[e] = true;
        slowdown.end_cell = ends[e];
        break;
      }
    }
    slowdown.from = object_metre(i);
    slowdown.to = slowdown.end_cell ? object_metre(*slowdown.end_cell) : -1;
    furthest = std::max(furthest, std::max(slowdown.from, slowdown.to));
    s.slowdowns.push_back(slowdown);
  }

  // The axis covers the line and everything placed on it, within the cells that carry a profile (the
  // last three cells of a grid keep none).
  const int32_t profile_end = std::max(0, (last_cell - 2) * kCellLength);
  const int32_t rounded = (furthest + kCellLength - 1) / kCellLength * kCellLength;
  s.axis_end = std::max(kCellLength, std::min(rounded, profile_end));
  for (SlowdownView& slowdown : s.slowdowns) {
    slowdown.from = std::clamp(slowdown.from, 0, s.axis_end);
    slowdown.to = slowdown.to < 0 ? s.axis_end : std::clamp(slowdown.to, slowdown.from, s.axis_end);
  }

  // Profiles over the cells of the axis: the height integrated cell by cell from the gradient (per
  // mille, stored plus 100), the speed limit (stored divided by 5) and the mountain types as runs.
  const int32_t cells = std::min(s.axis_end / kCellLength, last_cell + 1);
  int64_t gradient_sum = 0;
  s.heights.push_back({0, 0.0});
  for (int32_t i = 0; i < cells; ++i) {
    const TrackCell& cell = grid[i];
    gradient_sum += gradient_per_mille(cell.gradient);
    s.heights.push_back({(i + 1) * kCellLength, static_cast<double>(gradient_sum) * kCellLength / 1000.0});
    const int speed = speed_km_h(cell.speedLimit);
    if (!s.speed_limits.empty() && s.speed_limits.back().value == speed)
      s.speed_limits.back().to = (i + 1) * kCellLength;
    else
      s.speed_limits.push_back({i * kCellLength, (i + 1) * kCellLength, speed});
    if (cell.mountainType != 0) {
      if (!s.mountains.empty() && s.mountains.back().to == i * kCellLength &&
          s.mountains.back().value == cell.mountainType)
        s.mountains.back().to = (i + 1) * kCellLength;
      else
        s.mountains.push_back({i * kCellLength, (i + 1) * kCellLength, cell.mountainType});
    }
  }
  return s;
}

// ---------------------------------------------------------------------------------------------------
// The layout

/// The entries of the legend, in their order.
enum class LegendKey { Track, Height, Mountain, SpeedLimit, Slowdown, Station, Signal, SpeedBoard, InfoBoard, Start };

struct Fonts {
  FontSpec title;
  FontSpec heading;
  FontSpec label;
  FontSpec small;
};

class Layouter {
 public:
  Layouter(const ScenarioFiles& files, double width, double height, const MeasureText& measure)
      : files_(files), measure_(measure), s_(read_scenario(files)) {
    out_.width = width;
    out_.height = height;
    u_ = std::clamp(std::min(width / kDesignWidth, height / kDesignHeight), 0.4, 4.0);
    fonts_ = {{20 * u_, true}, {13 * u_, true}, {11 * u_, false}, {10 * u_, false}};
    pad_ = 14 * u_;
  }

  PreviewLayout run();

 private:
  // Texts
  TextSize size_of(const std::string& text, const FontSpec& font) const { return measure_(text, font); }
  double text_height(const FontSpec& font) const {
    const TextSize size = size_of("Hg", font);
    return size.ascent + size.descent;
  }
  Label make_label(const std::string& text, const FontSpec& font, Colour c, LabelRole role, double left,
                   double top) const {
    const TextSize size = size_of(text, font);
    Label label{text, font, c, {left, top, left + size.width, top + size.ascent + size.descent}, top + size.ascent,
                role, false};
    return label;
  }
  std::size_t add(Label label) {
    out_.labels.push_back(std::move(label));
    return out_.labels.size() - 1;
  }

  // Along the profile axis
  double x_of(double metre) const {
    return plot_left_ + std::clamp(metre, 0.0, static_cast<double>(s_.axis_end)) / s_.axis_end *
                            (plot_right_ - plot_left_);
  }

  void stroke(std::vector<Point> points, Colour c, double width, std::vector<double> dashes = {}, bool closed = false) {
    if (closed && !points.empty()) points.push_back(points.front());
    out_.shapes.emplace_back(Stroke{std::move(points), LineStyle{c, width, std::move(dashes)}});
  }
  void fill(std::vector<Point> outline, Colour c, std::optional<LineStyle> border = std::nullopt) {
    out_.shapes.emplace_back(Fill{std::move(outline), c, std::move(border)});
  }
  void mark(MarkShape shape, Point at, double size, Colour fill_colour, Colour outline = colour::kInk) {
    out_.shapes.emplace_back(Mark{shape, at, size, fill_colour, outline});
  }

  // Steps
  struct RowPlan {
    RowKind kind;
    std::string title;
    MarkShape shape;
    Colour colour;
    std::vector<int32_t> metres;
    std::vector<std::string> texts;  // empty for a row without labels
    LabelRole role;
    std::vector<RowSlot> slots;
    int levels = 0;
  };
  void plan_rows();
  void fit_horizontally();
  void place_rows_levels();
  void lay_out_vertically();
  void lay_out_title();
  void lay_out_plan();
  void lay_out_height_chart();
  void lay_out_speed_chart();
  void lay_out_rows();
  void plan_axis_ticks();
  void tick_lines(const Box& area);
  void lay_out_axis();
  void lay_out_legend();
  void station_guides(const Box& area) {
    for (const StationInfo& station : s_.stations) {
      const double x = x_of(station.metre);
      stroke({{x, area.top}, {x, area.bottom}}, colour::kStationGuide, 0.9 * u_, {1.5 * u_, 2.5 * u_});
    }
  }
  void value_axis(const Box& area, double low, double high, double step);
  double y_in(const Box& area, double low, double high, double value) const {
    return area.bottom - (value - low) / (high - low) * area.height();
  }

  /// A place for a text near `anchor` in `bounds`, clear of every label, of `obstacles` and of the
  /// points `avoid`; directions near `normal` first. Adds a leader from the anchor when it stands off.
  Box place_near(Point anchor, double w, double h, Point normal, const Box& bounds,
                 const std::vector<Box>& obstacles, const std::vector<Point>& avoid, bool& leader);

  double row_mark_height() const { return 14 * u_; }
  double level_height() const { return text_height(fonts_.label) + 3 * u_; }
  double row_height(const RowPlan& row) const {
    return row_mark_height() + row.levels * level_height() + (row.levels > 0 ? 3 * u_ : 0) + 6 * u_;
  }

  const ScenarioFiles& files_;
  const MeasureText& measure_;
  Scenario s_;
  PreviewLayout out_;
  double u_ = 1;
  double pad_ = 14;
  Fonts fonts_;

  double plot_left_ = 0;
  double plot_right_ = 0;
  double right_limit_ = 0;
  double legend_width_ = 0;
  std::vector<RowPlan> rows_;
  std::vector<std::pair<double, std::string>> ticks_;  // metre, text
  std::vector<std::pair<std::string, LegendKey>> legend_entries_;

  double title_bottom_ = 0;
  Box plan_heading_;
  Box height_heading_;
  Box speed_heading_;
  double rows_top_ = 0;
  double axis_y_ = 0;
  double axis_label_top_ = 0;
  double axis_title_top_ = 0;

  double height_low_ = 0, height_high_ = 1, height_step_ = 1;
  double speed_high_ = 100, speed_step_ = 20;
};

PreviewLayout Layouter::run() {
  out_.line_length = s_.line_length;
  out_.axis_end = s_.axis_end;
  plan_rows();
  fit_horizontally();
  plan_axis_ticks();
  lay_out_vertically();
  lay_out_title();
  lay_out_plan();
  lay_out_height_chart();
  lay_out_speed_chart();
  lay_out_rows();
  lay_out_axis();
  lay_out_legend();
  return std::move(out_);
}

void Layouter::plan_rows() {
  RowPlan stations{RowKind::Stations, "Stations", MarkShape::Square, colour::kStation, {}, {}, LabelRole::StationRow,
                   {}, 0};
  for (const StationInfo& station : s_.stations) {
    stations.metres.push_back(station.metre);
    stations.texts.push_back(station.name + "  " + station.time);
  }
  RowPlan signals{RowKind::Signals, "Signals", MarkShape::SignalPost, colour::kSignal, s_.signals, {},
                  LabelRole::StationRow, {}, 0};
  RowPlan speed{RowKind::SpeedBoards, "Speed boards", MarkShape::Diamond, colour::kSpeedBoard, {}, {},
                LabelRole::SpeedBoardRow, {}, 0};
  for (const BoardInfo& board : s_.speed_boards) {
    speed.metres.push_back(board.metre);
    speed.texts.push_back(board.caption + " km/h");
  }
  RowPlan info{RowKind::InfoBoards, "Information boards", MarkShape::Board, colour::kInfoBoard, {}, {},
               LabelRole::InfoBoardRow, {}, 0};
  for (const BoardInfo& board : s_.info_boards) {
    info.metres.push_back(board.metre);
    info.texts.push_back(board.caption);
  }
  rows_ = {stations, signals, speed, info};
}

void Layouter::fit_horizontally() {
  const double tick_gap = 6 * u_;
  double left_text = size_of("-8888", fonts_.label).width + tick_gap;
  for (const RowPlan& row : rows_) left_text = std::max(left_text, size_of(row.title, fonts_.heading).width);
  plot_left_ = pad_ + left_text + 12 * u_;
  right_limit_ = out_.width - pad_;

  legend_entries_ = {{"Track (plan)", LegendKey::Track},
                     {"Height profile", LegendKey::Height},
                     {"Mountain stretch", LegendKey::Mountain},
                     {"Line speed limit", LegendKey::SpeedLimit},
                     {"Slowdown", LegendKey::Slowdown},
                     {"Station", LegendKey::Station},
                     {"Signal", LegendKey::Signal},
                     {"Speed board", LegendKey::SpeedBoard},
                     {"Information board", LegendKey::InfoBoard},
                     {"Start of the line", LegendKey::Start}};
  double widest = 0;
  for (const auto& [text, kind] : legend_entries_) widest = std::max(widest, size_of(text, fonts_.label).width);
  legend_width_ = 10 * u_ + 28 * u_ + 8 * u_ + widest + 10 * u_;
  plot_right_ = right_limit_ - legend_width_ - 16 * u_;
  const double narrowest = plot_left_ + 100 * u_;

  // Row texts start right of their marks; near the end of the line they run into the right margin,
  // which therefore must be wide enough for the longest of them.
  for (int round = 0; round < 12; ++round) {
    plot_right_ = std::max(plot_right_, narrowest);
    double overflow = 0;
    for (const RowPlan& row : rows_)
      for (std::size_t i = 0; i < row.texts.size(); ++i)
        overflow = std::max(overflow, x_of(row.metres[i]) + 4 * u_ + size_of(row.texts[i], fonts_.label).width -
                                          right_limit_);
    if (overflow <= 0.5 || plot_right_ <= narrowest) break;
    plot_right_ -= overflow;
  }
  place_rows_levels();
}

void Layouter::place_rows_levels() {
  for (RowPlan& row : rows_) {
    if (row.texts.empty()) continue;
    std::vector<double> xs;
    std::vector<double> widths;
    for (std::size_t i = 0; i < row.texts.size(); ++i) {
      xs.push_back(x_of(row.metres[i]));
      widths.push_back(size_of(row.texts[i], fonts_.label).width);
    }
    row.slots = place_row_labels(xs, widths, 4 * u_, right_limit_);
    for (const RowSlot& slot : row.slots) row.levels = std::max(row.levels, slot.level + 1);
  }
}

void Layouter::lay_out_vertically() {
  const double heading_h = text_height(fonts_.heading);
  const double label_h = text_height(fonts_.label);
  title_bottom_ = pad_ + text_height(fonts_.title);

  double rows_h = 0;
  for (const RowPlan& row : rows_) rows_h += row_height(row);
  const double axis_h = 5 * u_ + 3 * u_ + label_h + 6 * u_ + label_h;
  const double headings = 3 * (heading_h + 5 * u_);
  const double gaps = 12 * u_ + 3 * 14 * u_ + 10 * u_;
  const double fixed = title_bottom_ + headings + gaps + rows_h + axis_h + pad_;
  const double room = std::max(0.0, out_.height - fixed);

  double plan_h = 0.50 * room;
  double height_h = 0.28 * room;
  double speed_h = room - plan_h - height_h;
  // The legend stands beside the two charts: they must be at least as tall.
  const double legend_h = legend_entries_.size() * (label_h + 6 * u_) + 14 * u_;
  const double charts = height_h + speed_h + heading_h + 5 * u_ + 14 * u_;
  if (charts < legend_h) {
    const double more = std::min(legend_h - charts, plan_h * 0.5);
    plan_h -= more;
    height_h += more * 0.55;
    speed_h += more * 0.45;
  }

  double y = title_bottom_ + 12 * u_;
  plan_heading_ = {pad_, y, out_.width - pad_, y + heading_h};
  y = plan_heading_.bottom + 5 * u_;
  out_.plan_area = {pad_, y, out_.width - pad_, y + plan_h};
  y = out_.plan_area.bottom + 14 * u_;
  height_heading_ = {plot_left_, y, plot_right_, y + heading_h};
  y = height_heading_.bottom + 5 * u_;
  out_.height_area = {plot_left_, y, plot_right_, y + height_h};
  y = out_.height_area.bottom + 14 * u_;
  speed_heading_ = {plot_left_, y, plot_right_, y + heading_h};
  y = speed_heading_.bottom + 5 * u_;
  out_.speed_area = {plot_left_, y, plot_right_, y + speed_h};
  rows_top_ = out_.speed_area.bottom + 14 * u_;
  axis_y_ = rows_top_ + rows_h;
  axis_label_top_ = axis_y_ + 5 * u_ + 3 * u_;
  axis_title_top_ = axis_label_top_ + label_h + 6 * u_;
}

void Layouter::lay_out_title() {
  const std::string title = s_.line_key + "  \u00B7  train " + s_.train_number + "  \u00B7  line length " +
                            fixed(s_.line_length / 1000.0, 3) + " km";
  add(make_label(title, fonts_.title, colour::kInk, LabelRole::Title, pad_, pad_));
  const std::string sources = "from " + utf8_of(grid_file_name(files_.line_key, files_.train_number)) + ", " +
                              utf8_of(table_file_name(files_.line_key, files_.train_number)) + " and " +
                              utf8_of(trace_file_name(files_.line_key));
  const TextSize size = size_of(sources, fonts_.small);
  const double top = title_bottom_ - size.ascent - size.descent;
  Label note = make_label(sources, fonts_.small, colour::kMuted, LabelRole::Heading,
                          out_.width - pad_ - size.width, top);
  if (!note.box.overlaps(out_.labels.front().box.grown(10 * u_))) add(note);
}

Box Layouter::place_near(Point anchor, double w, double h, Point normal, const Box& bounds,
                         const std::vector<Box>& obstacles, const std::vector<Point>& avoid, bool& leader) {
  struct Direction {
    double dx;
    double dy;
  };
  std::vector<Direction> directions{{0, -1}, {0, 1}, {1, -1}, {1, 1}, {-1, -1}, {-1, 1}, {1, 0}, {-1, 0}};
  const auto alignment = [&](const Direction& d) {
    const double length = std::hypot(d.dx, d.dy);
    const double dot = (d.dx * normal.x + d.dy * normal.y) / length;
    return dot * dot;
  };
  std::stable_sort(directions.begin(), directions.end(),
                   [&](const Direction& a, const Direction& b) { return alignment(a) > alignment(b) + 1e-9; });

  const auto box_at = [&](const Direction& d, double distance) {
    const double k = d.dx != 0 && d.dy != 0 ? 0.7 : 1.0;
    const double cx = anchor.x + d.dx * (distance * k + w / 2);
    const double cy = anchor.y + d.dy * (distance * k + h / 2);
    return Box{cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2};
  };
  const auto clear_of_labels = [&](const Box& box) {
    if (!bounds.contains(box)) return false;
    const Box spaced = box.grown(2 * u_);
    for (const Label& label : out_.labels)
      if (spaced.overlaps(label.box)) return false;
    for (const Box& obstacle : obstacles)
      if (!obstacle.contains(anchor) && spaced.overlaps(obstacle)) return false;  // not the anchor's own mark
    return true;
  };
  const auto clear_of_points = [&](const Box& box) {
    const Box spaced = box.grown(3 * u_);
    for (const Point& p : avoid)
      if (spaced.contains(p)) return false;
    return true;
  };
  const auto leader_clear = [&](const Box& box, double distance) {
    if (distance <= 8 * u_) return true;
    const Point end = nearest_on(box, anchor);
    for (const Label& label : out_.labels)
      if (segment_crosses(anchor, end, label.box.grown(1 * u_))) return false;
    return true;
  };

  const std::vector<double> distances{4, 10, 18, 28, 40, 54, 70, 90, 115, 145};
  for (const bool mind_points : {true, false}) {
    for (const double step : distances) {
      const double distance = step * u_;
      for (const Direction& d : directions) {
        const Box box = box_at(d, distance);
        if (clear_of_labels(box) && (!mind_points || clear_of_points(box)) && leader_clear(box, distance)) {
          leader = distance > 8 * u_;
          return box;
        }
      }
    }
  }
  // Crowded: the free place nearest to the anchor anywhere in the bounds.
  std::optional<Box> best;
  double best_distance = std::numeric_limits<double>::max();
  const double step = 4 * u_;
  for (double top = bounds.top; top + h <= bounds.bottom; top += step) {
    for (double left = bounds.left; left + w <= bounds.right; left += step) {
      const Box box{left, top, left + w, top + h};
      const Point near = nearest_on(box, anchor);
      const double distance = std::hypot(near.x - anchor.x, near.y - anchor.y);
      if (distance < best_distance && clear_of_labels(box)) {
        best = box;
        best_distance = distance;
      }
    }
  }
  leader = true;
  if (best) return *best;
  return box_at(directions.front(), distances.front() * u_);
}

void Layouter::lay_out_plan() {
  const Box area = out_.plan_area;
  add(make_label("Plan of the line, to scale (turned so that it runs from left to right)", fonts_.heading,
                 colour::kInk, LabelRole::Heading, plan_heading_.left, plan_heading_.top));
  stroke({{area.left, area.top}, {area.right, area.top}, {area.right, area.bottom}, {area.left, area.bottom},
          {area.left, area.top}},
         colour::kGridLine, 1 * u_);

  const TrackTrace& trace = files_.trace;
  const int32_t last = std::max(1, s_.line_length);
  const auto world = [&](int32_t metre) {
    const int32_t m = std::clamp(metre, 0, last);
    // A trace that does not reach the metre (files not checked with mismatch_of) goes on straight.
    if (!trace.exists() || m > trace.last_metre()) return Point{0, static_cast<double>(m)};
    return Point{trace.value(m, kAxisX), trace.value(m, kAxisY)};
  };
  // Turn the plan so that it runs from left to right as large as the area allows: the chord from the
  // start to the end of the line, turned by at most 40 degrees either way.
  const Box inner{area.left + 70 * u_, area.top + 22 * u_, area.right - 70 * u_, area.bottom - 22 * u_};
  const Point start = world(0);
  const Point end = world(last);
  const double chord = (end.x != start.x || end.y != start.y) ? std::atan2(end.y - start.y, end.x - start.x) : 0;
  struct Extent {
    double min_u, max_u, min_v, max_v;
  };
  const auto extent_at = [&](double angle, int32_t step) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    Extent e{std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
             std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()};
    for (int32_t m = 0;; m = std::min(last, m + step)) {
      const Point p = world(m);
      const double u = p.x * c + p.y * s;
      const double v = -p.x * s + p.y * c;
      e = {std::min(e.min_u, u), std::max(e.max_u, u), std::min(e.min_v, v), std::max(e.max_v, v)};
      if (m == last) break;
    }
    return e;
  };
  const auto scale_of = [&](const Extent& e) {
    return std::min(std::max(inner.width(), 1.0) / std::max(e.max_u - e.min_u, 1.0),
                    std::max(inner.height(), 1.0) / std::max(e.max_v - e.min_v, 1.0));
  };
  double angle = chord;
  double best = scale_of(extent_at(chord, 20));
  for (int degrees = 1; degrees <= 40; ++degrees) {
    for (const int sign : {1, -1}) {
      const double candidate = chord + sign * degrees * M_PI / 180;
      const double scale = scale_of(extent_at(candidate, 20));
      if (scale > best * 1.0001) {
        best = scale;
        angle = candidate;
      }
    }
  }
  const double cosine = std::cos(angle);
  const double sine = std::sin(angle);
  const auto turned = [&](Point p) {
    return Point{p.x * cosine + p.y * sine, -p.x * sine + p.y * cosine};  // y up
  };
  const Extent e = extent_at(angle, 1);
  const double min_u = e.min_u, max_u = e.max_u, min_v = e.min_v, max_v = e.max_v;
  const double span_u = std::max(max_u - min_u, 1.0);
  const double span_v = std::max(max_v - min_v, 1.0);
  const double scale = std::max(1e-9, std::min(std::max(inner.width(), 1.0) / span_u,
                                               std::max(inner.height(), 1.0) / span_v));
  const double offset_x = (inner.left + inner.right) / 2 - (min_u + max_u) / 2 * scale;
  const double offset_y = (inner.top + inner.bottom) / 2 + (min_v + max_v) / 2 * scale;
  const auto screen = [&](int32_t metre) {
    const Point t = turned(world(metre));
    return Point{offset_x + t.x * scale, offset_y - t.y * scale};
  };
  const auto normal_at = [&](int32_t metre) {
    const Point a = screen(metre - 20);
    const Point b = screen(metre + 20);
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    return length > 0 ? Point{-(b.y - a.y) / length, (b.x - a.x) / length} : Point{0, -1};
  };

  const int32_t step = std::max(1, static_cast<int32_t>(0.5 / scale));
  for (int32_t m = 0; m < last; m += step) out_.plan_line.push_back(screen(m));
  out_.plan_line.push_back(screen(last));
  stroke(out_.plan_line, colour::kTrack, 2.2 * u_);

  std::vector<Box> obstacles;
  // Scale bar, in the first corner the track leaves free.
  const double bar_metres = nice_at_most(span_u * 0.18);
  const double bar = bar_metres * scale;
  const std::string bar_text = bar_metres >= 1000 ? fixed(bar_metres / 1000, 0) + " km" : fixed(bar_metres, 0) + " m";
  const TextSize bar_size = size_of(bar_text, fonts_.label);
  const double bar_h = bar_size.ascent + bar_size.descent + 10 * u_;
  const double bar_w = std::max(bar, bar_size.width);
  const double inset = 10 * u_;
  const std::vector<Point> corners{{area.left + inset, area.bottom - inset - bar_h},
                                   {area.right - inset - bar_w, area.bottom - inset - bar_h},
                                   {area.left + inset, area.top + inset},
                                   {area.right - inset - bar_w, area.top + inset}};
  Box bar_box{corners[0].x, corners[0].y, corners[0].x + bar_w, corners[0].y + bar_h};
  for (const Point& corner : corners) {
    const Box candidate{corner.x, corner.y, corner.x + bar_w, corner.y + bar_h};
    const Box spaced = candidate.grown(8 * u_);
    if (std::none_of(out_.plan_line.begin(), out_.plan_line.end(), [&](Point p) { return spaced.contains(p); })) {
      bar_box = candidate;
      break;
    }
  }
  {
    const double y = bar_box.bottom - 3 * u_;
    const double x0 = bar_box.left;
    const double x1 = x0 + bar;
    stroke({{x0, y - 5 * u_}, {x0, y}, {x1, y}, {x1, y - 5 * u_}}, colour::kInk, 1.5 * u_);
    stroke({{(x0 + x1) / 2, y - 3 * u_}, {(x0 + x1) / 2, y}}, colour::kInk, 1 * u_);
    add(make_label(bar_text, fonts_.label, colour::kInk, LabelRole::ScaleBar, (x0 + x1) / 2 - bar_size.width / 2,
                   bar_box.top));
    obstacles.push_back(bar_box);
  }

  // Marks first, so that no text covers them.
  const double station_size = 8 * u_;
  std::vector<Point> station_points;
  for (const StationInfo& station : s_.stations) {
    const Point at = screen(station.metre);
    station_points.push_back(at);
    obstacles.push_back(Box{at.x, at.y, at.x, at.y}.grown(station_size / 2 + 1 * u_));
  }
  std::vector<std::vector<Point>> signal_ticks;
  for (const int32_t metre : s_.signals) {
    if (metre < 0 || metre > last) continue;
    const Point at = screen(metre);
    const Point n = normal_at(metre);
    const double l = 6 * u_;
    signal_ticks.push_back({{at.x - n.x * l, at.y - n.y * l}, {at.x + n.x * l, at.y + n.y * l}});
    obstacles.push_back(Box{at.x, at.y, at.x, at.y}.grown(l));
  }
  for (const auto& tick : signal_ticks) stroke(tick, colour::kSignal, 1.6 * u_);
  const Point origin = screen(0);
  obstacles.push_back(Box{origin.x, origin.y, origin.x, origin.y}.grown(7 * u_));

  const auto place_label = [&](const std::string& text, Point anchor, Point normal, LabelRole role, bool bold) {
    FontSpec font = fonts_.label;
    font.bold = bold;
    const TextSize size = size_of(text, font);
    const double h = size.ascent + size.descent;
    bool leader = false;
    const Box box = place_near(anchor, size.width, h, normal, area, obstacles, out_.plan_line, leader);
    if (leader) stroke({anchor, nearest_on(box, anchor)}, colour::kLeader, 0.8 * u_);
    Label label{text, font, colour::kInk, box, box.top + size.ascent, role, true};
    return add(std::move(label));
  };

  place_label("start", origin, normal_at(0), LabelRole::PlanStart, true);
  mark(MarkShape::Triangle, origin, 12 * u_, colour::kStart);
  out_.stations.clear();
  for (std::size_t i = 0; i < s_.stations.size(); ++i) {
    const StationInfo& station = s_.stations[i];
    StationView view;
    view.name = station.name;
    view.time = station.time;
    view.metre = station.metre;
    view.plan_at = station_points[i];
    view.plan_label = place_label(station.name, station_points[i], normal_at(station.metre), LabelRole::PlanStation,
                                  false);
    out_.stations.push_back(view);
  }
  for (const Point& at : station_points) mark(MarkShape::Square, at, station_size, colour::kStation);
}

void Layouter::value_axis(const Box& area, double low, double high, double step) {
  const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : 2;
  const double first = std::ceil(low / step - 1e-9) * step;
  for (double value = first; value <= high + step * 1e-6; value += step) {
    const double y = y_in(area, low, high, value);
    stroke({{area.left, y}, {area.right, y}}, colour::kGridLine, 0.8 * u_);
    stroke({{area.left - 4 * u_, y}, {area.left, y}}, colour::kFrame, 1 * u_);
    const std::string text = fixed(value, decimals);
    const TextSize size = size_of(text, fonts_.label);
    const double top = y - (size.ascent + size.descent) / 2;
    Label label = make_label(text, fonts_.label, colour::kMuted, LabelRole::TickLabel,
                             area.left - 6 * u_ - size.width, top);
    bool free = true;
    for (const Label& other : out_.labels) free = free && !label.box.overlaps(other.box);
    if (free) add(std::move(label));
  }
}

void Layouter::lay_out_height_chart() {
  const Box area = out_.height_area;
  add(make_label("Height (m, relative to the start), mountain stretches shaded", fonts_.heading, colour::kInk,
                 LabelRole::Heading, height_heading_.left, height_heading_.top));
  double low = 0, high = 0;
  for (const ProfilePoint& p : s_.heights) {
    low = std::min(low, p.height);
    high = std::max(high, p.height);
  }
  const double lines = std::max(2.0, area.height() / (3.2 * text_height(fonts_.label)));
  height_step_ = nice_at_least((high - low) / lines);
  height_low_ = std::floor(low / height_step_) * height_step_;
  height_high_ = std::ceil(high / height_step_) * height_step_;
  if (height_high_ - height_low_ < height_step_) height_high_ = height_low_ + height_step_;
  // Some air above the highest point.
  if (high > height_high_ - height_step_ * 0.15) height_high_ += height_step_;

  // The ground under the profile, then the mountain stretches over the whole height of the chart.
  std::vector<Point> ground{{x_of(0), area.bottom}};
  for (const ProfilePoint& p : s_.heights) ground.push_back({x_of(p.metre), y_in(area, height_low_, height_high_, p.height)});
  ground.push_back({x_of(s_.heights.back().metre), area.bottom});
  fill(ground, colour::kTerrain);
  for (const Stretch& m : s_.mountains) {
    double left = x_of(m.from);
    double right = x_of(m.to);
    if (right - left < 2 * u_) {
      const double middle = (left + right) / 2;
      left = middle - 1 * u_;
      right = middle + 1 * u_;
    }
    fill(rectangle({left, area.top, right, area.bottom}), colour::kMountain);
    out_.mountains.push_back(m);
  }
  value_axis(area, height_low_, height_high_, height_step_);
  tick_lines(area);
  station_guides(area);
  std::vector<Point> line;
  for (const ProfilePoint& p : s_.heights) {
    line.push_back({x_of(p.metre), y_in(area, height_low_, height_high_, p.height)});
    out_.height_profile.push_back(p);
  }
  stroke(line, colour::kHeight, 1.6 * u_);
  stroke(rectangle(area), colour::kFrame, 1 * u_, {}, true);
}

void Layouter::lay_out_speed_chart() {
  const Box area = out_.speed_area;
  add(make_label("Speed (km/h): line speed limit as steps, slowdowns as bands", fonts_.heading, colour::kInk,
                 LabelRole::Heading, speed_heading_.left, speed_heading_.top));
  int top_speed = 0;
  for (const Stretch& limit : s_.speed_limits) top_speed = std::max(top_speed, limit.value);
  for (const SlowdownView& slowdown : s_.slowdowns) top_speed = std::max(top_speed, slowdown.speed);
  const double lines = std::max(2.0, area.height() / (3.2 * text_height(fonts_.label)));
  speed_step_ = nice_at_least((top_speed + 10.0) / lines);
  speed_high_ = std::max(speed_step_, std::ceil((top_speed + 10.0) / speed_step_) * speed_step_);
  const auto y_of = [&](double speed) { return y_in(area, 0, speed_high_, std::clamp(speed, 0.0, speed_high_)); };

  value_axis(area, 0, speed_high_, speed_step_);
  tick_lines(area);
  // Bands first, the limit over them, the slowdown speeds and their texts last.
  for (SlowdownView slowdown : s_.slowdowns) {
    double left = x_of(slowdown.from);
    double right = x_of(slowdown.to);
    if (right - left < 3 * u_) {
      const double middle = (left + right) / 2;
      left = middle - 1.5 * u_;
      right = middle + 1.5 * u_;
    }
    slowdown.band = {left, area.top, right, area.bottom};
    fill(rectangle(slowdown.band), colour::kSlowdownBand, LineStyle{colour::kSlowdownLine, 1 * u_, {4 * u_, 3 * u_}});
    out_.slowdowns.push_back(slowdown);
  }
  std::vector<Point> steps;
  for (const Stretch& limit : s_.speed_limits) {
    steps.push_back({x_of(limit.from), y_of(limit.value)});
    steps.push_back({x_of(limit.to), y_of(limit.value)});
    out_.speed_limits.push_back(limit);
  }
  station_guides(area);
  if (!steps.empty()) stroke(steps, colour::kSpeed, 2.8 * u_);
  for (SlowdownView& slowdown : out_.slowdowns) {
    const double y = y_of(slowdown.speed);
    stroke({{slowdown.band.left, y}, {slowdown.band.right, y}}, colour::kSlowdownLine, 2.2 * u_, {5 * u_, 3 * u_});
    const std::string text = std::to_string(slowdown.speed) + " km/h";
    const TextSize size = size_of(text, fonts_.label);
    const double h = size.ascent + size.descent;
    const double middle = (slowdown.band.left + slowdown.band.right) / 2;
    // Just above its speed (beside the band when the band is narrower than the text), moved up, then
    // down, until it is clear of the texts already there.
    std::vector<double> lefts;
    if (slowdown.band.width() >= size.width + 4 * u_) lefts.push_back(middle - size.width / 2);
    lefts.push_back(slowdown.band.right + 3 * u_);
    lefts.push_back(slowdown.band.left - 3 * u_ - size.width);
    lefts.push_back(middle - size.width / 2);
    std::optional<Label> placed;
    for (int k = 0; k < 40 && !placed; ++k) {
      const double offset = (k % 2 == 0 ? -1 : 1) * (k / 2) * (h + 2 * u_);
      const double top = y - 3 * u_ - h + offset;
      for (const double left : lefts) {
        Label label{text, fonts_.label, colour::kInk, {left, top, left + size.width, top + h}, top + size.ascent,
                    LabelRole::Slowdown, true};
        if (!area.contains(label.box)) continue;
        bool free = true;
        for (const Label& other : out_.labels) free = free && !label.box.grown(2 * u_).overlaps(other.box);
        if (free) {
          placed = label;
          break;
        }
      }
    }
    if (!placed) {
      const double top = area.top + 2 * u_;
      placed = Label{text, fonts_.label, colour::kInk, {middle, top, middle + size.width, top + h},
                     top + size.ascent, LabelRole::Slowdown, true};
    }
    slowdown.label = add(*placed);
  }
  stroke(rectangle(area), colour::kFrame, 1 * u_, {}, true);
}

void Layouter::lay_out_rows() {
  double top = rows_top_;
  for (RowPlan& row : rows_) {
    MarkRow view;
    view.kind = row.kind;
    view.levels = row.levels;
    view.area = {plot_left_, top, plot_right_, top + row_height(row)};
    const double mark_y = top + row_mark_height() / 2;
    const TextSize title = size_of(row.title, fonts_.heading);
    add(make_label(row.title, fonts_.heading, colour::kInk, LabelRole::RowTitle, pad_,
                   mark_y - (title.ascent + title.descent) / 2));
    stroke({{plot_left_, mark_y}, {plot_right_, mark_y}}, colour::kGridLine, 1 * u_);
    for (std::size_t i = 0; i < row.metres.size(); ++i) {
      RowMark m;
      m.metre = row.metres[i];
      m.at = {x_of(row.metres[i]), mark_y};
      if (!row.texts.empty()) {
        const RowSlot& slot = row.slots[i];
        const double label_top = top + row_mark_height() + 3 * u_ + slot.level * level_height();
        Label label = make_label(row.texts[i], fonts_.label, colour::kInk, row.role, slot.left, label_top);
        stroke({{m.at.x, mark_y + 4 * u_}, {m.at.x, label.box.bottom - 1 * u_}}, colour::kLeader, 0.8 * u_);
        m.label = add(std::move(label));
        if (row.kind == RowKind::Stations && i < out_.stations.size()) out_.stations[i].row_label = *m.label;
      }
      view.marks.push_back(m);
    }
    for (const RowMark& m : view.marks) mark(row.shape, m.at, 10 * u_, row.colour);
    out_.rows.push_back(std::move(view));
    top += row_height(row);
  }
}

void Layouter::plan_axis_ticks() {
  const double per_metre = (plot_right_ - plot_left_) / s_.axis_end;
  const double label_w = size_of("88.8", fonts_.label).width + 14 * u_;
  const double step = nice_at_least(label_w / per_metre);
  const int decimals = step >= 1000 ? 0 : step >= 100 ? 1 : 2;

  // Ticks where the progressive is a multiple of the step, reference by reference.
  std::vector<std::pair<double, double>> ticks;  // metre, progressive
  const auto& references = s_.references;
  const auto add_range = [&](double from, double to, std::optional<KilometricReference> reference) {
    const auto progressive = [&](double metre) {
      return reference ? reference->progressive + reference->direction * (metre - reference->start) : metre;
    };
    const double a = progressive(from);
    const double b = progressive(to);
    for (double value = std::ceil(std::min(a, b) / step - 1e-9) * step; value <= std::max(a, b) + 1e-6;
         value += step) {
      const double metre = reference ? reference->start + (value - reference->progressive) * reference->direction
                                     : value;
      if (metre >= from - 1e-6 && metre <= to + 1e-6) ticks.emplace_back(metre, value);
    }
  };
  if (references.empty()) {
    add_range(0, s_.axis_end, std::nullopt);
  } else {
    for (std::size_t i = 0; i < references.size(); ++i) {
      const double from = i == 0 ? 0 : std::max(0, references[i].start);
      const double to = i + 1 < references.size() ? std::min(references[i + 1].start, s_.axis_end) : s_.axis_end;
      if (to > from) add_range(from, to, references[i]);
    }
  }
  std::sort(ticks.begin(), ticks.end());
  // Only as many as their texts leave room for.
  double last_right = -std::numeric_limits<double>::max();
  for (const auto& [metre, value] : ticks) {
    const std::string text = fixed(value / 1000, decimals);
    const double width = size_of(text, fonts_.label).width;
    const double left = x_of(metre) - width / 2;
    if (left < last_right + 8 * u_) continue;
    last_right = left + width;
    ticks_.emplace_back(metre, text);
  }
}

void Layouter::tick_lines(const Box& area) {
  for (const auto& [metre, text] : ticks_) {
    const double x = x_of(metre);
    stroke({{x, area.top}, {x, area.bottom}}, colour::kGridLine, 0.6 * u_);
  }
}

void Layouter::lay_out_axis() {
  const double y = axis_y_;
  stroke({{plot_left_, y}, {plot_right_, y}}, colour::kInk, 1.2 * u_);
  for (const auto& [metre, text] : ticks_) {
    const double x = x_of(metre);
    const TextSize size = size_of(text, fonts_.label);
    Label label = make_label(text, fonts_.label, colour::kInk, LabelRole::TickLabel, x - size.width / 2,
                             axis_label_top_);
    stroke({{x, y}, {x, y + 5 * u_}}, colour::kInk, 1.2 * u_);
    bool free = true;
    for (const Label& other : out_.labels) free = free && !label.box.overlaps(other.box);
    if (free) add(std::move(label));
  }
  const std::string title = s_.references.empty() ? "Distance from the start of the line (km)"
                                                  : "Kilometric progressive (km), as the scenario table gives it";
  const TextSize size = size_of(title, fonts_.label);
  add(make_label(title, fonts_.label, colour::kInk, LabelRole::AxisTitle,
                 (plot_left_ + plot_right_) / 2 - size.width / 2, axis_title_top_));
}

void Layouter::lay_out_legend() {
  const double label_h = text_height(fonts_.label);
  const double row_h = label_h + 6 * u_;
  const double left = plot_right_ + 16 * u_;
  const double top = height_heading_.top;
  const Box box{left, top, left + legend_width_, top + legend_entries_.size() * row_h + 14 * u_};
  fill(rectangle(box), colour::kPaper, LineStyle{colour::kFrame, 1 * u_, {}});
  double y = box.top + 7 * u_;
  for (const auto& [text, kind] : legend_entries_) {
    const double middle = y + row_h / 2;
    const Box swatch{left + 10 * u_, middle - 6 * u_, left + 38 * u_, middle + 6 * u_};
    const double cx = (swatch.left + swatch.right) / 2;
    switch (kind) {
      case LegendKey::Track: stroke({{swatch.left, middle}, {swatch.right, middle}}, colour::kTrack, 2.2 * u_); break;
      case LegendKey::Height:
        fill(rectangle({swatch.left, middle, swatch.right, swatch.bottom}), colour::kTerrain);
        stroke({{swatch.left, middle + 2 * u_}, {cx, middle - 3 * u_}, {swatch.right, middle}}, colour::kHeight,
               1.6 * u_);
        break;
      case LegendKey::Mountain: fill(rectangle(swatch), colour::kMountain); break;
      case LegendKey::SpeedLimit: stroke({{swatch.left, middle}, {swatch.right, middle}}, colour::kSpeed, 2.8 * u_); break;
      case LegendKey::Slowdown:
        fill(rectangle(swatch), colour::kSlowdownBand, LineStyle{colour::kSlowdownLine, 1 * u_, {4 * u_, 3 * u_}});
        stroke({{swatch.left, middle}, {swatch.right, middle}}, colour::kSlowdownLine, 2.2 * u_, {5 * u_, 3 * u_});
        break;
      case LegendKey::Station: mark(MarkShape::Square, {cx, middle}, 9 * u_, colour::kStation); break;
      case LegendKey::Signal: mark(MarkShape::SignalPost, {cx, middle}, 10 * u_, colour::kSignal); break;
      case LegendKey::SpeedBoard: mark(MarkShape::Diamond, {cx, middle}, 10 * u_, colour::kSpeedBoard); break;
      case LegendKey::InfoBoard: mark(MarkShape::Board, {cx, middle}, 10 * u_, colour::kInfoBoard); break;
      case LegendKey::Start: mark(MarkShape::Triangle, {cx, middle}, 11 * u_, colour::kStart); break;
    }
    const TextSize size = size_of(text, fonts_.label);
    add(make_label(text, fonts_.label, colour::kInk, LabelRole::Legend, swatch.right + 8 * u_,
                   middle - (size.ascent + size.descent) / 2));
    y += row_h;
  }
}

}  // namespace

std::vector<KilometricReference> kilometric_references(const ScenarioTable& table) {
  std::vector<KilometricReference> references;
  for (const int record : {kKilometricTreRecord, kKilometricDueRecord, kKilometricUnoRecord}) {
    const ScenarioRecord& r = table[static_cast<std::size_t>(record)];
    if (r.number1 == 0 && r.number2 == 0 && r.number3 == 0) continue;
    KilometricReference reference;
    reference.start = r.number1;
    if (r.number3 == kKilometricCountingDown) {
      reference.progressive = r.number2 - kKilometricFlagAddition;
      reference.direction = -1;
    } else {
      reference.progressive = r.number2;
      reference.direction = 1;
    }
    references.push_back(reference);
  }
  std::stable_sort(references.begin(), references.end(),
                   [](const KilometricReference& a, const KilometricReference& b) { return a.start < b.start; });
  return references;
}

double kilometric_progressive(const std::vector<KilometricReference>& references, double metre) {
  if (references.empty()) return metre;
  const KilometricReference* chosen = &references.front();
  for (const KilometricReference& reference : references)
    if (reference.start <= metre) chosen = &reference;
  return chosen->progressive + chosen->direction * (metre - chosen->start);
}

std::string board_caption(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t open = text.find('(');
  while (open != std::string::npos) {
    const std::size_t close = text.find(')', open + 1);
    parts.push_back(trimmed(text.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1)));
    if (close == std::string::npos) break;
    open = text.find('(', close + 1);
  }
  if (parts.empty()) return trimmed(text);
  const auto numeric = [](const std::string& part) {
    return !part.empty() && part.find_first_not_of("0123456789.,+- ") == std::string::npos;
  };
  if (parts.size() > 1 && numeric(parts.back())) parts.pop_back();
  std::string caption;
  for (const std::string& part : parts)
    if (!part.empty()) caption += (caption.empty() ? "" : " ") + part;
  return caption;
}

std::vector<RowSlot> place_row_labels(const std::vector<double>& xs, const std::vector<double>& widths, double gap,
                                      double right_limit) {
  const std::size_t count = std::min(xs.size(), widths.size());
  std::vector<RowSlot> slots(count);
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), 0);
  // From the right: a text then only ever lies right of the stems of the texts still to come.
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return xs[a] > xs[b]; });
  std::vector<std::size_t> placed;
  const auto overlaps = [&](int level, double left, double right) {
    for (const std::size_t other : placed) {
      if (slots[other].level != level) continue;
      const double other_left = slots[other].left;
      if (left < other_left + widths[other] + 2 * gap && other_left < right + 2 * gap) return true;
    }
    return false;
  };
  // A stem runs from the marks down to its text, through every level above the text's own.
  const auto stems_cross = [&](int level, double x, double left, double right) {
    for (const std::size_t other : placed) {
      const double other_left = slots[other].left - gap / 2;
      const double other_right = slots[other].left + widths[other] + gap / 2;
      if (slots[other].level < level && x >= other_left && x <= other_right) return true;
      if (slots[other].level > level && xs[other] >= left - gap / 2 && xs[other] <= right + gap / 2) return true;
    }
    return false;
  };
  for (const std::size_t i : order) {
    const double left = std::min(xs[i] + gap, right_limit - widths[i]);
    const int top_level = static_cast<int>(placed.size());
    std::optional<int> chosen;
    std::optional<int> fallback;
    for (int level = 0; level <= top_level && !chosen; ++level) {
      if (overlaps(level, left, left + widths[i])) continue;
      if (!fallback) fallback = level;
      if (!stems_cross(level, xs[i], left, left + widths[i])) chosen = level;
    }
    slots[i] = {chosen.value_or(fallback.value_or(top_level)), left};
    placed.push_back(i);
  }
  return slots;
}

PreviewLayout layout_preview(const ScenarioFiles& files, double width, double height, const MeasureText& measure) {
  return Layouter(files, width, height, measure).run();
}
