#include "compiler/line_reader.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string>

#include "compiler/entry_reader.h"
#include "compiler/error_report.h"
#include "compiler/field_reader.h"
#include "compiler/keyword_match.h"
#include "compiler/keywords.h"
#include "compiler/memo_indicatori_v_max.h"
#include "compiler/memo_montagna.h"
#include "compiler/profile_fill.h"
#include "compiler/progressive_ordina.h"
#include "compiler/source_notes.h"
#include "compiler/target_cells.h"
#include "compiler/value_cut.h"
#include "scenario/checked_arithmetic.h"
#include "scenario/error_codes.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

namespace {

/// Comment fields passed over in a row before the keyword test: inside the general section, and after it.
constexpr int kGeneralCommentRun = 10;
constexpr int kLineCommentRun = 2;
/// The trace is never computed beyond this metre.
constexpr int32_t kTraceLimit = 1000000;

bool begins_with_dash(const std::string& field) {
  const auto first = field.find_first_not_of(" \t");
  return first != std::string::npos && field[first] == '-';
}

class LineReader : public EntryReader {
 public:
  LineReader(RunState& state, std::string_view text) : EntryReader(state, text, SourceKind::Line) {}

  /// Reads the whole description; false after a hard error (the train service is then not read).
  bool run() {
    return placing_failures([this] { return read_steps(); });
  }

 private:
  bool read_steps() {
    store_identity(state_);
    if (!find_general_section()) {
      if (!state_.keep_going) return false;
      stand_in_grid();
      return true;
    }
    Flow general = Flow::Next;
    try {
      general = read_general_section();
    } catch (const ReadFailure&) {
      create_grid();  // a length read before the failure has made its grid
      throw;
    }
    create_grid();
    // A length given but refused has been reported: checking reads on as on the longest line.
    if (state_.keep_going && !state_.grid.exists() && length_given_) stand_in_grid();
    if (general == Flow::End) return false;
    progressive_ordina(state_);
    start_line_entries();
    if (read_line_entries() == Flow::End) return false;
    return complete();
  }

  int32_t read_position(SourcePlace& place) {
    const int32_t value = reader_.read_int32();
    place = reader_.last_place();
    return value;
  }

  /// Makes the grid (and the trace) of the last line length the general section gave, every byte zero.
  void create_grid() {
    if (!grid_wanted_) return;
    grid_wanted_ = false;
    state_.grid.create(state_.grid_extent);
    if (state_.trace_flag != 0) state_.trace.create(state_.grid_extent);
  }

  /// Without an accepted line length there is no grid, and the format's reading has ended. Checking
  /// reads on, the line description's entries and the train service, on the grid of the longest line
  /// the format accepts (without a plan trace): what the format would report once the length were
  /// mended, but for positions that only the true length would refuse.
  void stand_in_grid() {
    state_.grid_extent = kMaxLineLength + kGridBeyondLine;
    state_.grid.create(state_.grid_extent);
    state_.trace = PlanTrace{};
    state_.grid_stands_in = true;
  }

  /// A hard error that has no position: its place is the field just read.
  Flow hard(int32_t code) { return refuse(code, std::nullopt, reader_.last_place()); }
  /// An error after which there is nothing more to read: no grid, or a trace at its limit.
  Flow hard_end(int32_t code, std::string why = {}) {
    return refuse_hard(Refusal(code, std::nullopt, reader_.last_place(), std::move(why)));
  }

  bool find_general_section() {
    for (;;) {
      const std::string& field = read_field();
      if (reader_.at_end()) {
        // The section is missing from the top of the file, where it belongs: the error is placed there,
        // not at the last field read.
        refuse_hard(Refusal(kErrorNoGeneralSection, std::nullopt, SourcePlace{SourceKind::Line, 1, 1},
                            "no field of the file contains \"[generale]\""));
        return false;
      }
      if (contains_any_case(field, "[generale]")) return true;
    }
  }

  /// The general section: its entries in any order, up to the first section header.
  Flow read_general_section() {
    notes_.reading(KeywordPlace::LineGeneral);
    return read_entries({kGeneralCommentRun, false}, [this](const std::string& field) {
      if (const Flow flow = general_entry(field); flow != Flow::Next) return flow;
      return is_section_header(field) && !begins_with_dash(field) ? Flow::Done : Flow::Next;
    });
  }

  /// A keyword that needs its exact case, written in another: ignored.
  void note_case(const std::string& field, Keyword keyword) {
    if (!matches_but_for_case(field, keyword)) return;
    const KeywordInfo& info = keyword_info(keyword);
    std::string words;
    for (std::size_t n = 0; n < info.words.size(); ++n)
      words += std::string(n == 0 ? "" : " and ") + "\"" + std::string(info.words[n]) + "\"";
    notes_.line_noted(keyword_place_.line);
    warn(state_, WarningKind::KeywordCase, keyword_place_,
         "\"" + field + "\" is ignored: " + words + " must be written in lower case");
  }

  /// A refused line length (E1): the reading ends; checking reads on (see stand_in_grid).
  Flow refuse_length(std::string why) {
    if (!state_.keep_going) return hard_end(kErrorLineLength, std::move(why));
    return refuse(Refusal(kErrorLineLength, std::nullopt, reader_.last_place(), std::move(why)));
  }

  /// The line length dimensions the grid: cells 0 to round((length + 7000) / 50), and the plan trace,
  /// metres 0 to length + 7000. The format refuses only a length above 1000000 m. A length of 0 or less
  /// is accepted (its grid is the part beyond the line's end alone) down to where the arrays cannot be
  /// made: a grid whose last cell falls before cell 0, or a trace with a negative last metre, is the
  /// format's read failure. Between those and -6975 m the grid keeps cell 0 alone, and the output, which
  /// stamps its marker into cell 1, cannot be made: such a length is refused like one too long.
  Flow line_length(int32_t length) {
    const SourcePlace place = reader_.last_place();
    if (length > kMaxLineLength)
      return refuse_length(std::to_string(length) + " m; a line is at most " + std::to_string(kMaxLineLength) +
                           " m long");
    const int64_t extent = int64_t{length} + kGridBeyondLine;
    const int64_t last_cell = last_cell_of_extent(extent);
    const bool traced = state_.trace_flag != 0;
    if (last_cell < 0 || (traced && extent < 0)) {
      // The format has re-created the grid (cell 0 alone) before its trace failed: no earlier grid stays.
      if (last_cell >= 0) grid_wanted_ = false;
      throw ReadFailure("a line of " + std::to_string(length) + " m has a grid extent of " + std::to_string(extent) +
                            " m (length + " + std::to_string(kGridBeyondLine) + "), for which " +
                            (last_cell < 0 ? "no grid" : "no plan trace") + " can be made",
                        place);
    }
    if (last_cell < kCodeCell) {
      grid_wanted_ = false;
      return refuse_length(std::to_string(length) + " m: its grid, cells 0 to " + std::to_string(last_cell) +
                           ", has no cell " + std::to_string(kCodeCell) +
                           " for the output's marker; a line is at least " + std::to_string(kShortestLine) + " m long");
    }
    if (length <= 0)
      warn(state_, WarningKind::LineNotPositive, place,
           "a line of " + std::to_string(length) + " m has no track of its own: its grid, cells 0 to " +
               std::to_string(last_cell) + ", is only the " + std::to_string(extent) + " m beyond its end");
    state_.grid_extent = static_cast<int32_t>(extent);
    // Each length dimensions the grid afresh, so only the last one before the line entries counts:
    // the grid and the trace are made once, when the general section ends.
    grid_wanted_ = true;
    return Flow::Next;
  }

  Flow general_entry(const std::string& field) {
    ScenarioTable& table = state_.table;
    if (matches(field, Keyword::LineLength)) {
      matched();
      expect(Keyword::LineLength);
      length_given_ = true;
      const int32_t length = reader_.read_int32();
      table[kTrainRecord].number2 = length;
      if (const Flow flow = line_length(length); flow != Flow::Next) return flow;
    }
    const std::array<std::pair<Keyword, int>, 3> kilometric{{{Keyword::KilometricTre, kKilometricTreRecord},
                                                             {Keyword::KilometricDue, kKilometricDueRecord},
                                                             {Keyword::KilometricUno, kKilometricUnoRecord}}};
    for (const auto& [keyword, record] : kilometric) {
      note_case(field, keyword);
      if (matches(field, keyword)) {
        matched();
        expect(keyword);
        state_.kilometric_places[static_cast<std::size_t>(record - kKilometricTreRecord)] = keyword_place_;
        table[record].number1 = reader_.read_int32();
        table[record].number2 = reader_.read_int32();
        table[record].number3 = reader_.read_int32();
      }
    }
    // "sfondo due" goes into the third number, "sfondo tre" into the second.
    const std::array<std::pair<Keyword, int32_t ScenarioRecord::*>, 3> backgrounds{
        {{Keyword::BackgroundUno, &ScenarioRecord::number1},
         {Keyword::BackgroundDue, &ScenarioRecord::number3},
         {Keyword::BackgroundTre, &ScenarioRecord::number2}}};
    for (const auto& [keyword, number] : backgrounds) {
      note_case(field, keyword);
      if (matches(field, keyword)) {
        matched();
        expect(keyword);
        table[kLineRecord].*number = reader_.read_int32();
      }
    }
    note_case(field, Keyword::SignalRepetition);
    if (matches(field, Keyword::SignalRepetition)) {
      matched();
      expect(Keyword::SignalRepetition);
      ScenarioRecord& record = table[kServiceRecord];
      record.number1 = reader_.read_int32();
      const SourcePlace first_place = reader_.last_place();
      record.number2 = reader_.read_int32();
      // The three tests concern three values: checking goes on to the next test after a refusal.
      if (record.number1 % kCellLength != 0) {
        const Flow flow = refuse(Refusal(kErrorRepetitionFirst, std::nullopt, first_place,
                                         std::to_string(record.number1) + " m is not a multiple of 50"));
        if (flow != Flow::Next) return flow;
      }
      if (record.number2 % kCellLength != 0) {
        const Flow flow = refuse(Refusal(kErrorRepetitionSecond, std::nullopt, reader_.last_place(),
                                         std::to_string(record.number2) + " m is not a multiple of 50"));
        if (flow != Flow::Next) return flow;
      }
      if (contains(field, "4")) {
        record.number3 = 4;
      } else if (contains(field, "9")) {
        record.number3 = 9;
      } else {
        return refuse(Refusal(kErrorRepetitionCodes, std::nullopt, keyword_place_,
                              "\"" + field + "\" holds neither the digit 4 nor the digit 9"));
      }
      if (record.number2 == 0) record.number3 = 0;
    }
    return Flow::Next;
  }

  void start_line_entries() {
    state_.mountain_count = 0;
    state_.board_slot = kFirstBoardRecord;
    gradient_ = ProfileFill(Profile::Gradient);
    trace_cursor_ = 2;
    if (state_.trace_flag != 0 && state_.trace.exists()) state_.trace.start();
  }

  Flow read_line_entries() {
    notes_.reading(KeywordPlace::LineEntries);
    return read_entries({kLineCommentRun, true}, [this](const std::string& field) { return line_entry(field); });
  }

  /// Every test runs on the same keyword field, in this order; a field may match several.
  Flow line_entry(const std::string& field) {
    const bool curve = state_.trace_flag != 0 && matches(field, Keyword::Curve);
    if (matches(field, Keyword::Gradient) || curve || matches(field, Keyword::Mountain) ||
        matches(field, Keyword::SpeedBoard) || matches(field, Keyword::InfoBoard))
      matched();
    if (matches(field, Keyword::Gradient)) {
      if (const Flow flow = gradient_entry(); flow != Flow::Next) return flow;
    }
    if (curve) {
      if (const Flow flow = curve_entry(field); flow != Flow::Next) return flow;
    }
    if (matches(field, Keyword::Mountain)) {
      if (const Flow flow = mountain_entry(); flow != Flow::Next) return flow;
    }
    if (matches(field, Keyword::SpeedBoard)) {
      if (const Flow flow = speed_board_entry(); flow != Flow::Next) return flow;
    }
    if (matches(field, Keyword::InfoBoard)) {
      if (const Flow flow = info_board_entry(); flow != Flow::Next) return flow;
    }
    return Flow::Next;
  }

  /// A line entry needs the grid, which only an accepted line length creates. Without one the reading
  /// ends; checking reads on (see stand_in_grid).
  bool grid_missing() {
    if (state_.grid.exists()) return false;
    refuse_hard(Refusal(kErrorNoLineLength, std::nullopt, keyword_place_,
                        "the general section has no accepted \"lunghezza percorso\""));
    if (!state_.keep_going) return true;
    stand_in_grid();
    return false;
  }

  Flow gradient_entry() {
    if (grid_missing()) return Flow::End;
    expect(Keyword::Gradient);
    SourcePlace place;
    const int32_t position = read_position(place);
    const int32_t gradient = reader_.read_int32();
    const SourcePlace gradient_place = reader_.last_place();
    if (!passes_range_test(state_.grid, position)) return outside_grid(position, place);
    if (position < last_gradient_position_)
      warn(state_, WarningKind::GradientOrder, place,
           "gradient entry at " + std::to_string(position) + " m comes after one at " +
               std::to_string(last_gradient_position_) + " m: the profile is filled in file order");
    last_gradient_position_ = position;
    const int64_t first_cell = profile_cell(position);
    if (first_cell > 0) gradient_.fill(state_, first_cell, keyword_place_);
    gradient_.give(gradient, gradient_place);
    return Flow::Next;
  }

  /// Continues the trace from the cursor up to `last` metre (included), each point one step on from the
  /// last: straight, or with the step turned by `turn` per metre. A limited run stops after metre
  /// kTraceLimit with an error (a run that starts past it still makes its first point). `last` lies
  /// within the trace. Without a trace (a stand-in grid) only the cursor moves, with the same refusal.
  Flow trace_run(int32_t last, bool curved, double turn, bool limited) {
    const int32_t m = trace_cursor_;
    if (m > last) return Flow::Next;
    const bool cut = limited && last >= kTraceLimit;
    const int32_t stop = cut ? std::max(m, kTraceLimit) : last;
    if (state_.trace.exists()) state_.trace.add_run(stop, curved, turn);
    trace_cursor_ = stop + 1;
    if (cut) return hard_end(kErrorCurve, "the plan trace would pass metre " + std::to_string(kTraceLimit));
    return Flow::Next;
  }

  Flow curve_entry(const std::string& field) {
    if (grid_missing()) return Flow::End;
    expect(Keyword::Curve);
    SourcePlace start_place;
    const int32_t start = read_position(start_place);
    const int32_t length = reader_.read_int32();
    const SourcePlace length_place = reader_.last_place();
    // The keyword's sharpness is another mistake than the start's: checking tests it after a start
    // beyond the grid too.
    const bool start_outside = !passes_range_test(state_.grid, start);
    if (start_outside)
      if (const Flow flow = outside_grid(start, start_place); flow != Flow::Next) return flow;
    const CurveSharpness* sharpness = curve_sharpness(field);
    if (sharpness == nullptr)
      return refuse(Refusal(kErrorCurve, std::nullopt, keyword_place_,
                            "\"" + field + "\" holds none of the digits 1 to 6 that give a curve's sharpness"));
    if (start_outside) return Flow::Next;
    const double turn = curve_turns_left(field) ? -sharpness->turn_per_metre : sharpness->turn_per_metre;
    // The last two points of the trace stay empty: a curve must end before them.
    const int32_t end = add32(start, length);
    if (end > state_.grid_extent - 2)
      return outside_grid(
          end, length_place,
          "a curve must end by " + std::to_string(state_.grid_extent - 2) + " m, 2 m before the grid's end");

    if (start < trace_cursor_ - 1 && curves_ > 0)
      warn(state_, WarningKind::CurveOverlap, start_place,
           "this curve starts at " + std::to_string(start) + " m, before the previous one ends at " +
               std::to_string(trace_cursor_ - 1) + " m: it turns only from there");
    ++curves_;
    state_.curves.push_back({start, length, sharpness->digit - '0', turn, keyword_place_});
    if (const Flow flow = trace_run(start, false, 0, true); flow != Flow::Next) return flow;
    return trace_run(end, true, turn, true);
  }

  Flow mountain_entry() {
    if (grid_missing()) return Flow::End;
    expect(Keyword::Mountain);
    SourcePlace start_place;
    SourcePlace end_place;
    int32_t start = read_position(start_place);
    int32_t end = read_position(end_place);
    int32_t type = reader_.read_int32();
    // Only the start is range-tested; the end is refused only when the stretch's last cell lies
    // outside the grid.
    if (!passes_range_test(state_.grid, start)) return outside_grid(start, start_place);
    const MountainCells cells = mountain_cells(start, end);
    const int64_t first = cells.first;
    const int64_t last = cells.last;
    if (!cells.empty()) {
      if (!state_.grid.contains(first))
        return outside_grid(start, start_place, "its first cell " + std::to_string(first) + " lies before cell 0");
      if (!state_.grid.contains(last))
        return outside_grid(end, end_place,
                            "its last cell " + std::to_string(last) + " lies beyond the grid's last cell " +
                                std::to_string(state_.grid.cellCount()));
    }
    if (mountains_full_) return Flow::Next;  // already refused once: the capacity is reported once
    if (cells.empty())
      warn(state_, WarningKind::MountainChanged, end_place,
           "this stretch places nothing: its last cell " + std::to_string(last) + " (end " + std::to_string(end) +
               " m) comes before its first cell " + std::to_string(first) + " (start " + std::to_string(start) + " m)");
    const int32_t asked = mountain_type_asked(type);
    const int32_t code = recorded([&] { memo_montagna(state_, start, end, type); });
    if (code == 0 && type != asked && !cells.empty())
      warn(state_, WarningKind::MountainChanged, start_place,
           "type " + std::to_string(asked) + " becomes " + std::to_string(type) + ": the stretch starts " +
               std::to_string(int64_t{start} -
                              state_.mountain_ends[static_cast<std::size_t>(state_.mountain_count - 1)]) +
               " m after the previous stretch ends, within " + std::to_string(kJoinedStretchGap) + " m");
    if (code == kErrorMountainCapacity) {
      mountains_full_ = true;
      return refuse(Refusal(kErrorMountainCapacity, start, start_place,
                            "the mountain tables hold " + std::to_string(kMountainCapacity) + " stretches"));
    }
    return Flow::Next;
  }

  Flow speed_board_entry() {
    if (grid_missing()) return Flow::End;
    expect(Keyword::SpeedBoard);
    SourcePlace place;
    const int32_t position = read_position(place);
    int32_t vas = reader_.read_int32();
    int32_t vbs = reader_.read_int32();
    int32_t vcs = reader_.read_int32();
    int16_t strisces = reader_.read_int16();
    int32_t vad = reader_.read_int32();
    int32_t vbd = reader_.read_int32();
    int32_t vcd = reader_.read_int32();
    int16_t strisced = reader_.read_int16();
    if (!passes_range_test(state_.grid, position)) return outside_grid(position, place);
    const int64_t cell = object_cell(position);
    if (!state_.grid.contains(cell))
      return outside_grid(position, place, "its cell " + std::to_string(cell) + " lies before cell 0");
    const int32_t code =
        recorded([&] { memo_indicatori_v_max(state_, position, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced); });
    if (code > 0) {
      Refusal refusal(code, position, place);
      if (code == kErrorSpeedBoardOccupied)
        refusal.detail = cell_text(cell) + " holds " + name_occupant(refusal, state_, cell);
      return refuse(std::move(refusal));
    }
    return Flow::Next;
  }

  Flow info_board_entry() {
    if (grid_missing()) return Flow::End;
    expect(Keyword::InfoBoard);
    SourcePlace place;
    const int32_t position = read_position(place);
    const std::string text = state_.current_field = reader_.read_stored_text();
    if (!passes_range_test(state_.grid, position)) return outside_grid(position, place);
    const int64_t index = object_cell(position);
    if (!state_.grid.contains(index))
      return outside_grid(position, place, "its cell " + std::to_string(index) + " lies before cell 0");
    TrackCell& cell = state_.grid[static_cast<int32_t>(index)];
    if (!cell.is_free()) {
      Refusal refusal(kErrorInfoBoardOccupied, position, place);
      refusal.detail = cell_text(index) + " holds " + name_occupant(refusal, state_, index);
      return refuse(std::move(refusal));
    }
    if (state_.board_slot < 1) {
      if (boards_full_) return Flow::Next;  // the capacity is reported once
      boards_full_ = true;
      return refuse(Refusal(kErrorBoardCapacity, position, place, "records 80 to 1 hold at most 80 board texts"));
    }
    cell.set_kind(CellKind::InfoBoard);
    state_.grid.set_origin(static_cast<int32_t>(index), {keyword_place_, position});
    cell.value1 = static_cast<int16_t>(state_.board_slot);
    state_.table[static_cast<std::size_t>(state_.board_slot)].text = text;
    state_.record_places[static_cast<std::size_t>(state_.board_slot)] = keyword_place_;
    --state_.board_slot;
    return Flow::Next;
  }

  /// The end of the line entries: completes the gradient profile and the trace.
  bool complete() {
    if (!state_.grid.exists()) {
      raise_error(state_, Refusal{kErrorNoLineLength});
      if (!state_.keep_going) return false;
      stand_in_grid();
    }
    gradient_.finish(state_, state_.grid.cellCount() - kProfileTailCells);
    if (state_.trace_flag != 0 && state_.trace.exists()) trace_run(state_.grid_extent - 2, false, 0, false);
    return true;
  }

  ProfileFill gradient_{Profile::Gradient};
  int32_t trace_cursor_ = 2;
  int32_t last_gradient_position_ = INT32_MIN;
  bool grid_wanted_ = false;
  bool length_given_ = false;
  bool mountains_full_ = false;
  int curves_ = 0;
  bool boards_full_ = false;
};

}  // namespace

void store_identity(RunState& state) {
  // The names come as UTF-8 (the command line, the file names); the table holds Windows-1252 text.
  state.table[kLineRecord].text = name_as_stored(state.line_key);
  state.table[kServiceRecord].text = name_as_stored(state.train_number);
}

bool read_line_description(RunState& state, std::string_view text) {
  LineReader line(state, text);
  return line.run();
}
