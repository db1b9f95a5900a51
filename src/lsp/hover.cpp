#include "lsp/hover.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "compiler/error_report.h"
#include "compiler/target_cells.h"
#include "model/boards.h"
#include "model/kilometric.h"
#include "model/line_profile.h"
#include "platform/windows1252.h"
#include "review/timetable_review.h"
#include "scenario/counted.h"
#include "scenario/format.h"
#include "scenario/scenario_table.h"
#include "scenario/track_grid.h"

namespace {

/// A text of a source shown in Markdown: UTF-8, as a code span (fenced by more backticks than it holds
/// in a row), so that no character of it is taken as a mark.
std::string code_span(std::string_view windows1252) {
  const std::string text = shown_text(windows1252);
  if (text.empty()) return "\"\"";
  std::size_t longest = 0;
  std::size_t run = 0;
  for (const char c : text) {
    run = c == '`' ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  const std::string fence(longest + 1, '`');
  const bool padded = text.front() == '`' || text.back() == '`';
  return fence + (padded ? " " : "") + text + (padded ? " " : "") + fence;
}

std::string signed_text(int value) { return (value > 0 ? "+" : "") + std::to_string(value); }

std::string time_text(int32_t seconds) {
  if (seconds < 0) return std::to_string(seconds) + " s";
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds % 3600 / 60, seconds % 60);
  return text;
}

class HoverWriter {
 public:
  HoverWriter(const OutlineEntry& entry, const RunState& state)
      : entry_(entry), state_(state), grid_(state.grid), references_(kilometric_references(state.table)) {}

  /// What the entry's keyword compiled to, one fact a line.
  std::vector<std::string> facts(Keyword keyword, const std::vector<OutlineValue>& values) {
    const auto value = [&values](std::size_t index) -> int32_t {
      return index < values.size() && values[index].number ? *values[index].number : 0;
    };
    if (values.size() < keyword_info(keyword).fields.size())
      return {"the entry lacks values: what it compiles to is not known"};
    const ScenarioTable& table = state_.table;
    switch (keyword) {
      case Keyword::LineLength:
        return line_length(value(0));
      case Keyword::KilometricTre:
      case Keyword::KilometricDue:
      case Keyword::KilometricUno:
        return kilometric();
      case Keyword::BackgroundUno:
        return {"stored: " + std::to_string(table[kLineRecord].number1)};
      case Keyword::BackgroundDue:
        return {"stored: " + std::to_string(table[kLineRecord].number3)};
      case Keyword::BackgroundTre:
        return {"stored: " + std::to_string(table[kLineRecord].number2)};
      case Keyword::SignalRepetition: {
        const ScenarioRecord& r = table[kServiceRecord];
        return {"stored: first position " + std::to_string(r.number1) + " m, second " + std::to_string(r.number2) +
                " m, code count " + std::to_string(r.number3) + (r.number3 == 0 ? " (no equipment)" : "")};
      }
      case Keyword::Gradient:
        return profile(ProfileQuantity::Gradient, value(0), value(1), "gradient", " per mille", true);
      case Keyword::Curve:
        return curve(value(0), value(1));
      case Keyword::Mountain:
        return mountain(value(0), value(1), value(2));
      case Keyword::SpeedBoard:
        return objects({{object_cell(value(0)), "this speed board"}});
      case Keyword::InfoBoard:
        return objects({{object_cell(value(0)), "this information board"}});
      case Keyword::BrakedMass:
        return {"stored: " + std::to_string(table[kTrainRecord].number1) + " %"};
      case Keyword::Cars:
        return {"stored: " + std::to_string(table[kTrainRecord].number3) + " cars"};
      case Keyword::Speed:
        return profile(ProfileQuantity::SpeedLimit, value(0), value(1), "line speed", " km/h", false);
      case Keyword::Adhesion:
        return profile(ProfileQuantity::Adhesion, value(0), value(1), "adhesion", "", false);
      case Keyword::Clock: {
        const ScenarioRecord& r = table[kServiceRecord];
        return {"stored: the clock starts at " + std::to_string(r.short3) + " h " + std::to_string(r.short4) + " min " +
                std::to_string(r.short5) + " s"};
      }
      case Keyword::Sand:
        return {"stored: " + std::to_string(table[kServiceRecord].short1)};
      case Keyword::Signal:
        return signal(value(0));
      case Keyword::Slowdown:
        return slowdown(value(0), value(2), value(4));
      case Keyword::SpeedCut:
        return objects({{speed_cut_cell(value(0)), "this speed cut"}});
      case Keyword::Station:
        return station();
    }
    return {};
  }

 private:
  std::string km(double metre) const {
    char text[48];
    std::snprintf(text, sizeof text, "km %.3f", kilometric_progressive(references_, metre) / 1000.0);
    return text;
  }
  /// "1500 m, km 27.500", for inside parentheses; at() gives "1500 m (km 27.500)".
  std::string metres_km(int64_t metre) const { return std::to_string(metre) + " m, " + km(static_cast<double>(metre)); }
  std::string at(int64_t metre) const { return std::to_string(metre) + " m (" + km(static_cast<double>(metre)) + ")"; }
  /// A cell as a single object's: the metres where its object stands.
  std::string object_cell_name(int64_t cell) const {
    return "cell " + std::to_string(cell) + " (" + metres_km((cell - 1) * kCellLength) + ")";
  }
  std::string grid_limits() const {
    return "cells 0 to " + std::to_string(grid_.cellCount()) + ", 0 to " +
           std::to_string(profile_metre(grid_.cellCount() + int64_t{1})) + " m";
  }

  /// What a cell stores for its object, in the author's units.
  std::string stored(int32_t index) const {
    const TrackCell& cell = grid_[index];
    switch (cell.cell_kind()) {
      case CellKind::Signal:
        return "; stores value1 " + std::to_string(cell.value1) + " (s1 x 10 + d1), value2 " +
               std::to_string(cell.value2) + " (s2 x 10 + d2), value3 " + std::to_string(cell.value3) +
               " (s3 x 10 + d3), value4 " + std::to_string(cell.value4) + " (rapp x 10 + sx x 3 + dx), time " +
               std::to_string(cell.signalTime);
      case CellKind::SpeedBoard:
        for (const SpeedBoard& board : read_speed_boards(grid_))
          if (board.cell == index)
            return "; speeds " + speed_board_caption(board) + " km/h, stripes " + std::to_string(board.stripes_first) +
                   " | " + std::to_string(board.stripes_other);
        return {};
      case CellKind::InfoBoard: {
        const int record = cell.value1;
        if (record < 0 || record >= kScenarioRecordCount) return "; record " + std::to_string(record);
        return "; text in record " + std::to_string(record) + ": " +
               code_span(state_.table[static_cast<std::size_t>(record)].text);
      }
      case CellKind::SlowdownWarning:
      case CellKind::SlowdownStart:
      case CellKind::SlowdownEnd: {
        std::string text = "; speed " + std::to_string(cell.value1) + " km/h";
        if (!cell.is(CellKind::SlowdownWarning)) text += ", f_tt " + std::to_string(cell.value3);
        if (cell.value2 != 0) text += ", d_v " + std::to_string(cell.value2);
        return text;
      }
      case CellKind::SlowdownApproach:
        return "; approach number " + std::to_string(cell.value1);
      case CellKind::ControlPoint:
        return "; speed " + std::to_string(cell.value1) + " km/h";
      case CellKind::ControlPointNoValue:
        return "; without a speed";
      case CellKind::StationMark:
        return "; station record " + std::to_string(cell.value1);
      default:
        return {};
    }
  }

  /// A cell the entry's object aims at: held by it, taken by another entry's object, or empty (the
  /// entry was refused).
  std::string object(int64_t cell, const std::string& what) const {
    if (!grid_.exists()) return "no grid: the line length was refused or is missing";
    if (!grid_.contains(cell)) return "cell " + std::to_string(cell) + " lies outside the grid (" + grid_limits() + ")";
    const auto index = static_cast<int32_t>(cell);
    const TrackCell& held = grid_[index];
    const CellOrigin& origin = grid_.origin(index);
    const std::string name = object_cell_name(cell);
    if (!held.is_free() && origin.place == entry_.place) return name + ": " + what + stored(index);
    if (!held.is_free())
      return name + ": taken by " + shown_text(occupant_of(state_, cell).description) + ", not by this entry";
    return name + ": empty after compilation, nothing of this entry stands there (it was refused)";
  }

  /// The cells an entry aims its objects at, then the cells the finishing pass gave it.
  std::vector<std::string> objects(const std::vector<std::pair<int64_t, std::string>>& targets) const {
    std::vector<std::string> lines;
    for (const auto& [cell, what] : targets) lines.push_back(object(cell, what));
    std::string placed;
    for (int32_t i = 0; grid_.exists() && i <= grid_.cellCount(); ++i) {
      const CellOrigin& origin = grid_.origin(i);
      if (origin.by_finishing_pass && origin.place == entry_.place && !grid_[i].is_free())
        placed += (placed.empty() ? "" : ", ") + std::to_string(i) + " (" + std::to_string(object_metre(i)) + " m)";
    }
    if (!placed.empty()) lines.push_back("control points the finishing pass placed for it: cells " + placed);
    return lines;
  }

  std::vector<std::string> line_length(int32_t length) const {
    std::vector<std::string> lines;
    const int32_t stored = state_.table[kTrainRecord].number2;
    lines.push_back("stored: " + std::to_string(stored) + " m" +
                    (stored != length ? " (another \"lunghezza percorso\" entry gave it)" : ""));
    if (state_.grid_stands_in)
      lines.push_back("no track grid: the length was refused (checking reads on as on a line of " +
                      std::to_string(kMaxLineLength) + " m)");
    else if (grid_.exists())
      lines.push_back("the track grid: " + grid_limits() + ", reaching " + std::to_string(kGridBeyondLine) +
                      " m beyond the end of the line");
    else
      lines.push_back("no track grid: the length was refused");
    return lines;
  }

  std::vector<std::string> kilometric() const {
    for (std::size_t i = 0; i < state_.kilometric_places.size(); ++i) {
      if (state_.kilometric_places[i] != entry_.place) continue;
      const int record = kKilometricTreRecord + static_cast<int>(i);
      const ScenarioRecord& r = state_.table[static_cast<std::size_t>(record)];
      std::vector<std::string> lines{"stored in record " + std::to_string(record) + ": start " +
                                     std::to_string(r.number1) + " m, value " + std::to_string(r.number2) + " m" +
                                     (r.number3 == kKilometricCountingDown ? " (100 added for the flag)" : "") +
                                     ", flag " + std::to_string(r.number3)};
      if (r.number1 != 0 || r.number2 != 0 || r.number3 != 0)
        lines.push_back("from " + std::to_string(r.number1) + " m on the line counts " +
                        (r.number3 == kKilometricCountingDown ? "down" : "up") + " from " +
                        km(static_cast<double>(r.number1)));
      else
        lines.push_back("all zero: this reference is not used");
      return lines;
    }
    return {"not stored: the reference was refused"};
  }

  std::vector<std::string> profile(ProfileQuantity quantity, int32_t position, int32_t given, const char* name,
                                   const char* unit, bool sign) const {
    if (!grid_.exists()) return {"no grid: the line length was refused or is missing"};
    const int64_t cell = profile_cell(position);
    if (!grid_.contains(cell))
      return {"cell " + std::to_string(cell) + " lies outside the grid (" + grid_limits() + ")"};
    const auto first = static_cast<int32_t>(cell);
    const int held = profile_value(grid_[first], quantity);
    std::string line = "from cell " + std::to_string(first) + " (" + metres_km(profile_metre(first)) + "): " + name +
                       " " + (sign ? signed_text(held) : std::to_string(held)) + unit;
    for (const ProfileRun& run : profile_runs(grid_, quantity, grid_.cellCount() + 1)) {
      if (run.first_cell <= first && first <= run.last_cell) {
        line += " over cells " + std::to_string(run.first_cell) + " to " + std::to_string(run.last_cell) + " (" +
                std::to_string(profile_metre(run.first_cell)) + " to " +
                std::to_string(profile_metre(run.last_cell + int64_t{1})) + " m)";
        break;
      }
    }
    if (held != given)
      line += "; the entry gives " + (sign ? signed_text(given) : std::to_string(given)) + unit +
              ": the stored unit, a cut to 8 bits or another entry changed it";
    return {line};
  }

  std::vector<std::string> curve(int32_t start, int32_t length) const {
    const CurveSharpness* sharpness = curve_sharpness(entry_.field);
    if (sharpness == nullptr) return {"no sharpness digit 1 to 6 in the keyword: the curve is refused (E103)"};
    const bool left = curve_turns_left(entry_.field);
    const int64_t end = int64_t{start} + length;
    return {std::string("the plan turns ") + (left ? "left" : "right") + ", sharpness " + sharpness->digit +
                " (radius " + std::to_string(sharpness->radius) + " m), from " + at(start) + " to " + at(end),
            "cells " + std::to_string(profile_cell(start)) + " to " + std::to_string(profile_cell(end))};
  }

  std::vector<std::string> mountain(int32_t start, int32_t end, int32_t type) const {
    if (!grid_.exists()) return {"no grid: the line length was refused or is missing"};
    const MountainCells cells = mountain_cells(start, end);
    const int64_t first = cells.first;
    const int64_t last = cells.last;
    if (cells.empty())
      return {"places nothing: its last cell " + std::to_string(last) + " comes before its first cell " +
              std::to_string(first)};
    if (!grid_.contains(first) || !grid_.contains(last))
      return {"cells " + std::to_string(first) + " to " + std::to_string(last) + " leave the grid (" + grid_limits() +
              ")"};
    int markers = 0;
    for (auto i = static_cast<int32_t>(first); i <= static_cast<int32_t>(last); ++i)
      markers += grid_[i].is(CellKind::MountainMarker);
    const int held = profile_value(grid_[static_cast<int32_t>(first)], ProfileQuantity::MountainType);
    std::string line = "cells " + std::to_string(first) + " to " + std::to_string(last) + ", from " +
                       at(profile_metre(first)) + " to " + at(profile_metre(last + 1)) + ": mountain type " +
                       std::to_string(held);
    const int asked = mountain_type_asked(type);
    if (held != asked)
      line += "; the entry asks for type " + std::to_string(asked) + ": the 150 m rule or a cut changed it";
    return {line, counted(static_cast<std::size_t>(markers), "marker") + " in its cells"};
  }

  std::vector<std::string> signal(int32_t position) const {
    const SignalCells cells = signal_cells(position);
    std::vector<std::string> lines = objects({{cells.signal, "this signal"}});
    std::string marks;
    for (const TargetCell& target : cells.targets())
      if (target.role == CellRole::SignalApproachMark)
        marks += (marks.empty() ? "" : ", ") + std::to_string(target.cell);
    if (!marks.empty() && grid_.contains(cells.signal)) lines.push_back("approach marks in cells " + marks);
    return lines;
  }

  std::vector<std::string> slowdown(int32_t x, int32_t length, int32_t f_ta) const {
    std::vector<std::pair<int64_t, std::string>> targets;
    for (const TargetCell& target : slowdown_cells(x, length, f_ta).targets()) {
      switch (target.role) {
        case CellRole::SlowdownWarning:
          targets.emplace_back(target.cell, "this slowdown's warning mark");
          break;
        case CellRole::SlowdownStart:
          targets.emplace_back(target.cell, "this slowdown's start");
          break;
        case CellRole::SlowdownEnd:
          targets.emplace_back(target.cell, "this slowdown's end");
          break;
        default:
          targets.emplace_back(target.cell, "this slowdown's approach cell " + std::to_string(target.k));
          break;
      }
    }
    return objects(targets);
  }

  std::vector<std::string> station() const {
    for (int n = kFirstStationRecord; n < kFirstBoardRecord; ++n) {
      if (state_.record_places[static_cast<std::size_t>(n)] != entry_.place) continue;
      const ScenarioRecord& r = state_.table[static_cast<std::size_t>(n)];
      std::vector<std::string> lines{"record " + std::to_string(n) + ": " + code_span(r.text) + " at " + at(r.number3) +
                                         ", timetable time " + time_text(r.number4) + ", kind " +
                                         std::to_string(r.code),
                                     "platform from " + at(r.number1) + " to " + at(r.number2)};
      if (const StationCells cells = station_cells(r.code, r.number2); cells.on_grid) {
        lines.push_back(object(cells.mark, "this station's mark"));
      } else {
        lines.push_back("its kind places nothing in the grid");
      }
      if (const auto run = station_run_text(state_, n)) lines.push_back(shown_text(*run));
      return lines;
    }
    return {"no record of the table holds this station: it was refused"};
  }

  const OutlineEntry& entry_;
  const RunState& state_;
  const TrackGrid& grid_;
  std::vector<KilometricReference> references_;
};

}  // namespace

std::string hover_markdown(const OutlineEntry& entry, const RunState* state, std::string_view why_not) {
  std::string text;
  for (const Keyword keyword : entry.keywords) {
    const KeywordInfo& info = keyword_info(keyword);
    if (!text.empty()) text += "\n---\n\n";
    // A curve's keyword carries its side and sharpness: the author's own is shown.
    const std::string_view written = keyword == Keyword::Curve ? std::string_view(entry.field) : info.written;
    text += "**" + code_span(written) + "**: " + std::string(info.summary) + "\n\n";
    const std::vector<OutlineValue> values = entry.values_of(keyword);
    std::string fields;
    for (std::size_t n = 0; n < info.fields.size(); ++n) {
      fields += (fields.empty() ? "" : ", ") + std::string("`") + std::string(info.fields[n].name) + "` ";
      if (n >= values.size())
        fields += "(missing)";
      else if (values[n].number)
        fields += std::to_string(*values[n].number);
      else
        fields += code_span(values[n].text);
    }
    text += fields + "\n\n";
    if (state == nullptr) {
      text += "_Not compiled: " + std::string(why_not) + "_\n";
      continue;
    }
    HoverWriter writer(entry, *state);
    for (const std::string& fact : writer.facts(keyword, values)) text += "- " + fact + "\n";
  }
  return text;
}
